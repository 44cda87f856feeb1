#pragma once
// Host-side parameter change lists handed to IAudioProcessor::process: one queue of
// (sample offset, normalised value) points per parameter id.
// Owned by the host and not reference-counted (addRef/release are no-ops); they must outlive the
// process call that receives them. Filled and read on the host's processing thread. Capacity is
// reserved up front so that adding points within it does not allocate.
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include <vector>

namespace vst3host {

class ParamValueQueue final : public Steinberg::Vst::IParamValueQueue
{
public:
  explicit ParamValueQueue(Steinberg::Vst::ParamID id = 0) : mId(id) {}
  void Reset(Steinberg::Vst::ParamID id);

  Steinberg::Vst::ParamID PLUGIN_API getParameterId() override { return mId; }
  Steinberg::int32 PLUGIN_API getPointCount() override { return static_cast<Steinberg::int32>(mPoints.size()); }
  Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                         Steinberg::Vst::ParamValue& value) override;
  // Keeps the points ordered by offset; a point at an existing offset replaces its value.
  Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value,
                                         Steinberg::int32& index) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
  Steinberg::uint32 PLUGIN_API release() override { return 1; }

private:
  struct Point
  {
    Steinberg::int32 offset;
    Steinberg::Vst::ParamValue value;
  };
  Steinberg::Vst::ParamID mId;
  std::vector<Point> mPoints;
};

class ParameterChanges : public Steinberg::Vst::IParameterChanges
{
public:
  explicit ParameterChanges(int capacity = 64);
  void Clear();
  // Adds one point for `id` at `sampleOffset` (the queue is created on first use).
  void Add(Steinberg::Vst::ParamID id, Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value);

  Steinberg::int32 PLUGIN_API getParameterCount() override { return mCount; }
  Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) override;
  Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                Steinberg::int32& index) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
  Steinberg::uint32 PLUGIN_API release() override { return 1; }

private:
  std::vector<ParamValueQueue> mQueues; // the first mCount are in use; the rest are kept for reuse
  Steinberg::int32 mCount = 0;
};

} // namespace vst3host
