// With a fontconfig configuration that knows no fonts, fonts cannot be made and text is safe.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "swell.h"

namespace
{

class NoFontTest : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    // Must precede the process's first fontconfig use (this suite is the only one in its program).
    static const std::string path = ::testing::TempDir() + "swell-no-fonts.conf";
    FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n", f);
    std::fclose(f);
    setenv("FONTCONFIG_FILE", path.c_str(), 1);
  }
};

}  // namespace

TEST_F(NoFontTest, FontsCannotBeMadeAndTextDrawsNothing)
{
  for (const char* face : {"DejaVu Sans", "Monaco", "", static_cast<const char*>(nullptr)})
    EXPECT_EQ(CreateFont(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face),
              nullptr);

  HDC dc = SWELL_CreateMemContext(nullptr, 40, 20);
  ASSERT_NE(dc, nullptr);
  HFONT none = CreateFont(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "DejaVu Sans");
  SelectObject(dc, none);
  SetBkMode(dc, OPAQUE);
  RECT r{0, 0, 40, 20};
  EXPECT_EQ(DrawText(dc, "text", -1, &r, 0), 0);
  EXPECT_EQ(DrawText(dc, "text", -1, &r, DT_CALCRECT), 0);
  TEXTMETRIC tm{};
  EXPECT_FALSE(GetTextMetrics(dc, &tm));
  EXPECT_FALSE(DeleteObject(none));
  const auto* bits = static_cast<const unsigned int*>(SWELL_GetCtxFrameBuffer(dc));
  for (int i = 0; i < 40 * 20; ++i) ASSERT_EQ(bits[i], 0u);
  SWELL_DeleteGfxContext(dc);
}
