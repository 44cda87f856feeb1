#include "OverlayViews.h"

#include <algorithm>

#include "IGraphics.h"
#include "IPopupMenu.h"
#include "lice.h"

namespace
{
const LICE_pixel kMenuGround = LICE_RGBA(242, 242, 242, 255), kMenuBorder = LICE_RGBA(128, 128, 128, 255),
                 kHover = LICE_RGBA(56, 117, 215, 255), kSeparator = LICE_RGBA(196, 196, 196, 255),
                 kTipGround = LICE_RGBA(255, 255, 225, 255), kTipBorder = LICE_RGBA(118, 118, 118, 255);
const IColor kText(255, 0, 0, 0), kHoverText(255, 255, 255, 255), kDisabledText(255, 144, 144, 144);

// A submenu entry ignores its flags; other items follow them.
bool IsSeparator(const IPopupMenuItem* item) { return !item->GetSubmenu() && item->GetIsSeparator(); }

// The text's extent at (x, y), measured by the renderer that draws it; empty for no text.
IRECT Measure(IText style, const std::string& text, int x, int y)
{
  IRECT r(x, y, x, y);
  if (text.empty() || !IGraphics::DrawIText(nullptr, &style, text.c_str(), &r, true)) return IRECT(x, y, x, y);
  return r;
}

int LineHeight(const IText& style) { return std::max(Measure(style, "Ag", 0, 0).H(), 1); }

void Draw(LICE_IBitmap* dest, IText style, const std::string& text, const IRECT& at)
{
  IRECT r = at;
  IGraphics::DrawIText(dest, &style, text.c_str(), &r);
}

void Border(LICE_IBitmap* dest, int w, int h, LICE_pixel color)
{
  LICE_DrawRect(dest, 0, 0, w - 1, h - 1, color);
}

// A check mark two pixels thick, anti-aliased, in the check column of a row centred at cy.
void CheckMark(LICE_IBitmap* dest, int x, int cy, LICE_pixel color)
{
  for (int dy = 0; dy < 2; ++dy)
  {
    LICE_Line(dest, x, cy + dy, x + 3, cy + 3 + dy, color, 1.0f, LICE_BLIT_MODE_COPY, true);
    LICE_Line(dest, x + 3, cy + 3 + dy, x + 9, cy - 4 + dy, color, 1.0f, LICE_BLIT_MODE_COPY, true);
  }
}
}  // namespace

IText PopupMenuView::LabelStyle(const IColor& color)
{
  return IText(13, color, "DejaVu Sans", IText::kStyleNormal, IText::kAlignLeft, 0, IText::kQualityAntiAlias);
}

PopupMenuView::PopupMenuView(IPopupMenu* menu) : mMenu(menu)
{
  const IText style = LabelStyle(kText);
  const int itemH = LineHeight(style) + 2 * kPadY;
  int y = kBorder;
  for (int i = 0; menu && i < menu->GetNItems(); ++i)
  {
    const IPopupMenuItem* item = menu->GetItem(i);
    Row row;
    row.top = y;
    if (IsSeparator(item))
      row.height = kSeparatorH;
    else
    {
      row.height = itemH;
      WDL_String label;
      menu->GetItemLabel(i, &label);
      row.label = label.Get();
      const int x = kBorder + kCheckW + (!item->GetSubmenu() && item->GetIsTitle() ? kIndentW : 0);
      int right = x;
      if (!row.label.empty())
      {
        row.labelRect = Measure(style, row.label, x, 0);
        const int textH = row.labelRect.H();
        row.labelRect.T = (itemH - textH) / 2;
        row.labelRect.B = row.labelRect.T + textH;
        right = row.labelRect.R;
      }
      mW = std::max(mW, right + kArrowW + kBorder);
    }
    y += row.height;
    mRows.push_back(row);
  }
  mH = std::max(y + kBorder, 2 * kBorder + 2);
}

