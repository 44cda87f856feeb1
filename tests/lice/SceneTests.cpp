// A picture of every drawing family at once, compared exactly with the committed
// ref/scene.png: all of the library's per-pixel arithmetic is integer, so any change to a pixel
// is a change of behaviour. When the reference is rewritten, a 4x enlargement is written beside
// the test for looking at.
#include "LiceTestSupport.h"

#include <cmath>

using namespace lice_test;

namespace
{
constexpr float kPi = 3.14159265f;

// A small image with colour gradients, a checker and a round alpha mask.
void MakeSprite(LICE_IBitmap* bmp, int size)
{
  bmp->resize(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
    {
      const int dx = 2 * x + 1 - size, dy = 2 * y + 1 - size;
      const int d2 = dx * dx + dy * dy, r2 = size * size;
      const int alpha = d2 >= r2 ? 0 : 255 - 255 * d2 / r2 / 2;
      const int check = ((x / 3 + y / 3) & 1) ? 40 : 0;
      LICE_PutPixel(bmp, x, y, LICE_RGBA(255 * x / size, 215 - check, 255 * y / size, alpha), 1.0f,
                    0);
    }
}

void DrawCircleRows(LICE_IBitmap* bmp)
{
  const LICE_pixel colours[] = {0xffffffff, 0xffffd040, 0xff60e0ff, 0xffff7090};
  for (int row = 0; row < 4; ++row)
  {
    const bool aa = row & 1, filled = row >= 2;
    int x = 6;
    const int y = 16 + 30 * row;
    for (int r = 0; r <= 12; ++r)
    {
      x += r;
      if (filled)
        LICE_FillCircle(bmp, (float)x, (float)y, (float)r, colours[row], 1.0f, 0, aa);
      else
        LICE_Circle(bmp, (float)x, (float)y, (float)r, colours[row], 1.0f, 0, aa);
      x += r + 5;
    }
    // The small sprites, a radius just past them, and a fractional centre.
    for (float r : {1.5f, 2.5f, 3.5f, 4.1f, 6.5f})
    {
      x += (int)r + 2;
      if (filled)
        LICE_FillCircle(bmp, (float)x + 0.3f, (float)y, r, colours[row], 1.0f, 0, aa);
      else
        LICE_Circle(bmp, (float)x + 0.3f, (float)y, r, colours[row], 1.0f, 0, aa);
      x += (int)r + 4;
    }
  }
  // Larger circles, overlapping at half weight and in add mode.
  LICE_FillCircle(bmp, 330, 30, 24, 0xff2050c0, 1.0f, 0, true);
  LICE_FillCircle(bmp, 350, 48, 22, 0xffe04020, 0.5f, 0, false);
  LICE_Circle(bmp, 340, 40, 34, 0xffffffff, 1.0f, 0, true);
  LICE_Circle(bmp, 340, 40, 30, 0xff40ff40, 0.75f, 0, false);
  LICE_FillCircle(bmp, 318, 88, 18, 0xff404040, 1.0f, LICE_BLIT_MODE_ADD, true);
}

void DrawLines(LICE_IBitmap* bmp)
{
  for (int fan = 0; fan < 2; ++fan)
  {
    const int cx = 44 + 92 * fan, cy = 172;
    for (int i = 0; i < 24; ++i)
    {
      const float a = (float)i * kPi / 12.0f;
      const int x = cx + (int)std::lround(40.0 * std::sin(a));
      const int y = cy - (int)std::lround(40.0 * std::cos(a));
      const LICE_pixel c = LICE_RGBA(128 + 5 * i, 255 - 9 * i, 80 + 7 * i, 255);
      LICE_Line(bmp, cx, cy, x, y, c, i % 3 == 2 ? 0.5f : 1.0f, 0, fan == 1);
    }
  }
  // Lines leaving the picture, a rectangle and lines at odd weights.
  LICE_Line(bmp, -30, 250, 60, 120, 0xffffff00, 1.0f, 0, true);
  LICE_Line(bmp, 390, 130, 300, 290, 0xff00ffff, 1.0f, 0, false);
  LICE_DrawRect(bmp, 2, 124, 180, 94, 0xff808080, 1.0f, 0);
  for (int i = 0; i < 5; ++i)
    LICE_Line(bmp, 6, 226 + 2 * i, 176, 222 + 3 * i, 0xffffffff, 0.2f + 0.2f * (float)i, 0, i & 1);
}

void DrawArcsAndShapes(LICE_IBitmap* bmp)
{
  for (int q = 0; q < 4; ++q)
  {
    const float from = (float)q * kPi / 2.0f;
    LICE_Arc(bmp, 214, 160, 26, from + 0.2f, from + kPi / 2.0f - 0.2f,
             q & 1 ? 0xffff8040u : 0xff40c0ffu, 1.0f, 0, q >= 2);
  }
  LICE_Arc(bmp, 214, 160, 18, -kPi / 4.0f, kPi * 1.25f, 0xffffffff, 1.0f, 0, true);
  LICE_Arc(bmp, 214, 160, 12, kPi * 0.75f, kPi * 1.75f, 0xffa0ff40, 1.0f, 0, false);

  LICE_RoundRect(bmp, 190, 196, 64, 40, 10, 0xffffd040, 1.0f, 0, true);
  LICE_RoundRect(bmp, 196, 202, 52, 28, 5, 0xff60e0ff, 1.0f, 0, false);
  LICE_RoundRect(bmp, 186, 242, 60, 16, 1, 0xffff7090, 1.0f, 0, true);  // a plain rectangle

  LICE_FillTriangle(bmp, 262, 136, 316, 146, 280, 190, 0xffc04080, 1.0f, 0);
  const int px[] = {340, 366, 358, 322, 314}, py[] = {130, 148, 182, 182, 148};
  LICE_FillConvexPolygon(bmp, px, py, 5, 0xff3080ff, 0.75f, 0);
  LICE_FillTrapezoid(bmp, 270, 300, 200, 258, 330, 230, 0xff50d070, 1.0f, 0);
  LICE_FillTrapezoid(bmp, 310, 350, 214, 290, 372, 244, 0xffffffff, 0.25f, 0);
}

void DrawBlits(LICE_IBitmap* bmp)
{
  LICE_MemBitmap sprite, big;
  MakeSprite(&sprite, 12);
  MakeSprite(&big, 48);
  const int y = 270;
  LICE_FillRect(bmp, 0, y - 6, 384, 56, 0xff303860, 1.0f, 0);
  for (int x = 0; x < 384; x += 8)
    LICE_Line(bmp, x, y - 6, x + 40, y + 49, 0xff5060a0, 1.0f, 0, false);

  LICE_Blit(bmp, &sprite, 4, y, nullptr, 1.0f, 0);
  LICE_Blit(bmp, &sprite, 20, y, nullptr, 0.5f, 0);
  LICE_Blit(bmp, &sprite, 36, y, nullptr, 1.0f, LICE_BLIT_USE_ALPHA);
  LICE_Blit(bmp, &sprite, 52, y, nullptr, 0.6f, LICE_BLIT_USE_ALPHA);
  LICE_Blit(bmp, &sprite, 4, y + 16, nullptr, 1.0f, LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA);
  LICE_Blit(bmp, &sprite, 20, y + 16, nullptr, 1.0f, LICE_BLIT_MODE_CHANCOPY | (0 << 2) | 3);

  LICE_ScaledBlit(bmp, &sprite, 70, y, 40, 40, 0, 0, 12, 12, 1.0f, LICE_BLIT_USE_ALPHA);
  LICE_ScaledBlit(bmp, &sprite, 114, y, 40, 40, 0, 0, 12, 12, 1.0f,
                  LICE_BLIT_USE_ALPHA | LICE_BLIT_FILTER_BILINEAR);
  LICE_ScaledBlit(bmp, &big, 158, y, 20, 20, 0, 0, 48, 48, 1.0f,
                  LICE_BLIT_USE_ALPHA | LICE_BLIT_FILTER_BILINEAR);  // box-filtered reduction
  LICE_ScaledBlit(bmp, &sprite, 158 + 24, y + 20, -24, 24, 0, 0, 12, 12, 1.0f,
                  LICE_BLIT_USE_ALPHA);  // mirrored

  LICE_RotatedBlit(bmp, &big, 190, y - 4, 48, 48, 0, 0, 48, 48, 0.5f, true, 1.0f,
                   LICE_BLIT_USE_ALPHA);
  LICE_RotatedBlit(bmp, &big, 240, y - 4, 48, 48, 0, 0, 48, 48, 0.5f, true, 1.0f,
                   LICE_BLIT_USE_ALPHA | LICE_BLIT_FILTER_BILINEAR);
  LICE_RotatedBlit(bmp, &big, 292, y - 4, 48, 48, 0, 0, 48, 48, -2.2f, false, 0.7f,
                   LICE_BLIT_USE_ALPHA | LICE_BLIT_FILTER_BILINEAR);
  LICE_Blit(bmp, &big, 340, y, 0, 0, 40, 40, 1.0f, 0);
  LICE_Blur(bmp, bmp, 360, y + 20, 360, y + 20, 20, 20);
}
}  // namespace

TEST(Scene, EveryDrawingFamilyMatchesTheReferencePicture)
{
  LICE_MemBitmap scene(384, 328);
  LICE_Clear(&scene, 0xff181820);
  DrawCircleRows(&scene);
  DrawLines(&scene);
  DrawArcsAndShapes(&scene);
  DrawBlits(&scene);

  EXPECT_TRUE(MatchesReference(&scene, "scene"));
  if (UpdatingReferences())
  {
    LICE_MemBitmap zoomed;
    Upscale(&scene, 4, &zoomed);
    WritePng(OutputDir() + "/scene.x4.png", &zoomed);
  }
}
