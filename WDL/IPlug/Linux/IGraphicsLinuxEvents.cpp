// X events of the editor's window: mouse, wheel, keys, exposure, focus.
#include "IGraphicsLinux.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdlib>


namespace
{
IMouseMod ModFrom(unsigned state, bool left, bool right)
{
  return IMouseMod(left, right, (state & ShiftMask) != 0, (state & ControlMask) != 0, (state & Mod1Mask) != 0);
}

int VirtualKeyOf(KeySym sym)
{
  switch (sym)
  {
    case XK_space: return kVKSpace;
    case XK_Up: case XK_KP_Up: return kVKUp;
    case XK_Down: case XK_KP_Down: return kVKDown;
    case XK_Left: case XK_KP_Left: return kVKLeft;
    case XK_Right: case XK_KP_Right: return kVKRight;
    case XK_Return: case XK_KP_Enter: return kVKReturn;
    case XK_Escape: return kVKEscape;
    case XK_Tab: case XK_ISO_Left_Tab: return kVKTab;
    case XK_BackSpace: return kVKBackspace;
    case XK_Delete: case XK_KP_Delete: return kVKDelete;
    case XK_Home: case XK_KP_Home: return kVKHome;
    case XK_End: case XK_KP_End: return kVKEnd;
    default: return kVKNone;
  }
}
}  // namespace

int IGraphicsLinux::KeyCode(int virtualKey, int character)
{
  switch (virtualKey)
  {
    case kVKSpace: return 0;
    case kVKUp: return 1;
    case kVKDown: return 2;
    case kVKLeft: return 3;
    case kVKRight: return 4;
    default: break;
  }
  if (virtualKey != kVKNone) return -1;
  if (character >= '0' && character <= '9') return 5 + character - '0';
  if (character >= 'a' && character <= 'z') return 15 + character - 'a';
  if (character >= 'A' && character <= 'Z') return 15 + character - 'A';
  if (character == ' ') return 0;
  return -1;
}

void IGraphicsLinux::HandleEvent(XEvent& e)
{
  if (mTooltip.Id() && e.xany.window == mTooltip.Id() && e.type == Expose && e.xexpose.count == 0) mTooltip.Show();
  if (e.xany.window != mWindow || !mWindow) return;
  switch (e.type)
  {
    case Expose:
    {
      // Copies what is already drawn; drawing passes belong to the timer alone.
      IRECT r(e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width, e.xexpose.y + e.xexpose.height);
      DrawScreen(&r);
      if (mEdControl && r.Intersects(mEdRect)) DrawTextEntry();
      if (e.xexpose.count == 0) XFlush(mX.Get());
      break;
    }
    case ButtonPress:
    case ButtonRelease:
      if (!mModal) HandleButton(e.xbutton, e.type == ButtonPress);
      break;
    case MotionNotify:
      if (!mModal) HandleMotion(e.xmotion);
      break;
    case KeyPress:
      if (!mModal) HandleKey(e.xkey);
      break;
    case FocusOut:
      // Focus moving to another window commits the entry, as leaving a field does.
      // (Pointer-focus changes and focus moving into our own children do not count.)
      if (mEdControl && e.xfocus.mode == NotifyNormal && e.xfocus.detail != NotifyInferior &&
          e.xfocus.detail != NotifyPointer && e.xfocus.detail != NotifyPointerRoot && e.xfocus.detail != NotifyDetailNone)
        EndTextEntry(true);
      break;
    case LeaveNotify:
      HideTooltip();
      mHoverIdx = -1;
      break;
    case DestroyNotify:
      // The host destroyed its window, and ours with it, before removing the view.
      mImage.Destroy();
      if (mGC) XFreeGC(mX.Get(), mGC);
      mGC = nullptr;
      mWindow = 0;
      break;
    default: break;
  }
}

void IGraphicsLinux::ReleasePointerGrab()
{
  // The implicit grab of our button press would keep the host's (or our) menu from grabbing.
  // A round trip: the server must have released it before anyone else asks for the pointer.
  XUngrabPointer(mX.Get(), CurrentTime);
  XSync(mX.Get(), False);
}

