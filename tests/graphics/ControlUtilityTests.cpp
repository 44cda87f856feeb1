// The link and file selector controls: address fallback, over-long texts, the file dialog with
// its drawing while open and its extra drawing pass, and the file handed to the plug-in.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "IFileSelectorControl.h"
#include "IURLControl.h"

using namespace gfxtest;

TEST(URLControl, OpensTheAddressElseTheBackup)
{
  ControlEditor e;
  auto* both = e.Add(new IURLControl(&e.plug, IRECT(0, 0, 10, 10), "http://a.example", "http://b.example", "Oops"));
  e.Add(new IURLControl(&e.plug, IRECT(20, 0, 30, 10), "", "http://b.example"));
  auto* nothing = e.Add(new IURLControl(&e.plug, IRECT(40, 0, 50, 10), nullptr));
  EXPECT_EQ(both->ParamIdx(), -1);

  e.g.openable = {"http://a.example"};
  e.g.OnMouseDown(5, 5, &e.left);
  EXPECT_EQ(e.g.urls, std::vector<std::string>{"http://a.example"});
  EXPECT_EQ(e.g.urlTitles, std::vector<std::string>{"Oops"});  // the message goes to the window layer

  e.g.urls.clear();
  e.g.openable.clear();  // the first address fails: the backup follows
  e.g.OnMouseDown(5, 5, &e.left);
  EXPECT_EQ(e.g.urls, (std::vector<std::string>{"http://a.example", "http://b.example"}));

  e.g.urls.clear();
  e.g.OnMouseDown(25, 5, &e.left);
  EXPECT_EQ(e.g.urls, std::vector<std::string>{"http://b.example"});
  e.g.urls.clear();
  e.g.OnMouseDown(45, 5, &e.left);
  EXPECT_TRUE(e.g.urls.empty());
  EXPECT_STREQ(nothing->GetErrMsg(), "");
  EXPECT_TRUE(e.plug.begins.empty());  // no parameter, no host edits

  IURLControl detached(&e.plug, IRECT(0, 0, 10, 10), "http://a.example");
  detached.OnMouseDown(5, 5, &e.left);  // not in an editor: nothing to open with
  EXPECT_TRUE(e.g.urls.empty());
}

TEST(URLControl, AnAddressThatDoesNotFitIsRefusedNotCut)
{
  ControlEditor e;
  const std::string fits = "http://x.example/" + std::string(IURLControl::kURLLen - 1 - 17, 'a');
  const std::string tooLong = fits + "b";
  ASSERT_EQ(fits.size(), static_cast<size_t>(IURLControl::kURLLen - 1));
  auto* link = e.Add(new IURLControl(&e.plug, IRECT(0, 0, 10, 10), tooLong.c_str(), "http://backup.example"));
  EXPECT_STREQ(link->GetURL(), "");
  e.g.OnMouseDown(5, 5, &e.left);
  EXPECT_EQ(e.g.urls, std::vector<std::string>{"http://backup.example"});

  IURLControl exact(&e.plug, IRECT(0, 0, 10, 10), fits.c_str(), tooLong.c_str());
  EXPECT_EQ(exact.GetURL(), fits);
  EXPECT_STREQ(exact.GetBackupURL(), "");

  // The message is cut to its buffer, never inside a character: 1022 bytes and a two-byte
  // character would need 1024 bytes before the terminator.
  const std::string message = std::string(IURLControl::kErrMsgLen - 2, 'm') + "\xC3\xA9 and more";
  IURLControl cut(&e.plug, IRECT(0, 0, 10, 10), "http://a.example", nullptr, message.c_str());
  EXPECT_EQ(std::strlen(cut.GetErrMsg()), static_cast<size_t>(IURLControl::kErrMsgLen - 2));
  EXPECT_EQ(std::string(cut.GetErrMsg()), message.substr(0, IURLControl::kErrMsgLen - 2));
}

