// Seeded fuzzing of the rectangle, pixel and blit operations with random, extreme and negative
// coordinates, sizes, weights and modes (NaN and infinities included), for the sanitizer build:
// after every call the guard bands of both bitmaps are intact and a separate source is unchanged.
#include "LiceFuzz.h"

#include <sstream>

using namespace lice_test;

namespace
{
constexpr int kCases = 4000;

struct ProcessCheck
{
  LICE_IBitmap* bmp;
  bool outside = false;
};

void CheckInside(LICE_pixel* p, void* parm)
{
  auto* c = static_cast<ProcessCheck*>(parm);
  const ptrdiff_t at = p - c->bmp->getBits(), span = c->bmp->getRowSpan();
  if (at < 0 || at / span >= c->bmp->getHeight() || at % span >= c->bmp->getWidth())
    c->outside = true;
  *p ^= 0x01010101;
}

// One random rectangle or pixel operation on `dest`; returns what it did.
std::string RectangleOp(Fuzzer& fz, GuardedBitmap& dest)
{
  std::ostringstream what;
  const int W = dest.getWidth(), H = dest.getHeight();
  const int x = fz.coord(W), y = fz.coord(H), w = fz.coord(W), h = fz.coord(H);
  const LICE_pixel c = fz.color();
  const float a = fz.alpha();
  const int mode = fz.mode();
  switch (fz.below(9))
  {
    case 0:
      LICE_ClearRect(&dest, x, y, w, h, fz.color(), fz.color());
      what << "ClearRect";
      break;
    case 1:
      LICE_FillRect(&dest, x, y, w, h, c, a, mode);
      what << "FillRect alpha " << a << " mode " << mode;
      break;
    case 2:
      LICE_PutPixel(&dest, x, y, c, a, mode);
      what << "PutPixel alpha " << a << " mode " << mode;
      break;
    case 3:
    {
      ProcessCheck check{&dest};
      LICE_ProcessRect(&dest, x, y, w, h, CheckInside, &check);
      EXPECT_FALSE(check.outside) << "ProcessRect handed out a pixel outside the bitmap";
      what << "ProcessRect";
      break;
    }
    case 4:
      LICE_MultiplyAddRect(&dest, x, y, w, h, fz.fcoord(2), fz.alpha(), 1.0f, fz.fcoord(2),
                           fz.fcoord(300), 0.0f, fz.alpha(), fz.fcoord(300));
      what << "MultiplyAddRect";
      break;
    case 5:
      LICE_SimpleFill(&dest, x, y, c, fz.color(), fz.color());
      what << "SimpleFill";
      break;
    case 6:
    {
      const LICE_pixel got = LICE_GetPixel(&dest, x, y);
      const bool inside = x >= 0 && y >= 0 && x < W && y < H;
      EXPECT_EQ(got, inside ? PixelAt(&dest, x, y) : 0u) << "GetPixel(" << x << ", " << y << ")";
      what << "GetPixel";
      break;
    }
    case 7:
      LICE_SetAlphaFromColorMask(&dest, c);
      what << "SetAlphaFromColorMask";
      break;
    default:
      LICE_Clear(&dest, c);
      what << "Clear";
  }
  what << " (" << x << ", " << y << ", " << w << ", " << h << ") on " << W << "x" << H
       << (dest.isFlipped() ? " bottom-up" : "");
  return what.str();
}

// One random blit from `src` (possibly `dest` itself) into `dest`.
std::string BlitOp(Fuzzer& fz, GuardedBitmap& dest, GuardedBitmap& src)
{
  std::ostringstream what;
  const int W = dest.getWidth(), H = dest.getHeight(), SW = src.getWidth(), SH = src.getHeight();
  const int dx = fz.coord(W), dy = fz.coord(H), dw = fz.coord(W), dh = fz.coord(H);
  const float a = fz.alpha();
  const int mode = fz.mode();
  switch (fz.below(7))
  {
    case 0:
    {
      RECT r{fz.coord(SW), fz.coord(SH), fz.coord(SW), fz.coord(SH)};
      LICE_Blit(&dest, &src, dx, dy, fz.chance(15) ? nullptr : &r, a, mode);
      what << "Blit rect (" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom
           << ")";
      break;
    }
    case 1:
    {
      const int sx = fz.coord(SW), sy = fz.coord(SH), sw = fz.coord(SW), sh = fz.coord(SH);
      LICE_Blit(&dest, &src, dx, dy, sx, sy, sw, sh, a, mode);
      what << "Blit (" << sx << ", " << sy << ", " << sw << ", " << sh << ")";
      break;
    }
    case 2:
    case 3:
    {
      const float sx = fz.fcoord(SW), sy = fz.fcoord(SH), sw = fz.fcoord(SW), sh = fz.fcoord(SH);
      LICE_ScaledBlit(&dest, &src, dx, dy, dw, dh, sx, sy, sw, sh, a, mode);
      what << "ScaledBlit to " << dw << "x" << dh << " from (" << sx << ", " << sy << ", " << sw
           << ", " << sh << ")";
      break;
    }
    case 4:
    {
      const float sx = fz.fcoord(SW), sy = fz.fcoord(SH), sw = fz.fcoord(SW), sh = fz.fcoord(SH);
      const float angle = fz.chance(10) ? fz.fcoord(4) : (float)fz.below(6283) / 1000.0f;
      const float cx = fz.fcoord(8), cy = fz.fcoord(8);
      const bool clip = fz.chance(50);
      LICE_RotatedBlit(&dest, &src, dx, dy, dw, dh, sx, sy, sw, sh, angle, clip, a, mode, cx, cy);
      what << "RotatedBlit to " << dw << "x" << dh << " from (" << sx << ", " << sy << ", " << sw
           << ", " << sh << ") angle " << angle << " centre " << cx << ", " << cy;
      break;
    }
    case 5:
      LICE_Copy(&dest, &src);  // resizes the destination to the source
      what << "Copy";
      break;
    default:
    {
      const int sx = fz.coord(SW), sy = fz.coord(SH);
      LICE_Blur(&dest, &src, dx, dy, sx, sy, dw, dh);
      what << "Blur from (" << sx << ", " << sy << ") size " << dw << "x" << dh;
    }
  }
  what << " at (" << dx << ", " << dy << ") alpha " << a << " mode " << mode << "; " << W << "x"
       << H << (dest.isFlipped() ? " bottom-up" : "") << " from " << SW << "x" << SH
       << (src.isFlipped() ? " bottom-up" : "") << (&src == &dest ? " (itself)" : "");
  return what.str();
}
}  // namespace

