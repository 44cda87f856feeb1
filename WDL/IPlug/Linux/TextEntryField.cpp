#include "TextEntryField.h"

#include <cstring>

namespace
{
bool IsContinuation(unsigned char c) { return (c & 0xc0) == 0x80; }

// Length in bytes of the UTF-8 character that starts with c (1 for a stray byte).
size_t CharBytes(unsigned char c)
{
  if (c >= 0xf0) return 4;
  if (c >= 0xe0) return 3;
  if (c >= 0xc0) return 2;
  return 1;
}
}  // namespace

void TextEntryField::Open(const char* text, const char* filter, int maxLength)
{
  mText = text ? text : "";
  mFilter = filter ? filter : "";
  mMaxLength = maxLength > 0 ? maxLength : 0;
  mCaret = mText.size();
}

int TextEntryField::CountChars(const std::string& s)
{
  int n = 0;
  for (unsigned char c : s) n += !IsContinuation(c);
  return n;
}

bool TextEntryField::Accepts(const std::string& ch) const
{
  if (ch.empty() || static_cast<unsigned char>(ch[0]) < 0x20 || ch[0] == 0x7f) return false;
  if (!mFilter.empty() && (ch.size() != 1 || mFilter.find(ch[0]) == std::string::npos)) return false;
  return !mMaxLength || Length() < mMaxLength;
}

int TextEntryField::Insert(const char* utf8)
{
  if (!utf8) return 0;
  int taken = 0;
  const size_t n = std::strlen(utf8);
  for (size_t i = 0; i < n;)
  {
    size_t len = CharBytes(static_cast<unsigned char>(utf8[i]));
    if (i + len > n) break;
    const std::string ch(utf8 + i, len);
    i += len;
    if (!Accepts(ch)) continue;
    mText.insert(mCaret, ch);
    mCaret += len;
    ++taken;
  }
  return taken;
}

void TextEntryField::Left()
{
  while (mCaret > 0)
    if (!IsContinuation(static_cast<unsigned char>(mText[--mCaret]))) break;
}

void TextEntryField::Right()
{
  if (mCaret < mText.size()) mCaret += 1;
  while (mCaret < mText.size() && IsContinuation(static_cast<unsigned char>(mText[mCaret]))) ++mCaret;
}

void TextEntryField::Backspace()
{
  const size_t end = mCaret;
  Left();
  mText.erase(mCaret, end - mCaret);
}

void TextEntryField::Delete()
{
  const size_t start = mCaret;
  Right();
  mText.erase(start, mCaret - start);
  mCaret = start;
}
