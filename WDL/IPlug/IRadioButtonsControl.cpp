#include "IRadioButtonsControl.h"

#include "IGraphics.h"

IRadioButtonsControl::IRadioButtonsControl(IPlugBase* plug, const IRECT& rect, int paramIdx, int nButtons,
                                           const IBitmap* bitmap, EDirection direction, bool reverse)
  : IControl(plug, rect, paramIdx), mBitmap(bitmap ? *bitmap : IBitmap())
{
  const int n = nButtons >= 1 ? nButtons : 1;
  const int w = mBitmap.W, h = mBitmap.H / (mBitmap.N >= 1 ? mBitmap.N : 1);
  // The spacing between buttons; a single button has none.
  const int room = direction == kVertical ? rect.H() - n * h : rect.W() - n * w;
  const int gap = n >= 2 ? static_cast<int>(static_cast<double>(room) / (n - 1)) : 0;
  mButtons.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i)
  {
    if (direction == kVertical)
    {
      const int top = reverse ? rect.B - h - gap - i * (h + gap) : rect.T + i * (h + gap);
      mButtons.emplace_back(rect.L, top, rect.L + w, top + h);
    }
    else
    {
      const int left = reverse ? rect.R - w - gap - i * (w + gap) : rect.L + i * (w + gap);
      mButtons.emplace_back(left, rect.T, left + w, rect.T + h);
    }
  }
}

void IRadioButtonsControl::OnMouseDown(int x, int y, IMouseMod* mod)
{
  if (mod && mod->R)
  {
    PromptUserInput();
    return;
  }
  const int n = NButtons();
  for (int i = 0; i < n; ++i)
  {
    if (mButtons[static_cast<size_t>(i)].Contains(x, y))
    {
      mValue = n >= 2 ? static_cast<double>(i) / (n - 1) : 0.0;
      break;
    }
  }
  SetDirty(true);
}

int IRadioButtonsControl::ActiveButton() const
{
  const int n = NButtons();
  const double v = mValue < 0.0 ? 0.0 : (mValue > 1.0 ? 1.0 : mValue);  // keeps the int defined
  const int k = static_cast<int>((n - 1) * v + 0.5);
  return k < 0 ? 0 : (k > n - 1 ? n - 1 : k);
}

bool IRadioButtonsControl::Draw(IGraphics* graphics)
{
  const int active = ActiveButton();
  for (int i = 0; i < NButtons(); ++i)
    graphics->DrawBitmap(&mBitmap, &mButtons[static_cast<size_t>(i)], i == active ? 2 : 1, &mBlend);
  return true;
}
