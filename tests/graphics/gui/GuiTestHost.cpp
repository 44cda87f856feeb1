#include "GuiTestHost.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <X11/Xproto.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <time.h>

#include <algorithm>
#include <cmath>

#include "IKnobControls.h"
#include "ISwitchControls.h"
#include "ITextControls.h"

namespace guitest
{
namespace
{
// The test process's own X error handler, installed before any editor (whose handler passes on
// what is not its own): a window that closed between a test's listing and its question is no
// fault of the code under test. Every other error keeps Xlib's default treatment.
XErrorHandler gDefaultHandler = nullptr;
int ObserverErrors(Display* d, XErrorEvent* e)
{
  const bool vanished = (e->error_code == BadWindow || e->error_code == BadDrawable || e->error_code == BadMatch) &&
                        (e->request_code == X_GetWindowAttributes || e->request_code == X_GetImage ||
                         e->request_code == X_QueryTree || e->request_code == X_GetGeometry);
  return vanished || !gDefaultHandler ? 0 : gDefaultHandler(d, e);
}
const bool gObserverHandlerInstalled = [] {
  gDefaultHandler = XSetErrorHandler(ObserverErrors);
  return true;
}();
// A bar whose height follows the value: the meter.
class MeterControl : public IControl
{
public:
  MeterControl(IPlugBase* plug, const IRECT& r) : IControl(plug, r) {}
  bool Draw(IGraphics* g) override
  {
    IRECT r = mRECT;
    IColor black(255, 0, 0, 0), green(255, 0, 255, 0);
    g->FillIRect(&black, &r);
    IRECT bar = r;
    bar.T = r.B - static_cast<int>(std::lround(mValue * r.H()));
    if (bar.T < bar.B) g->FillIRect(&green, &bar);
    return true;
  }
};

// Records the key codes it gets; space (code 0) is left to the host.
class KeyRecorder : public IControl
{
public:
  explicit KeyRecorder(IPlugBase* plug, std::vector<int>* keys) : IControl(plug, IRECT()), mKeys(keys) {}
  bool OnKeyDown(int, int, int key) override
  {
    mKeys->push_back(key);
    return key != 0;
  }
  bool Draw(IGraphics*) override { return true; }

private:
  std::vector<int>* mKeys;
};

// A four-frame strip for the switch: frame i filled with grey level 60 * (i + 1).
IBitmap SwitchStrip(IGraphics* g)
{
  auto* bitmap = new LICE_MemBitmap(GuiFx::kSwitchSide, GuiFx::kSwitchSide * 4);
  for (int i = 0; i < 4; ++i)
  {
    const LICE_pixel level = static_cast<LICE_pixel>(60 * (i + 1));
    LICE_FillRect(bitmap, 0, i * GuiFx::kSwitchSide, GuiFx::kSwitchSide, GuiFx::kSwitchSide,
                  0xff000000u | level << 16 | level << 8 | level, 1.0f, LICE_BLIT_MODE_COPY);
  }
  IBitmap strip(bitmap, GuiFx::kSwitchSide, GuiFx::kSwitchSide * 4, 4, false);
  g->RetainBitmap(&strip);
  return strip;
}

class GrabbingMenu final : public Vst::IContextMenu, public vst3test::HostRefCount
{
public:
  GrabbingMenu(GrabbingHandler* handler, Display* display) : mHandler(handler), mDisplay(display) {}
  int32 PLUGIN_API getItemCount() override { return 0; }
  tresult PLUGIN_API getItem(int32, Item&, Vst::IContextMenuTarget**) override { return kResultFalse; }
  tresult PLUGIN_API addItem(const Item&, Vst::IContextMenuTarget*) override { return kResultOk; }
  tresult PLUGIN_API removeItem(const Item&, Vst::IContextMenuTarget*) override { return kResultOk; }
  tresult PLUGIN_API popup(UCoord x, UCoord y) override
  {
    ++mHandler->mMenusPoppedUp;
    mHandler->mMenuX = x;
    mHandler->mMenuY = y;
    mHandler->grabResult = XGrabPointer(mDisplay, DefaultRootWindow(mDisplay), False, ButtonPressMask, GrabModeAsync,
                                        GrabModeAsync, None, None, CurrentTime);
    XUngrabPointer(mDisplay, CurrentTime);
    XSync(mDisplay, False);
    return kResultOk;
  }
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override
  {
    if (FUnknownPrivate::iidEqual(iid, Vst::IContextMenu::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid))
    {
      addRef();
      *obj = this;
      return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return AddRefImpl(); }
  uint32 PLUGIN_API release() override
  {
    const uint32 n = ReleaseImpl();
    if (!n) delete this;
    return n;
  }

private:
  GrabbingHandler* mHandler;
  Display* mDisplay;
};
}  // namespace

Vst::IContextMenu* PLUGIN_API GrabbingHandler::createContextMenu(IPlugView*, const Vst::ParamID* paramID)
{
  mMenuParam = paramID ? *paramID : 0;
  return new GrabbingMenu(this, mDisplay);
}

tresult PLUGIN_API Frame::resizeView(IPlugView* view, ViewRect* newSize)
{
  if (!view || !newSize) return kInvalidArgument;
  resizes.push_back(*newSize);
  return view->onSize(newSize);
}

tresult PLUGIN_API Frame::queryInterface(const TUID iid, void** obj)
{
  if (FUnknownPrivate::iidEqual(iid, IPlugFrame::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid))
  {
    addRef();
    *obj = static_cast<IPlugFrame*>(this);
    return kResultOk;
  }
  if (mOfferRunLoop && FUnknownPrivate::iidEqual(iid, Linux::IRunLoop::iid)) return mLoop->queryInterface(iid, obj);
  *obj = nullptr;
  return kNoInterface;
}

GuiFx::GuiFx(IPlugInstanceInfo info) : TestFx(info)
{
  IGraphics* g = MakeGraphics(this, kW, kH, 0, "org.example.brelix.tests");
  IColor panel(255, 40, 40, 48), white(255, 255, 255, 255);
  g->AttachPanelBackground(&panel);
  IKnobControl* knob = new IKnobLineControl(this, KnobRect(), kGain, &white);
  knob->SetTooltip("Gain knob");
  knobIdx = g->AttachControl(knob);
  IBitmap strip = SwitchStrip(g);
  auto* sw = new ISwitchControl(this, kSwitchX, kSwitchY, kLocked, &strip);
  sw->SetDblAsSingleClick(true);
  switchIdx = g->AttachControl(sw);
  IText text(12);
  auto* drive = new ICaptionControl(this, DriveRect(), kDrive, &text);
  drive->DisablePrompt(false);
  g->AttachControl(drive);
  auto* mode = new ICaptionControl(this, ModeRect(), kMode, &text);
  mode->DisablePrompt(false);
  g->AttachControl(mode);
  meterIdx = g->AttachControl(new MeterControl(this, MeterRect()));
  g->EnableTooltips(true);
  g->AttachKeyCatcher(new KeyRecorder(this, &keys));
  AttachGraphics(g);
}

void GuiFx::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  TestFx::ProcessDoubleReplacing(inputs, outputs, nFrames);
  double peak = 0.0;
  for (int s = 0; s < nFrames; ++s) peak = std::max(peak, std::fabs(outputs[0][s]));
  if (IPlugEditor* g = GetGUI()) g->SetControlFromPlug(meterIdx, std::min(peak, 1.0));
}

GuiHost::GuiHost()
{
  display = XOpenDisplay(nullptr);
  if (!display) return;
  XSetWindowAttributes a{};
  a.background_pixel = 0x202020;
  a.override_redirect = True;  // no window manager runs: placed where we say
  parent = XCreateWindow(display, DefaultRootWindow(display), kOffsetX, kOffsetY, GuiFx::kW, GuiFx::kH, 0,
                         CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWOverrideRedirect, &a);
  XMapRaised(display, parent);
  XSync(display, False);
  hostApp = std::make_unique<Vst::HostApplication>();
  handler = std::make_unique<GrabbingHandler>(display);
  fx = new GuiFx(IPlugInstanceInfo());
  fx->initialize(hostApp.get());
  fx->setComponentHandler(handler.get());
}

GuiHost::~GuiHost()
{
  Close();
  if (fx)
  {
    fx->terminate();
    fx->release();
  }
  if (display)
  {
    if (parent) XDestroyWindow(display, parent);
    XCloseDisplay(display);
  }
}

bool GuiHost::Open()
{
  if (!display || mView) return false;
  mView = fx->createView(Vst::ViewType::kEditor);
  if (!mView) return false;
  mView->setFrame(&frame);
  ViewRect size;
  if (mView->isPlatformTypeSupported(IPlugVST3View::kPlatformType) != kResultOk || mView->getSize(&size) != kResultOk ||
      mView->attached(reinterpret_cast<void*>(parent), IPlugVST3View::kPlatformType) != kResultOk)
  {
    mView->setFrame(nullptr);
    mView->release();
    mView = nullptr;
    return false;
  }
  Pump(100);
  return true;
}

void GuiHost::Close()
{
  if (!mView) return;
  mView->removed();
  mView->setFrame(nullptr);
  mView->release();
  mView = nullptr;
}

void GuiHost::Sync() { if (display) XSync(display, False); }

void GuiHost::MoveTo(int x, int y)
{
  XTestFakeMotionEvent(display, -1, kOffsetX + x, kOffsetY + y, CurrentTime);
  Sync();
}

void GuiHost::Press(int button)
{
  XTestFakeButtonEvent(display, static_cast<unsigned>(button), True, CurrentTime);
  Sync();
}

void GuiHost::Release(int button)
{
  XTestFakeButtonEvent(display, static_cast<unsigned>(button), False, CurrentTime);
  Sync();
}

void GuiHost::Click(int x, int y, int button)
{
  MoveTo(x, y);
  Pump(20);
  Press(button);
  Pump(20);
  Release(button);
  Pump(20);
}

void GuiHost::Key(unsigned long keysym, bool shift)
{
  const KeyCode shiftCode = XKeysymToKeycode(display, XK_Shift_L);
  const KeyCode code = XKeysymToKeycode(display, keysym);
  if (shift) XTestFakeKeyEvent(display, shiftCode, True, CurrentTime);
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  if (shift) XTestFakeKeyEvent(display, shiftCode, False, CurrentTime);
  Sync();
}

void GuiHost::Type(const std::string& text)
{
  for (char c : text)
  {
    if (c == '.')
      Key(XK_period);
    else if (c == '-')
      Key(XK_minus);
    else
      Key(static_cast<unsigned long>(static_cast<unsigned char>(c)));
  }
}

Window GuiHost::Child()
{
  Window root = 0, par = 0, *children = nullptr;
  unsigned n = 0;
  if (!XQueryTree(display, parent, &root, &par, &children, &n)) return 0;
  const Window child = n ? children[0] : 0;
  if (children) XFree(children);
  return child;
}

unsigned long GuiHost::ScreenPixel(int x, int y)
{
  XImage* image = XGetImage(display, parent, x, y, 1, 1, AllPlanes, ZPixmap);
  if (!image) return 0xdeadbeef;
  const unsigned long p = XGetPixel(image, 0, 0) & 0xffffff;
  XDestroyImage(image);
  return p;
}
}  // namespace guitest
