// Buffer attachment, processing dispatch, pass-through and the sizes of the sample buffers.
#include <climits>
#include <cstring>

#include "IPlugBase.h"

static void ZeroDoubles(double* p, int n)
{
  if (p && n > 0) std::memset(p, 0, sizeof(double) * static_cast<size_t>(n));
}

// Resizes a channel's scratch buffer (reserved beforehand) to size zeroed samples; a pointer slot
// that pointed at it, or belongs to a disconnected channel, follows it to its new memory.
static void ResizeScratch(WDL_TypedBuf<double>* scratch, double** slot, bool connected, int size)
{
  double* old = scratch->Get();
  double* buf = scratch->Resize(size);
  ZeroDoubles(buf, size);
  if (!connected || *slot == old) *slot = buf;
}

// The host's channel arrays hold one pointer per connected channel of the range, in order.

void IPlugBase::AttachInputBuffers(int idx, int n, double** data, int)
{
  int j = 0;
  ForEachChannel(mInChannels, idx, n, [&](InChannel* ch) {
    if (!ch->mConnected) return;
    double* src = data ? data[j++] : nullptr;
    if (!src)
    {
      src = ch->mScratchBuf.Get();
      ZeroDoubles(src, ch->mScratchBuf.GetSize());
    }
    *ch->mSrc = src;
  });
}

void IPlugBase::AttachInputBuffers(int idx, int n, float** data, int nFrames)
{
  int j = 0;
  ForEachChannel(mInChannels, idx, n, [&](InChannel* ch) {
    if (!ch->mConnected) return;
    const float* src = data ? data[j++] : nullptr;
    double* buf = ch->mScratchBuf.Get();
    int size = ch->mScratchBuf.GetSize();
    // Never more than the scratch holds; processing refuses such a block anyway.
    int count = nFrames < 0 ? 0 : (nFrames < size ? nFrames : size);
    if (src)
      for (int s = 0; s < count; ++s) buf[s] = src[s];
    else
      ZeroDoubles(buf, size);
    *ch->mSrc = buf;
  });
}

void IPlugBase::AttachOutputBuffers(int idx, int n, double** data)
{
  int j = 0;
  ForEachChannel(mOutChannels, idx, n, [&](OutChannel* ch) {
    if (!ch->mConnected) return;
    double* dest = data ? data[j++] : nullptr;
    *ch->mDest = dest ? dest : ch->mScratchBuf.Get();
    ch->mFDest = nullptr;
  });
}

void IPlugBase::AttachOutputBuffers(int idx, int n, float** data)
{
  int j = 0;
  ForEachChannel(mOutChannels, idx, n, [&](OutChannel* ch) {
    if (!ch->mConnected) return;
    *ch->mDest = ch->mScratchBuf.Get();
    ch->mFDest = data ? data[j++] : nullptr;
  });
}

bool IPlugBase::CheckFrames(int nFrames)
{
  if (nFrames >= 0 && nFrames <= mBlockSize) return true;
  ZeroHostOutputs(nFrames);
  return false;
}

void IPlugBase::ZeroHostOutputs(int nFrames)
{
  if (nFrames <= 0) return;
  for (int i = 0; i < NOutChannels(); ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    if (!ch->mConnected) continue;
    if (ch->mFDest)
      std::memset(ch->mFDest, 0, sizeof(float) * static_cast<size_t>(nFrames));
    else if (*ch->mDest != ch->mScratchBuf.Get())
      ZeroDoubles(*ch->mDest, nFrames);
  }
}

void IPlugBase::ConvertOutputs(int nFrames, bool accumulate)
{
  for (int i = 0; i < NOutChannels(); ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    float* dest = ch->mFDest;
    if (!ch->mConnected || !dest) continue;
    const double* src = *ch->mDest;
    if (accumulate)
      for (int s = 0; s < nFrames; ++s) dest[s] += static_cast<float>(src[s]);
    else
      for (int s = 0; s < nFrames; ++s) dest[s] = static_cast<float>(src[s]);
  }
}

bool IPlugBase::ProcessBuffers(double, int nFrames)
{
  if (!CheckFrames(nFrames)) return false;
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  return true;
}

bool IPlugBase::ProcessBuffers(float, int nFrames)
{
  if (!CheckFrames(nFrames)) return false;
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  ConvertOutputs(nFrames, false);
  return true;
}

bool IPlugBase::ProcessBuffersAccumulating(float, int nFrames)
{
  // Adding nothing leaves the host's buffers as they are, so a refused block is not zeroed.
  if (nFrames < 0 || nFrames > mBlockSize) return false;
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  ConvertOutputs(nFrames, true);
  return true;
}