int PopupMenuView::ItemAt(int x, int y) const
{
  if (x < kBorder || x >= mW - kBorder || y < kBorder || y >= mH - kBorder) return -1;
  for (size_t i = 0; i < mRows.size(); ++i)
    if (y >= mRows[i].top && y < mRows[i].top + mRows[i].height) return static_cast<int>(i);
  return -1;
}

int PopupMenuView::ItemTop(int i) const
{
  return i >= 0 && i < static_cast<int>(mRows.size()) ? mRows[static_cast<size_t>(i)].top : -1;
}

IRECT PopupMenuView::LabelRect(int i) const
{
  if (i < 0 || i >= static_cast<int>(mRows.size())) return IRECT();
  const Row& row = mRows[static_cast<size_t>(i)];
  if (row.label.empty()) return IRECT();
  return IRECT(row.labelRect.L, row.top + row.labelRect.T, row.labelRect.R, row.top + row.labelRect.B);
}

bool PopupMenuView::Selectable(int i) const
{
  const IPopupMenuItem* item = mMenu ? mMenu->GetItem(i) : nullptr;
  return item && (item->GetSubmenu() || (!item->GetIsSeparator() && item->GetEnabled()));
}

void PopupMenuView::Render(LICE_IBitmap* dest, int hover) const
{
  if (!dest) return;
  LICE_FillRect(dest, 0, 0, mW, mH, kMenuGround, 1.0f, LICE_BLIT_MODE_COPY);
  for (size_t k = 0; k < mRows.size(); ++k)
  {
    const int i = static_cast<int>(k);
    const Row& row = mRows[k];
    const IPopupMenuItem* item = mMenu->GetItem(i);
    if (IsSeparator(item))
    {
      LICE_Line(dest, kBorder + 4, row.top + row.height / 2, mW - kBorder - 5, row.top + row.height / 2, kSeparator,
                1.0f, LICE_BLIT_MODE_COPY, false);
      continue;
    }
    const bool lit = i == hover && Selectable(i);
    if (lit) LICE_FillRect(dest, kBorder, row.top, mW - 2 * kBorder, row.height, kHover, 1.0f, LICE_BLIT_MODE_COPY);
    const IColor& color = lit ? kHoverText : (Selectable(i) ? kText : kDisabledText);
    const LICE_pixel pixel = color.ToPixel();
    const int cy = row.top + row.height / 2;
    if (!item->GetSubmenu() && item->GetChecked()) CheckMark(dest, kBorder + 6, cy - 1, pixel);
    Draw(dest, LabelStyle(color), row.label, LabelRect(i));
    if (item->GetSubmenu())
    {
      const int x = mW - kBorder - 13;
      LICE_FillTriangle(dest, x, cy - 4, x, cy + 4, x + 4, cy, pixel, 1.0f, LICE_BLIT_MODE_COPY);
    }
  }
  Border(dest, mW, mH, kMenuBorder);
}

IText TooltipView::LabelStyle()
{
  return IText(12, kText, "DejaVu Sans", IText::kStyleNormal, IText::kAlignLeft, 0, IText::kQualityAntiAlias);
}

TooltipView::TooltipView(const char* text) : mText(text ? text : "")
{
  const IText style = LabelStyle();
  mLabelRect = Measure(style, mText, 1 + kPadX, 1 + kPadY);
  const int textH = mText.empty() ? LineHeight(style) : mLabelRect.H();
  mW = mLabelRect.R + kPadX + 1;
  mH = 1 + kPadY + textH + kPadY + 1;
}

void TooltipView::Render(LICE_IBitmap* dest) const
{
  if (!dest) return;
  LICE_FillRect(dest, 0, 0, mW, mH, kTipGround, 1.0f, LICE_BLIT_MODE_COPY);
  if (!mText.empty()) Draw(dest, LabelStyle(), mText, mLabelRect);
  Border(dest, mW, mH, kTipBorder);
}
