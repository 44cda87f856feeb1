#pragma once
// An invisible area that opens a web address (or file) when pressed, falling back to a backup
// address when the first cannot be opened or was not given.
//
// Threads: user-interface thread only. No parameter; draws nothing.
//
// Texts are held in fixed buffers of kURLLen and kErrMsgLen bytes (terminator included). An
// address that does not fit is refused as a whole (the buffer stays empty, so the backup
// address applies) rather than cut into a different address; the message is cut to its buffer
// without splitting a UTF-8 character.

#include "IControl.h"

class IURLControl : public IControl
{
public:
  static constexpr int kURLLen = 256;
  static constexpr int kErrMsgLen = 1024;

  // Null or empty texts leave their buffers empty.
  IURLControl(IPlugBase* plug, const IRECT& rect, const char* url, const char* backupURL = nullptr,
              const char* errMsgOnFailure = nullptr);

  // Opens the address through the editor; when that fails or there is none, the backup address.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics*) override { return true; }

  const char* GetURL() const { return mURL; }
  const char* GetBackupURL() const { return mBackupURL; }
  const char* GetErrMsg() const { return mErrMsg; }

private:
  // Copies an address that fits whole; anything longer leaves dst empty.
  static void CopyURL(char* dst, const char* src);

  char mURL[kURLLen] = {};
  char mBackupURL[kURLLen] = {};
  char mErrMsg[kErrMsgLen] = {};
};
