// Cached-font text: UTF-8 decoding, the measuring rules, alignment, and fonts that are missing,
// absurd or without a line height.
#include "TextTestSupport.h"

using namespace lice_text_test;

namespace
{
struct Decoded
{
  int len;
  unsigned short code;
};
Decoded Decode(const char* s, int avail)
{
  unsigned short c = 0xFFFF;
  const int n = LICE_CachedFont::utf8char(s, avail, &c);
  return {n, c};
}
}  // namespace

TEST(TextUtf8, DecodesOneToThreeBytesAndFourAsASpace)
{
  EXPECT_EQ(Decode("A", -1).len, 1);
  EXPECT_EQ(Decode("A", -1).code, 'A');
  EXPECT_EQ(Decode("\xC3\xA9", -1).code, 0xE9);
  EXPECT_EQ(Decode("\xC3\xA9", -1).len, 2);
  EXPECT_EQ(Decode("\xE2\x82\xAC", -1).code, 0x20AC);
  EXPECT_EQ(Decode("\xE2\x82\xAC", 3).len, 3);
  EXPECT_EQ(Decode("\xF0\x9F\x98\x80", -1).code, ' ');
  EXPECT_EQ(Decode("\xF0\x9F\x98\x80", 4).len, 4);
}

TEST(TextUtf8, MalformedBytesStandForThemselvesAndNeverReadPastTheEnd)
{
  // Stray continuation bytes, invalid leads, broken sequences: the byte's own value, length 1.
  for (const char* s : {"\x80", "\xBF", "\xC0\x80", "\xC1\xBF", "\xF5\x80\x80\x80", "\xFF", "\xC3(", "\xE2\x82("})
  {
    const Decoded d = Decode(s, -1);
    EXPECT_EQ(d.len, 1) << (int)(unsigned char)s[0];
    EXPECT_EQ(d.code, (unsigned char)s[0]);
  }
  // 0xC0 is no continuation byte.
  EXPECT_EQ(Decode("\xC3\xC0", -1).len, 1);
  // The explicit length stops a sequence whose continuation bytes lie beyond it.
  const char full[] = "\xE2\x82\xAC\xF0\x9F\x98\x80";
  EXPECT_EQ(Decode(full, 2).len, 1);
  EXPECT_EQ(Decode(full, 2).code, 0xE2);
  EXPECT_EQ(Decode(full + 3, 3).len, 1);
  EXPECT_EQ(Decode(full + 3, 3).code, 0xF0);
  // A terminator ends a sequence (the byte after it is not read as a continuation).
  const char cut[] = {'\xC3', '\0', '\xA9', '\0'};
  EXPECT_EQ(Decode(cut, -1).len, 1);
  EXPECT_EQ(Decode(nullptr, -1).len, 0);
  EXPECT_EQ(Decode("A", 0).len, 0);
}

TEST_F(TextTest, LineEndsAndTheSingleLineFlag)
{
  auto font = MakeCached(16);
  const int lh = font->GetLineHeight();
  ASSERT_EQ(lh, 16);
  int w1, h1, w2, h2;
  EXPECT_EQ(Measure(font.get(), "Gain\nDrive", 0, &w1, &h1), h1);
  Measure(font.get(), "Gain\r\nDrive\r", 0, &w2, &h2);
  EXPECT_EQ(w1, w2);
  EXPECT_EQ(h1, h2);
  EXPECT_EQ(h1, 2 * lh);
  int wd, hd;
  Measure(font.get(), "Drive", 0, &wd, &hd);
  EXPECT_EQ(w1, wd);  // the wider line
  EXPECT_EQ(hd, lh);

  // Single line: the line feed is a space.
  int ws, hs, wsp, hsp;
  Measure(font.get(), "Gain\nDrive", DT_SINGLELINE, &ws, &hs);
  Measure(font.get(), "Gain Drive", 0, &wsp, &hsp);
  EXPECT_EQ(ws, wsp);
  EXPECT_EQ(hs, lh);
  EXPECT_GT(ws, wd);

  // The spacing adjustment moves every following line.
  font->SetLineSpacingAdjust(3);
  Measure(font.get(), "a\nb\nc", 0, &w2, &h2);
  EXPECT_EQ(h2, 3 * lh + 6);
  font->SetLineSpacingAdjust(-lh);  // lines on top of each other: still no division anywhere
  Measure(font.get(), "a\nb\nc", 0, &w2, &h2);
  EXPECT_EQ(h2, lh);
}

