#include "Surface.h"

namespace faceplate
{

Colour Mix(Colour a, Colour b, double t)
{
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour Scale(Colour c, double k) { return {c.r * k, c.g * k, c.b * k}; }

Colour Rgb(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }

Surface::Surface(int w, int h) : m_w(w), m_h(h), m_px((size_t)w * h * 4, 0.0) {}

void Surface::Blend(int x, int y, Colour c, double a)
{
  if (x < 0 || y < 0 || x >= m_w || y >= m_h || !(a > 0)) return;
  a = std::min(a, 1.0);
  double* p = &m_px[((size_t)y * m_w + x) * 4];
  const double keep = 1.0 - a;
  p[0] = c.r * a + p[0] * keep;
  p[1] = c.g * a + p[1] * keep;
  p[2] = c.b * a + p[2] * keep;
  p[3] = a + p[3] * keep;
}

void Surface::Mask(const std::vector<unsigned char>& coverage, int w, int h, int x, int y,
                   Colour c, double alpha)
{
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      if (const unsigned char v = coverage[(size_t)j * w + i]) Blend(x + i, y + j, c, alpha * v / 255.0);
}

void Surface::Draw(const Surface& src, int x, int y)
{
  for (int j = 0; j < src.m_h; ++j)
    for (int i = 0; i < src.m_w; ++i)
    {
      const int dx = x + i, dy = y + j;
      if (dx < 0 || dy < 0 || dx >= m_w || dy >= m_h) continue;
      const double* s = &src.m_px[((size_t)j * src.m_w + i) * 4];
      double* d = &m_px[((size_t)dy * m_w + dx) * 4];
      const double keep = 1.0 - s[3];
      for (int k = 0; k < 4; ++k) d[k] = s[k] + d[k] * keep;
    }
}

Paint Surface::At(int x, int y) const
{
  const double* p = &m_px[((size_t)y * m_w + x) * 4];
  if (!(p[3] > 0)) return {};
  return {{p[0] / p[3], p[1] / p[3], p[2] / p[3]}, p[3]};
}

namespace
{
int Byte(double v) { return v <= 0 ? 0 : v >= 1 ? 255 : (int)(v * 255.0 + 0.5); }
}  // namespace

void Surface::WriteTo(LICE_IBitmap* dest, int x, int y) const
{
  for (int j = 0; j < m_h; ++j)
    for (int i = 0; i < m_w; ++i)
    {
      const Paint p = At(i, j);
      const int a = Byte(p.alpha);
      const LICE_pixel px = a == 0 ? 0 : LICE_RGBA(Byte(p.colour.r), Byte(p.colour.g), Byte(p.colour.b), a);
      LICE_PutPixel(dest, x + i, y + j, px, 1.0f, LICE_BLIT_MODE_COPY);
    }
}

}  // namespace faceplate
