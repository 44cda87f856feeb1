// Attaching as a Linux host does: the platform type, the XEmbed property before mapping, the
// run-loop registrations, what is left after failures, the host frame and the parent vanishing.
#include <gtest/gtest.h>
#include "GuiTestHost.h"
#include "XvfbServer.h"

#include <X11/Xatom.h>
#include <dirent.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>


using namespace guitest;

namespace
{
int OpenFds()
{
  int n = 0;
  if (DIR* d = opendir("/proc/self/fd"))
  {
    while (readdir(d)) ++n;
    closedir(d);
  }
  return n;
}

int RootChildren(Display* d)
{
  Window root = 0, par = 0, *children = nullptr;
  unsigned n = 0;
  XQueryTree(d, DefaultRootWindow(d), &root, &par, &children, &n);
  if (children) XFree(children);
  return static_cast<int>(n);
}
}  // namespace

TEST(GuiEmbed, XEmbedInfoIsSetBeforeTheChildIsMapped)
{
  GuiHost host;
  ASSERT_NE(host.display, nullptr) << "no X display";
  // As an XEmbed embedder: map requests of children come to us, so the child stays unmapped.
  XSelectInput(host.display, host.parent, SubstructureRedirectMask | SubstructureNotifyMask);
  XSync(host.display, False);
  IPlugView* view = host.fx->createView("editor");
  ASSERT_NE(view, nullptr);
  view->setFrame(&host.frame);
  EXPECT_EQ(view->isPlatformTypeSupported("X11EmbedWindowID"), kResultOk);
  EXPECT_EQ(view->isPlatformTypeSupported("NSView"), kResultFalse);
  EXPECT_EQ(view->isPlatformTypeSupported("HIView"), kResultFalse);
  EXPECT_EQ(view->attached(reinterpret_cast<void*>(host.parent), "NSView"), kResultFalse);
  ASSERT_EQ(view->attached(reinterpret_cast<void*>(host.parent), "X11EmbedWindowID"), kResultOk);
  EXPECT_EQ(host.loop.HandlerCount(), 1);
  ASSERT_EQ(host.loop.TimerCount(), 1);
  EXPECT_EQ(host.loop.TimerInterval(0), 40);

  XEvent e;
  bool sawRequest = false;
  while (!sawRequest)
  {
    XNextEvent(host.display, &e);
    if (e.type != MapRequest) continue;
    sawRequest = true;
    Atom type = None;
    int format = 0;
    unsigned long n = 0, rest = 0;
    unsigned char* data = nullptr;
    Atom xembed = XInternAtom(host.display, "_XEMBED_INFO", False);
    ASSERT_EQ(XGetWindowProperty(host.display, e.xmaprequest.window, xembed, 0, 2, False, AnyPropertyType, &type,
                                 &format, &n, &rest, &data),
              Success);
    ASSERT_EQ(n, 2u);
    ASSERT_EQ(format, 32);
    const long* info = reinterpret_cast<const long*>(data);
    EXPECT_EQ(info[0], 0);  // version
    EXPECT_EQ(info[1], 1);  // XEMBED_MAPPED
    XFree(data);
    XWindowAttributes wa;
    XGetWindowAttributes(host.display, e.xmaprequest.window, &wa);
    EXPECT_EQ(wa.map_state, IsUnmapped);
    EXPECT_EQ(wa.width, GuiFx::kW);
    EXPECT_EQ(wa.height, GuiFx::kH);
    XMapWindow(host.display, e.xmaprequest.window);
    XSync(host.display, False);
  }
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(host.loop.HandlerCount(), 0);
  EXPECT_EQ(host.loop.TimerCount(), 0);
  EXPECT_EQ(host.loop.RefCount(), 1);  // every reference given back
  XSync(host.display, False);
  EXPECT_EQ(host.Child(), 0u);
  view->release();
}

TEST(GuiEmbed, AttachFailsCleanlyWithoutRunLoopDisplayOrValidParent)
{
  GuiHost host;
  ASSERT_NE(host.display, nullptr);
  {
    // A frame that offers no run loop.
    RunLoop loop;
    Frame frame(&loop, false);
    IPlugView* view = host.fx->createView("editor");
    view->setFrame(&frame);
    EXPECT_EQ(view->attached(reinterpret_cast<void*>(host.parent), "X11EmbedWindowID"), kResultFalse);
    XSync(host.display, False);
    EXPECT_EQ(host.Child(), 0u);
    view->release();
  }
  {
    // A parent that is no window.
    IPlugView* view = host.fx->createView("editor");
    view->setFrame(&host.frame);
    EXPECT_EQ(view->attached(reinterpret_cast<void*>(0x7ffffff0UL), "X11EmbedWindowID"), kResultFalse);
    EXPECT_EQ(host.loop.HandlerCount(), 0);
    EXPECT_EQ(host.loop.TimerCount(), 0);
    EXPECT_EQ(view->attached(nullptr, "X11EmbedWindowID"), kResultFalse);
    view->release();
  }
  {
    // No display at all: the instance and its view are made, attaching answers false.
    const std::string saved = std::getenv("DISPLAY");
    unsetenv("DISPLAY");
    auto* fx = new GuiFx(IPlugInstanceInfo());
    IPlugView* view = fx->createView("editor");
    ASSERT_NE(view, nullptr);
    view->setFrame(&host.frame);
    EXPECT_EQ(view->attached(reinterpret_cast<void*>(host.parent), "X11EmbedWindowID"), kResultFalse);
    EXPECT_EQ(host.loop.HandlerCount(), 0);
    view->release();
    fx->release();
    setenv("DISPLAY", saved.c_str(), 1);
  }
  EXPECT_EQ(host.fx->createView("other"), nullptr);
  EXPECT_EQ(host.fx->createView(nullptr), nullptr);
}

