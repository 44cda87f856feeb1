#pragma once
// A small streaming JSON writer with two-space indentation, for `brelix info --json`.
// Keys are given with each member of an object and omitted inside arrays. Single-threaded.
#include <cstdint>
#include <string>

namespace brelix {

class JsonWriter
{
public:
  void beginObject(const char* key = nullptr);
  void endObject();
  void beginArray(const char* key = nullptr);
  void endArray();
  void string(const char* key, const std::string& value);
  void number(const char* key, int64_t value);
  void number(const char* key, double value);
  void boolean(const char* key, bool value);

  const std::string& text() const { return out_; }
  static std::string quote(const std::string& text);

private:
  void member(const char* key);
  std::string out_;
  int depth_ = 0;
  bool first_ = true;
};

} // namespace brelix