void IGraphicsLinux::HandleButton(const XButtonEvent& e, bool press)
{
  HideTooltip();
  mHoverIdx = -1;
  mPrevX = e.x;
  mPrevY = e.y;
  if (e.button == Button4 || e.button == Button5)
  {
    if (!press) return;
    if (mEdControl) EndTextEntry(false);
    IMouseMod mod = ModFrom(e.state, true, false);
    OnMouseWheel(e.x, e.y, &mod, e.button == Button4 ? 1 : -1);
    return;
  }
  if (e.button != Button1 && e.button != Button3) return;  // 6/7 (horizontal wheel) and others
  const bool left = e.button == Button1;
  IMouseMod mod = ModFrom(e.state, left, !left || (e.state & Mod4Mask));
  if (!press)
  {
    OnMouseUp(e.x, e.y, &mod);
    return;
  }
  if (mEdControl)
  {
    if (mEdRect.Contains(e.x, e.y)) return;  // clicks inside the open field are its own
    EndTextEntry(true);
  }
  if (mod.R) ReleasePointerGrab();
  const bool dbl = left && !mod.R && e.time - mLastClickTime <= static_cast<Time>(kDoubleClickMs) &&
                   std::abs(e.x - mLastClickX) <= kDoubleClickDistance &&
                   std::abs(e.y - mLastClickY) <= kDoubleClickDistance;
  if (dbl)
  {
    mLastClickTime = 0;  // a third click starts again
    OnMouseDblClick(e.x, e.y, &mod);
    return;
  }
  if (left)
  {
    mLastClickTime = e.time;
    mLastClickX = e.x;
    mLastClickY = e.y;
  }
  OnMouseDown(e.x, e.y, &mod);
}

void IGraphicsLinux::HandleMotion(const XMotionEvent& e)
{
  mPrevX = e.x;
  mPrevY = e.y;
  const bool leftHeld = (e.state & Button1Mask) != 0, rightHeld = (e.state & Button3Mask) != 0;
  if (leftHeld || rightHeld)
  {
    if (mEdControl) return;
    IMouseMod mod = ModFrom(e.state, leftHeld, rightHeld || (leftHeld && (e.state & Mod4Mask)));
    OnMouseDrag(e.x, e.y, &mod);
    return;
  }
  IMouseMod mod = ModFrom(e.state, true, false);
  OnMouseOver(e.x, e.y, &mod);
  const int idx = GetMouseControlIdx(e.x, e.y, true);
  if (idx != mHoverIdx)
  {
    HideTooltip();
    mHoverIdx = idx;
    mHoverTicks = 0;
  }
}

bool IGraphicsLinux::TextEntryKey(int virtualKey, const char* utf8)
{
  switch (virtualKey)
  {
    case kVKReturn:
    case kVKTab: EndTextEntry(true); return true;
    case kVKEscape: EndTextEntry(false); return true;
    case kVKBackspace: mField.Backspace(); break;
    case kVKDelete: mField.Delete(); break;
    case kVKHome: mField.Home(); break;
    case kVKEnd: mField.End(); break;
    case kVKLeft: mField.Left(); break;
    case kVKRight: mField.Right(); break;
    case kVKUp:
    case kVKDown: return true;
    case kVKSpace: mField.Insert(" "); break;
    default:
      if (!utf8 || !*utf8) return false;
      mField.Insert(utf8);
      break;
  }
  DrawTextEntry();
  XFlush(mX.Get());
  return true;
}

void IGraphicsLinux::HandleKey(XKeyEvent& e)
{
  char buf[32] = {};
  KeySym sym = NoSymbol;
  const int n = XLookupString(&e, buf, sizeof buf - 1, &sym, nullptr);
  buf[n > 0 ? n : 0] = 0;
  const int vk = VirtualKeyOf(sym);
  if (mEdControl)
  {
    if ((e.state & ControlMask) && (sym == XK_v || sym == XK_V))
    {
      WDL_String clip;
      if (GetTextFromClipboard(&clip) && mEdControl) TextEntryKey(kVKNone, clip.Get());
      return;
    }
    if (!(e.state & (ControlMask | Mod1Mask))) TextEntryKey(vk, static_cast<unsigned char>(buf[0]) >= 0x20 ? buf : nullptr);
    return;
  }
  // The key table ignores case: the unshifted symbol names the key.
  const KeySym base = XLookupKeysym(&e, 0);
  const int code = KeyCode(vk, base < 0x80 ? static_cast<int>(base) : 0);
  if (code >= 0) OnKeyDown(mPrevX, mPrevY, code);
}

bool IGraphicsLinux::OnHostKeyDown(int virtualKey, int character)
{
  if (!mWindow || mModal) return false;
  if (mEdControl)
  {
    char utf8[5] = {};
    if (character > 0 && character < 0x80)
      utf8[0] = static_cast<char>(character);
    else if (character >= 0x80 && character < 0x800)
    {
      utf8[0] = static_cast<char>(0xc0 | (character >> 6));
      utf8[1] = static_cast<char>(0x80 | (character & 0x3f));
    }
    else if (character >= 0x800 && character < 0x10000)
    {
      utf8[0] = static_cast<char>(0xe0 | (character >> 12));
      utf8[1] = static_cast<char>(0x80 | ((character >> 6) & 0x3f));
      utf8[2] = static_cast<char>(0x80 | (character & 0x3f));
    }
    return TextEntryKey(virtualKey, utf8);
  }
  const int code = KeyCode(virtualKey, character);
  return code >= 0 && OnKeyDown(mPrevX, mPrevY, code);
}
