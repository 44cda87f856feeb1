// Program (.fxp) and bank (.fxb) files of IPlugBase: big-endian headers around either
// normalised parameter values or an opaque state chunk.
#include <climits>
#include <cstdint>
#include <cstring>

#include "BinaryFile.h"
#include "ByteChunk.h"
#include "IPlugBase.h"
#include "IPreset.h"

namespace
{
constexpr int32_t kChunkMagic = MakeFourCC("CcnK");
constexpr int32_t kProgramChunkMagic = MakeFourCC("FPCh");
constexpr int32_t kProgramParamsMagic = MakeFourCC("FxCk");
constexpr int32_t kBankChunkMagic = MakeFourCC("FBCh");
constexpr int32_t kBankParamsMagic = MakeFourCC("FxBk");
constexpr int32_t kProgramFormatVersion = 1;
constexpr int32_t kBankFormatVersion = 2;

constexpr int kNameFieldSize = 28;
constexpr int kBankHeaderSize = 156;    // up to the bank chunk size field or the programs
constexpr int kBankReservedSize = 124;

int PutBE32(ByteChunk* c, int32_t v)
{
  uint32_t u = static_cast<uint32_t>(v);
  unsigned char b[4] = {static_cast<unsigned char>(u >> 24), static_cast<unsigned char>(u >> 16),
                        static_cast<unsigned char>(u >> 8), static_cast<unsigned char>(u)};
  return c->PutBytes(b, 4);
}

int GetBE32(const ByteChunk* c, int32_t* v, int pos)
{
  unsigned char b[4];
  pos = c->GetBytes(b, 4, pos);
  if (pos >= 0)
    *v = static_cast<int32_t>(static_cast<uint32_t>(b[0]) << 24 | static_cast<uint32_t>(b[1]) << 16 |
                              static_cast<uint32_t>(b[2]) << 8 | static_cast<uint32_t>(b[3]));
  return pos;
}

int PutBEFloat(ByteChunk* c, float f)
{
  int32_t v;
  std::memcpy(&v, &f, sizeof(v));
  return PutBE32(c, v);
}

int GetBEFloat(const ByteChunk* c, float* f, int pos)
{
  int32_t v = 0;
  pos = GetBE32(c, &v, pos);
  if (pos >= 0) std::memcpy(f, &v, sizeof(v));
  return pos;
}

// Program files and bank files differ in their magics, format version and head size; each comes
// in the chunk form (an opaque payload) or the parameter form (normalised values).
struct FileKind
{
  int32_t chunkFormMagic, paramFormMagic, formatVersion;
  int headSize;  // the bytes before the chunk form's payload
};
constexpr FileKind kProgramFile = {kProgramChunkMagic, kProgramParamsMagic, kProgramFormatVersion, 60};
constexpr FileKind kBankFile = {kBankChunkMagic, kBankParamsMagic, kBankFormatVersion, 160};

// The six fields every program file, bank file and program record of a bank opens with. The byte
// size counts the whole file in the chunk form (payload given) and is 0 in the parameter form.
bool PutHead(ByteChunk* c, const FileKind& kind, const ByteChunk* payload, int32_t id, int32_t version)
{
  const int32_t fields[] = {kChunkMagic,
                            payload ? kind.headSize + payload->Size() : 0,
                            payload ? kind.chunkFormMagic : kind.paramFormMagic,
                            kind.formatVersion,
                            id,
                            version};
  for (int32_t v : fields)
    if (PutBE32(c, v) < 0) return false;
  return true;
}

// The name field of a program: 28 bytes, zero-padded (a 28-character name has no terminator).
bool PutName(ByteChunk* c, const char* name)
{
  char field[kNameFieldSize] = {};
  WDL_CopyText(field, kNameFieldSize, name, -1);
  return c->PutBytes(field, kNameFieldSize) >= 0;
}

// The 56-byte head of a program file or of a program record in a bank, as read.
struct ProgramHeader
{
  int32_t chunkMagic = 0, byteSize = 0, fxMagic = 0, formatVersion = 0, id = 0, version = 0, nParams = 0;
  char name[kNameFieldSize + 1] = {};  // the field need not hold a terminator
};

int GetProgramHeader(const ByteChunk* c, ProgramHeader* h, int pos)
{
  int32_t* fields[] = {&h->chunkMagic, &h->byteSize, &h->fxMagic, &h->formatVersion, &h->id, &h->version, &h->nParams};
  for (int32_t* v : fields) pos = GetBE32(c, v, pos);
  char raw[kNameFieldSize];
  pos = c->GetBytes(raw, kNameFieldSize, pos);
  if (pos >= 0) WDL_CopyText(h->name, sizeof(h->name), raw, kNameFieldSize);
  return pos;
}

// Whether n big-endian floats lie at pos.
bool HasValues(const ByteChunk* c, int pos, int n)
{
  return pos >= 0 && static_cast<int64_t>(pos) + 4 * static_cast<int64_t>(n) <= c->Size();
}
}  // namespace