TEST_F(TextTest, FourByteCharactersAndStrayBytes)
{
  auto font = MakeCached(14);
  int a, b, h;
  Measure(font.get(), "x\xF0\x9F\x98\x80y", 0, &a, &h);
  Measure(font.get(), "x y", 0, &b, &h);
  EXPECT_EQ(a, b);
  // A stray 0xA9 is the character U+00A9, exactly as its proper encoding.
  Measure(font.get(), "\xA9", 0, &a, &h);
  Measure(font.get(), "\xC2\xA9", 0, &b, &h);
  EXPECT_GT(a, 0);
  EXPECT_EQ(a, b);
  LICE_MemBitmap p1(40, 20), p2(40, 20);
  LICE_Clear(&p1, 0xFF000000);
  LICE_Clear(&p2, 0xFF000000);
  RECT r{2, 2, 40, 20};
  font->DrawText(&p1, "\xA9", -1, &r, 0);
  font->DrawText(&p2, "\xC2\xA9", -1, &r, 0);
  EXPECT_GT(CountChanged(&p1, 0xFF000000), 10);
  EXPECT_TRUE(SamePixels(&p1, &p2));
  // The length limits the text: "\xC2" cut from its continuation byte is the character 0xC2.
  Measure(font.get(), "\xC2\xA9", 0, &a, &h, 1);
  Measure(font.get(), "\xC3\x82", 0, &b, &h);
  EXPECT_EQ(a, b);
  // With 0x400 and 0x20 the right edge is the line's total advance.
  int ww;
  Measure(font.get(), "ab", DT_SINGLELINE, &ww, &h);
  Measure(font.get(), "a", DT_SINGLELINE, &a, &h);
  Measure(font.get(), "b", DT_SINGLELINE, &b, &h);
  EXPECT_EQ(ww, a + b);
}

TEST_F(TextTest, AlignmentArithmetic)
{
  // Find a label 41 pixels wide among a few sizes, so that the centred case is the documented one.
  std::unique_ptr<LICE_CachedFont> font;
  const char* text = nullptr;
  int w = 0, h = 0;
  for (int size = 8; size <= 40 && !text; ++size)
  {
    font = MakeCached(size);
    for (const char* t : {"Gain", "Drive", "Brelix", "Tone", "Output", "Mix", "Level"})
      if (Measure(font.get(), t, 0, &w, &h), w == 41)
      {
        text = t;
        break;
      }
  }
  ASSERT_NE(text, nullptr) << "no 41-pixel label found";

  auto draw = [&](RECT r, unsigned int fmt, LICE_MemBitmap* bmp) {
    bmp->resize(140, 80);
    LICE_Clear(bmp, 0xFF000000);
    return font->DrawText(bmp, text, -1, &r, fmt);
  };
  LICE_MemBitmap a, b;
  EXPECT_EQ(draw({10, 5, 110, 75}, DT_CENTER, &a), h);
  draw({10 + 29, 5, 140, 75}, 0, &b);  // (100 - 41) / 2 = 29
  EXPECT_TRUE(SamePixels(&a, &b));
  draw({10, 5, 110, 75}, DT_RIGHT, &a);
  draw({110 - 41, 5, 140, 75}, 0, &b);
  EXPECT_TRUE(SamePixels(&a, &b));
  draw({10, 5, 110, 75}, DT_BOTTOM | DT_RIGHT, &a);
  draw({110 - 41, 75 - h, 140, 80}, 0, &b);
  EXPECT_TRUE(SamePixels(&a, &b));
  draw({10, 5, 110, 75}, DT_VCENTER, &a);
  draw({10, 5 + (70 - h) / 2, 140, 80}, 0, &b);
  EXPECT_TRUE(SamePixels(&a, &b));
  EXPECT_GT(CountChanged(&a, 0xFF000000), 20);
}

TEST_F(TextTest, VerticalFontsSwapTheAxes)
{
  auto across = MakeCached(16);
  auto down = MakeCached(16, LICE_FONT_FLAG_VERTICAL);
  auto up = MakeCached(16, LICE_FONT_FLAG_VERTICAL | LICE_FONT_FLAG_VERTICAL_BOTTOMUP);
  int w, h, vw, vh, uw, uh;
  Measure(across.get(), "Level", 0, &w, &h);
  const int reported = Measure(down.get(), "Level", 0, &vw, &vh);
  EXPECT_EQ(reported, vw);  // vertical fonts report the width
  Measure(up.get(), "Level", 0, &uw, &uh);
  EXPECT_EQ(vw, h);
  EXPECT_EQ(vh, w);
  EXPECT_EQ(uw, h);
  EXPECT_EQ(uh, w);

  // Drawn at the bottom of a tall rectangle, each lies within its measured box there.
  for (LICE_CachedFont* f : {down.get(), up.get()})
  {
    LICE_MemBitmap bmp(60, 120);
    LICE_Clear(&bmp, 0xFF000000);
    RECT r{10, 10, 50, 110};
    EXPECT_EQ(f->DrawText(&bmp, "Level", -1, &r, DT_BOTTOM | DT_CENTER), vw);
    const RECT ink = Changed(&bmp, 0xFF000000);
    const int x0 = 10 + (40 - vw) / 2, y0 = 110 - vh;
    EXPECT_GE(ink.left, x0);
    EXPECT_LE(ink.right, x0 + vw);
    EXPECT_GE(ink.top, y0 - 1);
    EXPECT_LE(ink.bottom, 110);
    EXPECT_GT(ink.bottom - ink.top, vh * 3 / 4);  // runs downwards (or upwards), not across
  }
}

