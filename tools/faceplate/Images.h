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

// The faceplate with every visible control composed on it as the editor draws them (source alpha
// over the background), at a few telling settings, as one PNG for review. False when the file
// cannot be written.
bool WritePreview(const std::string& path);

}  // namespace faceplate
