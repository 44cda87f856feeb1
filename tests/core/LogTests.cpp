#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "Log.h"

namespace
{
tm MakeTm(int yday, int hour, int min)
{
  tm t{};
  t.tm_yday = yday;
  t.tm_hour = hour;
  t.tm_min = min;
  return t;
}

// Sets TZ for the lifetime of the object and restores the previous zone afterwards.
class ScopedTimeZone
{
public:
  explicit ScopedTimeZone(const char* tz)
  {
    const char* old = std::getenv("TZ");
    mHadOld = old != nullptr;
    if (old) mOld = old;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~ScopedTimeZone()
  {
    if (mHadOld) setenv("TZ", mOld.c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }

private:
  bool mHadOld = false;
  std::string mOld;
};

// Whether text has the shape: 'D' a digit, 'S' a sign, 'U' an upper-case and 'L' a lower-case
// letter, '_' a digit or blank; any other character stands for itself.
bool HasShape(const std::string& text, const char* shape)
{
  if (text.size() != std::strlen(shape)) return false;
  for (size_t i = 0; i < text.size(); ++i)
  {
    char c = text[i];
    bool ok;
    switch (shape[i])
    {
      case 'D': ok = c >= '0' && c <= '9'; break;
      case 'S': ok = c == '+' || c == '-'; break;
      case 'U': ok = c >= 'A' && c <= 'Z'; break;
      case 'L': ok = c >= 'a' && c <= 'z'; break;
      case '_': ok = c == ' ' || (c >= '0' && c <= '9'); break;
      default: ok = c == shape[i]; break;
    }
    if (!ok) return false;
  }
  return true;
}

const char* const kTimeShape = "DDDDDDDD DD:DD SDDDD";

std::string Stamp(const char* date, const char* time)
{
  WDL_String s;
  CompileTimestamp(date, time, &s);
  return s.Get();
}
} // namespace

TEST(Log, WhitespaceIsTabLineFeedCarriageReturnAndBlank)
{
  EXPECT_TRUE(IsWhitespace(' '));
  EXPECT_TRUE(IsWhitespace('\t'));
  EXPECT_TRUE(IsWhitespace('\n'));
  EXPECT_TRUE(IsWhitespace('\r'));
  EXPECT_FALSE(IsWhitespace('\v'));
  EXPECT_FALSE(IsWhitespace('\f'));
  EXPECT_FALSE(IsWhitespace('\0'));
  EXPECT_FALSE(IsWhitespace('x'));
  EXPECT_FALSE(IsWhitespace(static_cast<char>(0xA0)));
}

TEST(Log, ToLowerCopiesAndTerminates)
{
  char out[32];
  std::memset(out, '#', sizeof(out));
  ToLower(out, "REAPER v7.1-X64");
  EXPECT_STREQ("reaper v7.1-x64", out);
  ToLower(out, "");
  EXPECT_STREQ("", out);
  std::strcpy(out, "keep");
  ToLower(out, nullptr);
  EXPECT_STREQ("", out);
  ToLower(out, "\xC3\x89t\xE9");
  EXPECT_STREQ("\xC3\x89t\xE9", out); // bytes above 127 pass unchanged
  ToLower(nullptr, "ABC");          // ignored
}

TEST(Log, CompileTimestampFromBuildDateAndTime)
{
  EXPECT_EQ("[Dec17 12:34]", Stamp("Dec 17 2026", "12:34:56"));
  EXPECT_EQ("[Dec 7 12:34]", Stamp("Dec  7 2026", "12:34:56"));
  EXPECT_EQ("[Jan 1 00:00]", Stamp("Jan  1 2000", "00:00:00"));
  // The compiler's own texts have the same shape.
  EXPECT_TRUE(HasShape(Stamp(__DATE__, __TIME__), "[ULL_D DD:DD]")) << Stamp(__DATE__, __TIME__);
}

TEST(Log, CompileTimestampOfShortOrMissingTexts)
{
  EXPECT_EQ("[ ]", Stamp("", ""));
  EXPECT_EQ("[ ]", Stamp(nullptr, nullptr));
  EXPECT_EQ("[Dec 1]", Stamp("Dec", "1"));
  // The cut counts characters, whatever the texts hold.
  EXPECT_EQ("[Dec 12:34:5]", Stamp("Dec ", "12:34:56"));
  EXPECT_EQ("[Dec1 12:34]", Stamp("Dec 1", "12:34"));
  CompileTimestamp("Dec 17 2026", "12:34:56", nullptr); // ignored
}

TEST(Log, CompileTimestampReplacesPreviousText)
{
  WDL_String s("old text that is long");
  CompileTimestamp("Dec 17 2026", "12:34:56", &s);
  EXPECT_STREQ("[Dec17 12:34]", s.Get());
}

TEST(Log, AppendTimestampOverwritesItsStaticText)
{
  const char* first = AppendTimestamp("Dec 17 2026", "12:34:56", "Brelix v1.0.0");
  EXPECT_STREQ("Brelix v1.0.0 [Dec17 12:34]", first);
  std::string copy = first;
  const char* second = AppendTimestamp("Dec  7 2026", "01:02:03", copy.c_str());
  EXPECT_STREQ("Brelix v1.0.0 [Dec17 12:34] [Dec 7 01:02]", second);
  // Its own previous result as the text.
  const char* third = AppendTimestamp("Jan  1 2000", "00:00:00", AppendTimestamp("a", "b", "x"));
  EXPECT_STREQ("x [a b] [Jan 1 00:00]", third);
  EXPECT_STREQ(" [ ]", AppendTimestamp(nullptr, nullptr, nullptr));
}

TEST(Log, UTCOffsetOnTheSameDay)
{
  EXPECT_EQ(0, UTCOffsetMinutes(MakeTm(100, 12, 0), MakeTm(100, 12, 0)));
  EXPECT_EQ(150, UTCOffsetMinutes(MakeTm(100, 14, 30), MakeTm(100, 12, 0)));
  EXPECT_EQ(-210, UTCOffsetMinutes(MakeTm(100, 8, 30), MakeTm(100, 12, 0)));
  EXPECT_EQ(345, UTCOffsetMinutes(MakeTm(100, 17, 45), MakeTm(100, 12, 0)));
}

TEST(Log, UTCOffsetAcrossMidnight)
{
  // Local already on the next day (east of UTC).
  EXPECT_EQ(120, UTCOffsetMinutes(MakeTm(10, 1, 0), MakeTm(9, 23, 0)));
  // Local still on the previous day (west of UTC).
  EXPECT_EQ(-120, UTCOffsetMinutes(MakeTm(9, 23, 0), MakeTm(10, 1, 0)));
}

TEST(Log, UTCOffsetAcrossTheYearTurn)
{
  // 1 January local, 31 December UTC: local is ahead.
  EXPECT_EQ(60, UTCOffsetMinutes(MakeTm(0, 0, 30), MakeTm(364, 23, 30)));
  EXPECT_EQ(840, UTCOffsetMinutes(MakeTm(0, 2, 0), MakeTm(365, 12, 0))); // after a leap year
  // 31 December local, 1 January UTC: local is behind.
  EXPECT_EQ(-240, UTCOffsetMinutes(MakeTm(364, 23, 0), MakeTm(0, 3, 0)));
  EXPECT_EQ(-660, UTCOffsetMinutes(MakeTm(365, 18, 0), MakeTm(0, 5, 0)));
}

TEST(Log, UTCOffsetAgreesWithTheSystemZones)
{
  // POSIX zone strings count west of UTC as positive: "XXX-14" is 14 hours ahead of UTC.
  const struct
  {
    const char* tz;
    int minutes;
  } zones[] = {
    {"UTC0", 0}, {"XXX-14", 840}, {"XXX+11", -660}, {"XXX-5:30", 330}, {"XXX+3:30", -210}, {"XXX-12:45", 765},
  };
  // Noon UTC on 31 December and the morning of 1 January 2026, so each zone meets the year turn.
  const time_t instants[] = {1767182400, 1767225600, 1767265200, 1767268800};
  for (const auto& z : zones)
  {
    ScopedTimeZone scope(z.tz);
    for (time_t t : instants)
    {
      tm local{}, utc{};
      ASSERT_NE(nullptr, localtime_r(&t, &local));
      ASSERT_NE(nullptr, gmtime_r(&t, &utc));
      EXPECT_EQ(z.minutes, UTCOffsetMinutes(local, utc)) << z.tz << " at " << t;
    }
  }
}

TEST(Log, CurrentTimeShapeAndOffset)
{
  {
    ScopedTimeZone scope("UTC0");
    std::string text = CurrentTime();
    EXPECT_TRUE(HasShape(text, kTimeShape)) << text;
    EXPECT_EQ("+0000", text.substr(text.size() - 5));
  }
  {
    ScopedTimeZone scope("XXX-5:30");
    std::string text = CurrentTime();
    EXPECT_TRUE(HasShape(text, kTimeShape)) << text;
    EXPECT_EQ("+0530", text.substr(text.size() - 5));
  }
  {
    ScopedTimeZone scope("XXX+3:30");
    std::string text = CurrentTime();
    EXPECT_TRUE(HasShape(text, kTimeShape)) << text;
    EXPECT_EQ("-0330", text.substr(text.size() - 5));
  }
}

TEST(Log, CurrentTimeIsTheLocalTime)
{
  ScopedTimeZone scope("XXX-5:30");
  char before[32], after[32];
  time_t t0 = std::time(nullptr);
  tm local{};
  std::strftime(before, sizeof(before), "%Y%m%d %H:%M", localtime_r(&t0, &local));
  std::string text = CurrentTime();
  time_t t1 = std::time(nullptr);
  std::strftime(after, sizeof(after), "%Y%m%d %H:%M", localtime_r(&t1, &local));
  std::string stamp = text.substr(0, 14);
  EXPECT_TRUE(stamp == before || stamp == after) << text;
  // One static buffer, overwritten by each call.
  EXPECT_EQ(CurrentTime(), CurrentTime());
}

TEST(Log, TimerFiresAfterTheIntervalAndRestarts)
{
  Timer timer;
  EXPECT_FALSE(timer.Every(1e9));
  EXPECT_FALSE(timer.Every(std::nan("")));
  // Burn processor time until the clock has moved on.
  clock_t start = std::clock();
  volatile double sink = 0.0;
  while (std::clock() == start) sink = sink + std::sqrt(sink + 1.0);
  EXPECT_TRUE(timer.Every(0.0));
  // Restarted: a long interval has not passed since.
  EXPECT_FALSE(timer.Every(60.0));
}

TEST(Log, OtherInterfaceNamesAreEmpty)
{
  for (int v : {-1, 0, 1, 42, 0x7fffffff})
  {
    EXPECT_STREQ("", VSTOpcodeStr(v));
    EXPECT_STREQ("", AUSelectStr(v));
    EXPECT_STREQ("", AUPropertyStr(v));
    EXPECT_STREQ("", AUScopeStr(v));
  }
}

TEST(Log, TraceWritesOnlyInTracingBuilds)
{
  testing::internal::CaptureStderr();
  TRACE("%d:%d:%s", 2, 2, "legal");
  std::string written = testing::internal::GetCapturedStderr();
#if BRELIX_TRACE
  EXPECT_NE(std::string::npos, written.find("TestBody")) << written;
  EXPECT_NE(std::string::npos, written.find("2:2:legal")) << written;
#else
  EXPECT_EQ("", written);
#endif
}
