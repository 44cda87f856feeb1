// DrawText's measuring rules: lines, single line, word breaks, prefixes, lengths and UTF-8.

#include <memory>

#include "SwellTestSupport.h"
#include "SwellUtf8.h"

using namespace swelltest;

namespace
{

int W(HDC dc, const char* text, unsigned int fmt = DT_NOPREFIX, int len = -1)
{
  return Width(Measure(dc, text, fmt, len));
}

int H(HDC dc, const char* text, unsigned int fmt = DT_NOPREFIX, int len = -1)
{
  return Height(Measure(dc, text, fmt, len));
}

class LayoutTest : public SwellTest
{
protected:
  void SetUp() override
  {
    SwellTest::SetUp();
    ASSERT_NE(c.Use("DejaVu Sans", 15), nullptr);
  }
  Canvas c{300, 120};
};

}  // namespace

TEST_F(LayoutTest, LineFeedsCarriageReturnsAndSingleLine)
{
  const int hello = W(c.dc, "Hello"), world = W(c.dc, "World!");
  EXPECT_EQ(H(c.dc, "Hello"), 15);
  EXPECT_EQ(W(c.dc, "Hello\nWorld!"), std::max(hello, world));
  EXPECT_EQ(H(c.dc, "Hello\nWorld!"), 30);
  EXPECT_EQ(W(c.dc, "Hello\r\nWorld!"), W(c.dc, "Hello\nWorld!"));
  EXPECT_EQ(H(c.dc, "Hello\r\nWorld!"), 30);
  EXPECT_EQ(H(c.dc, "Hello\n"), 15) << "a final line feed adds no line";
  EXPECT_EQ(H(c.dc, "\n\nHello"), 45) << "empty lines count";
  EXPECT_EQ(W(c.dc, "Hello\nWorld!", DT_SINGLELINE | DT_NOPREFIX), W(c.dc, "Hello World!"));
  EXPECT_EQ(H(c.dc, "Hello\nWorld!", DT_SINGLELINE | DT_NOPREFIX), 15);
  EXPECT_EQ(W(c.dc, "Hel\rlo\t"), hello) << "carriage returns and controls take no room";
  EXPECT_EQ(W(c.dc, "World!Hello", DT_NOPREFIX, 6), world);
  EXPECT_EQ(W(c.dc, "Hello\0World!", DT_NOPREFIX, 12), hello) << "a zero byte ends the text";
  EXPECT_EQ(H(c.dc, ""), 0);
  RECT r{5, 5, 5, 5};
  EXPECT_EQ(DrawText(c.dc, "", -1, &r, 0), 0);
  EXPECT_EQ(DrawText(c.dc, "x", 0, &r, 0), 0);
  EXPECT_EQ(DrawText(c.dc, nullptr, -1, &r, 0), 0);
  EXPECT_EQ(DrawText(c.dc, "x", -1, nullptr, 0), 0);
  EXPECT_EQ(c.Count(), 0);
}

TEST_F(LayoutTest, WordBreakWrapsAtSpacesWithinTheWidth)
{
  const char* text = "one two three";
  const int oneTwo = W(c.dc, "one two"), all = W(c.dc, text);
  RECT r = Measure(c.dc, text, DT_WORDBREAK | DT_NOPREFIX, -1, oneTwo + 1);
  EXPECT_EQ(Height(r), 30);
  EXPECT_EQ(Width(r), std::max(oneTwo, W(c.dc, "three")));
  EXPECT_EQ(H(c.dc, text, DT_WORDBREAK | DT_NOPREFIX), 45) << "zero width: a word per line";
  r = Measure(c.dc, text, DT_WORDBREAK | DT_NOPREFIX, -1, all);
  EXPECT_EQ(Height(r), 15) << "text exactly as wide as the rectangle stays on one line";
  r = Measure(c.dc, "unbreakable", DT_WORDBREAK | DT_NOPREFIX, -1, 10);
  EXPECT_EQ(Width(r), W(c.dc, "unbreakable")) << "a long word is not split";
  EXPECT_EQ(Height(r), 15);
  EXPECT_EQ(Height(Measure(c.dc, text, DT_WORDBREAK | DT_SINGLELINE | DT_NOPREFIX, -1, 10)), 15);
  EXPECT_EQ(Height(Measure(c.dc, "a b\nc d", DT_WORDBREAK | DT_NOPREFIX, -1, 1000)), 30);
  EXPECT_EQ(Height(Measure(c.dc, "one   two", DT_WORDBREAK | DT_NOPREFIX, -1, W(c.dc, "one "))), 30);
  EXPECT_EQ(Width(Measure(c.dc, "one   two", DT_WORDBREAK | DT_NOPREFIX, -1, W(c.dc, "one "))),
            std::max(W(c.dc, "one"), W(c.dc, "two"))) << "spaces at a break take no room";
}

