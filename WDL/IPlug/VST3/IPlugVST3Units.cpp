// Units (one per parameter group, below the root unit) and the factory presets' program list.
#include "IPlugVST3.h"
#include "VST3Text.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

int32 PLUGIN_API IPlugVST3::getUnitCount()
{
  return mParamGroups.GetSize() + 1;
}

tresult PLUGIN_API IPlugVST3::getUnitInfo(int32 unitIndex, UnitInfo& info)
{
  if (unitIndex < 0 || unitIndex > mParamGroups.GetSize()) return kResultFalse;
  info.id = unitIndex;
  info.parentUnitId = unitIndex == 0 ? kNoParentUnitId : kRootUnitId;
  CopyToUTF16(info.name, 128, unitIndex == 0 ? "Root Unit" : mParamGroups.Get(unitIndex - 1));
  info.programListId = kNoProgramListId;
  return kResultTrue;
}

// The list is described but not counted, so hosts that follow the count never ask for it.
int32 PLUGIN_API IPlugVST3::getProgramListCount()
{
  return 0;
}

tresult PLUGIN_API IPlugVST3::getProgramListInfo(int32 listIndex, ProgramListInfo& info)
{
  if (listIndex != 0) return kResultFalse;
  info.id = static_cast<ProgramListID>(kPresetParamTag);
  CopyToUTF16(info.name, 128, "Factory Presets");
  info.programCount = NPresets();
  return kResultTrue;
}

tresult PLUGIN_API IPlugVST3::getProgramName(ProgramListID listId, int32 programIndex, String128 name)
{
  if (listId != static_cast<ProgramListID>(kPresetParamTag) || !name) return kResultFalse;
  if (programIndex < 0 || programIndex >= NPresets()) return kResultFalse;
  // Preset names may hold 255 characters; the host's string takes 127.
  CopyToUTF16(name, 128, GetPresetName(programIndex));
  return kResultTrue;
}

tresult PLUGIN_API IPlugVST3::getProgramInfo(ProgramListID, int32, Vst::CString, String128)
{
  return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::hasProgramPitchNames(ProgramListID, int32)
{
  return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::getProgramPitchName(ProgramListID, int32, int16, String128)
{
  return kNotImplemented;
}

UnitID PLUGIN_API IPlugVST3::getSelectedUnit()
{
  return kRootUnitId;
}

tresult PLUGIN_API IPlugVST3::selectUnit(UnitID)
{
  return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID&)
{
  return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::setUnitProgramData(int32, int32, IBStream*)
{
  return kNotImplemented;
}
