// Popup menus: override-redirect windows below the anchor, a nested loop on our connection with
// the pointer and keyboard grabbed, running the frame tick meanwhile. Items are chosen by a
// button release over them; a press outside every menu, Escape or a failed grab dismisses.
#include "IGraphicsLinux.h"

#include <X11/keysym.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <memory>
#include <vector>

#include "IPopupMenu.h"
#include "XCoreText.h"

namespace
{
constexpr int kSeparatorH = 7;
constexpr int kCheckW = 18, kArrowW = 16, kIndentW = 12, kPadX = 6, kPadY = 3;
constexpr unsigned long kBackground = 0xf2f2f2, kHover = 0x3875d7, kText = 0x000000, kHoverText = 0xffffff,
                        kDisabledText = 0x909090, kSeparator = 0xc4c4c4, kBorder = 0x808080;

bool Selectable(const IPopupMenuItem* item)
{
  return item && !item->GetIsSeparator() && item->GetEnabled();
}

// One open (sub)menu: its window and the items' vertical extents.
struct MenuLevel
{
  IPopupMenu* menu = nullptr;
  Window window = 0;
  int x = 0, y = 0, w = 0, h = 0;
  std::vector<int> top, height;
  int hover = -1;

  int ItemAt(int rx, int ry) const
  {
    if (rx < x || rx >= x + w || ry < y || ry >= y + h) return -1;
    for (size_t i = 0; i < top.size(); ++i)
      if (ry - y >= top[i] && ry - y < top[i] + height[i]) return static_cast<int>(i);
    return -1;
  }
  bool Contains(int rx, int ry) const { return rx >= x && rx < x + w && ry >= y && ry < y + h; }
};

class MenuSession
{
public:
  MenuSession(Display* d, XCoreText& font) : mDisplay(d), mFont(font) {}
  ~MenuSession()
  {
    while (!mLevels.empty()) CloseLevel();
  }

  bool Open(IPopupMenu* menu, int x, int y)
  {
    MenuLevel level;
    level.menu = menu;
    const int itemH = mFont.Height() + 2 * kPadY;
    int width = 60;
    for (int i = 0; i < menu->GetNItems(); ++i)
    {
      IPopupMenuItem* item = menu->GetItem(i);
      level.top.push_back(level.h);
      const int h = item->GetIsSeparator() ? kSeparatorH : itemH;
      level.height.push_back(h);
      level.h += h;
      if (!item->GetIsSeparator())
      {
        WDL_String label;
        menu->GetItemLabel(i, &label);
        width = std::max(width, kCheckW + (item->GetIsTitle() ? kIndentW : 0) + mFont.Width(label.Get()) + kArrowW +
                                  kPadX);
      }
    }
    level.w = width;
    level.h = std::max(level.h, 4);
    const Screen* screen = DefaultScreenOfDisplay(mDisplay);
    level.x = std::max(0, std::min(x, WidthOfScreen(screen) - level.w));
    level.y = std::max(0, std::min(y, HeightOfScreen(screen) - level.h));
    XSetWindowAttributes a{};
    a.override_redirect = True;
    a.background_pixel = kBackground;
    a.border_pixel = kBorder;
    a.save_under = True;
    a.event_mask = ExposureMask;
    level.window = XCreateWindow(mDisplay, DefaultRootWindow(mDisplay), level.x, level.y,
                                 static_cast<unsigned>(level.w), static_cast<unsigned>(level.h), 1, CopyFromParent,
                                 InputOutput, CopyFromParent,
                                 CWOverrideRedirect | CWBackPixel | CWBorderPixel | CWSaveUnder | CWEventMask, &a);
    if (!level.window) return false;
    XMapRaised(mDisplay, level.window);
    mLevels.push_back(level);
    Draw(mLevels.back());
    return true;
  }

  void CloseLevel()
  {
    XDestroyWindow(mDisplay, mLevels.back().window);
    mLevels.pop_back();
  }

