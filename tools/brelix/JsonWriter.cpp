#include "JsonWriter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace brelix {

std::string JsonWriter::quote(const std::string& text)
{
  std::string q = "\"";
  for (unsigned char c : text)
  {
    switch (c)
    {
      case '"': q += "\\\""; break;
      case '\\': q += "\\\\"; break;
      case '\n': q += "\\n"; break;
      case '\r': q += "\\r"; break;
      case '\t': q += "\\t"; break;
      default:
        if (c < 0x20)
        {
          char esc[8];
          std::snprintf(esc, sizeof(esc), "\\u%04x", c);
          q += esc;
        }
        else
          q += static_cast<char>(c);
    }
  }
  return q + "\"";
}

void JsonWriter::member(const char* key)
{
  if (depth_ > 0)
    out_ += first_ ? "\n" : ",\n";
  out_.append(size_t(depth_) * 2, ' ');
  if (key)
    out_ += quote(key) + ": ";
  first_ = false;
}

void JsonWriter::beginObject(const char* key)
{
  member(key);
  out_ += "{";
  ++depth_;
  first_ = true;
}

void JsonWriter::endObject()
{
  --depth_;
  if (!first_)
  {
    out_ += "\n";
    out_.append(size_t(depth_) * 2, ' ');
  }
  out_ += "}";
  first_ = false;
  if (depth_ == 0)
    out_ += "\n";
}

void JsonWriter::beginArray(const char* key)
{
  member(key);
  out_ += "[";
  ++depth_;
  first_ = true;
}

void JsonWriter::endArray()
{
  --depth_;
  if (!first_)
  {
    out_ += "\n";
    out_.append(size_t(depth_) * 2, ' ');
  }
  out_ += "]";
  first_ = false;
}

void JsonWriter::string(const char* key, const std::string& value)
{
  member(key);
  out_ += quote(value);
}

void JsonWriter::number(const char* key, int64_t value)
{
  member(key);
  out_ += std::to_string(value);
}

void JsonWriter::number(const char* key, double value)
{
  member(key);
  if (!std::isfinite(value))
  {
    out_ += "null";
    return;
  }
  // The shortest text that reads back as the same double.
  char text[40];
  for (int precision = 15; precision <= 17; ++precision)
  {
    std::snprintf(text, sizeof(text), "%.*g", precision, value);
    if (std::strtod(text, nullptr) == value)
      break;
  }
  out_ += text;
}

void JsonWriter::boolean(const char* key, bool value)
{
  member(key);
  out_ += value ? "true" : "false";
}

} // namespace brelix
