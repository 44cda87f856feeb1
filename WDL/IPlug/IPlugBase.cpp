#include "IPlugBase.h"

#include <cstdio>
#include <cstring>

#include "IMidiMsg.h"
#include "IPreset.h"
#include "Log.h"
#include "WDL_Version.h"

IPlugBase::IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                     const char* productName, const char* mfrName, int vendorVersion, int uniqueID, int mfrID,
                     int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, EAPI plugAPI)
  : mUniqueID(uniqueID), mMfrID(mfrID), mVersion(vendorVersion), mAPI(plugAPI), mStateChunks(plugDoesChunks),
    mIsInst(plugIsInst), mDoesMIDI(plugDoesMidi), mLatency(latency < 0 ? 0 : latency)
{
  for (int i = 0; i < nParams; ++i) mParams.Add(new IParam);
  for (int i = 0; i < nPresets; ++i) mPresets.Add(new IPreset);

  WDL_CopyText(mEffectName, kMaxNameLen, effectName);
  WDL_CopyText(mProductName, kMaxNameLen, productName);
  WDL_CopyText(mMfrName, kMaxNameLen, mfrName);

  int nInputs = 0, nOutputs = 0;
  for (const char* p = channelIOStr; p;)
  {
    int nIn = 0, nOut = 0;
    std::sscanf(p, "%d-%d", &nIn, &nOut);
    // Negative counts would make no sense as channel numbers; they are read as 0.
    if (nIn < 0) nIn = 0;
    if (nOut < 0) nOut = 0;
    auto* io = new ChannelIO;
    io->mIn = nIn;
    io->mOut = nOut;
    mChannelIO.Add(io);
    if (nIn > nInputs) nInputs = nIn;
    if (nOut > nOutputs) nOutputs = nOut;
    p = std::strchr(p, ' ');
    if (p) ++p;
  }

  mInData.Resize(nInputs);
  mOutData.Resize(nOutputs);
  mFrameScratch.Resize(nInputs);
  for (int i = 0; i < nInputs; ++i)
  {
    auto* ch = new InChannel;
    ch->mSrc = mInData.Get() + i;
    *ch->mSrc = nullptr;
    mInChannels.Add(ch);
  }
  for (int i = 0; i < nOutputs; ++i)
  {
    auto* ch = new OutChannel;
    ch->mDest = mOutData.Get() + i;
    *ch->mDest = nullptr;
    mOutChannels.Add(ch);
  }
  // Every slot points at memory of its own from the start, so processing before the first
  // attachment never follows a null pointer.
  SetInputChannelConnections(0, nInputs, false);
  SetOutputChannelConnections(0, nOutputs, false);

  Trace("IPlugBase", __LINE__, "%s:%s", mEffectName, CurrentTime());
}

IPlugBase::~IPlugBase()
{
  delete mGraphics;
  mGraphics = nullptr;
  for (int i = mParams.GetSize() - 1; i >= 0; --i) mParams.Delete(i, true);
  for (int i = mPresets.GetSize() - 1; i >= 0; --i) mPresets.Delete(i, true);
  mInChannels.Empty(true);
  mOutChannels.Empty(true);
  mChannelIO.Empty(true);
  mInputBusLabels.Empty(true);
  mOutputBusLabels.Empty(true);
  delete mLatencyDelay;
}

void IPlugBase::Reset()
{
  WDL_MutexLock lock(&mMutex);
}

void IPlugBase::OnParamChange(int)
{
  WDL_MutexLock lock(&mMutex);
}

void IPlugBase::OnActivate(bool)
{
  WDL_MutexLock lock(&mMutex);
}

void IPlugBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  CopyThrough(inputs, outputs, nFrames);
}

void IPlugBase::ProcessMidiMsg(IMidiMsg* msg)
{
  SendMidiMsg(msg);
}

bool IPlugBase::MidiNoteName(int, char* name)
{
  if (name) *name = 0;
  return false;
}

// Channel configuration

bool IPlugBase::LegalIO(int nIn, int nOut) const
{
  bool legal = false;
  for (int i = 0; i < mChannelIO.GetSize() && !legal; ++i)
  {
    const ChannelIO* io = mChannelIO.Get(i);
    legal = (nIn < 0 || nIn == io->mIn) && (nOut < 0 || nOut == io->mOut);
  }
  Trace("LegalIO", __LINE__, "%d:%d:%s", nIn, nOut, legal ? "legal" : "illegal");
  return legal;
}

void IPlugBase::SetInputChannelConnections(int idx, int n, bool connected)
{
  ForEachChannel(mInChannels, idx, n, [connected](InChannel* ch) {
    ch->mConnected = connected;
    if (!connected)
    {
      // A disconnected input reads silence, never data converted into it by an earlier call.
      double* buf = ch->mScratchBuf.Get();
      if (buf) std::memset(buf, 0, sizeof(double) * static_cast<size_t>(ch->mScratchBuf.GetSize()));
      *ch->mSrc = buf;
    }
  });
}

void IPlugBase::SetOutputChannelConnections(int idx, int n, bool connected)
{
  ForEachChannel(mOutChannels, idx, n, [connected](OutChannel* ch) {
    ch->mConnected = connected;
    if (!connected)
    {
      *ch->mDest = ch->mScratchBuf.Get();
      ch->mFDest = nullptr;
    }
  });
}

