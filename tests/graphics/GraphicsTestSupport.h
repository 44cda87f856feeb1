#pragma once
// Shared fixtures of the editor tests: a plug-in that records what the editor asks of it, a
// window layer that records what the core asks of it, and a control that records its events.

#include <memory>
#include <string>
#include <vector>

#include "IGraphics.h"
#include "IPopupMenu.h"
#include "TestPlug.h"

namespace gfxtest
{
// A plug-in of four parameters (bool, enum with display texts, int, double) that records host
// context menus and resize requests; the API it reports is chosen by the test.
class EditorPlug : public TestPlug
{
public:
  explicit EditorPlug(EAPI api = kAPIVST3) : TestPlug(4), mApiForTest(api)
  {
    InitCyclicParams();
    GetParam(1)->SetDisplayText(2, "C");
  }
  EAPI GetAPI() override { return mApiForTest; }
  bool PopupHostContextMenuForParam(int idx, int x, int y) override
  {
    contextMenus.push_back({idx, x, y});
    return true;
  }
  void ResizeGraphics(int w, int h) override { resizes.push_back({w, h, 0}); }

  struct Call
  {
    int a, b, c;
  };
  std::vector<Call> contextMenus, resizes;
  EAPI mApiForTest;
};

// What a popup menu looked like when the core showed it.
struct ShownMenu
{
  std::vector<std::string> texts;
  std::vector<bool> checked;
  IRECT area;
};

struct TextEntry
{
  IControl* control;
  std::string text;
  IRECT area;
  IParam* param;
};

// The window layer of the tests: records screen copies, menus, text entries and the other
// requests; menus answer with a chosen index set by the test (-1: dismissed).
class RecordingGraphics : public IGraphics
{
public:
  RecordingGraphics(IPlugBase* plug, int w, int h, int fps = 0) : IGraphics(plug, w, h, fps) {}

  bool DrawScreen(IRECT* r) override
  {
    screenCopies.push_back(*r);
    return true;
  }
  void ForceEndUserEdit() override { ++endUserEdits; }
  int ShowMessageBox(const char*, const char*, int) override { return 0; }
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* area) override
  {
    ShownMenu shown{{}, {}, *area};
    for (int i = 0; i < menu->GetNItems(); ++i)
    {
      shown.texts.push_back(menu->GetItemText(i));
      shown.checked.push_back(menu->IsItemChecked(i));
    }
    menus.push_back(shown);
    if (menuChoice < 0) return nullptr;
    menu->SetChosenItemIdx(menuChoice);
    return menu;
  }
  void CreateTextEntry(IControl* control, IText*, IRECT* area, const char* str, IParam* param) override
  {
    textEntries.push_back({control, str, *area, param});
  }
  void HostPath(WDL_String* path) override { path->Set(""); }
  void PluginPath(WDL_String* path) override { path->Set(""); }
  void DesktopPath(WDL_String* path) override { path->Set(""); }
  void AppSupportPath(WDL_String* path, bool) override { path->Set(""); }
  void SandboxSafeAppSupportPath(WDL_String* path) override { path->Set(""); }
  void PromptForFile(WDL_String*, EFileAction, WDL_String*, char*) override {}
  bool PromptForColor(IColor*, char*) override { return false; }
  bool OpenURL(const char*, const char*, const char*, const char*) override { return false; }
  void* OpenWindow(void* parent) override
  {
    mWindow = parent;
    return parent;
  }
  void CloseWindow() override { mWindow = nullptr; }
  void* GetWindow() override { return mWindow; }
  bool GetTextFromClipboard(WDL_String*) override { return false; }
  void UpdateTooltips() override {}
  void ResourcePath(WDL_String* path) override { path->Set(resourceDir.c_str()); }

  std::vector<IRECT> screenCopies;
  std::vector<ShownMenu> menus;
  std::vector<TextEntry> textEntries;
  int endUserEdits = 0;
  int menuChoice = -1;
  std::string resourceDir;

private:
  void* mWindow = nullptr;
};

// Records what the editor delivers to it; counts its own destruction.
class ProbeControl : public IControl
{
public:
  ProbeControl(IPlugBase* plug, const IRECT& r, int paramIdx = -1, int* deaths = nullptr)
    : IControl(plug, r, paramIdx), mDeaths(deaths)
  {
  }
  ~ProbeControl() override
  {
    if (mDeaths) ++*mDeaths;
  }
  bool Draw(IGraphics*) override
  {
    ++draws;
    return true;
  }
  void OnMouseDown(int x, int y, IMouseMod* mod) override
  {
    events.push_back("down");
    IControl::OnMouseDown(x, y, mod);
  }
  void OnMouseUp(int, int, IMouseMod*) override { events.push_back("up"); }
  void OnMouseDrag(int, int, int dX, int dY, IMouseMod*) override
  {
    events.push_back("drag " + std::to_string(dX) + " " + std::to_string(dY));
  }
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override
  {
    events.push_back("dbl");
    IControl::OnMouseDblClick(x, y, mod);
  }
  void OnMouseWheel(int, int, IMouseMod*, int d) override
  {
    events.push_back("wheel " + std::to_string(d));
    mValue += 0.01 * d;
    SetDirty(true);
  }
  bool OnKeyDown(int, int, int key) override
  {
    events.push_back("key " + std::to_string(key));
    return true;
  }
  void OnMouseOver(int, int, IMouseMod*) override { events.push_back("over"); }
  void OnMouseOut() override { events.push_back("out"); }
  void SetTextFromPlug(const char* text) override { shownText = text; }

  int draws = 0;
  std::vector<std::string> events;
  std::string shownText;
  int* mDeaths;
};

// A bitmap of w x h whose pixel (x, y) is opaque with red = x and green = y (mod 256): a drawn
// pixel tells which source pixel it came from. Owned by the caller.
std::unique_ptr<LICE_MemBitmap> MakeCoordinateBitmap(int w, int h);

// The source coordinates a pixel of the draw bitmap was copied from.
inline void SourceOf(IGraphics& g, int x, int y, int* srcX, int* srcY)
{
  const IColor c = g.GetPoint(x, y);
  *srcX = c.R;
  *srcY = c.G;
}
}  // namespace gfxtest
