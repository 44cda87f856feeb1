#pragma once
// A host for the editor on screen, under the Xvfb server the test command starts: a top-level
// parent window on its own connection, a run loop (IRunLoop) and a frame (IPlugFrame) of its
// own, the way a Linux DAW embeds a VST3 editor, and XTest input. Also the test plug-in with an
// editor: TestFx with a knob, a four-position switch, value captions (text entry, menu) and a
// meter fed from processing.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "IGraphicsLinux.h"
#include "IPlugVST3View.h"
#include "TestHost.h"
#include "TestPlugs.h"
#include "X11RunLoop.h"
#include "pluginterfaces/gui/iplugview.h"

#include <X11/Xlib.h>

namespace guitest
{
using namespace Steinberg;

// The host's run loop: the command-line host's own.
using RunLoop = vst3host::X11RunLoop;

class Frame : public IPlugFrame, public vst3test::HostRefCount
{
public:
  explicit Frame(RunLoop* loop, bool offerRunLoop = true) : mLoop(loop), mOfferRunLoop(offerRunLoop) {}
  tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* newSize) override;
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
  uint32 PLUGIN_API addRef() override { return AddRefImpl(); }
  uint32 PLUGIN_API release() override { return ReleaseImpl(); }
  std::vector<ViewRect> resizes;

private:
  RunLoop* mLoop;
  bool mOfferRunLoop;
};

// TestFx with an editor of a few controls (editor size 300 x 160).
class GuiFx : public TestFx
{
public:
  static constexpr int kW = 300, kH = 160;
  // Control rectangles (editor pixels).
  static IRECT KnobRect() { return IRECT(10, 10, 60, 110); }
  static constexpr int kSwitchX = 80, kSwitchY = 10, kSwitchSide = 30;
  static IRECT DriveRect() { return IRECT(130, 10, 230, 30); }
  static IRECT ModeRect() { return IRECT(130, 50, 230, 70); }
  static IRECT MeterRect() { return IRECT(250, 10, 270, 150); }

  explicit GuiFx(IPlugInstanceInfo info);
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;
  IGraphicsLinux* Editor() { return static_cast<IGraphicsLinux*>(GetGUI()); }

  int meterIdx = -1, knobIdx = -1, switchIdx = -1;
  std::vector<int> keys;  // what the key catcher received
};

// Records edits like the test host's handler; its context menu grabs the pointer on the host's
// connection, as a DAW's menu does, and records whether that worked.
class GrabbingHandler : public vst3test::ComponentHandler
{
public:
  explicit GrabbingHandler(Display* display) : mDisplay(display) {}
  Vst::IContextMenu* PLUGIN_API createContextMenu(IPlugView* view, const Vst::ParamID* paramID) override;
  int grabResult = -1;  // GrabSuccess (0) when the menu could grab

private:
  Display* mDisplay;
};

// One embedded editor: instance, host objects, parent window and view, attached as a DAW does.
class GuiHost
{
public:
  GuiHost();
  ~GuiHost();

  // createView, setFrame, the platform check, getSize, attached; false when any step fails.
  bool Open();
  // removed, then the view released.
  void Close();
  bool IsOpen() const { return mView != nullptr; }

  // XTest input at editor coordinates (the parent sits at the screen's origin + offset).
  void MoveTo(int x, int y);
  void Press(int button);
  void Release(int button);
  void Click(int x, int y, int button = 1);
  void Key(unsigned long keysym, bool shift = false);
  void Type(const std::string& text);
  // Flushes the test connection and runs the host loop for ms.
  void Pump(int ms = 100) { Sync(); loop.Pump(ms); }
  void Sync();
  // The editor's window (the child of the parent), 0 when none.
  Window Child();
  // The colour 0xRRGGBB of a pixel of the parent's area as the server has it.
  unsigned long ScreenPixel(int x, int y);

  Display* display = nullptr;
  Window parent = 0;
  RunLoop loop;
  Frame frame{&loop};
  std::unique_ptr<GrabbingHandler> handler;
  std::unique_ptr<Vst::HostApplication> hostApp;
  GuiFx* fx = nullptr;
  IPlugView* mView = nullptr;
  static constexpr int kOffsetX = 20, kOffsetY = 20;
};
}  // namespace guitest