TEST_F(TextTest, MissingFontDrawsNothingAndReportsZero)
{
  LICE_CachedFont font;
  font.SetFromHFont(nullptr);
  EXPECT_EQ(font.GetLineHeight(), 0);
  LICE_MemBitmap bmp(30, 20);
  LICE_Clear(&bmp, 0xFF000000);
  RECT r{0, 0, 30, 20};
  EXPECT_EQ(font.DrawText(&bmp, "abc\n\ndef", -1, &r, 0), 0);
  EXPECT_EQ(font.DrawText(&bmp, "abc", -1, &r, DT_CENTER | DT_VCENTER), 0);
  EXPECT_FALSE(font.DrawGlyph(&bmp, 'a', 0, 0, nullptr));
  int w = -1, h = -1;
  EXPECT_EQ(Measure(&font, "abc", 0, &w, &h), 0);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(CountChanged(&bmp, 0xFF000000), 0);
  // Null bitmap without DT_CALCRECT, null text, null rectangle.
  EXPECT_EQ(font.DrawText(nullptr, "abc", -1, &r, 0), 0);
  auto real = MakeCached(12);
  EXPECT_EQ(real->DrawText(nullptr, "abc", -1, &r, 0), 0);
  EXPECT_EQ(real->DrawText(&bmp, nullptr, -1, &r, 0), 0);
  EXPECT_EQ(real->DrawText(&bmp, "abc", -1, nullptr, 0), 0);
  EXPECT_EQ(CountChanged(&bmp, 0xFF000000), 0);
}

TEST_F(TextTest, AbsurdHeightsAreRefusedOrDrawnNatively)
{
  EXPECT_EQ(MakeFont(SWELL_MAX_FONT_SIZE + 1), nullptr);
  EXPECT_EQ(MakeFont(-1000000), nullptr);

  // Above 1023 pixels no glyph is rendered into the cache; above 255 text goes to the shim whole.
  auto huge = MakeCached(1200, LICE_FONT_FLAG_FX_OUTLINE);
  ASSERT_EQ(huge->GetLineHeight(), 1200);
  LICE_MemBitmap bmp(900, 1300);
  LICE_Clear(&bmp, 0xFF000000);
  EXPECT_FALSE(huge->DrawGlyph(&bmp, 'W', 0, 0, nullptr));
  EXPECT_EQ(huge->GetCachedGlyphBytes(), 0);
  RECT r{0, 0, 900, 1300};
  EXPECT_EQ(huge->DrawText(&bmp, "W", -1, &r, 0), 1200);
  EXPECT_GT(CountChanged(&bmp, 0xFF000000), 1000);
  EXPECT_EQ(huge->GetCachedGlyphBytes(), 0);
}

TEST_F(TextTest, GlyphsWiderThanTheScratchBitmapAreCut)
{
  // A font stretched to characters of several hundred pixels at a line height of 20.
  auto font = std::make_unique<LICE_CachedFont>();
  font->SetFromHFont(MakeFont(20, "DejaVu Sans", FW_NORMAL, DEFAULT_QUALITY, 600), LICE_FONT_FLAG_OWNS_HFONT);
  font->SetTextColor(0xFFFFFFFF);
  LICE_MemBitmap bmp(1200, 40);
  LICE_Clear(&bmp, 0xFF000000);
  RECT r{0, 0, 1200, 40};
  EXPECT_EQ(font->DrawText(&bmp, "WM", -1, &r, 0), font->GetLineHeight());
  const RECT ink = Changed(&bmp, 0xFF000000);
  EXPECT_GT(ink.right - ink.left, 200);
  // Each mask is at most the scratch bitmap's side wide.
  EXPECT_LE(font->GetCachedGlyphBytes(), 2 * 256 * font->GetLineHeight());
}