  void Draw(const MenuLevel& l)
  {
    GC gc = XCreateGC(mDisplay, l.window, 0, nullptr);
    XSetForeground(mDisplay, gc, kBackground);
    XFillRectangle(mDisplay, l.window, gc, 0, 0, static_cast<unsigned>(l.w), static_cast<unsigned>(l.h));
    for (int i = 0; i < l.menu->GetNItems(); ++i)
    {
      IPopupMenuItem* item = l.menu->GetItem(i);
      const int top = l.top[i], h = l.height[i];
      if (item->GetIsSeparator())
      {
        XSetForeground(mDisplay, gc, kSeparator);
        XDrawLine(mDisplay, l.window, gc, 4, top + h / 2, l.w - 5, top + h / 2);
        continue;
      }
      const bool hover = i == l.hover && Selectable(item);
      if (hover || (i == l.hover && item->GetSubmenu()))
      {
        XSetForeground(mDisplay, gc, kHover);
        XFillRectangle(mDisplay, l.window, gc, 0, top, static_cast<unsigned>(l.w), static_cast<unsigned>(h));
      }
      const unsigned long fg = !item->GetEnabled() ? kDisabledText : (i == l.hover ? kHoverText : kText);
      XSetForeground(mDisplay, gc, fg);
      if (item->GetChecked())
      {
        const int cy = top + h / 2;
        XDrawLine(mDisplay, l.window, gc, 5, cy, 8, cy + 3);
        XDrawLine(mDisplay, l.window, gc, 8, cy + 3, 13, cy - 4);
      }
      WDL_String label;
      l.menu->GetItemLabel(i, &label);
      mFont.Draw(l.window, kCheckW + (item->GetIsTitle() ? kIndentW : 0), top + kPadY, label.Get(), fg);
      if (item->GetSubmenu())
      {
        XPoint tri[3] = {{static_cast<short>(l.w - 12), static_cast<short>(top + h / 2 - 4)},
                         {static_cast<short>(l.w - 12), static_cast<short>(top + h / 2 + 4)},
                         {static_cast<short>(l.w - 7), static_cast<short>(top + h / 2)}};
        XFillPolygon(mDisplay, l.window, gc, tri, 3, Convex, CoordModeOrigin);
      }
    }
    XFreeGC(mDisplay, gc);
  }

  // The level (deepest first) and item under a root position.
  int LevelAt(int rx, int ry) const
  {
    for (int i = static_cast<int>(mLevels.size()) - 1; i >= 0; --i)
      if (mLevels[i].Contains(rx, ry)) return i;
    return -1;
  }

  void Hover(int levelIdx, int item)
  {
    while (static_cast<int>(mLevels.size()) > levelIdx + 1)
    {
      // Moving onto the item that opened the open submenu keeps it.
      if (item >= 0 && mLevels[levelIdx].menu->GetItem(item)->GetSubmenu() == mLevels[levelIdx + 1].menu) break;
      CloseLevel();
    }
    MenuLevel& l = mLevels[levelIdx];
    if (l.hover != item)
    {
      l.hover = item;
      Draw(l);
    }
    IPopupMenuItem* it = item >= 0 ? l.menu->GetItem(item) : nullptr;
    if (it && it->GetSubmenu() && it->GetEnabled() && static_cast<int>(mLevels.size()) == levelIdx + 1 &&
        it->GetSubmenu()->GetNItems() > 0)
      Open(it->GetSubmenu(), l.x + l.w, l.y + l.top[item]);
  }

  // Keyboard: move the deepest level's highlight by step over selectable items (and submenus).
  void Step(int step)
  {
    MenuLevel& l = mLevels.back();
    const int n = l.menu->GetNItems();
    int i = l.hover;
    for (int k = 0; k < n; ++k)
    {
      i = i < 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
      IPopupMenuItem* it = l.menu->GetItem(i);
      if (Selectable(it))
      {
        Hover(static_cast<int>(mLevels.size()) - 1, i);
        return;
      }
    }
  }

  std::vector<MenuLevel> mLevels;
  Display* mDisplay;
  XCoreText& mFont;
};
}  // namespace

