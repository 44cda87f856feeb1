// Presets of IPlugBase: making, restoring and storing presets, the bank format and the
// development dumps.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "Base64.h"
#include "ByteChunk.h"
#include "IPlugBase.h"
#include "IPreset.h"
#include "Log.h"
#include "WDL_Number.h"

namespace
{
// Marks the entries of MakePresetFromNamedParams that no pair set.
constexpr double kUnsetValue = 9.999e-08;

const char kUserPresetName[] = "user preset";

// Writes name as the inside of a C string literal.
void WriteQuoted(FILE* f, const char* name)
{
  std::fputc('"', f);
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(name); *c; ++c)
  {
    if (*c == '"' || *c == '\\')
      std::fprintf(f, "\\%c", *c);
    else if (*c < 0x20 || *c == 0x7f)
      std::fprintf(f, "\\%03o", *c);
    else
      std::fputc(*c, f);
  }
  std::fputc('"', f);
}

// One MakePresetFromBlob line; the Base64 text is written in pieces, so any size fits.
void WriteBlobLine(FILE* f, const char* name, const ByteChunk* chunk)
{
  constexpr int kPiece = 3 * 1024;  // a multiple of 3: padding only ends the last piece
  char text[kPiece / 3 * 4 + 1];
  std::fputs("MakePresetFromBlob(", f);
  WriteQuoted(f, name);
  std::fputs(", \"", f);
  const unsigned char* bytes = chunk->GetBytes();
  for (int done = 0; done < chunk->Size(); done += kPiece)
  {
    int n = chunk->Size() - done < kPiece ? chunk->Size() - done : kPiece;
    if (Base64::Encode(bytes + done, n, text) > 0) std::fputs(text, f);
  }
  std::fprintf(f, "\", %d);\n", chunk->Size());
}
}  // namespace

IPreset* IPlugBase::GetNextUninitializedPreset(WDL_PtrList<IPreset>* presets)
{
  if (!presets) return nullptr;
  for (int i = 0; i < presets->GetSize(); ++i)
    if (IPreset* p = presets->Get(i); p && !p->mInitialized) return p;
  return nullptr;
}

void IPlugBase::MakeDefaultUserPresetName(WDL_PtrList<IPreset>* presets, char* out)
{
  if (!out) return;
  int n = 0;
  for (int i = 0; presets && i < presets->GetSize(); ++i)
    if (IPreset* p = presets->Get(i); p && std::strstr(p->mName, kUserPresetName)) ++n;
  std::snprintf(out, IPreset::kNameSize, "%s %d", kUserPresetName, n + 1);
}

bool IPlugBase::StoreStateInPreset(IPreset* preset)
{
  preset->mChunk.Clear();
  if (SerializeState(&preset->mChunk)) return true;
  preset->mChunk.Clear();
  preset->mInitialized = false;
  return false;
}

void IPlugBase::MakeDefaultPreset(const char* name, int nPresets)
{
  for (int i = 0; i < nPresets; ++i)
  {
    IPreset* p = GetNextUninitializedPreset(&mPresets);
    if (!p || !StoreStateInPreset(p)) return;
    p->mInitialized = true;
    p->SetName(name ? name : "Empty");
  }
}

void IPlugBase::MakePreset(const char* name, ...)
{
  IPreset* p = GetNextUninitializedPreset(&mPresets);
  if (!p) return;
  p->mChunk.Clear();
  va_list args;
  va_start(args, name);
  bool ok = true;
  for (int i = 0; i < NParams(); ++i)
  {
    IParam::EParamKind kind = GetParam(i)->Type();
    bool isInt = kind == IParam::kParamBool || kind == IParam::kParamInt || kind == IParam::kParamEnum;
    double v = isInt ? static_cast<double>(va_arg(args, int)) : va_arg(args, double);
    ok = ok && p->mChunk.PutValue(v) >= 0;
  }
  va_end(args);
  if (!ok)
  {
    p->mChunk.Clear();
    return;
  }
  p->mInitialized = true;
  p->SetName(name);
}

