#pragma once
// The VST3 face of one framework parameter: an SDK Parameter whose info (title, units, steps,
// default, unit, flags) is taken from an IParam, and whose conversions and texts are the IParam's.
//
// Ownership: the wrapped IParam belongs to the plug-in instance, which outlives this object; the
// object itself belongs to the controller's parameter container.
// Threads: the host's user-interface thread. The conversions only read the IParam's fixed
// settings, so they may run while the audio thread changes its value.
// Ranges: normalised inputs are clamped into [0, 1] (NaN reads as 0), so no conversion or text
// is ever made from a value outside the parameter's range.

#include "public.sdk/source/vst/vstparameters.h"

class IParam;

class IPlugParameter : public Steinberg::Vst::Parameter
{
public:
  IPlugParameter(IParam* param, Steinberg::Vst::ParamID tag, Steinberg::Vst::UnitID unitID);

  // The IParam's display text for a normalised value (display texts included).
  void toString(Steinberg::Vst::ParamValue normalized, Steinberg::Vst::String128 text) const override;
  // Reads a display text of the parameter, or a decimal number with a "." point (trailing text
  // such as a unit is ignored). False, leaving normalized untouched, for anything else.
  bool fromString(const Steinberg::Vst::TChar* text, Steinberg::Vst::ParamValue& normalized) const override;
  Steinberg::Vst::ParamValue toPlain(Steinberg::Vst::ParamValue normalized) const override;
  Steinberg::Vst::ParamValue toNormalized(Steinberg::Vst::ParamValue plain) const override;

  IParam* GetIParam() const { return mParam; }

  OBJ_METHODS(IPlugParameter, Steinberg::Vst::Parameter)

private:
  IParam* mParam;
};
