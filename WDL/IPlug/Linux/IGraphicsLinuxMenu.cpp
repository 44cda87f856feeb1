// Popup menus: override-redirect windows below the anchor, a nested loop on our connection with
// the pointer and keyboard grabbed, running the frame tick meanwhile. Items are chosen by a
// button release over them; a press outside every menu, Escape or a failed grab dismisses. Each
// level is drawn by PopupMenuView with our own text renderer and shown by an XOverlayWindow.
#include "IGraphicsLinux.h"

#include <X11/keysym.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "IPopupMenu.h"
#include "OverlayViews.h"
#include "XOverlayWindow.h"

namespace
{
// One open (sub)menu: its picture, its window and where it lies on the root window.
struct MenuLevel
{
  std::unique_ptr<PopupMenuView> view;
  std::unique_ptr<XOverlayWindow> window;
  int x = 0, y = 0;
  int hover = -1;

  IPopupMenu* Menu() const { return view->Menu(); }
  bool Contains(int rx, int ry) const
  {
    return rx >= x && rx < x + view->Width() && ry >= y && ry < y + view->Height();
  }
  int ItemAt(int rx, int ry) const { return Contains(rx, ry) ? view->ItemAt(rx - x, ry - y) : -1; }
  bool Choosable(int i) const { return view->Selectable(i) && !Menu()->GetItem(i)->GetSubmenu(); }
  void Draw()
  {
    view->Render(window->Bitmap(), hover);
    window->Show();
  }
};

class MenuSession
{
public:
  explicit MenuSession(Display* d) : mDisplay(d) {}

  bool Open(IPopupMenu* menu, int x, int y)
  {
    MenuLevel level;
    level.view = std::make_unique<PopupMenuView>(menu);
    level.window = std::make_unique<XOverlayWindow>();
    const int w = level.view->Width(), h = level.view->Height();
    const Screen* screen = DefaultScreenOfDisplay(mDisplay);
    level.x = std::max(0, std::min(x, WidthOfScreen(screen) - w));
    level.y = std::max(0, std::min(y, HeightOfScreen(screen) - h));
    if (!level.window->Open(mDisplay, level.x, level.y, w, h)) return false;
    level.view->Render(level.window->Bitmap(), -1);
    level.window->Map();
    mLevels.push_back(std::move(level));
    return true;
  }

  void CloseLevel() { mLevels.pop_back(); }

  // The connection broke: the windows went with the server, and nothing may be sent any more.
  void Abandon()
  {
    for (MenuLevel& l : mLevels) l.window->Abandon();
    mLevels.clear();
  }

  // The level (deepest first) under a root position.
  int LevelAt(int rx, int ry) const
  {
    for (int i = static_cast<int>(mLevels.size()) - 1; i >= 0; --i)
      if (mLevels[static_cast<size_t>(i)].Contains(rx, ry)) return i;
    return -1;
  }

  void Hover(int levelIdx, int item)
  {
    while (static_cast<int>(mLevels.size()) > levelIdx + 1)
    {
      // Moving onto the item that opened the open submenu keeps it.
      if (item >= 0 && mLevels[levelIdx].Menu()->GetItem(item)->GetSubmenu() == mLevels[levelIdx + 1].Menu()) break;
      CloseLevel();
    }
    MenuLevel& l = mLevels[static_cast<size_t>(levelIdx)];
    if (l.hover != item)
    {
      l.hover = item;
      l.Draw();
    }
    IPopupMenuItem* it = item >= 0 ? l.Menu()->GetItem(item) : nullptr;
    if (it && it->GetSubmenu() && static_cast<int>(mLevels.size()) == levelIdx + 1 && it->GetSubmenu()->GetNItems() > 0)
      Open(it->GetSubmenu(), l.x + l.view->Width(), l.y + l.view->ItemTop(item) - PopupMenuView::kBorder);
  }

  // Keyboard: move the deepest level's highlight by step over selectable items (and submenus).
  void Step(int step)
  {
    MenuLevel& l = mLevels.back();
    const int n = l.Menu()->GetNItems();
    int i = l.hover;
    for (int k = 0; k < n; ++k)
    {
      i = i < 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
      if (l.view->Selectable(i))
      {
        Hover(static_cast<int>(mLevels.size()) - 1, i);
        return;
      }
    }
  }

  std::vector<MenuLevel> mLevels;
  Display* mDisplay;
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

  auto session = std::make_unique<MenuSession>(d);
  if (!session->Open(menu, rx, ry)) return nullptr;
  const Window grabWindow = session->mLevels.front().window->Id();
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
          for (MenuLevel& l : s.mLevels)
            if (l.window->Id() == e.xany.window)
            {
              if (e.xexpose.count == 0) l.window->Show();
              return true;
            }
          return false;
        case MotionNotify:
        {
          const int li = s.LevelAt(e.xmotion.x_root, e.xmotion.y_root);
          if (li >= 0) s.Hover(li, s.mLevels[static_cast<size_t>(li)].ItemAt(e.xmotion.x_root, e.xmotion.y_root));
          return true;
        }
        case ButtonPress:
          if (s.LevelAt(e.xbutton.x_root, e.xbutton.y_root) < 0) done = true;
          return true;
        case ButtonRelease:
        {
          const int li = s.LevelAt(e.xbutton.x_root, e.xbutton.y_root);
          if (li < 0) return true;
          const MenuLevel& l = s.mLevels[static_cast<size_t>(li)];
          const int item = l.ItemAt(e.xbutton.x_root, e.xbutton.y_root);
          if (l.Choosable(item))
          {
            chosenMenu = l.Menu();
            chosenIdx = item;
            done = true;
          }
          return true;
        }
        case KeyPress:
        {
          const KeySym sym = XLookupKeysym(&e.xkey, 0);
          // Copies: opening a submenu below may move the levels.
          IPopupMenu* const levelMenu = s.mLevels.back().Menu();
          const int hover = s.mLevels.back().hover;
          IPopupMenuItem* it = levelMenu->GetItem(hover);
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
            s.Hover(static_cast<int>(s.mLevels.size()) - 1, hover);
            if (s.mLevels.back().Menu() != levelMenu) s.Step(1);
          }
          else if ((sym == XK_Return || sym == XK_KP_Enter) && s.mLevels.back().Choosable(hover))
          {
            chosenMenu = levelMenu;
            chosenIdx = hover;
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
  if (mX.Broken()) session->Abandon();
  session.reset();
  if (!mX.Broken()) XFlush(d);
  if (!chosenMenu || chosenIdx < 0) return nullptr;
  chosenMenu->SetChosenItemIdx(chosenIdx);
  return chosenMenu;
}
