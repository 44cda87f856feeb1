#pragma once
// The host objects a plug-in talks back to: the host application (name, message and attribute
// list creation) and the component handler that receives edits and restart requests.
// Both are owned by the host and not reference-counted; they must outlive the plug-in objects
// they were handed to. Called on the host's main thread.
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "ParameterChanges.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <mutex>
#include <vector>

namespace vst3host {

class HostContext : public Steinberg::Vst::HostApplication
{
public:
  Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override;
};

// Accepts every edit and remembers the restart flags the plug-in asked for, so that the host can
// react between blocks. Edits made in the plug-in's editor are logged (begin, perform, end, in
// order) and the performed values queued for the processor; the processing thread takes them
// with TakePendingEdits, without waiting for the user-interface thread.
class ComponentHandler : public Steinberg::Vst::IComponentHandler
{
public:
  struct Edit
  {
    enum class Kind { Begin, Perform, End } kind;
    Steinberg::Vst::ParamID id;
    Steinberg::Vst::ParamValue value;  // Perform only
  };

  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value) override;
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override;

  // The latest edits (up to kLogLimit), oldest first (user-interface thread).
  static constexpr size_t kLogLimit = 4096;
  std::vector<Edit> EditLog() const;
  // Moves the values performed since the last call into `changes` at offset 0 (processing
  // thread); nothing when the user-interface thread holds the queue at this moment.
  void TakePendingEdits(ParameterChanges& changes);
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;

  // Restart flags requested since the last call (Steinberg::Vst::RestartFlags), then cleared.
  Steinberg::int32 TakeRestartFlags();

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
  Steinberg::uint32 PLUGIN_API release() override { return 1; }

private:
  void Log(const Edit& edit);

  Steinberg::int32 mRestartFlags = 0;
  mutable std::mutex mEditMutex;
  std::vector<Edit> mLog;
  std::vector<Edit> mPending;
};

} // namespace vst3host
