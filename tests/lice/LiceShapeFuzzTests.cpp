// Seeded fuzzing of lines, shapes, polygon fills and glyph masks with random, extreme and negative
// coordinates, radii, angles, weights and modes (NaN and infinities included), for the sanitizer
// build: after every call the guard bands are intact, and masks are read only inside their bytes.
#include "LiceFuzz.h"

#include <sstream>

using namespace lice_test;

namespace
{
constexpr int kCases = 4000;

std::string ShapeOp(Fuzzer& fz, GuardedBitmap& dest)
{
  std::ostringstream what;
  const int W = dest.getWidth(), H = dest.getHeight();
  const LICE_pixel c = fz.color();
  const float a = fz.alpha();
  const int mode = fz.mode();
  const bool aa = fz.chance(50);
  switch (fz.below(10))
  {
    case 0:
    {
      const int x1 = fz.coord(W), y1 = fz.coord(H), x2 = fz.coord(W), y2 = fz.coord(H);
      LICE_Line(&dest, x1, y1, x2, y2, c, a, mode, aa);
      what << "Line (" << x1 << ", " << y1 << ")-(" << x2 << ", " << y2 << ")";
      break;
    }
    case 1:
    {
      const int x = fz.coord(W), y = fz.coord(H), w = fz.coord(W), h = fz.coord(H);
      LICE_DrawRect(&dest, x, y, w, h, c, a, mode);
      what << "DrawRect (" << x << ", " << y << ", " << w << ", " << h << ")";
      break;
    }
    case 2:
    case 3:
    {
      const float cx = fz.fcoord(W), cy = fz.fcoord(H);
      const float r = fz.chance(30) ? (float)fz.below(9) / 2.0f : fz.fcoord(W);
      if (fz.chance(50))
        LICE_Circle(&dest, cx, cy, r, c, a, mode, aa);
      else
        LICE_FillCircle(&dest, cx, cy, r, c, a, mode, aa);
      what << "Circle/FillCircle centre (" << cx << ", " << cy << ") r " << r;
      break;
    }
    case 4:
    {
      const float cx = fz.fcoord(W), cy = fz.fcoord(H), r = fz.fcoord(W);
      const float a0 = fz.fcoord(8), a1 = fz.chance(50) ? a0 + fz.fcoord(4) : fz.fcoord(8);
      LICE_Arc(&dest, cx, cy, r, a0, a1, c, a, mode, aa);
      what << "Arc centre (" << cx << ", " << cy << ") r " << r << " from " << a0 << " to " << a1;
      break;
    }
    case 5:
    {
      const float x = fz.fcoord(W), y = fz.fcoord(H), w = fz.fcoord(W), h = fz.fcoord(H);
      const int r = fz.chance(70) ? (int)fz.below(20) : fz.coord(W);
      LICE_RoundRect(&dest, x, y, w, h, r, c, a, mode, aa);
      what << "RoundRect (" << x << ", " << y << ", " << w << ", " << h << ") radius " << r;
      break;
    }
    case 6:
    {
      const int x1a = fz.coord(W), x1b = fz.coord(W), y1 = fz.coord(H);
      const int x2a = fz.coord(W), x2b = fz.coord(W), y2 = fz.coord(H);
      LICE_FillTrapezoid(&dest, x1a, x1b, y1, x2a, x2b, y2, c, a, mode);
      what << "FillTrapezoid " << x1a << ".." << x1b << " @" << y1 << ", " << x2a << ".." << x2b
           << " @" << y2;
      break;
    }
    case 7:
    {
      // Up to 600 points, past the size of the stack work list.
      const int n = fz.chance(10) ? (int)fz.below(600) : (int)fz.below(9);
      std::vector<int> xs, ys;
      for (int i = 0; i < n; ++i)
      {
        xs.push_back(fz.coord(W));
        ys.push_back(fz.chance(20) && i ? ys[0] : fz.coord(H));
      }
      LICE_FillConvexPolygon(&dest, xs.data(), ys.data(), n, c, a, mode);
      what << "FillConvexPolygon of " << n << " points";
      break;
    }
    case 8:
    {
      const int p[6] = {fz.coord(W), fz.coord(H), fz.coord(W),
                        fz.coord(H), fz.coord(W), fz.coord(H)};
      LICE_FillTriangle(&dest, p[0], p[1], p[2], p[3], p[4], p[5], c, a, mode);
      what << "FillTriangle (" << p[0] << ", " << p[1] << ") (" << p[2] << ", " << p[3] << ") ("
           << p[4] << ", " << p[5] << ")";
      break;
    }
    default:
    {
      // Masks sized exactly, so that any read past them is caught.
      const int gw = (int)fz.below(20), gh = (int)fz.below(20), x = fz.coord(W), y = fz.coord(H);
      const int kind = (int)fz.below(3);
      const int rowBytes = kind == 2 ? (gw + 7) / 8 : gw;
      const int span = (rowBytes + (int)fz.below(3)) * (fz.chance(50) ? 1 : -1);
      std::vector<unsigned char> mask((size_t)std::abs(span) * gh + (gh ? 0 : 1));
      for (auto& m : mask) m = (unsigned char)(fz.chance(30) ? 255 * fz.below(2) : fz.next());
      if (kind == 0)
        LICE_DrawGlyph(&dest, x, y, c, mask.data(), gw, gh, a, mode);
      else if (kind == 1)
        LICE_DrawGlyphEx(&dest, x, y, c, mask.data(), gw, span, gh, a, mode);
      else
        LICE_DrawMonoGlyph(&dest, x, y, c, mask.data(), gw, span, gh, a, mode);
      what << "glyph kind " << kind << " " << gw << "x" << gh << " span " << span << " at (" << x
           << ", " << y << ")";
    }
  }
  what << " alpha " << a << " mode " << mode << (aa ? " aa" : "") << "; " << W << "x" << H
       << (dest.isFlipped() ? " bottom-up" : "");
  return what.str();
}
}  // namespace

TEST(LiceFuzz, LinesShapesAndGlyphsStayInside)
{
  Fuzzer fz("shapes");
  int drew = 0;
  for (int n = 0; n < kCases; ++n)
  {
    auto dest = fz.bitmap(40);
    const std::vector<LICE_pixel> before = Snapshot(dest.get());
    const std::string what = ShapeOp(fz, *dest);
    if (Snapshot(dest.get()) != before) ++drew;
    ASSERT_TRUE(dest->guardsIntact()) << "case " << n << ": " << what;
  }
  EXPECT_GT(drew, kCases / 10) << "too few cases reached the drawing code";
}

TEST(LiceFuzz, ClippedLinesEndInsideTheBox)
{
  Fuzzer fz("clipline");
  for (int n = 0; n < kCases; ++n)
  {
    const int xlo = fz.coord(20), ylo = fz.coord(20), xhi = fz.coord(40), yhi = fz.coord(40);
    int x1 = fz.coord(40), y1 = fz.coord(40), x2 = fz.coord(40), y2 = fz.coord(40);
    std::ostringstream what;
    what << "(" << x1 << ", " << y1 << ")-(" << x2 << ", " << y2 << ") in [" << xlo << ", " << xhi
         << ") x [" << ylo << ", " << yhi << ")";
    if (!LICE_ClipLine(&x1, &y1, &x2, &y2, xlo, ylo, xhi, yhi)) continue;
    for (int x : {x1, x2}) ASSERT_TRUE(x >= xlo && x < xhi) << what.str() << " gave x " << x;
    for (int y : {y1, y2}) ASSERT_TRUE(y >= ylo && y < yhi) << what.str() << " gave y " << y;
  }
}
