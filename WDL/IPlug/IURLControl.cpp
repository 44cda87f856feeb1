#include "IURLControl.h"

#include <cstring>

#include "IGraphics.h"
#include "WDL_String.h"

IURLControl::IURLControl(IPlugBase* plug, const IRECT& rect, const char* url, const char* backupURL,
                         const char* errMsgOnFailure)
  : IControl(plug, rect)
{
  CopyURL(mURL, url);
  CopyURL(mBackupURL, backupURL);
  WDL_CopyText(mErrMsg, kErrMsgLen, errMsgOnFailure);
}

void IURLControl::CopyURL(char* dst, const char* src)
{
  dst[0] = '\0';
  if (src && std::strlen(src) < static_cast<size_t>(kURLLen)) std::strcpy(dst, src);
}

void IURLControl::OnMouseDown(int, int, IMouseMod*)
{
  IGraphics* graphics = GetGUI();
  if (!graphics) return;
  bool opened = false;
  if (*mURL) opened = graphics->OpenURL(mURL, mErrMsg, nullptr, nullptr);
  if (!opened && *mBackupURL) graphics->OpenURL(mBackupURL, mErrMsg, nullptr, nullptr);
}
