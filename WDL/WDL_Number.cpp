#include "WDL_Number.h"

#include <charconv>
#include <cmath>
#include <cstring>

int WDL_FormatFixed(double value, int precision, char* out, int outLen)
{
  if (!out || outLen < 1) return 0;
  if (precision < 0) precision = 0;
  if (precision > 17) precision = 17;
  // The longest fixed form of a double is about 310 digits plus sign, point and decimals.
  char buf[400];
  const char* text = buf;
  int len;
  if (std::isnan(value))
    text = "nan", len = 3;
  else if (std::isinf(value))
    text = value > 0 ? "inf" : "-inf", len = value > 0 ? 3 : 4;
  else
  {
    auto res = std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::fixed, precision);
    len = res.ec == std::errc() ? static_cast<int>(res.ptr - buf) : 0;
  }
  if (len > outLen - 1) len = outLen - 1;
  std::memcpy(out, text, static_cast<size_t>(len));
  out[len] = 0;
  return len;
}

static bool IsBlank(char c)
{
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool WDL_ParseDouble(const char* text, double* value, const char** rest)
{
  if (!text || !value) return false;
  while (IsBlank(*text)) ++text;
  if (*text == '+') ++text;
  const char* end = text + std::strlen(text);
  double v = 0.0;
  auto res = std::from_chars(text, end, v, std::chars_format::general);
  if (res.ec != std::errc() || !std::isfinite(v)) return false;
  const char* p = res.ptr;
  if (rest)
    *rest = p;
  else
  {
    while (IsBlank(*p)) ++p;
    if (*p) return false;
  }
  *value = v;
  return true;
}
