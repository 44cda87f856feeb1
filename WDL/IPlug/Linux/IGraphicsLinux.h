#pragma once
// The editor's window layer on X11 (Xlib). The editor lives in a child window of the host's
// parent window (an X window id), follows XEmbed (_XEMBED_INFO is set before the window is
// mapped), and is driven by the host's run loop through the IPlugEditor plumbing: OnTimer at
// the frame rate redraws the dirty area, OnEventFD handles every pending X event. No thread of
// its own; nothing touches X before ConnectWindowSystem or OpenWindow (instances are made by
// scanners with no display).
//
// Coordinates are the editor's own: the pixel under the pointer is the editor pixel.
// Mouse: buttons 1 and 3 (Mod4 + left is a right-flagged left click), double clicks of the left
// button within kDoubleClickMs and kDoubleClickDistance pixels, wheel buttons 4/5 as +1/-1 (6/7
// ignored), motion as OnMouseOver, drags not delivered while a text entry is open. Modifiers:
// Shift -> S, Control -> C, Mod1 -> A. Keys go through the key table (KeyCode) at the last mouse
// position.
//
// Modal parts (popup menus, dialogs, the clipboard wait) run a nested loop on our own
// connection that keeps redrawing at the frame rate; the host's loop is stalled meanwhile.
//
// Threads: the user-interface thread, except what IGraphics allows the audio thread.

#include <functional>
#include <string>
#include <vector>

#include "IGraphics.h"
#include "TextEntryField.h"
#include "XConnection.h"
#include "XOverlayWindow.h"
#include "XScreenImage.h"

class IGraphicsLinux : public IGraphics
{
public:
  static constexpr int kDoubleClickMs = 400;
  static constexpr int kDoubleClickDistance = 4;
  static constexpr int kTooltipDelayMs = 600;

  IGraphicsLinux(IPlugBase* plug, int w, int h, int fps = 0);
  ~IGraphicsLinux() override;

  // The key table: space, arrows, digits 0-9 (5-14) and letters (15-40, case ignored); -1 for
  // any other key. virtualKey is an EVirtualKey, tested before the character.
  static int KeyCode(int virtualKey, int character);

  // IGraphics.
  bool DrawScreen(IRECT* r) override;
  void ForceEndUserEdit() override;
  void Resize(int w, int h) override;
  void* GetGUIAPI() override;
  // Buttons by type: 1 OK/Cancel, 3 Yes/No/Cancel, 4 Yes/No, else OK. Returns 1 for the first
  // button, 7 for the second, 2 for the third, 0 when closed or no helper is installed.
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* area) override;
  void CreateTextEntry(IControl* control, IText* text, IRECT* area, const char* str, IParam* param) override;
  void HostPath(WDL_String* path) override;
  void PluginPath(WDL_String* path) override;
  void DesktopPath(WDL_String* path) override;
  void AppSupportPath(WDL_String* path, bool isSystem = false) override;
  void SandboxSafeAppSupportPath(WDL_String* path) override;
  void PromptForFile(WDL_String* file, EFileAction action, WDL_String* dir = nullptr, char* extensions = nullptr) override;
  bool PromptForColor(IColor*, char* = nullptr) override { return false; }
  bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
               const char* errMsgOnFailure = nullptr) override;
  void* OpenWindow(void* parent) override;
  void CloseWindow() override;
  void* GetWindow() override;
  bool GetTextFromClipboard(WDL_String* text) override;
  void HideMouseCursor() override;
  void ShowMouseCursor() override;
  void UpdateTooltips() override;
  LICE_IBitmap* OSLoadBitmap(int id, const char* name) override;
  void ResourcePath(WDL_String* path) override;

  // IPlugEditor plumbing.
  bool ConnectWindowSystem() override;
  int GetEventFD() const override;
  void OnEventFD() override;
  int TimerIntervalMs() const override { return 1000 / FPS(); }
  void OnTimer() override;
  bool OnHostKeyDown(int virtualKey, int character) override;

  // Kept for a later macOS port (resources are found from the module's path on Linux).
  void SetBundleID(const char* id) { mBundleID.Set(id); }
  const char* GetBundleID() const { return mBundleID.Get(); }
  // The kernel version packed as major << 16 | minor << 8 | patch.
  static int GetUserOSVersion();

  // For tests: the connection, whether a text entry is open and its field.
  XConnection& Connection() { return mX; }
  bool TextEntryOpen() const { return mEdControl != nullptr; }
  const TextEntryField& TextField() const { return mField; }
  unsigned long TooltipWindow() const { return mTooltip.Id(); }

private:
  // IGraphicsLinuxEvents.cpp
  void HandleEvent(XEvent& e);
  void HandleButton(const XButtonEvent& e, bool press);
  void HandleMotion(const XMotionEvent& e);
  void HandleKey(XKeyEvent& e);
  bool TextEntryKey(int virtualKey, const char* utf8);
  void ReleasePointerGrab();
  // The frame tick: redraw of the dirty area, tooltips, reaping helpers.
  void Tick();
  // Handles pending events; false when the connection broke.
  bool Drain();

  // IGraphicsLinuxText.cpp (text entry, tooltips).
  void EndTextEntry(bool commit);
  void DrawTextEntry();
  void ShowTooltip(int controlIdx);
  void HideTooltip();

  // IGraphicsLinuxDialogs.cpp
  // Runs a helper while the editor keeps redrawing; input to the editor is ignored meanwhile.
  std::string RunHelperModal(const std::vector<std::string>& argv, bool* started, int* exitStatus);

  // Runs one step of a modal loop: waits up to one frame for an event, handling it (or the
  // frame tick on time-out). Events for menu windows go to menuHandler when given.
  bool ModalStep(const std::function<bool(XEvent&)>& menuHandler);
  void MakeImage();
  void LostConnection();

  XConnection mX;
  Window mWindow = 0;
  Window mParent = 0;
  Colormap mColormap = 0;
  GC mGC = nullptr;
  Cursor mBlankCursor = 0;
  Visual* mVisual = nullptr;
  int mDepth = 0;
  XScreenImage mImage;
  WDL_String mBundleID;

  int mPrevX = 0, mPrevY = 0;        // last mouse position; keys arrive here
  Time mLastClickTime = 0;
  int mLastClickX = -1000, mLastClickY = -1000;
  bool mModal = false;               // a menu or dialog runs: editor input is ignored
  long long mNextModalTick = 0;      // when a modal loop runs the next frame tick (ms)

  // Text entry.
  TextEntryField mField;
  IControl* mEdControl = nullptr;
  IParam* mEdParam = nullptr;
  IRECT mEdRect;
  IText mEdText;

  // Tooltip.
  XOverlayWindow mTooltip;
  int mHoverIdx = -1;
  int mHoverTicks = 0;
  bool mTooltipShown = false;
};

// The editor of an effect: an IGraphicsLinux with the bundle identifier stored.
IGraphics* MakeGraphics(IPlugBase* plug, int w, int h, int fps = 0, const char* bundleID = nullptr);