TEST_F(LayoutTest, PrefixesUnderlineAndEscapeAmpersands)
{
  EXPECT_EQ(W(c.dc, "&File", 0), W(c.dc, "File"));
  EXPECT_EQ(W(c.dc, "A&&B", 0), W(c.dc, "A&B"));
  EXPECT_EQ(W(c.dc, "File&", 0), W(c.dc, "File"));
  EXPECT_EQ(W(c.dc, "&File"), W(c.dc, "&File", DT_NOPREFIX));
  EXPECT_GT(W(c.dc, "&File"), W(c.dc, "File"));

  // "File" has no descenders: ink below the baseline is the underline, under the F only.
  TEXTMETRIC tm{};
  GetTextMetrics(c.dc, &tm);
  RECT r{0, 0, 300, 120};
  DrawText(c.dc, "&File", -1, &r, 0);
  const int f = W(c.dc, "F");
  int under = 0, elsewhere = 0;
  for (int y = tm.tmAscent + 1; y < tm.tmHeight; ++y)
    for (int x = 0; x < c.w; ++x)
      (x < f ? under : elsewhere) += c.At(x, y) != 0;
  EXPECT_GE(under, f - 1);
  EXPECT_EQ(elsewhere, 0);
  c.Fill(0);
  DrawText(c.dc, "&File", -1, &r, DT_NOPREFIX);
  for (int y = tm.tmAscent + 1; y < tm.tmHeight; ++y)
    for (int x = 0; x < c.w; ++x) ASSERT_EQ(c.At(x, y), 0u);
}

TEST_F(LayoutTest, MalformedUtf8DecodesByteByByteWithinTheLength)
{
  unsigned int cp = 0;
  const unsigned char euro[] = {0xE2, 0x82, 0xAC};
  EXPECT_EQ(swell::DecodeUtf8(euro, 3, &cp), 3);
  EXPECT_EQ(cp, 0x20ACu);
  EXPECT_EQ(swell::DecodeUtf8(euro, 2, &cp), 1) << "truncated by the length";
  EXPECT_EQ(cp, 0xE2u);
  const unsigned char cases[][4] = {{0x80, 0x80}, {0xC0, 0x80}, {0xED, 0xA0, 0x80}, {0xF4, 0x90, 0x80, 0x80},
                                    {0xF8, 0x88, 0x80, 0x80}, {0xE2, 0x41, 0x41}};
  for (const auto& bytes : cases)
  {
    EXPECT_EQ(swell::DecodeUtf8(bytes, 4, &cp), 1) << std::hex << (int)bytes[0];
    EXPECT_EQ(cp, bytes[0]);
  }
  const unsigned char last[] = {0xF4, 0x8F, 0xBF, 0xBD};
  EXPECT_EQ(swell::DecodeUtf8(last, 4, &cp), 4);
  EXPECT_EQ(cp, 0x10FFFDu);

  // Exactly sized heap copies: the sanitiser build catches any read past the length.
  auto measure = [&](const std::string& bytes) {
    std::unique_ptr<char[]> copy(new char[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), copy.get());
    return W(c.dc, copy.get(), DT_NOPREFIX, (int)bytes.size());
  };
  EXPECT_EQ(measure("A\xE2\x82"), W(c.dc, "A\xC3\xA2\xC2\x82")) << "each stray byte is its own character";
  EXPECT_EQ(measure("\xE2\x82\xAC"), W(c.dc, "\xE2\x82\xAC"));
  EXPECT_EQ(measure("\xF4\x8F\xBF\xBD"), W(c.dc, "\xEE\x80\x80")) << "one missing glyph each";
  EXPECT_EQ(measure("\xC0\x80x"), W(c.dc, "\xC3\x80\xC2\x80x"));
  RECT r{0, 0, 300, 120};
  std::unique_ptr<char[]> tail(new char[2]{'Z', '\xF0'});
  EXPECT_EQ(DrawText(c.dc, tail.get(), 2, &r, 0), 15);
}
