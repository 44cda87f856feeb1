#include "HostContext.h"

#include "Text.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3host {

tresult PLUGIN_API HostContext::getName(String128 name)
{
  ToString128("brelix", name);
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::beginEdit(ParamID id)
{
  Log({Edit::Kind::Begin, id, 0.0});
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::performEdit(ParamID id, ParamValue value)
{
  if (!(value >= 0.0 && value <= 1.0)) return kInvalidArgument;  // NaN included
  Log({Edit::Kind::Perform, id, value});
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::endEdit(ParamID id)
{
  Log({Edit::Kind::End, id, 0.0});
  return kResultOk;
}

void ComponentHandler::Log(const Edit& edit)
{
  std::lock_guard<std::mutex> lock(mEditMutex);
  if (mLog.size() >= kLogLimit) mLog.erase(mLog.begin(), mLog.begin() + kLogLimit / 2);
  mLog.push_back(edit);
  if (edit.kind != Edit::Kind::Perform) return;
  // Only the newest value of a parameter matters to the next block.
  for (Edit& pending : mPending)
    if (pending.id == edit.id)
    {
      pending.value = edit.value;
      return;
    }
  mPending.push_back(edit);
}

std::vector<ComponentHandler::Edit> ComponentHandler::EditLog() const
{
  std::lock_guard<std::mutex> lock(mEditMutex);
  return mLog;
}

void ComponentHandler::TakePendingEdits(ParameterChanges& changes)
{
  std::unique_lock<std::mutex> lock(mEditMutex, std::try_to_lock);
  if (!lock.owns_lock()) return;
  for (const Edit& e : mPending) changes.Add(e.id, 0, e.value);
  mPending.clear();
}

tresult PLUGIN_API ComponentHandler::restartComponent(int32 flags)
{
  mRestartFlags |= flags;
  return kResultOk;
}

int32 ComponentHandler::TakeRestartFlags()
{
  const int32 flags = mRestartFlags;
  mRestartFlags = 0;
  return flags;
}

tresult PLUGIN_API ComponentHandler::queryInterface(const TUID iid, void** obj)
{
  if (FUnknownPrivate::iidEqual(iid, IComponentHandler::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid))
  {
    *obj = static_cast<IComponentHandler*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

} // namespace vst3host
