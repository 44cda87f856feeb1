#pragma once
// The generator's drawing surface: a picture in double precision with premultiplied alpha, so that
// soft edges, shadows and glows composite correctly before the result is rounded once into a
// raster bitmap of the raster library (8-bit, straight alpha). Shapes are painted through
// callbacks that return a colour and a coverage for each pixel centre; see Shapes.h and Light.h.
// Single-threaded, deterministic: the same calls give the same pixels.

#include "lice.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace faceplate
{

// A colour with channels 0..1 (sRGB values as stored in the image).
struct Colour
{
  double r = 0, g = 0, b = 0;
};
Colour Mix(Colour a, Colour b, double t);  // a + (b - a) t
Colour Scale(Colour c, double k);
Colour Rgb(int r, int g, int b);

// What a painter returns for one pixel: its colour and how much of the pixel it covers (0..1).
struct Paint
{
  Colour colour;
  double alpha = 0;
};

class Surface
{
public:
  Surface(int w, int h);
  int W() const { return m_w; }
  int H() const { return m_h; }

  // Composites `c` at opacity `a` over the pixel (nothing outside the surface).
  void Blend(int x, int y, Colour c, double a);
  // Calls painter(px, py) with the centre of every pixel of the box [x0, x1) x [y0, y1) (clipped
  // to the surface) and composites what it returns.
  template <class Painter>
  void Fill(double x0, double y0, double x1, double y1, Painter&& painter)
  {
    const int ix0 = std::max(0, (int)std::floor(x0)), iy0 = std::max(0, (int)std::floor(y0));
    const int ix1 = std::min(m_w, (int)std::ceil(x1)), iy1 = std::min(m_h, (int)std::ceil(y1));
    for (int y = iy0; y < iy1; ++y)
      for (int x = ix0; x < ix1; ++x)
      {
        const Paint p = painter(x + 0.5, y + 0.5);
        if (p.alpha > 0) Blend(x, y, p.colour, p.alpha);
      }
  }
  // Composites a coverage mask (8-bit, rows of `w`) in one colour with its top-left at (x, y).
  void Mask(const std::vector<unsigned char>& coverage, int w, int h, int x, int y, Colour c,
            double alpha);
  // Composites another surface over this one with its top-left at (x, y).
  void Draw(const Surface& src, int x, int y);
  // Straight (non-premultiplied) colour and alpha of a pixel.
  Paint At(int x, int y) const;
  // Rounds the picture into `dest` with its top-left at (x, y) (replacing those pixels).
  void WriteTo(LICE_IBitmap* dest, int x, int y) const;

private:
  int m_w, m_h;
  std::vector<double> m_px;  // premultiplied r, g, b, a per pixel
};

}  // namespace faceplate