bool IPlugBase::SaveFile(const char* path, bool bank)
{
  if (!path || !*path) return false;
  const FileKind& kind = bank ? kBankFile : kProgramFile;
  // The chunk form's payload: the framework version header, then the state or every preset.
  ByteChunk payload;
  if (mStateChunks)
  {
    InitChunkWithIPlugVer(&payload);
    if (payload.Size() != 8 || !(bank ? SerializePresets(&payload) : SerializeState(&payload)) ||
        payload.Size() > INT_MAX - kind.headSize)
      return false;
  }

  ByteChunk file;
  const int32_t version = GetEffectVersion(true);
  bool ok = PutHead(&file, kind, mStateChunks ? &payload : nullptr, mUniqueID, version);
  if (bank)
  {
    unsigned char reserved[kBankReservedSize] = {};
    ok = ok && PutBE32(&file, NPresets()) >= 0 && PutBE32(&file, mCurrentPresetIdx) >= 0 &&
         file.PutBytes(reserved, kBankReservedSize) >= 0;
  }
  else
    ok = ok && PutBE32(&file, NParams()) >= 0 && PutName(&file, GetPresetName(mCurrentPresetIdx));

  if (mStateChunks)
    ok = ok && PutBE32(&file, payload.Size()) >= 0 && file.PutBytes(&payload) >= 0;
  else if (!bank)
  {
    WDL_MutexLock lock(&mMutex);
    for (int i = 0; ok && i < NParams(); ++i)
      ok = PutBEFloat(&file, static_cast<float>(GetParam(i)->GetNormalized())) >= 0;
  }
  else
    for (int p = 0; ok && p < NPresets(); ++p)
    {
      // A program record: the parameter-form program head, then the preset's values. Its chunk
      // holds one double per parameter; missing values read as 0.
      const IPreset* preset = GetPreset(p);
      ok = PutHead(&file, kProgramFile, nullptr, mUniqueID, version) && PutBE32(&file, NParams()) >= 0 &&
           PutName(&file, preset->mName);
      int pos = 0;
      for (int i = 0; ok && i < NParams(); ++i)
      {
        double v = 0.0;
        pos = preset->mChunk.GetValue(&v, pos);
        if (pos < 0) v = 0.0;
        ok = PutBEFloat(&file, static_cast<float>(GetParam(i)->GetNormalized(v))) >= 0;
      }
    }
  return ok && BinaryFile::WriteAtomically(path, file.GetBytes(), file.Size());
}

bool IPlugBase::SaveProgramAsFXP(const char* path)
{
  return SaveFile(path, false);
}

bool IPlugBase::SaveBankAsFXB(const char* path)
{
  return SaveFile(path, true);
}

bool IPlugBase::LoadProgramFromFXP(const char* path)
{
  ByteChunk file;
  return path && *path && BinaryFile::Read(path, &file) && LoadProgramFromChunk(&file);
}

bool IPlugBase::LoadBankFromFXB(const char* path)
{
  ByteChunk file;
  return path && *path && BinaryFile::Read(path, &file) && LoadBankFromChunk(&file);
}

void IPlugBase::StoreLoadedProgram(const char* name)
{
  IPreset* p = mPresets.Get(mCurrentPresetIdx);
  if (!p) return;
  bool wasInitialized = p->mInitialized;
  if (!StoreStateInPreset(p)) return;
  p->mInitialized = wasInitialized || *name;
  if (*name) p->SetName(name);
}

