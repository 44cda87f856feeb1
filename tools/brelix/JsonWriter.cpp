#include "JsonWriter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace brelix {

std::string JsonWriter::Quote(const std::string& text)
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

void JsonWriter::Member(const char* key)
{
  if (mDepth > 0)
    mOut += mFirst ? "\n" : ",\n";
  mOut.append(size_t(mDepth) * 2, ' ');
  if (key)
    mOut += Quote(key) + ": ";
  mFirst = false;
}

void JsonWriter::BeginObject(const char* key)
{
  Member(key);
  mOut += "{";
  ++mDepth;
  mFirst = true;
}

void JsonWriter::EndObject()
{
  CloseScope('}');
  if (mDepth == 0)
    mOut += "\n";
}

void JsonWriter::BeginArray(const char* key)
{
  Member(key);
  mOut += "[";
  ++mDepth;
  mFirst = true;
}

void JsonWriter::EndArray() { CloseScope(']'); }

void JsonWriter::CloseScope(char bracket)
{
  --mDepth;
  if (!mFirst)
  {
    mOut += "\n";
    mOut.append(size_t(mDepth) * 2, ' ');
  }
  mOut += bracket;
  mFirst = false;
}

void JsonWriter::String(const char* key, const std::string& value)
{
  Member(key);
  mOut += Quote(value);
}

void JsonWriter::Number(const char* key, int64_t value)
{
  Member(key);
  mOut += std::to_string(value);
}

void JsonWriter::Number(const char* key, double value)
{
  Member(key);
  if (!std::isfinite(value))
  {
    mOut += "null";
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
  mOut += text;
}

void JsonWriter::Boolean(const char* key, bool value)
{
  Member(key);
  mOut += value ? "true" : "false";
}

} // namespace brelix
