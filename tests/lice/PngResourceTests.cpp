#include "LiceTestSupport.h"

#include <png.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

using namespace lice_test;
namespace fs = std::filesystem;

extern char** environ;

namespace
{
// A 3 x 2 grey image, distinct per row.
std::vector<uint8_t> SmallPng()
{
  PngImage img;
  img.width = 3;
  img.height = 2;
  img.colorType = PNG_COLOR_TYPE_GRAY;
  img.samples = {0, 100, 200, 10, 20, 30};
  return EncodePng(img);
}

// Runs this test program again as `exePath` (a link inside a folder tree of our making), asking
// only for the bundle-side test; its exit status is the result.
int RunSelfAs(const std::string& exePath, const char* expect)
{
  std::string filter = "--gtest_filter=PngNamedResource.DISABLED_ChildSide";
  std::string disabled = "--gtest_also_run_disabled_tests";
  std::string env = std::string("LICE_BUNDLE_CHILD=") + expect;
  std::vector<char*> envp;
  for (char** e = environ; *e; ++e) envp.push_back(*e);
  envp.push_back(env.data());
  envp.push_back(nullptr);
  char* argv[] = {const_cast<char*>(exePath.c_str()), filter.data(), disabled.data(), nullptr};
  pid_t pid;
  if (posix_spawn(&pid, exePath.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}
}  // namespace

TEST(PngNamedResource, LoadsTheLastPathComponentFromTheResourceFolder)
{
  TempDir dir;
  ASSERT_TRUE(WriteFile(dir.path() + "/knob.png", SmallPng()));
  LICE_SetResourcePath((dir.path() + "/").c_str());

  std::unique_ptr<LICE_IBitmap> bmp(LICE_LoadPNGFromNamedResource("knob.png"));
  ASSERT_TRUE(bmp);
  EXPECT_EQ(PixelAt(bmp.get(), 1, 0), 0xff646464u);
  bmp.reset(LICE_LoadPNGFromNamedResource("img/sub/knob.png"));
  EXPECT_TRUE(bmp) << "folders in the name are ignored";

  // The length limit applies to the whole name, even where the last component is short.
  std::string name400, name401;
  while (name400.size() < 400 - 9) name400 += "a/";
  name400.resize(400 - 9);
  name400 += "/knob.png";
  name401 = "a" + name400;
  ASSERT_EQ(name400.size(), 400u);
  bmp.reset(LICE_LoadPNGFromNamedResource(name400.c_str()));
  EXPECT_TRUE(bmp);
  bmp.reset(LICE_LoadPNGFromNamedResource(name401.c_str()));
  EXPECT_FALSE(bmp);

  LICE_MemBitmap target;
  EXPECT_EQ(LICE_LoadPNGFromNamedResource("knob.png", &target), &target);
  EXPECT_EQ(LICE_LoadPNGFromNamedResource("missing.png", &target), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromNamedResource("", &target), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromNamedResource("img/", &target), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromNamedResource("..", &target), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromNamedResource(nullptr, &target), nullptr);

  // Back to the module's own bundle: this test program is not inside one.
  LICE_SetResourcePath(nullptr);
  EXPECT_EQ(LICE_LoadPNGFromNamedResource("knob.png"), nullptr);
}

// The bundle is found from the module's own path: the program is started again from inside a
// bundle-shaped tree (Name.vst3/Contents/x86_64-linux/), and from a tree without Contents.
TEST(PngNamedResource, FindsTheBundleHoldingTheModule)
{
  TempDir dir;
  const std::string self = fs::read_symlink("/proc/self/exe");
  const std::string bundle = dir.path() + "/Test.vst3/Contents";
  fs::create_directories(bundle + "/x86_64-linux");
  fs::create_directories(bundle + "/Resources");
  fs::create_directories(dir.path() + "/Loose/x86_64-linux");
  fs::create_directories(dir.path() + "/Loose/Resources");
  ASSERT_TRUE(WriteFile(bundle + "/Resources/knob.png", SmallPng()));
  ASSERT_TRUE(WriteFile(dir.path() + "/Loose/Resources/knob.png", SmallPng()));
  fs::create_symlink(self, bundle + "/x86_64-linux/lice_tests");
  fs::create_symlink(self, dir.path() + "/Loose/x86_64-linux/lice_tests");

  EXPECT_EQ(RunSelfAs(bundle + "/x86_64-linux/lice_tests", "image"), 0);
  EXPECT_EQ(RunSelfAs(dir.path() + "/Loose/x86_64-linux/lice_tests", "null"), 0);
}

// Run only by FindsTheBundleHoldingTheModule, in the program it starts.
TEST(PngNamedResource, DISABLED_ChildSide)
{
  const char* expect = std::getenv("LICE_BUNDLE_CHILD");
  ASSERT_NE(expect, nullptr);
  std::unique_ptr<LICE_IBitmap> bmp(LICE_LoadPNGFromNamedResource("knob.png"));
  if (std::string(expect) == "image")
  {
    ASSERT_TRUE(bmp);
    EXPECT_EQ(PixelAt(bmp.get(), 2, 1), 0xff1e1e1eu);
  }
  else
    EXPECT_FALSE(bmp);
}
