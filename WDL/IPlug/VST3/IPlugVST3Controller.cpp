// The edit-controller face: parameter values and texts, the state stream, edits reported to the
// host and the host's context menu.
#include <cmath>
#include <cstring>

#include "ByteChunk.h"
#include "IPlugVST3.h"
#include "IPlugVST3View.h"
#include "Log.h"
#include "VST3Guard.h"
#include "VST3Text.h"
#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

ParamValue PLUGIN_API IPlugVST3::getParamNormalized(ParamID tag)
{
  if (tag == kBypassParamTag) return GetIsBypassed() ? 1.0 : 0.0;
  if (IParam* param = tag < static_cast<ParamID>(NParams()) ? GetParam(static_cast<int>(tag)) : nullptr)
    return param->GetNormalized();
  return 0.0;
}

tresult PLUGIN_API IPlugVST3::setParamNormalized(ParamID tag, ParamValue value)
{
  IParam* param = tag < static_cast<ParamID>(NParams()) ? GetParam(static_cast<int>(tag)) : nullptr;
  if (!param || std::isnan(value)) return kResultFalse;
  param->SetNormalized(value);
  return kResultOk;
}

ParamValue PLUGIN_API IPlugVST3::plainParamToNormalized(ParamID tag, ParamValue plain)
{
  if (IParam* param = tag < static_cast<ParamID>(NParams()) ? GetParam(static_cast<int>(tag)) : nullptr)
    return param->GetNormalized(plain);
  return plain;
}

ParamValue PLUGIN_API IPlugVST3::normalizedParamToPlain(ParamID tag, ParamValue normalized)
{
  // The SDK's list parameters index their entries with the value: it must lie in [0, 1].
  normalized = normalized > 0.0 ? (normalized < 1.0 ? normalized : 1.0) : 0.0;
  return SingleComponentEffect::normalizedParamToPlain(tag, normalized);
}

tresult PLUGIN_API IPlugVST3::getParamStringByValue(ParamID tag, ParamValue normalized, String128 text)
{
  if (!text) return kInvalidArgument;
  if (tag >= static_cast<ParamID>(NParams())) return kResultFalse;
  Parameter* param = getParameterObject(tag);
  if (!param) return kResultFalse;
  param->toString(normalized, text);
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getParamValueByString(ParamID tag, TChar* text, ParamValue& normalized)
{
  if (!text) return kInvalidArgument;
  return SingleComponentEffect::getParamValueByString(tag, text, normalized);
}

tresult PLUGIN_API IPlugVST3::getParameterInfo(int32 paramIndex, ParameterInfo& info)
{
  if (paramIndex < 0 || paramIndex >= getParameterCount()) return kResultFalse;
  return SingleComponentEffect::getParameterInfo(paramIndex, info);
}

static bool WriteAll(IBStream* stream, const void* data, int32 n)
{
  if (n <= 0) return true;
  int32 written = 0;
  return stream->write(const_cast<void*>(data), n, &written) == kResultOk && written == n;
}

// Reads up to n bytes, however the stream splits them; returns how many arrived.
static int32 ReadUpTo(IBStream* stream, void* data, int32 n)
{
  auto* bytes = static_cast<char*>(data);
  int32 total = 0;
  while (total < n)
  {
    int32 got = 0;
    if (stream->read(bytes + total, n - total, &got) != kResultOk || got <= 0) break;
    total += got > n - total ? n - total : got;
  }
  return total;
}

tresult IPlugVST3::getEditorState(IBStream* stream)
{
  if (!stream) return kInvalidArgument;
  WDL_MutexLock lock(&mMutex);
  return Guarded([&] {
    ByteChunk chunk;
    if (!SerializeState(&chunk)) return kResultFalse;
    unsigned char bypass[4];
    ByteChunk::Encode<int32>(GetIsBypassed() ? 1 : 0, bypass);
    if (!WriteAll(stream, chunk.GetBytes(), chunk.Size()) || !WriteAll(stream, bypass, 4)) return kResultFalse;
    return kResultOk;
  });
}

tresult IPlugVST3::setEditorState(IBStream* stream)
{
  if (!stream) return kInvalidArgument;
  WDL_MutexLock lock(&mMutex);
  return Guarded([&] {
    // The stream carries no length: the current state's size says how much belongs to it, and
    // bytes a short stream does not supply keep the current state's values.
    ByteChunk chunk;
    if (!SerializeState(&chunk) || chunk.Size() <= 0) return kResultFalse;
    int32 got = ReadUpTo(stream, chunk.GetBytes(), chunk.Size());
    int pos = got > 0 ? UnserializeState(&chunk, 0) : -1;

    unsigned char bypass[4];
    if (got < chunk.Size() || pos < 0 || ReadUpTo(stream, bypass, 4) != 4)
    {
      RedrawParamControls();
      return kResultFalse;
    }
    mIsBypassed = ByteChunk::Decode<int32>(bypass) != 0;
    RedrawParamControls();
    return kResultOk;
  });
}

IPlugView* PLUGIN_API IPlugVST3::createView(FIDString name)
{
  if (!name || std::strcmp(name, ViewType::kEditor) != 0) return nullptr;
  auto* view = new IPlugVST3View(this);
  AddView(view);
  return view;
}

void IPlugVST3::ResizeGraphics(int w, int h)
{
  if (!GetGUI() || mViews.empty()) return;
  if (auto* view = dynamic_cast<IPlugVST3View*>(mViews.front())) view->resize(w, h);
}

void IPlugVST3::BeginInformHostOfParamChange(int idx)
{
  TRACE("%d", idx);
  beginEdit(static_cast<ParamID>(idx));
}

void IPlugVST3::InformHostOfParamChange(int idx, double normalizedValue)
{
  TRACE("%d:%f", idx, normalizedValue);
  performEdit(static_cast<ParamID>(idx), normalizedValue);
}

void IPlugVST3::EndInformHostOfParamChange(int idx)
{
  TRACE("%d", idx);
  endEdit(static_cast<ParamID>(idx));
}

bool IPlugVST3::PopupHostContextMenuForParam(int paramIdx, int x, int y)
{
  IComponentHandler* handler = getComponentHandler();
  if (!handler || mViews.empty() || !mViews.front()) return false;
  IComponentHandler3* handler3 = nullptr;
  if (handler->queryInterface(IComponentHandler3::iid, reinterpret_cast<void**>(&handler3)) != kResultOk || !handler3)
    return false;
  bool shown = false;
  ParamID tag = static_cast<ParamID>(paramIdx);
  if (IContextMenu* menu = handler3->createContextMenu(mViews.front(), &tag))
  {
    shown = menu->popup(x, y) == kResultOk;
    menu->release();
  }
  handler3->release();
  return shown;
}
