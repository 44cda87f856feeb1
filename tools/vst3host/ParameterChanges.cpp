#include "ParameterChanges.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3host {

void ParamValueQueue::reset(ParamID id)
{
  id_ = id;
  points_.clear();
}

tresult PLUGIN_API ParamValueQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value)
{
  if (index < 0 || index >= getPointCount())
    return kInvalidArgument;
  sampleOffset = points_[index].offset;
  value = points_[index].value;
  return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::addPoint(int32 sampleOffset, ParamValue value, int32& index)
{
  if (sampleOffset < 0)
    return kInvalidArgument;
  size_t i = points_.size();
  while (i > 0 && points_[i - 1].offset > sampleOffset)
    --i;
  if (i > 0 && points_[i - 1].offset == sampleOffset)
  {
    points_[i - 1].value = value;
    index = static_cast<int32>(i - 1);
    return kResultOk;
  }
  points_.insert(points_.begin() + i, Point{sampleOffset, value});
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
  queues_.resize(capacity > 0 ? capacity : 1);
}

void ParameterChanges::clear()
{
  count_ = 0;
}

void ParameterChanges::add(ParamID id, int32 sampleOffset, ParamValue value)
{
  int32 index = 0;
  if (IParamValueQueue* queue = addParameterData(id, index))
    queue->addPoint(sampleOffset, value, index);
}

IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index)
{
  if (index < 0 || index >= count_)
    return nullptr;
  return &queues_[index];
}

IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const ParamID& id, int32& index)
{
  for (int32 i = 0; i < count_; ++i)
    if (queues_[i].getParameterId() == id)
    {
      index = i;
      return &queues_[i];
    }
  // Grows beyond the reserved capacity only when a caller sends more distinct parameters.
  if (count_ == static_cast<int32>(queues_.size()))
    queues_.resize(queues_.size() * 2);
  queues_[count_].reset(id);
  index = count_;
  return &queues_[count_++];
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
