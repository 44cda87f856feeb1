#pragma once
// Fixtures of the control tests: an editor whose window layer also records opened addresses and
// file dialogs, image strips whose pixels tell where they came from, and the mouse modifiers.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GraphicsTestSupport.h"
#include "IKnobControls.h"

namespace gfxtest
{
// Records OpenURL and PromptForFile; addresses listed in openable open, every other fails. The
// file dialog "chooses" nextFile and runs duringDialog while it is open.
class UtilityGraphics : public RecordingGraphics
{
public:
  using RecordingGraphics::RecordingGraphics;

  bool OpenURL(const char* url, const char* title, const char*, const char*) override
  {
    urls.push_back(url ? url : "(null)");
    urlTitles.push_back(title ? title : "(null)");
    for (const std::string& ok : openable)
      if (ok == url) return true;
    return false;
  }
  void PromptForFile(WDL_String* file, EFileAction action, WDL_String* dir, char* extensions) override
  {
    dialogs.push_back({action, dir ? dir->Get() : "", extensions ? extensions : ""});
    if (duringDialog) duringDialog();
    file->Set(nextFile.c_str());
    if (dir && !nextFile.empty()) dir->Set(nextFile.substr(0, nextFile.rfind('/') + 1).c_str());
  }

  struct Dialog
  {
    EFileAction action;
    std::string dir, extensions;
  };
  std::vector<std::string> urls, urlTitles, openable;
  std::vector<Dialog> dialogs;
  std::string nextFile;
  std::function<void()> duringDialog;
};

// The knob base with nothing to draw: the drag and wheel arithmetic alone.
class BareKnob : public IKnobControl
{
public:
  using IKnobControl::IKnobControl;
  bool Draw(IGraphics*) override { return true; }
};

// An editor of w x h with its bitmaps made and strips kept alive for the test's length.
struct ControlEditor
{
  explicit ControlEditor(int w = 200, int h = 120) : g(&plug, w, h) { g.PrepDraw(); }

  template <class C> C* Add(C* control)
  {
    g.AttachControl(control);
    return control;
  }

  // An n-frame strip of coordinate pixels (MakeCoordinateBitmap), frames frameW x frameH.
  IBitmap Strip(int frameW, int frameH, int n, bool horizontal = false)
  {
    strips.push_back(MakeCoordinateBitmap(horizontal ? frameW * n : frameW, horizontal ? frameH : frameH * n));
    LICE_IBitmap* b = strips.back().get();
    return IBitmap(b, b->getWidth(), b->getHeight(), n, horizontal);
  }

  // One strict drawing pass over the whole editor, after clearing the draw bitmap. Values are
  // drawn as they stand (a pass does not clamp them).
  void DrawAll()
  {
    LICE_Clear(g.GetDrawBitmap(), 0);
    IRECT r(0, 0, g.Width(), g.Height());
    g.Draw(&r);
  }

  // A w x h bitmap of one pixel value (LICE_RGBA), kept alive with the strips.
  IBitmap Solid(int w, int h, LICE_pixel p)
  {
    strips.push_back(std::make_unique<LICE_MemBitmap>(w, h));
    LICE_Clear(strips.back().get(), p);
    return IBitmap(strips.back().get(), w, h);
  }

  // The source row (of a vertical coordinate strip) that the editor pixel (x, y) came from.
  int SourceRow(int x, int y)
  {
    int sx, sy;
    SourceOf(g, x, y, &sx, &sy);
    return sy;
  }
  bool Painted(int x, int y) { return g.GetPoint(x, y).A != 0; }

  EditorPlug plug;
  UtilityGraphics g;
  std::vector<std::unique_ptr<LICE_MemBitmap>> strips;
  IMouseMod left{true}, right{false, true}, leftShift{true, false, true}, leftCtrl{true, false, false, true};
};
}  // namespace gfxtest
