#pragma once
// Text and identifier conversions between the VST3 SDK's types and UTF-8 strings.
// Pure functions, safe on any thread.
#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/vst/vsttypes.h"
#include <string>

namespace vst3host {

// UTF-16 text of at most maxChars code units (stops at the first zero) to UTF-8.
std::string ToUtf8(const Steinberg::Vst::TChar* text, size_t maxChars = 128);
// UTF-8 to UTF-16; invalid bytes become U+FFFD.
std::u16string ToUtf16(const std::string& text);
// Copies into a 128-unit string, truncated and always zero-terminated.
void ToString128(const std::string& text, Steinberg::Vst::String128 out);
// Fixed-size 8-bit field (class names, categories) to a string, stopping at the first zero.
std::string FieldToString(const char* field, size_t size);

// The 32 hexadecimal digits of a class id, as the SDK's FUID prints them.
std::string UidToString(const Steinberg::TUID uid);
// Accepts 32 hexadecimal digits (optionally with braces, dashes or spaces); false otherwise.
bool UidFromString(const std::string& text, Steinberg::TUID uid);

// Case-insensitive ASCII comparison, for matching titles and names typed by users.
bool EqualsIgnoringCase(const std::string& a, const std::string& b);

} // namespace vst3host
