#pragma once
// Base class of every plug-in instance, independent of the host interface.
//
// Owns the parameters, presets, channel configuration, audio buffers, the plug-in mutex, the
// plug-in's identity and the attached editor. An API binding derives from it, implements the
// pure operations (host notifications, transport, editor resizing, MIDI output) and drives it:
// connects channels, attaches the host's buffers, calls the processing dispatch once per block
// and forwards state calls. The effect derives from the binding and overrides the hooks.
//
// Threads: the audio thread calls the attach/process operations with the plug-in mutex held;
// the host's user-interface thread calls everything else, with one exception: a binding may
// restore an initialised preset on the audio thread (the VST3 binding does when the host changes
// its "Preset" parameter), with the mutex held. The mutex is recursive; which operations take it
// is said at each one. Attach/process operations, and RestorePreset of an initialised preset,
// are real-time safe: they never allocate. Sample buffers are allocated only in SetBlockSize and
// SetLatency.
//
// Frame counts: processing more frames than the block size is refused (outputs are silenced
// and the call returns false), so no call can reach past the scratch buffers.

#include <atomic>

#include "IParam.h"
#include "IPlugFourCC.h"
#include "IPlugStructs.h"
#include "Hosts.h"
#include "WDL_Mutex.h"
#include "WDL_PtrList.h"
#include "WDL_String.h"

class ByteChunk;
struct IPreset;
struct IMidiMsg;
struct ISysEx;

enum EAPI
{
  kAPIVST2 = 0,
  kAPIVST3 = 1,
  kAPIAU = 2,
  kAPIRTAS = 3,
  kAPIAAX = 4,
  kAPISA = 5
};

// What the instance base needs of an attached editor. The editor framework's IGraphics
// implements it; the instance owns the attached editor and deletes it on destruction.
class IPlugEditor
{
public:
  virtual ~IPlugEditor() = default;
  // Pushes a parameter's value into the controls bound to it (plain or normalised).
  virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;
  // Called once on attachment, before the first draw.
  virtual void PrepDraw() = 0;
  // Audio thread: stores a control's normalised value and marks it dirty (a meter's level).
  // Real-time safe; an index without a control is ignored.
  virtual void SetControlFromPlug(int /*controlIdx*/, double /*normalizedValue*/) {}
  // The editor view's needs: open the editor inside the host's parent window (the platform's
  // window handle; returns the editor's own window or null), close it, and the size in pixels.
  virtual void* OpenWindow(void* /*parent*/) { return nullptr; }
  virtual void CloseWindow() {}
  virtual int Width() const { return 0; }
  virtual int Height() const { return 0; }

  // Run-loop plumbing for hosts that drive the editor from their own loop (the VST3 view on
  // Linux). User-interface thread. ConnectWindowSystem opens the display connection ahead of
  // attachment (false without a display); never called while the editor is constructed.
  virtual bool ConnectWindowSystem() { return false; }
  // The descriptor the host watches while a window is open (-1: none) and its handler, which
  // handles every pending event; the frame timer's interval and tick (the redraw).
  virtual int GetEventFD() const { return -1; }
  virtual void OnEventFD() {}
  virtual int TimerIntervalMs() const { return 40; }
  virtual void OnTimer() {}
  // A key the host forwards: a virtual key (EVirtualKey) or, with kVKNone, a character.
  // True only when the editor used it; the host keeps every other key.
  virtual bool OnHostKeyDown(int /*virtualKey*/, int /*character*/) { return false; }
};

// Keys a host names rather than spells (the editor's key table and its text entry use them).
enum EVirtualKey
{
  kVKNone = 0,
  kVKSpace,
  kVKUp,
  kVKDown,
  kVKLeft,
  kVKRight,
  kVKReturn,
  kVKEscape,
  kVKTab,
  kVKBackspace,
  kVKDelete,
  kVKHome,
  kVKEnd
};

class IPlugBase
{
public:
  struct ChannelIO
  {
    int mIn = 0, mOut = 0;
  };

  struct InChannel
  {
    bool mConnected = false;
    double** mSrc = nullptr;  // this channel's slot in the input pointer array
    WDL_TypedBuf<double> mScratchBuf;
    WDL_String mLabel;
  };

  struct OutChannel
  {
    bool mConnected = false;
    double** mDest = nullptr;  // this channel's slot in the output pointer array
    float* mFDest = nullptr;
    WDL_TypedBuf<double> mScratchBuf;
    WDL_String mLabel;
  };

  struct LatencyDelayLine
  {
    WDL_TypedBuf<double> mBuf;  // one run of mLength samples per input channel
    unsigned long long mWritePos = 0;
    int mNIn = 0;
    int mNOut = 0;
    long long mLength = 0;
  };

