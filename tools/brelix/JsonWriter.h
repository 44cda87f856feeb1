#pragma once
// A small streaming JSON writer with two-space indentation, for `brelix info --json`.
// Keys are given with each member of an object and omitted inside arrays. Single-threaded.
#include <cstdint>
#include <string>

namespace brelix {

class JsonWriter
{
public:
  void BeginObject(const char* key = nullptr);
  void EndObject();
  void BeginArray(const char* key = nullptr);
  void EndArray();
  void String(const char* key, const std::string& value);
  void Number(const char* key, int64_t value);
  void Number(const char* key, double value);
  void Boolean(const char* key, bool value);

  const std::string& Text() const { return mOut; }
  static std::string Quote(const std::string& text);

private:
  void Member(const char* key);
  void CloseScope(char bracket);  // ends an object or array, its bracket on its own line unless empty
  std::string mOut;
  int mDepth = 0;
  bool mFirst = true;
};

} // namespace brelix
