// State chunks of IPlugBase: the parameter state format and the framework version header.
#include <cmath>
#include <cstring>

#include "ByteChunk.h"
#include "IPlugBase.h"
#include "Log.h"

namespace
{
// "tffp" when stored little-endian.
constexpr int32_t kIPlugMagic = 1885759092;
// Version 1.0.0, packed.
constexpr int32_t kIPlugVersion = 0x010000;
}  // namespace

bool IPlugBase::SerializeParams(ByteChunk* chunk)
{
  if (!chunk) return false;
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams(); ++i)
  {
    const IParam* param = GetParam(i);
    Trace("SerializeParams", __LINE__, "%d %s %f", i, param->GetNameForHost(), param->Value());
    if (chunk->PutValue(param->Value()) < 0) return false;
  }
  return true;
}

int IPlugBase::UnserializeParams(ByteChunk* chunk, int startPos)
{
  if (!chunk) return -1;
  WDL_MutexLock lock(&mMutex);
  int pos = startPos;
  for (int i = 0; i < NParams() && pos >= 0; ++i)
  {
    // A value missing at the end reads as 0, clamped into the parameter's range.
    double v = 0.0;
    pos = chunk->GetValue(&v, pos);
    IParam* param = GetParam(i);
    param->SetValue(v);
    Trace("UnserializeParams", __LINE__, "%d %s %f", i, param->GetNameForHost(), param->Value());
  }
  OnParamReset();
  return pos;
}

bool IPlugBase::SerializeState(ByteChunk* chunk)
{
  return SerializeParams(chunk);
}

int IPlugBase::UnserializeState(ByteChunk* chunk, int startPos)
{
  return UnserializeParams(chunk, startPos);
}

bool IPlugBase::CompareState(const unsigned char* data, int startPos)
{
  if (NParams() == 0) return true;
  if (!data || startPos < 0) return false;
  const unsigned char* p = data + static_cast<size_t>(startPos) * sizeof(double);
  for (int i = 0; i < NParams(); ++i, p += sizeof(double))
  {
    float stored = static_cast<float>(ByteChunk::Decode<double>(p));
    float current = static_cast<float>(GetParam(i)->Value());
    if (!(std::fabs(static_cast<double>(current) - static_cast<double>(stored)) < 0.00001)) return false;
  }
  return true;
}

void IPlugBase::InitChunkWithIPlugVer(ByteChunk* chunk)
{
  if (!chunk) return;
  chunk->Clear();
  chunk->PutValue(kIPlugMagic);
  chunk->PutValue(kIPlugVersion);
}

int IPlugBase::GetIPlugVerFromChunk(ByteChunk* chunk, int* pos)
{
  if (!chunk || !pos) return 0;
  int32_t magic = 0;
  int next = chunk->GetValue(&magic, *pos);
  if (next < 0 || magic != kIPlugMagic) return 0;
  int32_t version = 0;
  *pos = chunk->GetValue(&version, next);
  return *pos < 0 ? 0 : version;
}
