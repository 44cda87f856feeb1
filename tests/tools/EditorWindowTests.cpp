// Brelix's editor through the real X11 path, as `brelix gui` and `brelix snapshot` host it:
// snapshots against committed references, and a drag on GAIN that reaches the host's edits
// and the audio. Runs under the X server the test command starts (label gui); snapshots start
// a private server of their own.
#include <gtest/gtest.h>  // ahead of Xlib, whose None macro it would meet

#include "EditorCommands.h"
#include "EditorWindow.h"
#include "HostProcessor.h"
#include "ParameterChanges.h"
#include "PluginInstance.h"
#include "ToolTestSupport.h"
#include "Vst3Module.h"
#include "lice.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>

extern char** environ;

using namespace brelix;
using namespace vst3host;

namespace
{
const std::string kRefDir = BRELIX_TOOLS_REF_DIR;

// Largest per-channel difference between two pictures of the same size, or 256 when the sizes
// differ or either is missing.
int MaxDifference(const std::string& a, const std::string& b)
{
  std::unique_ptr<LICE_IBitmap> x(LICE_LoadPNG(a.c_str())), y(LICE_LoadPNG(b.c_str()));
  if (!x || !y || x->getWidth() != y->getWidth() || x->getHeight() != y->getHeight()) return 256;
  int worst = 0;
  for (int r = 0; r < x->getHeight(); ++r)
    for (int c = 0; c < x->getWidth(); ++c)
    {
      const LICE_pixel p = LICE_GetPixel(x.get(), c, r), q = LICE_GetPixel(y.get(), c, r);
      for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(static_cast<int>((p >> shift) & 0xff) - static_cast<int>((q >> shift) & 0xff)));
    }
  return worst;
}

// Renders one block of a tone, with the given changes.
std::vector<double> RenderBlock(HostProcessor& processor, ParameterChanges* changes)
{
  constexpr int n = 512;
  std::vector<double> inL(n), inR(n), outL(n), outR(n);
  for (int s = 0; s < n; ++s) inL[s] = inR[s] = 0.5 * std::sin(0.03 * s);
  double* in[] = {inL.data(), inR.data()};
  double* out[] = {outL.data(), outR.data()};
  processor.Process(in, out, n, changes);
  return outL;
}
}  // namespace

TEST(BrelixEditorWindow, SnapshotsMatchTheReferences)
{
  tooltest::TempDir dir;
  struct Case
  {
    const char* name;
    std::vector<ParameterRequest> settings;
  };
  const Case cases[] = {
    {"brelix_default.png", {}},
    {"brelix_settings.png",
     {{"GAIN", "24", false}, {"MODEL", "7", false}, {"HPF", "2", false}, {"LPF", "1", false}, {"BYPASS", "1", false}}}};
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    SnapshotOptions options;
    options.output = dir.file(c.name);
    options.plugin = BRELIX_BUNDLE;
    options.parameters = c.settings;
    EXPECT_EQ(SnapshotCommand(options).Run(), "1129 x 214");
    const int difference = MaxDifference(options.output, kRefDir + "/" + c.name);
    EXPECT_LE(difference, 3) << "compare " << options.output << " with the reference";
    // BRELIX_UPDATE_REFERENCES=1 rewrites a reference that no longer matches (look at it first).
    if (difference > 3 && std::getenv("BRELIX_UPDATE_REFERENCES"))
      std::filesystem::copy_file(options.output, kRefDir + "/" + c.name, std::filesystem::copy_options::overwrite_existing);
  }
  // The two settings differ where the controls are.
  EXPECT_GT(MaxDifference(kRefDir + "/brelix_default.png", kRefDir + "/brelix_settings.png"), 40);
}