void IPlugBase::MakePresetFromNamedParams(const char* name, int nParamsNamed, ...)
{
  IPreset* p = GetNextUninitializedPreset(&mPresets);
  if (!p) return;
  WDL_TypedBuf<double> values;
  if (NParams() > 0 && !values.Resize(NParams())) return;
  for (int i = 0; i < NParams(); ++i) values.Get()[i] = kUnsetValue;

  va_list args;
  va_start(args, nParamsNamed);
  for (int i = 0; i < nParamsNamed; ++i)
  {
    int idx = va_arg(args, int);
    IParam* param = GetParam(idx);
    // Outside the parameters the pair is skipped; its value can only be taken as a double.
    IParam::EParamKind kind = param ? param->Type() : IParam::kParamDouble;
    bool isInt = kind == IParam::kParamBool || kind == IParam::kParamInt || kind == IParam::kParamEnum;
    double v = isInt ? static_cast<double>(va_arg(args, int)) : va_arg(args, double);
    if (param) values.Get()[idx] = v;
  }
  va_end(args);

  p->mChunk.Clear();
  for (int i = 0; i < NParams(); ++i)
  {
    double v = values.Get()[i] == kUnsetValue ? GetParam(i)->Value() : values.Get()[i];
    if (p->mChunk.PutValue(v) < 0)
    {
      p->mChunk.Clear();
      return;
    }
  }
  p->mInitialized = true;
  p->SetName(name);
}

void IPlugBase::MakePresetFromChunk(const char* name, ByteChunk* chunk)
{
  IPreset* p = GetNextUninitializedPreset(&mPresets);
  if (!p || !chunk) return;
  p->mChunk.Clear();
  if (p->mChunk.PutBytes(chunk) < 0) return;
  p->mInitialized = true;
  p->SetName(name);
}

void IPlugBase::MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk)
{
  if (!blob || sizeOfChunk < 0) return;
  ByteChunk chunk;
  if (chunk.Resize(sizeOfChunk) != sizeOfChunk) return;
  Base64::Decode(blob, chunk.GetBytes(), sizeOfChunk);
  MakePresetFromChunk(name, &chunk);
}

void IPlugBase::EnsureDefaultPreset()
{
  MakeDefaultPreset("Empty", NPresets());
}

void IPlugBase::PruneUninitializedPresets()
{
  IPreset* current = mPresets.Get(mCurrentPresetIdx);
  for (int i = NPresets() - 1; i >= 0; --i)
    if (!mPresets.Get(i)->mInitialized) mPresets.Delete(i, true);
  int idx = current ? mPresets.Find(current) : -1;
  mCurrentPresetIdx = idx >= 0 ? idx : 0;
}

bool IPlugBase::RestorePreset(int idx)
{
  IPreset* p = mPresets.Get(idx);
  if (!p) return false;
  if (!p->mInitialized)
  {
    // Restoring an empty slot stores the current state there as a new user preset.
    char name[IPreset::kNameSize];
    MakeDefaultUserPresetName(&mPresets, name);
    if (!StoreStateInPreset(p)) return false;
    p->mInitialized = true;
    p->SetName(name);
  }
  else if (UnserializeState(&p->mChunk, 0) < 1)
    return false;
  mCurrentPresetIdx = idx;
  PresetsChangedByHost();
  RedrawParamControls();
  return true;
}

bool IPlugBase::RestorePreset(const char* name)
{
  if (!name || !*name) return false;
  for (int i = 0; i < NPresets(); ++i)
    if (std::strcmp(mPresets.Get(i)->mName, name) == 0) return RestorePreset(i);
  return false;
}

const char* IPlugBase::GetPresetName(int idx) const
{
  IPreset* p = mPresets.Get(idx);
  return p ? p->mName : "";
}

