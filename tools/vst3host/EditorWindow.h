#pragma once
// A plug-in's editor in a top-level X11 window of its own, embedded the way a Linux DAW does it:
// createView("editor"), the "X11EmbedWindowID" platform type, an IPlugFrame that answers
// resizeView by resizing the window, and an X11RunLoop handed over through the frame. The
// window is fixed at the editor's size (it follows the editor's own resize requests); closing
// it from the window manager ends Run.
// Main thread only. The instance must outlive the window. Errors as HostError; X errors on the
// host's own connection are absorbed and never end the process.
#include "PluginInstance.h"
#include "X11RunLoop.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <X11/Xlib.h>

namespace vst3host {

class EditorWindow : public Steinberg::IPlugFrame
{
public:
  // Opens the editor on `display` (empty: $DISPLAY) with the window title `title`. A named
  // display becomes $DISPLAY, where plug-ins open their own connections, until the window goes.
  EditorWindow(PluginInstance& plugin, const std::string& display, const std::string& title);
  ~EditorWindow();
  EditorWindow(const EditorWindow&) = delete;
  EditorWindow& operator=(const EditorWindow&) = delete;

  // Runs the host's loop for ms milliseconds; false once the window was closed.
  bool Run(int ms);
  bool IsClosed() const { return mClosed; }
  bool IsMapped() const { return mMapped; }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  Display* GetDisplay() const { return mDisplay; }
  Window GetWindow() const { return mWindow; }
  X11RunLoop& Loop() { return mLoop; }

  // The window's pixels as the server has them, 0xAARRGGBB row by row (alpha 255). Empty when
  // the window is not mapped.
  std::vector<uint32_t> Grab() const;

  Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
  Steinberg::uint32 PLUGIN_API release() override { return 1; }

private:
  void HandleHostEvents();
  void FixSize(int w, int h);
  void Destroy();

  X11RunLoop mLoop;  // declared first: outlives the view
  Display* mDisplay = nullptr;
  Window mWindow = 0;
  Atom mDeleteWindow = 0;
  Steinberg::IPlugView* mView = nullptr;
  bool mAttached = false;
  bool mClosed = false;
  bool mMapped = false;
  int mWidth = 0;
  int mHeight = 0;
  bool mDisplayReplaced = false;                 // a named display became $DISPLAY
  std::optional<std::string> mPreviousDisplay;  // $DISPLAY before that, if it was set
};

} // namespace vst3host
