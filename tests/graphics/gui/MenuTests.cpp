// Our own popup menus, tooltips and the meter, which keeps moving while a menu holds the
// user-interface thread. A driver thread on a connection of its own plays the user while the
// menu's nested loop runs on the test thread.
#include <gtest/gtest.h>
#include "GuiTestHost.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "IPopupMenu.h"
#include "OverlayViews.h"
#include "lice.h"

using namespace guitest;

namespace
{
// The mapped override-redirect top-level windows (menus, tooltips), bottom to top.
std::vector<XWindowAttributes> Popups(Display* d, Window except)
{
  std::vector<XWindowAttributes> out;
  Window root = 0, par = 0, *children = nullptr;
  unsigned n = 0;
  XQueryTree(d, DefaultRootWindow(d), &root, &par, &children, &n);
  for (unsigned i = 0; i < n; ++i)
  {
    XWindowAttributes wa;
    if (children[i] != except && XGetWindowAttributes(d, children[i], &wa) && wa.override_redirect &&
        wa.map_state == IsViewable)
      out.push_back(wa);
  }
  if (children) XFree(children);
  return out;
}

// Plays the user from its own connection.
class Driver
{
public:
  explicit Driver(Window parent) : mParent(parent) { mDisplay = XOpenDisplay(nullptr); }
  ~Driver()
  {
    mJoining.store(true);
    if (mThread.joinable()) mThread.join();
    XCloseDisplay(mDisplay);
  }
  // Runs the script; whatever it did, menus still open afterwards are dismissed with Escape
  // until Join, so a script that missed its cue can never leave the host's menu loop waiting.
  void Run(std::function<void(Driver&)> script)
  {
    mThread = std::thread([this, script] {
      script(*this);
      while (!mJoining.load())
      {
        if (!Popups(mDisplay, mParent).empty()) Key(XK_Escape);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
    });
  }
  void Join()
  {
    mJoining.store(true);
    mThread.join();
  }

  // Waits for n popups; empty after five seconds without them.
  std::vector<XWindowAttributes> WaitPopups(size_t n)
  {
    for (int i = 0; i < 500; ++i)
    {
      auto p = Popups(mDisplay, mParent);
      if (p.size() >= n) return p;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
  }
  void Move(int rx, int ry)
  {
    XTestFakeMotionEvent(mDisplay, -1, rx, ry, CurrentTime);
    XSync(mDisplay, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
  }
  void Click(int button = 1)
  {
    XTestFakeButtonEvent(mDisplay, static_cast<unsigned>(button), True, CurrentTime);
    XTestFakeButtonEvent(mDisplay, static_cast<unsigned>(button), False, CurrentTime);
    XSync(mDisplay, False);
  }
  void Key(KeySym sym)
  {
    const KeyCode code = XKeysymToKeycode(mDisplay, sym);
    XTestFakeKeyEvent(mDisplay, code, True, CurrentTime);
    XTestFakeKeyEvent(mDisplay, code, False, CurrentTime);
    XSync(mDisplay, False);
  }
  unsigned long Pixel(int x, int y)
  {
    XImage* image = XGetImage(mDisplay, mParent, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return 0xdeadbeef;
    const unsigned long p = XGetPixel(image, 0, 0) & 0xffffff;
    XDestroyImage(image);
    return p;
  }

  Display* mDisplay;

private:
  Window mParent;
  std::thread mThread;
  std::atomic<bool> mJoining{false};
};

// The colours 0xRRGGBB of an area of the root window as the server has it, row by row.
std::vector<uint32_t> ScreenArea(Display* d, int x, int y, int w, int h)
{
  std::vector<uint32_t> out;
  XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, static_cast<unsigned>(w), static_cast<unsigned>(h),
                            AllPlanes, ZPixmap);
  if (!image) return out;
  for (int row = 0; row < h; ++row)
    for (int col = 0; col < w; ++col) out.push_back(static_cast<uint32_t>(XGetPixel(image, col, row) & 0xffffff));
  XDestroyImage(image);
  return out;
}

// The colours of an area of a raster bitmap, in the same order.
std::vector<uint32_t> BitmapArea(LICE_IBitmap* b, const IRECT& r)
{
  std::vector<uint32_t> out;
  for (int row = r.T; row < r.B; ++row)
    for (int col = r.L; col < r.R; ++col) out.push_back(b->getBits()[row * b->getRowSpan() + col] & 0xffffff);
  return out;
}

// Waits up to a second for the server to show the expected colours at an area of the root.
bool ShowsOnScreen(Display* d, int x, int y, const std::vector<uint32_t>& want, int w, int h)
{
  for (int i = 0; i < 50; ++i)
  {
    if (ScreenArea(d, x, y, w, h) == want) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// The centre of item i of a menu window of n equal items.
void ItemCentre(const XWindowAttributes& m, int i, int n, int* x, int* y)
{
  *x = m.x + m.width / 2;
  *y = m.y + m.height * (2 * i + 1) / (2 * n);
}
}  // namespace

TEST(GuiMenu, EnumPromptMenuChosenByClick)
{
  GuiHost host;
  ASSERT_TRUE(host.Open());
  const IRECT r = GuiFx::ModeRect();
  Driver driver(host.parent);
  std::vector<XWindowAttributes> seen;
  driver.Run([&](Driver& d) {
    seen = d.WaitPopups(1);
    if (seen.empty()) return;
    int x = 0, y = 0;
    ItemCentre(seen.back(), 2, 3, &x, &y);
    d.Move(x, y);
    d.Click();
  });
  host.Click(r.L + 10, r.T + 5);  // returns once the menu has closed
  driver.Join();
  ASSERT_EQ(seen.size(), 1u);
  // Below the anchor: (L, B + 4) in root coordinates.
  EXPECT_EQ(seen[0].x, GuiHost::kOffsetX + r.L);
  EXPECT_EQ(seen[0].y, GuiHost::kOffsetY + r.B + 4);
  EXPECT_EQ(host.fx->GetParam(TestFx::kMode)->Int(), 2);
  host.Pump(30);
  EXPECT_TRUE(Popups(host.display, host.parent).empty());
}

TEST(GuiMenu, SubmenuChoiceReturnsTheSubmenuAndDismissalNull)
{
  GuiHost host;
  ASSERT_TRUE(host.Open());
  IGraphicsLinux* g = host.fx->Editor();
  IPopupMenu sub;
  sub.AddItem("Alpha");
  sub.AddItem("Beta");
  IPopupMenu menu;
  menu.SetPrefix(2);
  menu.AddItem("One");
  menu.AddItem("More", &sub);
  menu.AddItem("Off", -1, IPopupMenuItem::kItemDisabled);
  IRECT anchor(40, 20, 80, 40);

  Driver driver(host.parent);
  bool twoLevels = false;
  driver.Run([&](Driver& d) {
    auto p = d.WaitPopups(1);
    if (p.empty()) return;
    int x = 0, y = 0;
    ItemCentre(p.back(), 1, 3, &x, &y);
    d.Move(x, y);  // hovering "More" opens the submenu to its right
    p = d.WaitPopups(2);
    twoLevels = p.size() == 2;
    if (!twoLevels) return;
    ItemCentre(p.back(), 1, 2, &x, &y);
    d.Move(x, y);
    d.Click();
  });
  IPopupMenu* result = g->CreateIPopupMenu(&menu, &anchor);
  driver.Join();
  EXPECT_TRUE(twoLevels);
  EXPECT_EQ(result, &sub);
  EXPECT_EQ(sub.GetChosenItemIdx(), 1);

  // A click on the disabled item chooses nothing; Escape then dismisses.
  Driver d2(host.parent);
  d2.Run([&](Driver& d) {
    auto p = d.WaitPopups(1);
    if (p.empty()) return;
    int x = 0, y = 0;
    ItemCentre(p.back(), 2, 3, &x, &y);
    d.Move(x, y);
    d.Click();
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    d.Key(XK_Escape);
  });
  EXPECT_EQ(g->CreateIPopupMenu(&menu, &anchor), nullptr);
  d2.Join();

  // A press outside every menu dismisses.
  Driver d3(host.parent);
  d3.Run([&](Driver& d) {
    if (d.WaitPopups(1).empty()) return;
    d.Move(GuiHost::kOffsetX + 290, GuiHost::kOffsetY + 150);
    d.Click();
  });
  EXPECT_EQ(g->CreateIPopupMenu(&menu, &anchor), nullptr);
  d3.Join();
  host.Pump(30);
  EXPECT_TRUE(Popups(host.display, host.parent).empty());
}

TEST(GuiMenu, MeterKeepsMovingFromTheAudioThreadEvenDuringAMenu)
{
  GuiHost host;
  ASSERT_TRUE(host.Open());
  IGraphicsLinux* g = host.fx->Editor();
  std::atomic<bool> run{true};
  // The audio thread's push: the level alternates between 0.1 and 0.9 every 60 ms.
  std::thread audio([&] {
    for (int i = 0; run; ++i)
    {
      g->SetControlFromPlug(host.fx->meterIdx, (i / 6) % 2 ? 0.9 : 0.1);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
  const IRECT m = GuiFx::MeterRect();
  const int px = m.L + 5, py = m.T + m.H() / 2;
  int green = 0, black = 0;
  for (int i = 0; i < 40; ++i)
  {
    host.Pump(15);
    const unsigned long p = host.ScreenPixel(px, py);
    green += p == 0x00ff00;
    black += p == 0x000000;
  }
  EXPECT_GT(green, 3);
  EXPECT_GT(black, 3);

  // While our menu runs its own loop, the host's loop is stalled and the meter still moves.
  IPopupMenu menu;
  menu.AddItem("One");
  IRECT anchor(10, 120, 60, 130);
  Driver driver(host.parent);
  int menuGreen = 0, menuBlack = 0;
  driver.Run([&](Driver& d) {
    if (d.WaitPopups(1).empty()) return;
    for (int i = 0; i < 40; ++i)
    {
      const unsigned long p = d.Pixel(px, py);
      menuGreen += p == 0x00ff00;
      menuBlack += p == 0x000000;
      std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    d.Key(XK_Escape);
  });
  EXPECT_EQ(g->CreateIPopupMenu(&menu, &anchor), nullptr);
  driver.Join();
  EXPECT_GT(menuGreen, 3);
  EXPECT_GT(menuBlack, 3);
  run = false;
  audio.join();
}

TEST(GuiMenu, TooltipAfterHoverGoneOnLeavingTheControl)
{
  GuiHost host;
  ASSERT_TRUE(host.Open());
  IGraphicsLinux* g = host.fx->Editor();
  host.MoveTo(30, 50);
  host.Pump(20);
  host.MoveTo(31, 51);
  host.Pump(200);
  EXPECT_EQ(g->TooltipWindow(), 0u);  // not yet
  ASSERT_TRUE(host.loop.PumpUntil([&] { return g->TooltipWindow() != 0; }, 1500));
  EXPECT_EQ(Popups(host.display, host.parent).size(), 1u);
  host.MoveTo(150, 140);  // the background has no tooltip
  host.Pump(50);
  EXPECT_EQ(g->TooltipWindow(), 0u);
  host.Pump(800);
  EXPECT_EQ(g->TooltipWindow(), 0u);
  EXPECT_TRUE(Popups(host.display, host.parent).empty());
}

// Menus and tooltips are pictures of our own text renderer: their windows show exactly what
// PopupMenuView and TooltipView draw, and a UTF-8 label is measured and drawn by DrawIText.
TEST(GuiMenu, MenusAndTooltipsShowOurTextRenderersPictures)
{
  GuiHost host;
  ASSERT_TRUE(host.Open());
  IGraphicsLinux* g = host.fx->Editor();
  const char* const kMinus30 = "\xe2\x88\x92" "30 dB";  // U+2212 MINUS SIGN: three bytes, one glyph
  IPopupMenu sub;
  sub.AddItem("Alpha");
  IPopupMenu menu;
  menu.AddItem(kMinus30);
  menu.AddItem("20 \xc2\xb0" "C", -1, IPopupMenuItem::kItemChecked);
  menu.AddSeparator(-1);
  menu.AddItem("Title", -1, IPopupMenuItem::kItemTitle);
  menu.AddItem("Off", -1, IPopupMenuItem::kItemDisabled);
  menu.AddItem("More", &sub);

  const PopupMenuView view(&menu);
  LICE_MemBitmap picture(view.Width(), view.Height());
  view.Render(&picture, -1);
  const std::vector<uint32_t> want = BitmapArea(&picture, IRECT(0, 0, view.Width(), view.Height()));

  IRECT anchor(40, 20, 80, 40);
  Driver driver(host.parent);
  std::vector<XWindowAttributes> seen;
  bool shown = false;
  driver.Run([&](Driver& d) {
    seen = d.WaitPopups(1);
    if (!seen.empty()) shown = ShowsOnScreen(d.mDisplay, seen[0].x, seen[0].y, want, view.Width(), view.Height());
    d.Key(XK_Escape);
  });
  EXPECT_EQ(g->CreateIPopupMenu(&menu, &anchor), nullptr);
  driver.Join();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].width, view.Width());
  EXPECT_EQ(seen[0].height, view.Height());
  EXPECT_TRUE(shown);

  // The label's box is DrawIText's measure, and its pixels are DrawIText's drawing of the same
  // text on the menu's ground.
  IText style = PopupMenuView::LabelStyle(IColor(255, 0, 0, 0));
  const IRECT label = view.LabelRect(0);
  IRECT measured(label.L, label.T, label.L, label.T);
  ASSERT_TRUE(IGraphics::DrawIText(nullptr, &style, kMinus30, &measured, true));
  EXPECT_EQ(measured.W(), label.W());
  EXPECT_EQ(measured.H(), label.H());
  LICE_MemBitmap text(view.Width(), view.Height());
  const LICE_pixel ground = picture.getBits()[label.T * picture.getRowSpan() + view.Width() - 3];
  LICE_Clear(&text, ground);
  IRECT at = label;
  IGraphics::DrawIText(&text, &style, kMinus30, &at);
  const std::vector<uint32_t> drawn = BitmapArea(&text, label);
  EXPECT_EQ(BitmapArea(&picture, label), drawn);
  EXPECT_GT(std::count_if(drawn.begin(), drawn.end(), [&](uint32_t p) { return p != (ground & 0xffffff); }), 20);
  // The minus is one glyph about as wide as a plus, not three byte-sized ones.
  IRECT minus(0, 0, 0, 0), plus(0, 0, 0, 0);
  IGraphics::DrawIText(nullptr, &style, "\xe2\x88\x92", &minus, true);
  IGraphics::DrawIText(nullptr, &style, "+", &plus, true);
  EXPECT_GT(minus.W(), 0);
  EXPECT_LT(minus.W(), 2 * plus.W());

  // The tooltip of the knob.
  host.MoveTo(30, 50);
  host.Pump(20);
  host.MoveTo(31, 51);
  ASSERT_TRUE(host.loop.PumpUntil([&] { return g->TooltipWindow() != 0; }, 2000));
  const TooltipView tip("Gain knob");
  LICE_MemBitmap tipPicture(tip.Width(), tip.Height());
  tip.Render(&tipPicture);
  const std::vector<uint32_t> tipWant = BitmapArea(&tipPicture, IRECT(0, 0, tip.Width(), tip.Height()));
  XWindowAttributes wa{};
  ASSERT_TRUE(XGetWindowAttributes(host.display, g->TooltipWindow(), &wa));
  EXPECT_EQ(wa.width, tip.Width());
  EXPECT_EQ(wa.height, tip.Height());
  EXPECT_TRUE(host.loop.PumpUntil(
    [&] { return ScreenArea(host.display, wa.x, wa.y, tip.Width(), tip.Height()) == tipWant; }, 1000));
}
