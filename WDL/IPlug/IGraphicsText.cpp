// Text drawing. The font machinery (the drawing shim's fonts and the raster library's cached
// fonts) is not part of this build yet: no font can be made, so text draws nothing and reports
// false, as for a style whose font cannot be made.
#include "IGraphics.h"

bool IGraphics::DrawIText(IText*, const char* str, IRECT*, bool)
{
  return !str || !*str;
}