TEST(LiceFuzz, RectangleAndPixelOperationsStayInside)
{
  Fuzzer fz("rectangles");
  for (int n = 0; n < kCases; ++n)
  {
    auto dest = fz.bitmap(40);
    const std::string what = RectangleOp(fz, *dest);
    ASSERT_TRUE(dest->guardsIntact()) << "case " << n << ": " << what;
  }
}

TEST(LiceFuzz, BlitsStayInsideAndLeaveTheirSourceAlone)
{
  Fuzzer fz("blits");
  int drew = 0;
  for (int n = 0; n < kCases; ++n)
  {
    auto dest = fz.bitmap(40);
    auto other = fz.bitmap(40);
    GuardedBitmap& src = fz.chance(20) ? *dest : *other;
    const std::vector<LICE_pixel> before = Snapshot(other.get()), destBefore = Snapshot(dest.get());
    const std::string what = BlitOp(fz, *dest, src);
    if (Snapshot(dest.get()) != destBefore) ++drew;
    ASSERT_TRUE(dest->guardsIntact()) << "case " << n << ": " << what;
    ASSERT_TRUE(other->guardsIntact()) << "case " << n << ": " << what;
    if (&src != dest.get())
    {
      ASSERT_TRUE(Snapshot(other.get()) == before) << "case " << n << ": " << what;
    }
  }
  EXPECT_GT(drew, kCases / 10) << "too few cases reached the drawing code";
}
