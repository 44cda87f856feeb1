// Cached-font text: the glyph cache, pre-rendered fonts, font ownership and the shared scratch
// bitmaps.
#include "TextTestSupport.h"
#include "lice_text_detail.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace lice_text_test;

namespace
{
std::string Utf8(unsigned short c)
{
  std::string s;
  if (c < 0x80) s += (char)c;
  else if (c < 0x800) s += {(char)(0xC0 | (c >> 6)), (char)(0x80 | (c & 0x3F))};
  else s += {(char)(0xE0 | (c >> 12)), (char)(0x80 | ((c >> 6) & 0x3F)), (char)(0x80 | (c & 0x3F))};
  return s;
}
}  // namespace

TEST_F(TextTest, EachGlyphIsRenderedOnce)
{
  auto font = MakeCached(16);
  EXPECT_EQ(font->GetCachedGlyphBytes(), 0);
  LICE_MemBitmap bmp(200, 30);
  RECT r{0, 0, 200, 30};
  font->DrawText(&bmp, "A", -1, &r, 0);
  const int one = font->GetCachedGlyphBytes();
  EXPECT_GT(one, 0);
  font->DrawText(&bmp, "AAAA", -1, &r, 0);
  int w, h;
  Measure(font.get(), "AA", 0, &w, &h);
  EXPECT_EQ(font->GetCachedGlyphBytes(), one);
  font->DrawText(&bmp, "AB", -1, &r, 0);
  const int two = font->GetCachedGlyphBytes();
  EXPECT_GT(two, one);

  // Extended characters in random order: each rendered once and found again by the search.
  std::vector<unsigned short> codes;
  for (unsigned short c = 0xC0; c < 0x180; c += 3) codes.push_back(c);
  codes.push_back(0x20AC);
  codes.push_back(0x3A9);
  std::shuffle(codes.begin(), codes.end(), std::mt19937(5));
  std::vector<int> widths;
  for (unsigned short c : codes)
  {
    Measure(font.get(), Utf8(c).c_str(), 0, &w, &h);
    widths.push_back(w);
  }
  const int all = font->GetCachedGlyphBytes();
  EXPECT_GT(all, two);
  for (size_t i = 0; i < codes.size(); ++i)
  {
    Measure(font.get(), Utf8(codes[i]).c_str(), 0, &w, &h);
    EXPECT_EQ(w, widths[i]) << codes[i];
    EXPECT_TRUE(font->DrawGlyph(&bmp, codes[i], 10, 5, nullptr)) << codes[i];
  }
  EXPECT_EQ(font->GetCachedGlyphBytes(), all);

  // A new platform font empties the cache.
  font->SetFromHFont(MakeFont(12), LICE_FONT_FLAG_OWNS_HFONT);
  EXPECT_EQ(font->GetCachedGlyphBytes(), 0);
}

TEST_F(TextTest, PrecalculatedFontsRefuseCodesAbove127)
{
  auto font = MakeCached(13, LICE_FONT_FLAG_PRECALCALL);
  const int all = font->GetCachedGlyphBytes();
  EXPECT_GT(all, 0);
  LICE_MemBitmap bmp(100, 20);
  LICE_Clear(&bmp, 0xFF000000);
  RECT r{0, 0, 100, 20};
  font->DrawText(&bmp, "Az~", -1, &r, 0);
  EXPECT_GT(CountChanged(&bmp, 0xFF000000), 0);
  EXPECT_EQ(font->GetCachedGlyphBytes(), all);
  LICE_Clear(&bmp, 0xFF000000);
  EXPECT_FALSE(font->DrawGlyph(&bmp, 0xE9, 5, 2, nullptr));
  font->DrawText(&bmp, "\xC3\xA9\xE2\x82\xAC", -1, &r, 0);
  EXPECT_EQ(CountChanged(&bmp, 0xFF000000), 0);
  int w, h, aw, ah;
  Measure(font.get(), "A\xC3\xA9", 0, &w, &h);
  Measure(font.get(), "A", 0, &aw, &ah);
  EXPECT_EQ(w, aw);
  EXPECT_EQ(font->GetCachedGlyphBytes(), all);
}

TEST_F(TextTest, OwnedPlatformFontsAreDeletedOnlyWhenReplaced)
{
  HFONT a = MakeFont(14);
  LICE_CachedFont font;
  font.SetFromHFont(a, LICE_FONT_FLAG_OWNS_HFONT);
  font.SetFromHFont(a, LICE_FONT_FLAG_OWNS_HFONT);  // the same font again: kept
  EXPECT_EQ(font.GetHFont(), a);
  LICE_MemBitmap bmp(60, 20);
  LICE_Clear(&bmp, 0);
  RECT r{0, 0, 60, 20};
  EXPECT_EQ(font.DrawText(&bmp, "Tone", -1, &r, 0), 14);
  // Not owned: the caller's font survives replacement (the sanitizer build reports a use after
  // free or a leak otherwise).
  HFONT b = MakeFont(12);
  LICE_CachedFont borrower;
  borrower.SetFromHFont(b, 0);
  borrower.SetFromHFont(nullptr, 0);
  HDC dc = SWELL_CreateMemContext(nullptr, 10, 10);
  SelectObject(dc, b);
  TEXTMETRIC tm{};
  EXPECT_TRUE(GetTextMetrics(dc, &tm));
  EXPECT_EQ(tm.tmHeight, 12);
  SWELL_DeleteGfxContext(dc);
  EXPECT_TRUE(DeleteObject(b));
}

TEST_F(TextTest, ScratchBitmapsLiveAsLongAsAnyFont)
{
  ASSERT_EQ(lice_text::LiveFontCount(), 0);
  EXPECT_FALSE(lice_text::ScratchBitmapsExist());
  {
    auto one = MakeCached(12);
    {
      auto two = MakeCached(20, LICE_FONT_FLAG_FORCE_NATIVE);
      EXPECT_EQ(lice_text::LiveFontCount(), 2);
      LICE_MemBitmap bmp(80, 30);
      RECT r{0, 0, 80, 30};
      two->DrawText(&bmp, "Mix", -1, &r, 0);
      one->DrawText(&bmp, "Mix", -1, &r, 0);
    }
    EXPECT_EQ(lice_text::LiveFontCount(), 1);
    EXPECT_TRUE(lice_text::ScratchBitmapsExist());
    LICE_MemBitmap bmp(80, 30);
    RECT r{0, 0, 80, 30};
    EXPECT_EQ(one->DrawText(&bmp, "Gain", -1, &r, 0), 12);
  }
  EXPECT_EQ(lice_text::LiveFontCount(), 0);
  EXPECT_FALSE(lice_text::ScratchBitmapsExist());
}