TEST(BrelixEditorWindow, DragOnGainReachesTheHostAndTheAudio)
{
  auto module = Vst3Module::Load(BRELIX_BUNDLE);
  PluginInstance dragged(*module, module->SelectEffectClass("")), reference(*module, module->SelectEffectClass(""));
  ProcessSettings settings;
  settings.offline = false;
  HostProcessor a(dragged, settings), b(reference, settings);
  a.Start();
  b.Start();
  const std::vector<double> before = RenderBlock(a, nullptr);
  EXPECT_EQ(RenderBlock(b, nullptr), before);

  double dragValue = 0.0;
  {
    EditorWindow window(dragged, "", "drag test");
    Display* d = window.GetDisplay();
    ASSERT_TRUE(window.Run(200));
    ASSERT_TRUE(window.IsMapped());
    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(d, window.GetWindow(), DefaultRootWindow(d), 0, 0, &rootX, &rootY, &child);
    // GAIN sits at (217, 31) in a 158 x 120 frame: press on the knob, drag up 60 pixels.
    const int x = rootX + 217 + 79, y = rootY + 31 + 60;
    XTestFakeMotionEvent(d, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XFlush(d);
    window.Run(60);
    for (int step = 1; step <= 12; ++step)
    {
      XTestFakeMotionEvent(d, -1, x, y - 5 * step, CurrentTime);
      XFlush(d);
      window.Run(30);
    }
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
    XFlush(d);
    window.Run(100);

    const auto log = dragged.GetComponentHandler().EditLog();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log.front().kind, ComponentHandler::Edit::Kind::Begin);
    EXPECT_EQ(log.front().id, 1u);
    EXPECT_EQ(log.back().kind, ComponentHandler::Edit::Kind::End);
    double last = 0.0;
    for (const auto& e : log)
    {
      EXPECT_EQ(e.id, 1u);
      if (e.kind != ComponentHandler::Edit::Kind::Perform) continue;
      EXPECT_GE(e.value, last);  // upward: never down
      last = e.value;
    }
    // 60 pixels of a gearing-4 knob 120 pixels high: an eighth of the range.
    EXPECT_NEAR(last, 60.0 / (120.0 * 4.0), 0.02);
    EXPECT_DOUBLE_EQ(dragged.Controller()->getParamNormalized(1), last);
    dragValue = last;
  }

  // The dragged instance renders what an instance given that GAIN by automation renders.
  ParameterChanges edits, automation;
  dragged.GetComponentHandler().TakePendingEdits(edits);
  ASSERT_EQ(edits.getParameterCount(), 1);
  automation.Add(1, 0, dragValue);
  const std::vector<double> after = RenderBlock(a, &edits);
  EXPECT_EQ(after, RenderBlock(b, &automation));
  double change = 0.0;
  for (size_t s = 0; s < after.size(); ++s) change = std::max(change, std::fabs(after[s] - before[s]));
  EXPECT_GT(change, 1e-3);
  a.Stop();
  b.Stop();
}

namespace
{
// The top-level window with this name on the display, or 0.
Window FindWindowNamed(Display* d, const std::string& name)
{
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int n = 0;
  Window found = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &n)) return 0;
  for (unsigned int i = 0; i < n && !found; ++i)
  {
    char* title = nullptr;
    if (XFetchName(d, children[i], &title) && title)
    {
      if (name == title) found = children[i];
      XFree(title);
    }
  }
  if (children) XFree(children);
  return found;
}

// The pixels of an area of a window as the server has them.
std::vector<unsigned long> Pixels(Display* d, Window w, int x, int y, int width, int height)
{
  std::vector<unsigned long> out;
  XImage* image = XGetImage(d, w, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!image) return out;
  for (int r = 0; r < height; ++r)
    for (int c = 0; c < width; ++c) out.push_back(XGetPixel(image, c, r));
  XDestroyImage(image);
  return out;
}
}  // namespace

TEST(BrelixEditorWindow, GuiPlaysTheDemoClipSoTheMeterMovesAndEndsWhenClosed)
{
  const char* argv[] = {BRELIX_EXE, "gui", "--plugin", BRELIX_BUNDLE, nullptr};
  pid_t pid = -1;
  ASSERT_EQ(posix_spawn(&pid, BRELIX_EXE, nullptr, nullptr, const_cast<char**>(argv), environ), 0);
  // Whatever happens below, the program goes (by its id).
  struct Reap
  {
    pid_t pid;
    ~Reap()
    {
      if (pid > 0 && kill(pid, SIGKILL) == 0) waitpid(pid, nullptr, 0);
    }
  } reap{pid};

  Display* d = XOpenDisplay(nullptr);
  ASSERT_NE(d, nullptr);
  Window w = 0;
  for (int i = 0; i < 200 && !w; ++i, usleep(50000)) w = FindWindowNamed(d, "Brelix - brelix");
  ASSERT_NE(w, 0u) << "no window";
  // The meter (377, 44; 28 x 112) changes while the clip plays.
  std::vector<unsigned long> first;
  bool moved = false;
  for (int i = 0; i < 100 && !moved; ++i, usleep(50000))
  {
    XWindowAttributes wa{};
    if (!XGetWindowAttributes(d, w, &wa) || wa.map_state != IsViewable) continue;
    const std::vector<unsigned long> now = Pixels(d, w, 377, 44, 28, 112);
    if (first.empty())
      first = now;
    else
      moved = now != first;
  }
  EXPECT_TRUE(moved) << "the meter did not move";

  // Closing the window from the window manager's side ends the program normally.
  XEvent close{};
  close.xclient.type = ClientMessage;
  close.xclient.window = w;
  close.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  XSendEvent(d, w, False, NoEventMask, &close);
  XFlush(d);
  int status = -1;
  for (int i = 0; i < 200; ++i, usleep(50000))
    if (waitpid(pid, &status, WNOHANG) == pid)
    {
      reap.pid = -1;
      break;
    }
  EXPECT_EQ(reap.pid, -1) << "still running after the window was closed";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  XCloseDisplay(d);
}