bool IPlugBase::PassThroughBuffers(double, int nFrames)
{
  if (!CheckFrames(nFrames)) return false;
  if (mLatency && mLatencyDelay)
    PassThroughDelayed(mInData.Get(), mOutData.Get(), nFrames);
  else
    CopyThrough(mInData.Get(), mOutData.Get(), nFrames);
  return true;
}

bool IPlugBase::PassThroughBuffers(float, int nFrames)
{
  if (!PassThroughBuffers(0.0, nFrames)) return false;
  ConvertOutputs(nFrames, false);
  return true;
}

void IPlugBase::CopyThrough(double** inputs, double** outputs, int nFrames)
{
  int nIn = NInChannels(), nOut = NOutChannels();
  int nCopy = nIn < nOut ? nIn : nOut;
  double* frame = mFrameScratch.Get();
  // Frame by frame, every input read before any output written: host buffers may alias.
  for (int s = 0; s < nFrames; ++s)
  {
    for (int c = 0; c < nCopy; ++c) frame[c] = inputs[c][s];
    for (int c = 0; c < nCopy; ++c) outputs[c][s] = frame[c];
    for (int c = nCopy; c < nOut; ++c) outputs[c][s] = 0.0;
  }
}

void IPlugBase::PassThroughDelayed(double** inputs, double** outputs, int nFrames)
{
  LatencyDelayLine* dl = mLatencyDelay;
  const long long len = dl->mLength;
  if (len <= 0 || dl->mBuf.GetSize() < len * dl->mNIn)
  {
    CopyThrough(inputs, outputs, nFrames);
    return;
  }
  int nCh = dl->mNIn < dl->mNOut ? dl->mNIn : dl->mNOut;
  if (nCh > NInChannels()) nCh = NInChannels();
  if (nCh > NOutChannels()) nCh = NOutChannels();
  double* mem = dl->mBuf.Get();
  double* frame = mFrameScratch.Get();
  for (int s = 0; s < nFrames; ++s)
  {
    for (int c = 0; c < nCh; ++c) frame[c] = inputs[c][s];
    for (int c = 0; c < nCh; ++c)
    {
      double& slot = mem[c * len + static_cast<long long>(dl->mWritePos)];
      outputs[c][s] = slot;
      slot = frame[c];
    }
    dl->mWritePos = (dl->mWritePos + 1) % static_cast<unsigned long long>(len);
  }
}

void IPlugBase::ZeroScratchBuffers()
{
  for (int i = 0; i < NInChannels(); ++i)
  {
    InChannel* ch = mInChannels.Get(i);
    ZeroDoubles(ch->mScratchBuf.Get(), ch->mScratchBuf.GetSize());
  }
  for (int i = 0; i < NOutChannels(); ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    ZeroDoubles(ch->mScratchBuf.Get(), ch->mScratchBuf.GetSize());
  }
}

bool IPlugBase::SetBlockSize(int blockSize)
{
  if (blockSize < 0) return false;
  WDL_MutexLock lock(&mMutex);
  if (blockSize == mBlockSize) return true;
  // Reserve everything first, so that a shortage leaves every buffer as it was.
  for (int i = 0; i < NInChannels(); ++i)
    if (!mInChannels.Get(i)->mScratchBuf.Reserve(blockSize)) return false;
  for (int i = 0; i < NOutChannels(); ++i)
    if (!mOutChannels.Get(i)->mScratchBuf.Reserve(blockSize)) return false;

  for (int i = 0; i < NInChannels(); ++i)
  {
    InChannel* ch = mInChannels.Get(i);
    ResizeScratch(&ch->mScratchBuf, ch->mSrc, ch->mConnected, blockSize);
  }
  for (int i = 0; i < NOutChannels(); ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    ResizeScratch(&ch->mScratchBuf, ch->mDest, ch->mConnected, blockSize);
  }
  mBlockSize = blockSize;
  return true;
}

bool IPlugBase::CreateLatencyDelayLine()
{
  if (mLatencyDelay || NInChannels() < 1) return true;
  mLatencyDelay = new LatencyDelayLine;
  mLatencyDelay->mNIn = NInChannels();
  mLatencyDelay->mNOut = NOutChannels();
  if (SetLatency(mLatency)) return true;
  delete mLatencyDelay;
  mLatencyDelay = nullptr;
  return false;
}

bool IPlugBase::SetLatency(int samples)
{
  if (samples < 0) return false;
  WDL_MutexLock lock(&mMutex);
  if (mLatencyDelay)
  {
    long long total = static_cast<long long>(samples) * mLatencyDelay->mNIn;
    if (total > INT_MAX / static_cast<long long>(sizeof(double))) return false;
    double* mem = mLatencyDelay->mBuf.Resize(static_cast<int>(total));
    if (!mem && total > 0) return false;
    ZeroDoubles(mem, static_cast<int>(total));
    mLatencyDelay->mLength = samples;
    mLatencyDelay->mWritePos = 0;
  }
  mLatency = samples;
  return true;
}