IPopupMenu* IGraphicsLinux::CreateIPopupMenu(IPopupMenu* menu, IRECT* area)
{
  ReleaseMouseCapture();
  if (!mWindow || !menu || !area || mX.Broken() || mModal) return nullptr;
  if (mEdControl) EndTextEntry(true);
  HideTooltip();
  ReleasePointerGrab();
  Display* d = mX.Get();
  int rx = 0, ry = 0;
  Window child;
  XTranslateCoordinates(d, mWindow, DefaultRootWindow(d), area->L, area->B + 4, &rx, &ry, &child);

  XCoreText font(d);
  auto session = std::make_unique<MenuSession>(d, font);
  if (!session->Open(menu, rx, ry)) return nullptr;
  const Window grabWindow = session->mLevels.front().window;
  XSync(d, False);
  // The pointer may still be held for a moment (the host's own grab ending): a few tries.
  bool grabbed = false;
  for (int tries = 0; tries < 10 && !grabbed; ++tries)
  {
    grabbed = XGrabPointer(d, grabWindow, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                           GrabModeAsync, GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
    if (grabbed)
      grabbed = XGrabKeyboard(d, grabWindow, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
    if (!grabbed)
    {
      XUngrabPointer(d, CurrentTime);
      usleep(10000);
    }
  }
  IPopupMenu* chosenMenu = nullptr;
  int chosenIdx = -1;
  if (grabbed)
  {
    mModal = true;
    bool done = false;
    auto handler = [&](XEvent& e) -> bool {
      MenuSession& s = *session;
      switch (e.type)
      {
        case Expose:
          for (const MenuLevel& l : s.mLevels)
            if (l.window == e.xany.window)
            {
              if (e.xexpose.count == 0) s.Draw(l);
              return true;
            }
          return false;
        case MotionNotify:
        {
          const int li = s.LevelAt(e.xmotion.x_root, e.xmotion.y_root);
          if (li >= 0) s.Hover(li, s.mLevels[li].ItemAt(e.xmotion.x_root, e.xmotion.y_root));
          return true;
        }
        case ButtonPress:
          if (s.LevelAt(e.xbutton.x_root, e.xbutton.y_root) < 0) done = true;
          return true;
        case ButtonRelease:
        {
          const int li = s.LevelAt(e.xbutton.x_root, e.xbutton.y_root);
          if (li < 0) return true;
          const int item = s.mLevels[li].ItemAt(e.xbutton.x_root, e.xbutton.y_root);
          IPopupMenuItem* it = s.mLevels[li].menu->GetItem(item);
          if (Selectable(it) && !it->GetSubmenu())
          {
            chosenMenu = s.mLevels[li].menu;
            chosenIdx = item;
            done = true;
          }
          return true;
        }
        case KeyPress:
        {
          const KeySym sym = XLookupKeysym(&e.xkey, 0);
          MenuLevel& l = s.mLevels.back();
          IPopupMenuItem* it = l.menu->GetItem(l.hover);
          if (sym == XK_Escape)
            done = true;
          else if (sym == XK_Down)
            s.Step(1);
          else if (sym == XK_Up)
            s.Step(-1);
          else if (sym == XK_Left && s.mLevels.size() > 1)
            s.CloseLevel();
          else if (sym == XK_Right && it && it->GetSubmenu())
          {
            s.Hover(static_cast<int>(s.mLevels.size()) - 1, l.hover);
            if (s.mLevels.back().menu != l.menu) s.Step(1);
          }
          else if ((sym == XK_Return || sym == XK_KP_Enter) && Selectable(it) && !it->GetSubmenu())
          {
            chosenMenu = l.menu;
            chosenIdx = l.hover;
            done = true;
          }
          return true;
        }
        default: return false;
      }
    };
    while (!done && ModalStep(handler)) {}
    mModal = false;
    if (!mX.Broken())
    {
      XUngrabKeyboard(d, CurrentTime);
      XUngrabPointer(d, CurrentTime);
    }
  }
  if (mX.Broken())
    session->mLevels.clear();  // nothing may be sent any more; the server took the windows with it
  session.reset();
  if (!mX.Broken()) XFlush(d);
  if (!chosenMenu || chosenIdx < 0) return nullptr;
  chosenMenu->SetChosenItemIdx(chosenIdx);
  return chosenMenu;
}