void IPlugBase::ApplyNormalizedValues(ByteChunk* file, int pos)
{
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams(); ++i)
  {
    float v = 0.0f;
    pos = GetBEFloat(file, &v, pos);
    if (pos < 0) break;
    GetParam(i)->SetNormalized(v);  // NaN is ignored, values outside [0, 1] clamp
  }
  OnParamReset();
  RedrawParamControls();
}

bool IPlugBase::LoadProgramFromChunk(ByteChunk* file)
{
  ProgramHeader h;
  int pos = GetProgramHeader(file, &h, 0);
  if (pos < 0 || h.chunkMagic != kChunkMagic || h.formatVersion != kProgramFormatVersion || h.id != mUniqueID)
    return false;
  {
    // The whole load holds the mutex, so that processing never sees half a program.
    WDL_MutexLock lock(&mMutex);
    if (h.fxMagic == kProgramChunkMagic && mStateChunks)
    {
      int32_t stateSize = 0;
      pos = GetBE32(file, &stateSize, pos);
      GetIPlugVerFromChunk(file, &pos);
      if (pos < 0) return false;
      // A state that fails part-way is replaced by the state from before the load.
      ByteChunk before;
      bool saved = SerializeState(&before);
      if (UnserializeState(file, pos) < 0)
      {
        if (saved) UnserializeState(&before, 0);
        return false;
      }
    }
    else if (h.fxMagic == kProgramParamsMagic)
    {
      // Every value must be there before the first is applied.
      if (!HasValues(file, pos, NParams())) return false;
      ApplyNormalizedValues(file, pos);
    }
    else
      return false;

    StoreLoadedProgram(h.name);
    RestorePreset(mCurrentPresetIdx);
  }
  InformHostOfProgramChange();
  return true;
}

bool IPlugBase::LoadBankFromChunk(ByteChunk* file)
{
  int32_t chunkMagic = 0, byteSize = 0, fxMagic = 0, formatVersion = 0, id = 0, version = 0, nPrograms = 0,
          currentProgram = 0;
  int32_t* fields[] = {&chunkMagic, &byteSize, &fxMagic, &formatVersion, &id, &version, &nPrograms, &currentProgram};
  int pos = 0;
  for (int32_t* v : fields) pos = GetBE32(file, v, pos);
  if (pos < 0 || file->Size() < kBankHeaderSize || chunkMagic != kChunkMagic || id != mUniqueID) return false;
  pos = kBankHeaderSize;

  if (fxMagic == kBankChunkMagic && mStateChunks)
  {
    int32_t bankSize = 0;
    pos = GetBE32(file, &bankSize, pos);
    GetIPlugVerFromChunk(file, &pos);
    if (pos < 0) return false;
    {
      WDL_MutexLock lock(&mMutex);
      pos = UnserializePresets(file, pos);
    }
    // Presets before a damaged record have been replaced: the host hears of it either way.
    InformHostOfProgramChange();
    return pos >= 0;
  }
  if (fxMagic == kBankParamsMagic) return LoadBankPrograms(file, pos, nPrograms, currentProgram);
  return false;
}

bool IPlugBase::LoadBankPrograms(ByteChunk* file, int pos, int nPrograms, int currentProgram)
{
  bool ok = true;
  int applied = 0;
  {
    WDL_MutexLock lock(&mMutex);
    for (int p = 0; ok && p < nPrograms; ++p)
    {
      // Each record is checked whole (header, name, every value) before any of it is applied.
      ProgramHeader h;
      pos = GetProgramHeader(file, &h, pos);
      ok = pos >= 0 && h.chunkMagic == kChunkMagic && h.fxMagic == kProgramParamsMagic &&
           h.formatVersion == kProgramFormatVersion && h.nParams == NParams() && HasValues(file, pos, NParams());
      // Programs beyond the presets are read and ignored.
      if (ok && p < NPresets())
      {
        ok = RestorePreset(p);
        if (ok)
        {
          ApplyNormalizedValues(file, pos);
          StoreLoadedProgram(h.name);
          ++applied;
        }
      }
      if (ok) pos += 4 * NParams();
    }
    if (ok) RestorePreset(currentProgram);
  }
  if (ok || applied) InformHostOfProgramChange();
  return ok;
}