TEST(GuiEmbed, ResizeGoesThroughTheHostFrame)
{
  GuiHost host;
  ASSERT_TRUE(host.Open());
  host.fx->Editor()->Resize(GuiFx::kW, GuiFx::kH);  // same size: nothing
  EXPECT_TRUE(host.frame.resizes.empty());
  host.fx->Editor()->Resize(320, 170);
  ASSERT_EQ(host.frame.resizes.size(), 1u);
  EXPECT_EQ(host.frame.resizes[0].getWidth(), 320);
  EXPECT_EQ(host.frame.resizes[0].getHeight(), 170);
  host.Pump(60);
  XWindowAttributes wa;
  ASSERT_TRUE(XGetWindowAttributes(host.display, host.Child(), &wa));
  EXPECT_EQ(wa.width, 320);
  EXPECT_EQ(wa.height, 170);
  ViewRect size;
  ASSERT_EQ(host.mView->getSize(&size), kResultOk);
  EXPECT_EQ(size.getWidth(), 320);
}

TEST(GuiEmbed, ParentDestroyedBeforeRemovedThenReopened)
{
  GuiHost host;
  ASSERT_TRUE(host.Open());
  XDestroyWindow(host.display, host.parent);
  host.parent = 0;
  host.Pump(100);  // our window is gone with it; drawing into it must not hurt
  host.fx->Editor()->SetAllControlsDirty();
  host.Pump(100);
  host.Close();
  EXPECT_EQ(host.loop.HandlerCount(), 0);

  // A new parent works as before.
  host.parent = XCreateSimpleWindow(host.display, DefaultRootWindow(host.display), 0, 0, GuiFx::kW, GuiFx::kH, 0, 0, 0);
  XMapWindow(host.display, host.parent);
  XSync(host.display, False);
  ASSERT_TRUE(host.Open());
  EXPECT_NE(host.Child(), 0u);
}

TEST(GuiEmbed, OpenCloseReopenLeavesNothingBehind)
{
  GuiHost host;
  ASSERT_TRUE(host.Open());
  host.Close();
  const int fds = OpenFds(), windows = RootChildren(host.display);
  for (int i = 0; i < 200; ++i)
  {
    ASSERT_TRUE(host.Open()) << i;
    host.Pump(i % 20 == 0 ? 50 : 0);
    host.Close();
  }
  XSync(host.display, False);
  EXPECT_EQ(host.Child(), 0u);
  EXPECT_EQ(RootChildren(host.display), windows);
  EXPECT_EQ(OpenFds(), fds);
  EXPECT_EQ(host.loop.RefCount(), 1);
}

TEST(GuiEmbed, ExposeCopiesTheDrawnPixels)
{
  GuiHost host;
  ASSERT_TRUE(host.Open());
  host.Pump(100);
  EXPECT_EQ(host.ScreenPixel(100, 140), 0x282830u);  // the panel
  XClearArea(host.display, host.Child(), 0, 0, 0, 0, False);  // wiped to the window's black
  XSync(host.display, False);
  EXPECT_EQ(host.ScreenPixel(100, 140), 0x000000u);
  XClearArea(host.display, host.Child(), 0, 0, 0, 0, True);  // and an expose asks for it back
  host.Pump(30);
  EXPECT_EQ(host.ScreenPixel(100, 140), 0x282830u);
}

TEST(GuiEmbed, ABrokenConnectionNeverEndsTheHost)
{
  // An X server of this test's own, killed under the open editor (and in any case stopped, by
  // its id, when the test ends).
  vst3host::XvfbServer server(640, 480);
  // The test host's own connection dies too; its handler (installed before the editor's,
  // which passes on what is not its own) lets it live.
  XIOErrorHandler previousIO = XSetIOErrorHandler([](Display*) { return 0; });
  const std::string saved = std::getenv("DISPLAY");
  setenv("DISPLAY", server.DisplayName().c_str(), 1);
  {
    GuiHost host;
    ASSERT_NE(host.display, nullptr);
    // The test host survives its own connection's loss the same way.
    XSetIOErrorExitHandler(host.display, [](Display*, void*) {}, nullptr);
    const bool opened = host.Open();
    setenv("DISPLAY", saved.c_str(), 1);
    ASSERT_TRUE(opened);
    ASSERT_EQ(host.loop.HandlerCount(), 1);
    server.Stop();
    host.loop.Pump(200);
    EXPECT_EQ(host.loop.HandlerCount(), 0);  // the dead descriptor is no longer watched
    EXPECT_EQ(host.fx->Editor()->GetWindow(), nullptr);
    host.fx->Editor()->SetAllControlsDirty();
    host.loop.Pump(100);  // the timer still runs and does nothing
    host.Close();
    EXPECT_EQ(host.loop.TimerCount(), 0);
    host.parent = 0;  // gone with its server
  }
  XSetIOErrorHandler(previousIO);
}
