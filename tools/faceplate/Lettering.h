#pragma once
// Printed lettering: text rendered by the raster library's cached fonts (faces found through the
// drawing shim's fontconfig matching) into coverage masks trimmed to their ink, then placed on a
// surface in paint, with the slight shadow that lifts silk-screened letters off the enamel.
// User-interface-free, single thread (the cached fonts' rule).

#include "Surface.h"

#include <memory>
#include <string>
#include <vector>

class LICE_CachedFont;

namespace faceplate
{

// The ink of a text: coverage 0-255 over its tight bounding box.
struct TextMask
{
  int w = 0, h = 0;
  std::vector<unsigned char> coverage;
};

class Lettering
{
public:
  // face: a fontconfig family ("DejaVu Sans", "DejaVu Sans Condensed"); height: cell height in
  // pixels; weight: FW_NORMAL or FW_BOLD. `tracking` adds pixels between letters.
  Lettering(const char* face, int height, int weight, int tracking = 0);
  ~Lettering();
  Lettering(const Lettering&) = delete;
  Lettering& operator=(const Lettering&) = delete;

  TextMask Render(const std::string& utf8) const;

private:
  std::unique_ptr<LICE_CachedFont> m_font;
  int m_tracking;
};

// Puts text on a surface with its ink centred on (cx, cy) (rounded to whole pixels), in `ink`
// with a soft dark shadow one pixel below.
void Print(Surface& s, const TextMask& text, double cx, double cy, Colour ink, double shadow = 0.35);

}  // namespace faceplate