TEST(FileSelector, DialogDrawsTheBitmapAndAnExtraPassClearsIt)
{
  ControlEditor e;
  const IColor black(255, 0, 0, 0);
  IBitmap bitmap = e.Strip(20, 20, 1);
  auto* selector = e.Add(new IFileSelectorControl(&e.plug, IRECT(20, 20, 40, 40), 3, &bitmap, kFileOpen,
                                                  "/home/u/", "wav aif"));
  e.g.AttachPanelBackground(&black);
  IRECT all(0, 0, e.g.Width(), e.g.Height());
  e.g.Draw(&all);
  EXPECT_EQ(e.g.GetPoint(25, 25), black);  // nothing shown while idle

  // The window layer redraws while the dialog is open: the bitmap shows.
  bool shownDuringDialog = false;
  e.g.duringDialog = [&] {
    EXPECT_EQ(selector->GetState(), IFileSelectorControl::kSelecting);
    IRECT r;
    EXPECT_TRUE(e.g.IsDirty(&r));
    EXPECT_EQ(r, *selector->GetRECT());
    e.g.Draw(&r);
    int sx, sy;
    SourceOf(e.g, 25, 27, &sx, &sy);
    shownDuringDialog = sx == 5 && sy == 7;
  };
  e.g.nextFile = "/home/u/take1.wav";
  e.g.OnMouseDown(25, 25, &e.left);
  e.g.OnMouseUp(25, 25, &e.left);
  EXPECT_TRUE(shownDuringDialog);
  ASSERT_EQ(e.g.dialogs.size(), 1u);
  EXPECT_EQ(e.g.dialogs[0].action, kFileOpen);
  EXPECT_EQ(e.g.dialogs[0].dir, "/home/u/");
  EXPECT_EQ(e.g.dialogs[0].extensions, "wav aif");
  EXPECT_EQ(selector->GetState(), IFileSelectorControl::kDone);
  WDL_String file;
  selector->GetLastSelectedFileForPlug(&file);
  EXPECT_STREQ(file.Get(), "/home/u/take1.wav");

  // The selection steps the value and sends it inside the press's gesture.
  EXPECT_EQ(selector->GetValue(), 1.0);
  EXPECT_EQ(e.plug.begins, std::vector<int>{3});
  EXPECT_EQ(e.plug.ends, std::vector<int>{3});
  ASSERT_EQ(e.plug.informs.size(), 1u);
  EXPECT_EQ(e.plug.informs[0].second, 1.0);

  // The pass for the value change, then one extra pass, then the editor is clean.
  IRECT r;
  ASSERT_TRUE(e.g.IsDirty(&r));
  e.g.Draw(&r);
  EXPECT_EQ(e.g.GetPoint(25, 25), black);
  r.Clear();
  EXPECT_TRUE(e.g.IsDirty(&r));
  EXPECT_EQ(r, *selector->GetRECT());
  EXPECT_EQ(selector->GetState(), IFileSelectorControl::kNone);
  e.g.Draw(&r);
  r.Clear();
  EXPECT_FALSE(e.g.IsDirty(&r));

  // A cancelled dialog leaves no file; the value wraps back to 0.
  e.g.duringDialog = nullptr;
  e.g.nextFile.clear();
  e.g.OnMouseDown(25, 25, &e.left);
  e.g.OnMouseUp(25, 25, &e.left);
  selector->GetLastSelectedFileForPlug(&file);
  EXPECT_STREQ(file.Get(), "");
  EXPECT_EQ(selector->GetValue(), 0.0);
  EXPECT_EQ(e.plug.informs.back().second, 0.0);
}

TEST(FileSelector, FileFromThePlugAndNoDialogOutsideAnEditor)
{
  ControlEditor e;
  IBitmap bitmap(nullptr, 10, 10);
  auto* selector = e.Add(new IFileSelectorControl(&e.plug, IRECT(0, 0, 10, 10), -1, &bitmap, kFileSave));
  selector->SetLastSelectedFileFromPlug("/tmp/preset.fxp");
  WDL_String file;
  selector->GetLastSelectedFileForPlug(&file);
  EXPECT_STREQ(file.Get(), "/tmp/preset.fxp");
  selector->GetLastSelectedFileForPlug(nullptr);
  e.g.nextFile = "/tmp/out.fxp";
  e.g.OnMouseDown(5, 5, &e.left);
  ASSERT_EQ(e.g.dialogs.size(), 1u);
  EXPECT_EQ(e.g.dialogs[0].action, kFileSave);
  EXPECT_TRUE(e.plug.informs.empty());  // no parameter: nothing sent

  IFileSelectorControl detached(&e.plug, IRECT(0, 0, 10, 10), 3, &bitmap, kFileOpen);
  detached.OnMouseDown(5, 5, &e.left);
  EXPECT_EQ(e.g.dialogs.size(), 1u);
  EXPECT_EQ(detached.GetState(), IFileSelectorControl::kNone);
  EXPECT_EQ(detached.GetValue(), 0.0);
}
