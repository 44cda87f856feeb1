#pragma once
// Writes a raster bitmap as an 8-bit RGBA PNG, reproducibly: the same pixels always give the same
// bytes (no time or text chunks, fixed compression and filters).

#include "lice.h"

namespace faceplate
{

// False (and no file left behind) when the file cannot be written.
bool WritePng(LICE_IBitmap* bmp, const char* path);

}  // namespace faceplate