  static constexpr int kMaxNameLen = 128;    // effect, product and maker names, with terminator
  static constexpr int kMaxPresetNameLen = 256;

  IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName, const char* productName,
            const char* mfrName, int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
            bool plugDoesChunks, bool plugIsInst, EAPI plugAPI);

  // Virtual operations, in slot order.
  virtual ~IPlugBase();
  // Hooks; the defaults take and release the mutex (Reset, OnParamChange, OnActivate).
  virtual void Reset();
  virtual void OnParamChange(int paramIdx);
  // Default: copy-through (input c to output c, remaining outputs zeroed).
  virtual void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames);
  virtual void OnGUIOpen() {}
  virtual void OnGUIClose() {}
  virtual void OnIdle() {}
  virtual void OnActivate(bool active);
  virtual void ProcessMidiMsg(IMidiMsg* msg);
  virtual void ProcessSysEx(ISysEx*) {}
  virtual bool MidiNoteName(int noteNumber, char* name);
  // State (see IPlugBaseState.cpp): the defaults store the parameter values.
  virtual bool SerializeState(ByteChunk* chunk);
  virtual int UnserializeState(ByteChunk* chunk, int startPos);
  virtual bool CompareState(const unsigned char* data, int startPos);
  virtual void OnWindowResize() {}
  virtual bool HostRequestingAboutBox() { return false; }
  virtual void OnHostIdentified() {}
  virtual bool PopupHostContextMenuForParam(int, int, int) { return false; }
  // Editor thread: sets a parameter from a control under the mutex, tells the host the
  // unrounded value, then calls OnParamChange. An index outside the parameters is ignored.
  virtual void SetParameterFromGUI(int paramIdx, double normalizedValue);
  virtual void BeginInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfParamChange(int paramIdx, double normalizedValue) = 0;
  virtual void EndInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfProgramChange() = 0;
  virtual bool IsRenderingOffline() { return false; }
  virtual int GetSamplePos() = 0;
  virtual double GetTempo() = 0;
  virtual void GetTimeSig(int* numerator, int* denominator) = 0;
  virtual void GetTime(ITimeInfo* timeInfo) = 0;
  virtual EHost GetHost() { return mHost; }
  virtual EAPI GetAPI() { return mAPI; }
  virtual void ResizeGraphics(int w, int h) = 0;
  virtual void HostSpecificInit() {}
  // Under the mutex: pushes every parameter's normalised value to the editor, prepares it and
  // takes ownership. Null is ignored; an editor already attached is deleted first.
  virtual void AttachGraphics(IPlugEditor* editor);
  // Stores the latency and resets the delay line (when one exists) to samples frames of
  // silence. Returns false, changing nothing, for a negative count or when memory is short.
  virtual bool SetLatency(int samples);
  virtual bool SendMidiMsg(IMidiMsg* msg) = 0;
  virtual bool SendSysEx(ISysEx*) { return false; }
  // Pushes every parameter's plain value to the editor; does not take the mutex.
  virtual void RedrawParamControls();
  virtual void DirtyPTCompareState() {}
  virtual void PresetsChangedByHost() {}
  // Resizes every scratch buffer to blockSize zeroed samples (nothing happens when the size is
  // unchanged). Returns false, keeping the previous size, for a negative size or when memory
  // is short.
  virtual bool SetBlockSize(int blockSize);

  // Channel configuration.
  bool LegalIO(int nIn, int nOut) const;
  void SetInputChannelConnections(int idx, int n, bool connected);
  void SetOutputChannelConnections(int idx, int n, bool connected);
  bool IsInChannelConnected(int idx) const;
  bool IsOutChannelConnected(int idx) const;
  void LimitToStereoIO();
  void SetInputLabel(int idx, const char* label);
  void SetOutputLabel(int idx, const char* label);
  void SetInputBusLabel(int idx, const char* label);
  void SetOutputBusLabel(int idx, const char* label);
  const char* GetInputLabel(int idx) const;
  const char* GetOutputLabel(int idx) const;
  const char* GetInputBusLabel(int idx) const;
  const char* GetOutputBusLabel(int idx) const;
  int NChannelIO() const { return mChannelIO.GetSize(); }
  const ChannelIO* GetChannelIO(int idx) const { return mChannelIO.Get(idx); }

  // Buffers and processing: audio thread, mutex held, real-time safe. A null data array or
  // null channel pointer reads as silence (inputs) or is not written (outputs).
  void AttachInputBuffers(int idx, int n, double** data, int nFrames);
  void AttachInputBuffers(int idx, int n, float** data, int nFrames);
  void AttachOutputBuffers(int idx, int n, double** data);
  void AttachOutputBuffers(int idx, int n, float** data);
  // Run ProcessDoubleReplacing (or the pass-through while bypassed) over the attached buffers.
  // nFrames outside [0, block size] is refused: host outputs are zeroed, false is returned.
  // The float forms convert the outputs back into the float destinations (or add to them).
  bool ProcessBuffers(double sampleType, int nFrames);
  bool ProcessBuffers(float sampleType, int nFrames);
  bool ProcessBuffersAccumulating(float sampleType, int nFrames);
  bool PassThroughBuffers(double sampleType, int nFrames);
  bool PassThroughBuffers(float sampleType, int nFrames);
  void ZeroScratchBuffers();
  // Creates the pass-through delay line (one run of latency frames per input channel, zeroed).
  // Does nothing without input channels; returns false when memory is short.
  bool CreateLatencyDelayLine();
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }

  // Parameters.
  int NParams() const { return mParams.GetSize(); }
  IParam* GetParam(int idx) const { return mParams.Get(idx); }
  // Calls OnParamChange for every parameter in index order, without taking the mutex.
  void OnParamReset();
  // Under the mutex, tells the host every parameter's normalised value.
  void DirtyParameters();
  IPlugEditor* GetGUI() const { return mGraphics; }

  // State and presets (IPlugBaseState.cpp, IPlugBasePresets.cpp). User-interface thread, but for
  // RestorePreset of an initialised preset, which may also come from the audio thread (above).
  // Parameter state: each parameter's plain value as a little-endian double, in index order.
  // Readers return the position after what they read, or -1 when the data ended early; stored
  // values are clamped into each parameter's range and NaN leaves a parameter unchanged.
  // SerializeParams/UnserializeParams hold the mutex; the preset operations reach it through
  // SerializeState/UnserializeState. Writers return false when the chunk could not grow.
  bool SerializeParams(ByteChunk* chunk);
  int UnserializeParams(ByteChunk* chunk, int startPos);
  // The 8-byte framework version header: magic "tffp" (little-endian) and version 1.0.0.
  static void InitChunkWithIPlugVer(ByteChunk* chunk);
  static int GetIPlugVerFromChunk(ByteChunk* chunk, int* pos);
  int NPresets() const { return mPresets.GetSize(); }
  IPreset* GetPreset(int idx) const { return mPresets.Get(idx); }
  static IPreset* GetNextUninitializedPreset(WDL_PtrList<IPreset>* presets);
  // Writes "user preset N" (out holds at least 256 characters).
  static void MakeDefaultUserPresetName(WDL_PtrList<IPreset>* presets, char* out);
  // The making operations fill the next uninitialised preset and do nothing when none is left.
  // Names are cut to 255 characters.
  void MakeDefaultPreset(const char* name, int nPresets);
  // One value per parameter: int for bool, int and enum parameters, double for the others.
  void MakePreset(const char* name, ...);
  // nParamsNamed (int index, value) pairs; value typed as for MakePreset. Pairs whose index
  // lies outside the parameters are skipped.
  void MakePresetFromNamedParams(const char* name, int nParamsNamed, ...);
  void MakePresetFromChunk(const char* name, ByteChunk* chunk);
  // blob is RFC 4648 Base64 of sizeOfChunk bytes; bytes the text does not reach stay 0.
  void MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk);
  void EnsureDefaultPreset();
  // Deletes uninitialised presets; the current index keeps pointing at the same preset (or 0).
  void PruneUninitializedPresets();
  // Restores a preset (an uninitialised one first stores the current state as a new user
  // preset). False for a bad index or name, or a failed store or restore; the current preset
  // index then stays.
  bool RestorePreset(int idx);
  bool RestorePreset(const char* name);
  const char* GetPresetName(int idx) const;
  void ModifyCurrentPreset(const char* name = nullptr);
  // Bank format: per preset its name (32-bit length and characters), its initialised flag and,
  // when initialised, its state. A record that ends early changes nothing of its preset.
  bool SerializePresets(ByteChunk* chunk);
  int UnserializePresets(ByteChunk* chunk, int startPos);
  // Development dumps as source text; nothing is written when the file cannot be opened.
  void DumpPresetSrcCode(const char* path, const char** paramEnumNames);
  void DumpPresetBlob(const char* path);
  void DumpBankBlob(const char* path);

  // Program (.fxp) and bank (.fxb) files with big-endian headers, in the chunk form when the
  // plug-in does state chunks, the parameter form otherwise. Saving writes a temporary file
  // beside the target and renames it, so a failed save leaves the old file in place. Loading
  // checks every record whole before applying it. All return false on any failure.
  bool SaveProgramAsFXP(const char* path);
  bool SaveBankAsFXB(const char* path);
  bool LoadProgramFromFXP(const char* path);
  bool LoadBankFromFXB(const char* path);

  // Identity and information.
  const char* GetEffectName() const { return mEffectName; }
  const char* GetProductName() const { return mProductName; }
  const char* GetMfrName() const { return mMfrName; }
  int GetUniqueID() const { return mUniqueID; }
  int GetMfrID() const { return mMfrID; }
  int GetEffectVersion(bool decimal) const;
  void GetEffectVersionStr(char* out) const;  // out holds at least 32 characters
  int GetHostVersion(bool decimal);
  void GetHostVersionStr(char* out);  // out holds at least 32 characters
  const char* GetAPIString();
  const char* GetArchString() const { return "x64"; }
  double GetSamplesPerBeat();
  bool SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* msgs);
  // Identifies the host by its name; see LookUpHost.
  void SetHost(const char* host, int version);
  bool DoesStateChunks() const { return mStateChunks; }
  bool IsInst() const { return mIsInst; }
  bool DoesMIDI() const { return mDoesMIDI; }
  bool GetIsBypassed() const { return mIsBypassed; }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  double GetSampleRate() const { return mSampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  int GetTailSize() const { return mTailSize; }
  int NInChannels() const { return mInChannels.GetSize(); }
  int NOutChannels() const { return mOutChannels.GetSize(); }
  WDL_Mutex* GetMutex() { return &mMutex; }

protected:
  WDL_PtrList<ChannelIO> mChannelIO;
  WDL_Mutex mMutex;
  char mEffectName[kMaxNameLen];
  char mProductName[kMaxNameLen];
  char mMfrName[kMaxNameLen];
  int mUniqueID;
  int mMfrID;
  int mVersion;
  EAPI mAPI;
  EHost mHost = kHostUninit;
  int mHostVersion = 0;
  bool mStateChunks;
  bool mIsInst;
  bool mDoesMIDI;
  // Written by the binding on the audio thread, read by the host's controller thread.
  std::atomic<bool> mIsBypassed{false};
  int mCurrentPresetIdx = 0;
  double mSampleRate = 44100.0;
  int mBlockSize = 0;
  int mLatency;
  int mTailSize = 0;
  LatencyDelayLine* mLatencyDelay = nullptr;
  WDL_PtrList<const char> mParamGroups;
  IPlugEditor* mGraphics = nullptr;
  WDL_PtrList<IParam> mParams;
  WDL_PtrList<IPreset> mPresets;
  WDL_TypedBuf<double*> mInData;
  WDL_TypedBuf<double*> mOutData;
  WDL_PtrList<InChannel> mInChannels;
  WDL_PtrList<OutChannel> mOutChannels;
  WDL_PtrList<WDL_String> mInputBusLabels;
  WDL_PtrList<WDL_String> mOutputBusLabels;

private:
  // One sample per input channel: lets copy-through and pass-through read every input of a
  // frame before writing outputs that may share the input's memory.
  WDL_TypedBuf<double> mFrameScratch;

  // Calls fn(channel) for each channel of the range [idx, idx + n) that exists, in order.
  template <class Channel, class Fn>
  static void ForEachChannel(const WDL_PtrList<Channel>& channels, int idx, int n, Fn&& fn);

  bool CheckFrames(int nFrames);
  void ZeroHostOutputs(int nFrames);
  void CopyThrough(double** inputs, double** outputs, int nFrames);
  void PassThroughDelayed(double** inputs, double** outputs, int nFrames);
  void ConvertOutputs(int nFrames, bool accumulate);

  // State, preset and file helpers (IPlugBaseState.cpp, IPlugBasePresets.cpp, IPlugBaseFiles.cpp).
  // Writes the current program (or, for bank, every preset) in the form the plug-in uses.
  bool SaveFile(const char* path, bool bank);
  // Replaces the preset's chunk with the current state. On failure the chunk is emptied and the
  // preset marked uninitialised, so that no bank holds an initialised preset without its state.
  bool StoreStateInPreset(IPreset* preset);
  // Stores the state just loaded from a file in the current preset, renamed when name is not
  // empty (a named program in an empty slot becomes an initialised preset).
  void StoreLoadedProgram(const char* name);
  // Sets every parameter from the big-endian floats at pos (all present), then OnParamChange.
  void ApplyNormalizedValues(ByteChunk* file, int pos);
  bool LoadProgramFromChunk(ByteChunk* file);
  bool LoadBankFromChunk(ByteChunk* file);
  // The programs of a parameter-form bank, starting at pos.
  bool LoadBankPrograms(ByteChunk* file, int pos, int nPrograms, int currentProgram);
};

template <class Channel, class Fn>
void IPlugBase::ForEachChannel(const WDL_PtrList<Channel>& channels, int idx, int n, Fn&& fn)
{
  const long long end = static_cast<long long>(idx) + n;
  const int last = end < channels.GetSize() ? static_cast<int>(end) : channels.GetSize();
  for (int i = idx < 0 ? 0 : idx; i < last; ++i) fn(channels.Get(i));
}
