#include "Log.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

void Trace(const char* funcName, int line, const char* format, ...)
{
#if BRELIX_TRACE
  std::fprintf(stderr, "[%s:%d] ", funcName ? funcName : "", line);
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fputc('\n', stderr);
#else
  (void)funcName;
  (void)line;
  (void)format;
#endif
}

int UTCOffsetMinutes(const std::tm& local, const std::tm& utc)
{
  int minutes = (local.tm_hour - utc.tm_hour) * 60 + local.tm_min - utc.tm_min;
  int days = local.tm_yday - utc.tm_yday;
  // At the turn of the year the day numbers jump: 0 vs 364/365 means local is a day ahead.
  if (days == 1 || days <= -2) minutes += 1440;
  else if (days == -1 || days >= 2) minutes -= 1440;
  return minutes;
}

const char* CurrentTime()
{
  static char buf[64];
  buf[0] = 0;
  std::time_t now = std::time(nullptr);
  std::tm local{}, utc{};
  if (now == static_cast<std::time_t>(-1) || !localtime_r(&now, &local) || !gmtime_r(&now, &utc)) return buf;
  size_t n = std::strftime(buf, sizeof(buf), "%Y%m%d %H:%M ", &local);
  int offset = UTCOffsetMinutes(local, utc);
  int magnitude = std::abs(offset);
  std::snprintf(buf + n, sizeof(buf) - n, "%c%02d%02d", offset < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
  return buf;
}

void CompileTimestamp(const char* date, const char* time, WDL_String* out)
{
  if (!out) return;
  out->Set("[");
  out->Append(date);
  out->SetLen(7);
  out->DeleteSub(4, 1);
  out->Append(" ");
  out->Append(time);
  out->SetLen(12);
  out->Append("]");
}

const char* AppendTimestamp(const char* date, const char* time, const char* text)
{
  static WDL_String str;
  WDL_String stamp;
  CompileTimestamp(date, time, &stamp);
  str.Set(text);
  str.Append(" ");
  str.Append(stamp.Get());
  return str.Get();
}

bool IsWhitespace(char c)
{
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

void ToLower(char* out, const char* in)
{
  if (!out) return;
  if (in)
  {
    for (; *in; ++in) *out++ = static_cast<char>(std::tolower(static_cast<unsigned char>(*in)));
  }
  *out = 0;
}

Timer::Timer() : mStart(std::clock()) {}

bool Timer::Every(double seconds)
{
  std::clock_t now = std::clock();
  if (static_cast<double>(now - mStart) > seconds * CLOCKS_PER_SEC)
  {
    mStart = now;
    return true;
  }
  return false;
}

const char* VSTOpcodeStr(int)
{
  return "";
}

const char* AUSelectStr(int)
{
  return "";
}

const char* AUPropertyStr(int)
{
  return "";
}

const char* AUScopeStr(int)
{
  return "";
}