void IPlugBase::ModifyCurrentPreset(const char* name)
{
  IPreset* p = mPresets.Get(mCurrentPresetIdx);
  if (!p) return;
  bool wasInitialized = p->mInitialized;
  if (!StoreStateInPreset(p)) return;
  p->mInitialized = wasInitialized;
  if (name && *name) p->SetName(name);
  Trace("ModifyCurrentPreset", __LINE__, "%d %s", mCurrentPresetIdx, p->mName);
}

bool IPlugBase::SerializePresets(ByteChunk* chunk)
{
  if (!chunk) return false;
  for (int i = 0; i < NPresets(); ++i)
  {
    IPreset* p = mPresets.Get(i);
    Trace("SerializePresets", __LINE__, "%d %s", i, p->mName);
    if (chunk->PutString(p->mName) < 0 || chunk->PutBool(p->mInitialized) < 0) return false;
    if (p->mInitialized && chunk->PutBytes(&p->mChunk) < 0) return false;
  }
  return true;
}

int IPlugBase::UnserializePresets(ByteChunk* chunk, int startPos)
{
  int pos = chunk ? startPos : -1;
  for (int i = 0; i < NPresets() && pos >= 0; ++i)
  {
    // A record is committed only once it has been read whole: the chunks carry no length, so
    // a preset marked initialised without its state would misplace every later saved record.
    WDL_String name;
    bool initialized = false;
    pos = chunk->GetString(&name, pos);
    pos = chunk->GetBool(&initialized, pos);
    if (initialized && pos >= 0) pos = UnserializeState(chunk, pos);
    if (pos < 0) break;
    IPreset* p = mPresets.Get(i);
    if (initialized)
      p->mInitialized = StoreStateInPreset(p);
    else
    {
      p->mInitialized = false;
      p->mChunk.Clear();
    }
    p->SetName(name.Get());
    Trace("UnserializePresets", __LINE__, "%d %s", i, p->mName);
  }
  RestorePreset(mCurrentPresetIdx);
  return pos;
}

void IPlugBase::DumpPresetSrcCode(const char* path, const char** paramEnumNames)
{
  if (!path || !paramEnumNames) return;
  FILE* f = std::fopen(path, "w");
  if (!f) return;
  std::fprintf(f, "  MakePresetFromNamedParams(\"name\", %d", NParams());
  for (int i = 0; i < NParams(); ++i)
  {
    const IParam* param = GetParam(i);
    std::fputs(",\n    ", f);
    if (paramEnumNames[i])
      std::fputs(paramEnumNames[i], f);
    else
      std::fprintf(f, "%d", i);
    std::fputs(", ", f);
    switch (param->Type())
    {
      case IParam::kParamBool:
        std::fputs(param->Value() >= 0.5 ? "true" : "false", f);
        break;
      case IParam::kParamInt:
      case IParam::kParamEnum:
        std::fprintf(f, "%d", IParam::TruncToInt(param->Value()));
        break;
      default:
      {
        char text[400];
        WDL_FormatFixed(param->Value(), 6, text, sizeof(text));
        std::fputs(text, f);
      }
    }
  }
  std::fputs(");\n", f);
  std::fclose(f);
}

void IPlugBase::DumpPresetBlob(const char* path)
{
  IPreset* p = mPresets.Get(mCurrentPresetIdx);
  if (!path || !p) return;
  FILE* f = std::fopen(path, "w");
  if (!f) return;
  WriteBlobLine(f, "name", &p->mChunk);
  std::fclose(f);
}

void IPlugBase::DumpBankBlob(const char* path)
{
  if (!path) return;
  FILE* f = std::fopen(path, "w");
  if (!f) return;
  for (int i = 0; i < NPresets(); ++i) WriteBlobLine(f, mPresets.Get(i)->mName, &mPresets.Get(i)->mChunk);
  std::fclose(f);
}
