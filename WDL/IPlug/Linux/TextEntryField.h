#pragma once
// The editing model of the window layer's single-line text field: the text (UTF-8), the caret
// (a byte offset on a character boundary), the character filter and the length limit. Every
// change keeps the text acceptable: with a filter, only its characters; with a limit other
// than 0, at most that many characters. Pasted text passes the same checks character by
// character; refused characters are dropped. No drawing and no window here.

#include <string>

class TextEntryField
{
public:
  // filter: the accepted characters, or null/empty for any; maxLength 0 means no limit. The
  // initial text is kept as given (the control's current value), with the caret at its end.
  void Open(const char* text, const char* filter, int maxLength);

  // Inserts the UTF-8 text at the caret; returns how many characters were taken.
  int Insert(const char* utf8);
  void Backspace();
  void Delete();
  void Home() { mCaret = 0; }
  void End() { mCaret = mText.size(); }
  void Left();
  void Right();

  const std::string& Text() const { return mText; }
  size_t Caret() const { return mCaret; }
  int Length() const { return CountChars(mText); }
  static int CountChars(const std::string& s);

  // The accepted characters of the editor's numeric fields.
  static constexpr const char* kIntegerFilter = "0123456789-+";
  static constexpr const char* kDecimalFilter = "0123456789.-+";

private:
  bool Accepts(const std::string& ch) const;

  std::string mText, mFilter;
  size_t mCaret = 0;
  int mMaxLength = 0;
};
