# The Debian package (cpack -G DEB in a Release build; scripts/package.sh drives it):
# brelix_<version>_amd64.deb installs the bundle into /usr/lib/vst3/Brelix.vst3 and the brelix
# tool into /usr/bin with its manual page, the copyright and changelog in /usr/share/doc/brelix,
# and nothing else. Run-time dependencies come from dpkg-shlibdeps.

set(_doc ${CMAKE_BINARY_DIR}/deb-doc)
file(MAKE_DIRECTORY ${_doc})
configure_file(${CMAKE_CURRENT_LIST_DIR}/deb/changelog.in ${_doc}/changelog @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/docs/brelix.1 ${_doc}/brelix.1 COPYONLY)
# Debian wants the changelog and manual pages compressed, without a time stamp in the gzip header.
execute_process(COMMAND gzip -9nf ${_doc}/changelog ${_doc}/brelix.1 RESULT_VARIABLE _gzip)
if(NOT _gzip EQUAL 0)
  message(FATAL_ERROR "gzip failed on the package's documentation")
endif()
install(FILES ${CMAKE_CURRENT_LIST_DIR}/deb/copyright ${_doc}/changelog.gz DESTINATION share/doc/brelix)
install(FILES ${_doc}/brelix.1.gz DESTINATION share/man/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brelix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quorvane")
set(CPACK_PACKAGE_CONTACT "Quorvane <support@quorvane.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "stereo saturating preamp VST3 plug-in and command-line host")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Brelix drives the input (GAIN, 0 to 40 dB) into one of eleven saturation\n"
  "curves (MODEL), through an optional high-pass stage (HPF) and high-frequency\n"
  "shelf (LPF), a fixed output-stage filter and an output level (OUT), with a\n"
  "BYPASS switch. The VST3 plug-in lies in /usr/lib/vst3, where Linux hosts\n"
  "(Ardour, REAPER, Bitwig, Carla, Qtractor) find it. The brelix command-line\n"
  "host renders audio files through any VST3 effect and describes what a host\n"
  "sees of a plug-in.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quorvane <support@quorvane.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.quorvane.com")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
