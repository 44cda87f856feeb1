#include "Text.h"

#include "pluginterfaces/base/funknown.h"
#include <cctype>
#include <cstring>

namespace vst3host {

std::string ToUtf8(const Steinberg::Vst::TChar* text, size_t maxChars)
{
  std::string out;
  if (!text)
    return out;
  for (size_t i = 0; i < maxChars && text[i]; ++i)
  {
    uint32_t c = static_cast<uint16_t>(text[i]);
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < maxChars)
    {
      const uint32_t low = static_cast<uint16_t>(text[i + 1]);
      if (low >= 0xDC00 && low < 0xE000)
      {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
      else
        c = 0xFFFD;
    }
    else if (c >= 0xD800 && c < 0xE000)
      c = 0xFFFD;

    if (c < 0x80)
      out += static_cast<char>(c);
    else if (c < 0x800)
    {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
    else
    {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::u16string ToUtf16(const std::string& text)
{
  std::u16string out;
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n)
  {
    uint32_t c = s[i];
    int extra = 0;
    if (c < 0x80)
      extra = 0;
    else if ((c & 0xE0) == 0xC0)
      extra = 1, c &= 0x1F;
    else if ((c & 0xF0) == 0xE0)
      extra = 2, c &= 0x0F;
    else if ((c & 0xF8) == 0xF0)
      extra = 3, c &= 0x07;
    else
      extra = -1;

    bool valid = extra >= 0 && i + extra < n;
    for (int k = 1; valid && k <= extra; ++k)
    {
      if ((s[i + k] & 0xC0) != 0x80)
        valid = false;
      else
        c = (c << 6) | (s[i + k] & 0x3F);
    }
    if (!valid)
    {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    i += extra + 1;
    if (c >= 0x10000)
    {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
    else
      out += static_cast<char16_t>(c);
  }
  return out;
}

void ToString128(const std::string& text, Steinberg::Vst::String128 out)
{
  const std::u16string wide = ToUtf16(text);
  const size_t n = wide.size() < 127 ? wide.size() : 127;
  for (size_t i = 0; i < n; ++i)
    out[i] = static_cast<Steinberg::Vst::TChar>(wide[i]);
  out[n] = 0;
}

std::string FieldToString(const char* field, size_t size)
{
  return std::string(field, strnlen(field, size));
}

std::string UidToString(const Steinberg::TUID uid)
{
  char text[33] = {};
  Steinberg::FUID::fromTUID(uid).toString(text);
  return text;
}

bool UidFromString(const std::string& text, Steinberg::TUID uid)
{
  std::string hex;
  for (char c : text)
  {
    if (std::isxdigit(static_cast<unsigned char>(c)))
      hex += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    else if (c != '{' && c != '}' && c != '-' && c != ' ')
      return false;
  }
  if (hex.size() != 32)
    return false;
  Steinberg::FUID fuid;
  if (!fuid.fromString(hex.c_str()))
    return false;
  fuid.toTUID(uid);
  return true;
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b)
{
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

} // namespace vst3host