bool IPlugBase::IsInChannelConnected(int idx) const
{
  const InChannel* ch = mInChannels.Get(idx);
  return ch && ch->mConnected;
}

bool IPlugBase::IsOutChannelConnected(int idx) const
{
  const OutChannel* ch = mOutChannels.Get(idx);
  return ch && ch->mConnected;
}

void IPlugBase::LimitToStereoIO()
{
  if (NInChannels() > 2) SetInputChannelConnections(2, NInChannels() - 2, false);
  if (NOutChannels() > 2) SetOutputChannelConnections(2, NOutChannels() - 2, true);
}

void IPlugBase::SetInputLabel(int idx, const char* label)
{
  if (InChannel* ch = mInChannels.Get(idx)) ch->mLabel.Set(label);
}

void IPlugBase::SetOutputLabel(int idx, const char* label)
{
  if (OutChannel* ch = mOutChannels.Get(idx)) ch->mLabel.Set(label);
}

static void ReplaceBusLabel(WDL_PtrList<WDL_String>& labels, int idx, const char* label)
{
  labels.Delete(idx, true);
  labels.Insert(idx, new WDL_String(label));
}

void IPlugBase::SetInputBusLabel(int idx, const char* label)
{
  if (idx == 0 || idx == 1) ReplaceBusLabel(mInputBusLabels, idx, label);
}

void IPlugBase::SetOutputBusLabel(int idx, const char* label)
{
  if (idx >= 0) ReplaceBusLabel(mOutputBusLabels, idx, label);
}

const char* IPlugBase::GetInputLabel(int idx) const
{
  const InChannel* ch = mInChannels.Get(idx);
  return ch ? ch->mLabel.Get() : "";
}

const char* IPlugBase::GetOutputLabel(int idx) const
{
  const OutChannel* ch = mOutChannels.Get(idx);
  return ch ? ch->mLabel.Get() : "";
}

const char* IPlugBase::GetInputBusLabel(int idx) const
{
  const WDL_String* s = mInputBusLabels.Get(idx);
  return s ? s->Get() : "";
}

const char* IPlugBase::GetOutputBusLabel(int idx) const
{
  const WDL_String* s = mOutputBusLabels.Get(idx);
  return s ? s->Get() : "";
}

// Parameters and editor

void IPlugBase::SetParameterFromGUI(int paramIdx, double normalizedValue)
{
  WDL_MutexLock lock(&mMutex);
  IParam* param = GetParam(paramIdx);
  if (!param) return;
  Trace("SetParameterFromGUI", __LINE__, "%d:%f", paramIdx, normalizedValue);
  param->SetNormalized(normalizedValue);
  InformHostOfParamChange(paramIdx, normalizedValue);
  OnParamChange(paramIdx);
}

void IPlugBase::OnParamReset()
{
  for (int i = 0; i < NParams(); ++i) OnParamChange(i);
}

void IPlugBase::DirtyParameters()
{
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams(); ++i) InformHostOfParamChange(i, GetParam(i)->GetNormalized());
}

void IPlugBase::AttachGraphics(IPlugEditor* editor)
{
  if (!editor || editor == mGraphics) return;
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams(); ++i) editor->SetParameterFromPlug(i, GetParam(i)->GetNormalized(), true);
  editor->PrepDraw();
  delete mGraphics;
  mGraphics = editor;
}

void IPlugBase::RedrawParamControls()
{
  if (!mGraphics) return;
  for (int i = 0; i < NParams(); ++i) mGraphics->SetParameterFromPlug(i, GetParam(i)->Value(), false);
}

// Identity and information

int IPlugBase::GetEffectVersion(bool decimal) const
{
  return decimal ? GetDecimalVersion(mVersion) : mVersion;
}

void IPlugBase::GetEffectVersionStr(char* out) const
{
  GetVersionStr(mVersion, out);
}

int IPlugBase::GetHostVersion(bool decimal)
{
  GetHost();
  return decimal ? GetDecimalVersion(mHostVersion) : mHostVersion;
}

void IPlugBase::GetHostVersionStr(char* out)
{
  GetHost();
  GetVersionStr(mHostVersion, out);
}

const char* IPlugBase::GetAPIString()
{
  static const char* const kNames[] = {"VST2", "VST3", "AU", "RTAS", "AAX", "Standalone"};
  int api = GetAPI();
  return api >= 0 && api <= 5 ? kNames[api] : "";
}

double IPlugBase::GetSamplesPerBeat()
{
  double tempo = GetTempo();
  return tempo > 0.0 ? mSampleRate * 60.0 / tempo : 0.0;
}

bool IPlugBase::SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* msgs)
{
  bool ok = true;
  if (!msgs) return ok;
  IMidiMsg* m = msgs->Get();
  for (int i = 0; i < msgs->GetSize(); ++i) ok &= SendMidiMsg(m + i);
  return ok;
}

void IPlugBase::SetHost(const char* host, int version)
{
  mHost = LookUpHost(host);
  mHostVersion = version;
  char name[32], versionStr[32];
  GetHostNameStr(mHost, name);
  GetVersionStr(version, versionStr);
  Trace("SetHost", __LINE__, "host_%sknown:%s:%s", mHost == kHostUnknown ? "un" : "", name, versionStr);
}
