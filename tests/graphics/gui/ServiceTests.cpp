// The window layer's services that need no pointer: the text field's rules, pixel conversion
// for other visuals, XDG paths, helper programs for dialogs and addresses, bundle images.
#include <gtest/gtest.h>
#include "GuiTestHost.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>

#include "HelperProcess.h"
#include "LinuxPaths.h"
#include "TextEntryField.h"
#include "XScreenImage.h"

using namespace guitest;

namespace
{
// Sets an environment variable for the scope.
class ScopedEnv
{
public:
  ScopedEnv(const char* name, const char* value) : mName(name)
  {
    if (const char* old = std::getenv(name)) mOld = old, mHad = true;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv()
  {
    if (mHad)
      setenv(mName.c_str(), mOld.c_str(), 1);
    else
      unsetenv(mName.c_str());
  }

private:
  std::string mName, mOld;
  bool mHad = false;
};

// A temporary folder, removed with its files.
struct TempDir
{
  TempDir()
  {
    char tmpl[] = "/tmp/brelix-gui-XXXXXX";
    path = mkdtemp(tmpl);
  }
  ~TempDir()
  {
    const std::string cmd = "rm -rf '" + path + "'";
    [[maybe_unused]] int r = std::system(cmd.c_str());
  }
  // An executable script named name that prints output (and records its arguments).
  void Script(const std::string& name, const std::string& output)
  {
    const std::string file = path + "/" + name;
    std::ofstream(file) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << path << "/" << name << ".args'\nprintf '"
                        << output << "'\n";
    chmod(file.c_str(), 0755);
  }
  std::string Read(const std::string& name)
  {
    std::ifstream in(path + "/" + name);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string path;
};
}  // namespace

TEST(GuiServices, TextFieldFilterLimitAndCaret)
{
  TextEntryField f;
  f.Open("1.5", TextEntryField::kDecimalFilter, 7);
  EXPECT_EQ(f.Caret(), 3u);
  EXPECT_EQ(f.Insert("2,3a"), 2);  // comma and letter refused
  EXPECT_EQ(f.Text(), "1.523");
  EXPECT_EQ(f.Insert("4567"), 2);  // the eighth character is refused
  EXPECT_EQ(f.Text(), "1.52345");
  f.Home();
  f.Delete();
  f.Right();
  f.Backspace();
  EXPECT_EQ(f.Text(), "52345");
  f.Open("", TextEntryField::kIntegerFilter, 7);
  EXPECT_EQ(f.Insert("-1.5"), 3);  // no point in an integer field
  EXPECT_EQ(f.Text(), "-15");
  // Free text: any printable character, UTF-8 kept whole, control characters dropped.
  f.Open("", nullptr, 0);
  EXPECT_EQ(f.Insert("a\xc3\xa9\tb"), 3);
  EXPECT_EQ(f.Length(), 3);
  f.Left();
  f.Left();
  EXPECT_EQ(f.Caret(), 1u);
  f.Delete();
  EXPECT_EQ(f.Text(), "ab");
  f.End();
  f.Backspace();
  f.Backspace();
  f.Backspace();
  EXPECT_EQ(f.Text(), "");
}

TEST(GuiServices, PixelConversionForOtherVisuals)
{
  const uint32_t src[3] = {0x00ff0000u, 0x8000ff00u, 0x123456ffu};
  XScreenImage::Format argb;
  argb.redMask = 0xff0000;
  argb.greenMask = 0xff00;
  argb.blueMask = 0xff;
  argb.alphaMask = 0xff000000u;
  uint32_t out[3];
  XScreenImage::ConvertRow(argb, src, reinterpret_cast<unsigned char*>(out), 3);
  EXPECT_EQ(out[0], 0xffff0000u);  // alpha forced opaque
  EXPECT_EQ(out[1], 0xff00ff00u);
  EXPECT_EQ(out[2], 0xff3456ffu);
  XScreenImage::Format rgb565;
  rgb565.redMask = 0xf800;
  rgb565.greenMask = 0x07e0;
  rgb565.blueMask = 0x001f;
  rgb565.bitsPerPixel = 16;
  uint16_t out16[3];
  XScreenImage::ConvertRow(rgb565, src, reinterpret_cast<unsigned char*>(out16), 3);
  EXPECT_EQ(out16[0], 0xf800);
  EXPECT_EQ(out16[1], 0x07e0);
  EXPECT_EQ(out16[2], (0x34 >> 3) << 11 | (0x56 >> 2) << 5 | 0x1f);
  XScreenImage::Format bgr;
  bgr.redMask = 0xff;
  bgr.greenMask = 0xff00;
  bgr.blueMask = 0xff0000;
  XScreenImage::ConvertRow(bgr, src + 2, reinterpret_cast<unsigned char*>(out), 1);
  EXPECT_EQ(out[0], 0xff5634u);
}

TEST(GuiServices, XdgPaths)
{
  TempDir home;
  ScopedEnv h("HOME", home.path.c_str());
  {
    ScopedEnv c("XDG_CONFIG_HOME", nullptr);
    ScopedEnv s("XDG_CONFIG_DIRS", nullptr);
    EXPECT_EQ(LinuxPaths::Desktop(), home.path + "/Desktop");
    EXPECT_EQ(LinuxPaths::ConfigHome(), home.path + "/.config");
    EXPECT_EQ(LinuxPaths::SystemConfig(), "/etc/xdg");
    EXPECT_EQ(LinuxPaths::ExpandTilde("~/x"), home.path + "/x");
    EXPECT_EQ(LinuxPaths::ExpandTilde("a/~"), "a/~");
  }
  ScopedEnv c("XDG_CONFIG_HOME", (home.path + "/cfg").c_str());
  ScopedEnv s("XDG_CONFIG_DIRS", "relative:/opt/xdg:/etc/xdg");
  mkdir((home.path + "/cfg").c_str(), 0700);
  std::ofstream(home.path + "/cfg/user-dirs.dirs") << "# comment\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n";
  EXPECT_EQ(LinuxPaths::Desktop(), home.path + "/Schreibtisch");
  EXPECT_EQ(LinuxPaths::ConfigHome(), home.path + "/cfg");
  EXPECT_EQ(LinuxPaths::SystemConfig(), "/opt/xdg");
  EXPECT_EQ(LinuxPaths::BundleResources("/x/B.vst3/Contents/x86_64-linux/B.so"), "/x/B.vst3/Contents/Resources");
  EXPECT_EQ(LinuxPaths::BundleResources("/x/lib/B.so"), "");
  EXPECT_EQ(LinuxPaths::PluginFolder("/x/B.vst3/Contents/x86_64-linux/B.so"), "/x/");
}

TEST(GuiServices, MessageBoxResultCodesAndMissingHelpers)
{
  GuiHost host;
  ASSERT_TRUE(host.Open());
  IGraphicsLinux* g = host.fx->Editor();
  TempDir bin;
  {
    ScopedEnv path("PATH", bin.path.c_str());  // no zenity, no kdialog: cancelled at once
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(g->ShowMessageBox("Sure?", "Brelix", 4), 0);
    WDL_String file("x.fxp"), dir;
    g->PromptForFile(&file, kFileOpen, &dir, const_cast<char*>("fxp fxb"));
    EXPECT_STREQ(file.Get(), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_FALSE(g->OpenURL("https://example.org"));
  }
  ScopedEnv path("PATH", (bin.path + ":/usr/bin:/bin").c_str());
  bin.Script("zenity", "Yes");
  EXPECT_EQ(g->ShowMessageBox("Sure?", "Brelix", 4), 1);
  const std::string args = bin.Read("zenity.args");
  EXPECT_NE(args.find("--extra-button=Yes\n--extra-button=No\n"), std::string::npos) << args;
  EXPECT_NE(args.find("--text=Sure?\n"), std::string::npos);
  bin.Script("zenity", "No");
  EXPECT_EQ(g->ShowMessageBox("Sure?", "Brelix", 4), 7);
  bin.Script("zenity", "Cancel");
  EXPECT_EQ(g->ShowMessageBox("Sure?", "Brelix", 3), 2);
  EXPECT_EQ(g->ShowMessageBox("Sure?", "Brelix", 1), 7);
  bin.Script("zenity", "");  // closed
  EXPECT_EQ(g->ShowMessageBox("Sure?", "Brelix", 1), 0);
  bin.Script("zenity", "OK");
  EXPECT_EQ(g->ShowMessageBox("Note", "Brelix", 0), 1);
}

TEST(GuiServices, FileDialogStartFolderAndResult)
{
  GuiHost host;
  ASSERT_TRUE(host.Open());
  IGraphicsLinux* g = host.fx->Editor();
  TempDir bin, home;
  ScopedEnv h("HOME", home.path.c_str());
  ScopedEnv c("XDG_CONFIG_HOME", nullptr);
  ScopedEnv path("PATH", (bin.path + ":/usr/bin:/bin").c_str());
  bin.Script("zenity", "/data/presets/My Bank.fxb\\n");
  WDL_String file("Bank.fxb"), dir;
  g->PromptForFile(&file, kFileSave, &dir, const_cast<char*>("fxp fxb"));
  EXPECT_STREQ(file.Get(), "/data/presets/My Bank.fxb");
  EXPECT_STREQ(dir.Get(), "/data/presets/");
  const std::string args = bin.Read("zenity.args");
  EXPECT_NE(args.find("--filename=" + home.path + "/Desktop/Bank.fxb\n"), std::string::npos) << args;
  EXPECT_NE(args.find("--save\n"), std::string::npos);
  EXPECT_NE(args.find("--file-filter=*.fxp *.fxb\n"), std::string::npos);

  // Cancelled: the file is empty, the start folder (written back) stays.
  bin.Script("zenity", "");
  WDL_String file2("a.fxp"), dir2;
  g->PromptForFile(&file2, kFileOpen, &dir2, nullptr);
  EXPECT_STREQ(file2.Get(), "");
  EXPECT_EQ(std::string(dir2.Get()), home.path + "/Desktop");

  // Addresses open through xdg-open, started and not waited for.
  bin.Script("xdg-open", "");
  EXPECT_TRUE(g->OpenURL("https://example.org/brelix"));
  host.Pump(200);
  EXPECT_EQ(bin.Read("xdg-open.args"), "https://example.org/brelix\n");
  EXPECT_TRUE(g->OpenURL(nullptr));
}

TEST(GuiServices, BundleImagesArePngOnly)
{
  GuiHost host;
  IGraphicsLinux* g = host.fx->Editor();
  EXPECT_EQ(g->OSLoadBitmap(1, "resources/img/knob.jpg"), nullptr);
  EXPECT_EQ(g->OSLoadBitmap(1, nullptr), nullptr);
  // The test executable sits in no bundle: no resource folder, nothing loads.
  WDL_String res;
  g->ResourcePath(&res);
  EXPECT_STREQ(res.Get(), "");
  EXPECT_EQ(g->OSLoadBitmap(1, "resources/img/BG.PNG"), nullptr);
  EXPECT_STREQ(static_cast<const char*>(g->GetGUIAPI()), "X11 GUI");
  EXPECT_GT(IGraphicsLinux::GetUserOSVersion(), 0x20000);
}
