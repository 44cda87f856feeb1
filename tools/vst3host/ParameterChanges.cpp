#include "ParameterChanges.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3host {

void ParamValueQueue::Reset(ParamID id)
{
  mId = id;
  mPoints.clear();
}

tresult PLUGIN_API ParamValueQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value)
{
  if (index < 0 || index >= getPointCount())
    return kInvalidArgument;
  sampleOffset = mPoints[index].offset;
  value = mPoints[index].value;
  return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::addPoint(int32 sampleOffset, ParamValue value, int32& index)
{
  if (sampleOffset < 0)
    return kInvalidArgument;
  size_t i = mPoints.size();
  while (i > 0 && mPoints[i - 1].offset > sampleOffset)
    --i;
  if (i > 0 && mPoints[i - 1].offset == sampleOffset)
  {
    mPoints[i - 1].value = value;
    index = static_cast<int32>(i - 1);
    return kResultOk;
  }
  mPoints.insert(mPoints.begin() + i, Point{sampleOffset, value});
  index = static_cast<int32>(i);
  return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::queryInterface(const TUID iid, void** obj)
{
  if (FUnknownPrivate::iidEqual(iid, IParamValueQueue::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid))
  {
    *obj = static_cast<IParamValueQueue*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

ParameterChanges::ParameterChanges(int capacity)
{
  mQueues.resize(capacity > 0 ? capacity : 1);
}

void ParameterChanges::Clear()
{
  mCount = 0;
}

void ParameterChanges::Add(ParamID id, int32 sampleOffset, ParamValue value)
{
  int32 index = 0;
  if (IParamValueQueue* queue = addParameterData(id, index))
    queue->addPoint(sampleOffset, value, index);
}

IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index)
{
  if (index < 0 || index >= mCount)
    return nullptr;
  return &mQueues[index];
}

IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const ParamID& id, int32& index)
{
  for (int32 i = 0; i < mCount; ++i)
    if (mQueues[i].getParameterId() == id)
    {
      index = i;
      return &mQueues[i];
    }
  // Grows beyond the reserved capacity only when a caller sends more distinct parameters.
  if (mCount == static_cast<int32>(mQueues.size()))
    mQueues.resize(mQueues.size() * 2);
  mQueues[mCount].Reset(id);
  index = mCount;
  return &mQueues[mCount++];
}

tresult PLUGIN_API ParameterChanges::queryInterface(const TUID iid, void** obj)
{
  if (FUnknownPrivate::iidEqual(iid, IParameterChanges::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid))
  {
    *obj = static_cast<IParameterChanges*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

} // namespace vst3host
