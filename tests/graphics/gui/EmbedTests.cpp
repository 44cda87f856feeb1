// Attaching as a Linux host does: the platform type, the XEmbed property before mapping, the
// run-loop registrations, what is left after failures, the host frame and the parent vanishing.
#include <gtest/gtest.h>
#include "GuiTestHost.h"

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
  EXPECT_EQ(host.loop.fds.size(), 1u);
  ASSERT_EQ(host.loop.timers.size(), 1u);
  EXPECT_EQ(host.loop.timers[0].ms, 40);

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
  EXPECT_TRUE(host.loop.fds.empty());
  EXPECT_TRUE(host.loop.timers.empty());
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
    EXPECT_TRUE(host.loop.fds.empty());
    EXPECT_TRUE(host.loop.timers.empty());
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
    EXPECT_TRUE(host.loop.fds.empty());
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
  EXPECT_TRUE(host.loop.fds.empty());

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
  // An X server of this test's own, killed under the open editor.
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 3);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const char* argv[] = {"Xvfb", "-displayfd", "3", "-screen", "0", "640x480x24", "-nolisten", "tcp", nullptr};
  pid_t server = -1;
  ASSERT_EQ(posix_spawnp(&server, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  char number[16] = {};
  pollfd p{pipeFds[0], POLLIN, 0};
  ssize_t got = poll(&p, 1, 10000) > 0 ? read(pipeFds[0], number, sizeof number - 1) : -1;
  close(pipeFds[0]);
  if (got <= 0)
  {
    kill(server, SIGKILL);
    waitpid(server, nullptr, 0);
    FAIL() << "the second X server did not start";
  }
  // Whatever happens below, the server goes (by its id).
  struct Stop
  {
    pid_t pid;
    ~Stop()
    {
      if (pid > 0 && kill(pid, SIGKILL) == 0) waitpid(pid, nullptr, 0);
    }
  } stop{server};
  // The test host's own connection dies too; its handler (installed before the editor's,
  // which passes on what is not its own) lets it live.
  XIOErrorHandler previousIO = XSetIOErrorHandler([](Display*) { return 0; });
  const std::string saved = std::getenv("DISPLAY");
  setenv("DISPLAY", (":" + std::to_string(std::atoi(number))).c_str(), 1);
  {
    GuiHost host;
    ASSERT_NE(host.display, nullptr);
    // The test host survives its own connection's loss the same way.
    XSetIOErrorExitHandler(host.display, [](Display*, void*) {}, nullptr);
    const bool opened = host.Open();
    setenv("DISPLAY", saved.c_str(), 1);
    ASSERT_TRUE(opened);
    ASSERT_EQ(host.loop.fds.size(), 1u);
    kill(server, SIGKILL);
    waitpid(server, nullptr, 0);
    stop.pid = -1;
    host.loop.Pump(200);
    EXPECT_TRUE(host.loop.fds.empty());  // the dead descriptor is no longer watched
    EXPECT_EQ(host.fx->Editor()->GetWindow(), nullptr);
    host.fx->Editor()->SetAllControlsDirty();
    host.loop.Pump(100);  // the timer still runs and does nothing
    host.Close();
    EXPECT_TRUE(host.loop.timers.empty());
    host.parent = 0;  // gone with its server
  }
  XSetIOErrorHandler(previousIO);
}
