#pragma once
// The editor view a VST3 host asks for with createView("editor"). It draws nothing itself: it
// opens the instance's editor inside the host's parent window, reports its size, relays size
// changes between the host's frame and the plug-in, and lets the host's run loop drive the
// editor (Linux: the frame's IRunLoop calls a timer at the editor's frame rate and a handler
// for the editor's display connection; the editor starts no thread).
//
// Platform types: "X11EmbedWindowID" on Linux (the parent is an X window id). "NSView" and
// "HIView" are refused: an NSView pointer is no X window.
//
// Threads: every call comes on the host's user-interface thread. Ownership: the view holds one
// reference on the instance for its whole life; the instance lists the view without owning it.
// attached answers kResultFalse, leaving nothing open or registered, when the instance has no
// editor, the frame offers no run loop, or no window could be made.

#include "public.sdk/source/common/pluginview.h"

class IPlugVST3;
class EditorRunLoopHandler;

class IPlugVST3View : public Steinberg::CPluginView
{
public:
  static constexpr const char* kPlatformType = "X11EmbedWindowID";

  // Adds a reference to plug and, when the instance has an editor, opens the editor's display
  // connection (some hosts check the window's XEmbed property before attaching).
  explicit IPlugVST3View(IPlugVST3* plug);
  ~IPlugVST3View() override;

  Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API removed() override;
  Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) override;
  Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) override;
  // Keys through the editor's key table: kResultOk only for a key the editor used.
  Steinberg::tresult PLUGIN_API onKeyDown(Steinberg::char16 key, Steinberg::int16 keyCode,
                                          Steinberg::int16 modifiers) override;

  // Asks the host frame for a new size (0, 0, w, h); OnWindowResize follows from onSize.
  void resize(int w, int h);
  bool IsAttached() const { return mAttached; }

private:
  void Detach();

  IPlugVST3* mPlug;
  EditorRunLoopHandler* mHandler = nullptr;  // registered with mRunLoop while attached
  Steinberg::Linux::IRunLoop* mRunLoop = nullptr;  // referenced while attached
  bool mAttached = false;
  bool mExpectingNewSize = false;
};
