# Finds the VST3 SDK and compiles the parts we use into three static libraries, kept apart
# from our own targets so that their warnings never mix with ours:
#   vst3sdk          interfaces, base classes, memory stream, interface ids
#   vst3sdk_plugin   component/controller/parameter/bus/view classes a plug-in derives from
#   vst3sdk_hosting  host application classes and .vstpreset file support, for hosts and tests
# Debian's juce-modules-source-data ships the SDK files; -DVST3_SDK_ROOT=... points at any other copy.
set(_debian_sdk /usr/share/juce/modules/juce_audio_processors/format_types/VST3_SDK)
set(VST3_SDK_ROOT ${_debian_sdk} CACHE PATH "Root of the VST3 SDK (holds pluginterfaces/, base/, public.sdk/)")
if(NOT EXISTS ${VST3_SDK_ROOT}/pluginterfaces/vst/ivstcomponent.h)
  message(FATAL_ERROR "VST3 SDK not found at '${VST3_SDK_ROOT}': install juce-modules-source-data "
                      "or pass -DVST3_SDK_ROOT=<path to VST3_SDK>")
endif()
message(STATUS "VST3 SDK: ${VST3_SDK_ROOT}")

set(_s ${VST3_SDK_ROOT})
add_library(vst3sdk STATIC
  ${_s}/pluginterfaces/base/conststringtable.cpp
  ${_s}/pluginterfaces/base/coreiids.cpp
  ${_s}/pluginterfaces/base/funknown.cpp
  ${_s}/pluginterfaces/base/ustring.cpp
  ${_s}/base/source/baseiids.cpp
  ${_s}/base/source/fbuffer.cpp
  ${_s}/base/source/fdebug.cpp
  ${_s}/base/source/fobject.cpp
  ${_s}/base/source/fstreamer.cpp
  ${_s}/base/source/fstring.cpp
  ${_s}/base/source/updatehandler.cpp
  ${_s}/base/thread/source/flock.cpp
  ${_s}/public.sdk/source/common/memorystream.cpp
  ${_s}/public.sdk/source/vst/vstinitiids.cpp
  # The editor view's interface ids, which plug-in views and hosts refer to and no SDK source
  # defines.
  ${CMAKE_CURRENT_LIST_DIR}/VST3ViewIids.cpp
)
target_include_directories(vst3sdk SYSTEM PUBLIC ${_s})
# The SDK's own debug layer prints and asserts; we build it in its release mode everywhere.
target_compile_definitions(vst3sdk PUBLIC RELEASE=1)
target_compile_options(vst3sdk PRIVATE -w)
find_package(Threads REQUIRED)
target_link_libraries(vst3sdk PUBLIC Threads::Threads ${CMAKE_DL_LIBS})

add_library(vst3sdk_plugin STATIC
  ${_s}/public.sdk/source/common/pluginview.cpp
  ${_s}/public.sdk/source/vst/vstbus.cpp
  ${_s}/public.sdk/source/vst/vstcomponentbase.cpp
  ${_s}/public.sdk/source/vst/vsteditcontroller.cpp
  ${_s}/public.sdk/source/vst/vstparameters.cpp
)
target_compile_options(vst3sdk_plugin PRIVATE -w)
target_link_libraries(vst3sdk_plugin PUBLIC vst3sdk)

add_library(vst3sdk_hosting STATIC
  ${_s}/public.sdk/source/vst/hosting/hostclasses.cpp
  ${_s}/public.sdk/source/vst/hosting/pluginterfacesupport.cpp
  ${_s}/public.sdk/source/vst/vstpresetfile.cpp
)
target_compile_options(vst3sdk_hosting PRIVATE -w)
target_link_libraries(vst3sdk_hosting PUBLIC vst3sdk)
