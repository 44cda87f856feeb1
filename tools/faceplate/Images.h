#pragma once
// The editor's nine images (ids 101-109) and how each is made. Single thread.

#include "lice.h"

#include <memory>
#include <string>

namespace faceplate
{

// The image of `imageIndex` (an ImageIndex of PanelLayout.h): its strip of frames stacked top to
// bottom, frameW x frameH * frames pixels.
std::unique_ptr<LICE_MemBitmap> RenderImage(int imageIndex);

// Renders every image and writes it as `dir`/<file name>. On failure returns false with the
// reason in *error (files already written stay).
bool WriteImages(const std::string& dir, std::string* error);

}  // namespace faceplate
