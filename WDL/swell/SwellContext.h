#pragma once
// The memory drawing context behind HDC (internal to the shim).

#include "swell.h"

struct HDC__
{
  unsigned int* bits = nullptr;  // width x height pixels, row 0 at the top, owned
  int width = 0;
  int height = 0;
};
