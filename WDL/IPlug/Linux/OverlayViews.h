#pragma once
// The pictures of the window layer's own small windows, popup menus and tooltips: laid out and
// drawn with the editor's text renderer (UTF-8, anti-aliased, the faces fontconfig matches) and
// the raster library into a bitmap, which XOverlayWindow puts on the screen. No X here, so the
// layout and the pixels can be checked without a server.
//
// Threads: the user-interface thread (the process-wide font cache carries its own lock).
// Pixels: the raster layout (0xAARRGGBB), every pixel of the view opaque.

#include <string>
#include <vector>

#include "IPlugStructs.h"

class IPopupMenu;
class LICE_IBitmap;

// One level of a popup menu: a 1-pixel border around the items in list order. An item row holds
// a check-mark column, the label (indented one step for titles, preceded by the menu's number
// prefix) and, for a submenu entry, an arrow at the right; a separator is a thin line.
class PopupMenuView
{
public:
  static constexpr int kBorder = 1, kPadY = 3, kCheckW = 22, kIndentW = 12, kArrowW = 22, kSeparatorH = 7,
                       kMinW = 80;

  // Lays the menu out; the menu must outlive the view and keep its items meanwhile.
  explicit PopupMenuView(IPopupMenu* menu);

  IPopupMenu* Menu() const { return mMenu; }
  int Width() const { return mW; }
  int Height() const { return mH; }
  // The item under view pixel (x, y): -1 on the border or outside.
  int ItemAt(int x, int y) const;
  // The top row of item i in the view (-1 for an index outside the menu).
  int ItemTop(int i) const;
  // Where item i's label is drawn, as wide and high as the text renderer measures it; empty for
  // a separator, an empty label or an index outside the menu.
  IRECT LabelRect(int i) const;
  // Whether item i can be chosen (not a separator, not disabled).
  bool Selectable(int i) const;
  // Draws the view into dest's top-left Width() x Height() pixels, item hover highlighted (-1:
  // none; a separator or a disabled item is never highlighted).
  void Render(LICE_IBitmap* dest, int hover) const;

  // The labels' text style in the given colour (left aligned, anti-aliased).
  static IText LabelStyle(const IColor& color);

private:
  struct Row
  {
    int top = 0, height = 0;
    std::string label;
    IRECT labelRect;  // relative to the row's top
  };

  IPopupMenu* mMenu;
  std::vector<Row> mRows;
  int mW = kMinW, mH = 2 * kBorder;
};

// A tooltip: the text on a pale yellow ground inside a 1-pixel border.
class TooltipView
{
public:
  static constexpr int kPadX = 5, kPadY = 3;

  explicit TooltipView(const char* text);
  int Width() const { return mW; }
  int Height() const { return mH; }
  IRECT LabelRect() const { return mLabelRect; }
  void Render(LICE_IBitmap* dest) const;
  static IText LabelStyle();

private:
  std::string mText;
  IRECT mLabelRect;
  int mW = 0, mH = 0;
};
