#pragma once
// Brelix: a stereo saturating preamp. The input is driven (GAIN) into one of eleven saturation
// curves (MODEL), through an optional high-pass model (HPF) and high-frequency shelf (LPF), a
// fixed gain stage, the output-stage filter and the output level (OUT); BYPASS passes the input
// through unchanged, and a smoothed level meter is kept for the editor.
//
// Threads: the constructor, destructor and Reset run on the host's user-interface thread;
// ProcessDoubleReplacing runs on the audio thread with the plug-in mutex held; OnParamChange
// runs on either, and takes the plug-in mutex for its whole body (so do Reset and the base's
// writers), so the cached gains never change within a block.
// Real-time safety: ProcessDoubleReplacing and OnParamChange never allocate, throw or do I/O,
// and take no lock but the (recursive) plug-in mutex.
// Ownership: every member is embedded; the base owns the parameters, presets and the editor.
// Units: GAIN and OUT are decibels (GAIN 0 to 40, OUT -30 to 30); samples are linear doubles;
// the meter value pushed to the editor is the smoothed level times 0.25, not clamped, stored
// into the meter control (GetMeterControlIdx(), 8) of the editor once per frame.
//
// Editor: 1129 x 214 pixels of bitmaps (BrelixEditor.cpp), built by the constructor and owned
// by the base. Building it touches no window system; its images are read from the bundle's
// Contents/Resources, once per process.
//
// Input hygiene: a non-finite input sample, or a non-finite saturation result, enters the
// chain as 0, so the filter histories and the meter stay finite for the life of the instance;
// BYPASS still copies the input bit for bit. Out-of-range MODEL, HPF, LPF or BYPASS values are
// clamped into their ranges before the curve and filters are picked.

#include <array>
#include <cstddef>
#include <utility>

#include "BrelixCurves.h"
#include "IGraphics.h"
#include "IPlugVST3.h"
#include "V76300.h"
#include "V763k.h"
#include "V7680.h"
#include "V7680300.h"
#include "V76F.h"
#include "WDL_BesselFilter.h"
#include "WDL_Mutex.h"

// The framework class the effect derives from: the VST3 binding. Nothing else names the base.
using BrelixBase = IPlugVST3;

class Brelix : public BrelixBase
{
public:
  // Parameter ids as hosts, presets and the editor see them. 0, 3 and 8 are never initialised.
  enum EParams
  {
    kUnused0 = 0,
    kGain = 1,
    kOut = 2,
    kUnused3 = 3,
    kModel = 4,
    kLpf = 5,
    kHpf = 6,
    kLink = 7,
    kUnused8 = 8,
    kBypass = 9,
    kNumParams = 10
  };

  static constexpr int kNumModels = kBrelixNumModels;  // the saturation curves
  static constexpr int kNumHpf = 4;  // 0 off, 1 V7680, 2 V76300, 3 V7680300
  static constexpr int kNumLpf = 2;  // 0 off, 1 V763k
  static constexpr int kOversampling = 8;
  static constexpr double kAntiAliasCutoff = 0.5 / kOversampling;  // fraction of the sample rate
  static constexpr double kMakeUp = 272.27013080779125;            // after the saturation curve
  static constexpr double kHighPassMakeUp = 1.462177174456718;     // after any high-pass model
  static constexpr double kMeterAttack = 0.6;                      // weight while rising or holding
  static constexpr double kMeterRelease = 0.05;                    // weight while falling
  static constexpr double kMeterScale = 0.25;                      // applied before the editor sees it

  // One channel's chain: the stage values kept from frame to frame and its filter objects.
  struct Channel
  {
    double sat = 0.0;  // after the saturation curve
    double hp = 0.0;   // after the high-pass stage
    double lp = 0.0;   // after the shelving stage
    WDL_BesselFilterCoeffs antiAlias;
    WDL_BesselFilterStage antiAliasStage;
    V76F output;
    V763k shelf;
    V7680 hp80;
    V76300 hp300;
    V7680300 hp80300;
  };

  // Initialises the parameters, builds the editor and makes the default preset "-".
  explicit Brelix(IPlugInstanceInfo info = IPlugInstanceInfo());
  ~Brelix() override;

  // The base's, then notes whether the editor is the framework's own (the meter's fast path).
  void AttachGraphics(IPlugEditor* editor) override;
  // Takes the plug-in mutex and clears nothing: filter histories carry over between activations.
  void Reset() override;
  // GAIN and OUT update the cached drive and output gains; other indices change nothing.
  void OnParamChange(int paramIdx) override;
  // Processes one block of two channels (the second may be the silent scratch pair of the
  // one-channel configuration). inputs and outputs may share memory channel by channel.
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;

  // Read-only views for tests and diagnostics.
  double GetDriveGain() const { return mDriveGain; }
  double GetOutputGain() const { return mOutputGain; }
  double GetMeterLevel() const { return mMeter; }
  int GetMeterControlIdx() const { return mMeterControlIdx; }
  const Channel& GetChannel(int c) const { return mChannels[c == 1 ? 1 : 0]; }

private:
  using BlockFn = void (Brelix::*)(double** inputs, double** outputs, int nFrames);

  // Builds the editor (BrelixEditor.cpp) and hands it to the base.
  void AttachEditor();
  template <int Model, int Hpf, int Lpf, bool Bypass>
  void ProcessBlock(double** inputs, double** outputs, int nFrames);
  template <std::size_t... I>
  static constexpr std::array<BlockFn, sizeof...(I)> MakeBlockTable(std::index_sequence<I...>);
  // Recomputes every filter coefficient when the sample rate differs from the last one used.
  void UpdateCoefficients();

  double mDriveGain = 1.0;
  double mOutputGain = 1.0;
  IGraphics* mEditor = nullptr;  // the base's editor when it is the framework's, else null
  int mMeterControlIdx = -1;     // the editor's meter control, set when the editor is built
  double mMeter = 0.0;
  double mCoeffRate;          // the rate the coefficients were computed for; NaN before the first block
  Channel mChannels[2];
};
