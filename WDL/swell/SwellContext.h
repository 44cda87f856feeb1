#pragma once
// The memory drawing context behind HDC (internal to the shim).

#include <vector>

#include "swell.h"

struct HDC__
{
  unsigned int* bits = nullptr;  // width x height pixels, row 0 at the top, owned
  int width = 0;
  int height = 0;
  HFONT font = nullptr;          // selected font (holds one selection reference)
  COLORREF textColour = RGB(0, 0, 0);
  COLORREF bkColour = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  RECT clip{};                   // within the buffer, or empty
  std::vector<RECT> clipStack;
};
