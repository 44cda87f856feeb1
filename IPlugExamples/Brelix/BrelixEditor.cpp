// The effect's editor: one fixed-size faceplate of bitmaps (background, four switches, three
// knob strips and a meter strip), built once by the constructor.

#include "Brelix.h"

#include "IBitmapControl.h"
#include "IGraphicsLinux.h"
#include "IKnobControls.h"
#include "ISwitchControls.h"

namespace
{
constexpr int kEditorWidth = 1129;
constexpr int kEditorHeight = 214;
constexpr int kEditorFPS = 0;  // the framework's default rate
constexpr const char* kBundleID = "com.Quorvane.vst3.Brelix";

enum class EKind
{
  kSwitch,
  kKnob,
  kMeter
};

struct ControlSpec
{
  EKind kind;
  int paramIdx;
  int x, y;
  int imageId;
  const char* image;
  int frames;
  double gearing;  // knobs only
};

// In the order of the editor's control list; the background is index 0.
constexpr ControlSpec kControls[] = {
  {EKind::kSwitch, Brelix::kBypass, 1011, 56, 105, "resources/img/BY.png", 2, 0.0},
  {EKind::kSwitch, Brelix::kLink, 2000, 2000, 109, "resources/img/LINK.png", 2, 0.0},  // off the window
  {EKind::kSwitch, Brelix::kHpf, 595, 34, 106, "resources/img/HPF.png", 4, 0.0},
  {EKind::kSwitch, Brelix::kLpf, 788, 30, 108, "resources/img/LPF.png", 2, 0.0},
  {EKind::kKnob, Brelix::kGain, 217, 31, 101, "resources/img/LC.png", 61, 4.0},
  {EKind::kKnob, Brelix::kModel, 27, 37, 103, "resources/img/GA.png", 11, 2.0},
  {EKind::kKnob, Brelix::kOut, 406, 34, 104, "resources/img/OU.png", 61, 4.0},
  {EKind::kMeter, -1, 377, 44, 107, "resources/img/VU.png", 61, 0.0},
};
}  // namespace

void Brelix::AttachEditor()
{
  IGraphics* editor = MakeGraphics(this, kEditorWidth, kEditorHeight, kEditorFPS, kBundleID);
  editor->AttachBackground(102, "resources/img/BG.png");
  for (const ControlSpec& c : kControls)
  {
    IBitmap bitmap = editor->LoadIBitmap(c.imageId, c.image, c.frames, false);
    switch (c.kind)
    {
      case EKind::kSwitch:
        editor->AttachControl(new ISwitchControl(this, c.x, c.y, c.paramIdx, &bitmap));
        break;
      case EKind::kKnob:
        editor->AttachControl(new IKnobMultiControl(this, c.x, c.y, c.paramIdx, &bitmap, kVertical, c.gearing));
        break;
      case EKind::kMeter:
        mMeterControlIdx = editor->AttachControl(new IBitmapControl(this, c.x, c.y, c.paramIdx, &bitmap));
        break;
    }
  }
  AttachGraphics(editor);
}

void Brelix::AttachGraphics(IPlugEditor* editor)
{
  BrelixBase::AttachGraphics(editor);
  WDL_MutexLock lock(&mMutex);
  mEditor = dynamic_cast<IGraphics*>(GetGUI());
}
