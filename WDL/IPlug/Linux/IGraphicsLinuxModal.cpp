// Modal parts of the window layer: the nested loop, dialogs through helper programs, opening
// addresses and the clipboard.
#include "IGraphicsLinux.h"

#include <X11/Xatom.h>
#include <poll.h>
#include <time.h>

#include <cstring>

#include "HelperProcess.h"
#include "LinuxPaths.h"

namespace
{
long long NowMs()
{
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

std::string Trim(std::string s)
{
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
  return s;
}
}  // namespace

bool IGraphicsLinux::ModalStep(const std::function<bool(XEvent&)>& handler)
{
  if (!mX.IsOpen() || mX.Broken()) return false;
  Display* d = mX.Get();
  const long long now = NowMs();
  if (mNextModalTick <= now || mNextModalTick > now + TimerIntervalMs())
  {
    // The frame tick runs on time even while events keep coming (the meter keeps moving).
    mNextModalTick = now + TimerIntervalMs();
    Tick();
  }
  if (!XPending(d))
  {
    pollfd p{mX.FD(), POLLIN, 0};
    poll(&p, 1, static_cast<int>(mNextModalTick - NowMs() > 0 ? mNextModalTick - NowMs() : 0));
  }
  while (!mX.Broken() && XPending(d))
  {
    XEvent e;
    XNextEvent(d, &e);
    if (!(handler && handler(e))) HandleEvent(e);
  }
  return !mX.Broken();
}

std::string IGraphicsLinux::RunHelperModal(const std::vector<std::string>& argv, bool* started, int* exitStatus)
{
  if (mX.IsOpen() && !mX.Broken()) ReleasePointerGrab();
  HideTooltip();
  mModal = true;
  HelperProcess::Result r = HelperProcess::Run(
    argv,
    [this] {
      if (mX.IsOpen() && !mX.Broken())
      {
        Drain();
        Tick();
      }
    },
    TimerIntervalMs());
  mModal = false;
  if (started) *started = r.started;
  if (exitStatus) *exitStatus = r.exitStatus;
  return r.output;
}

int IGraphicsLinux::ShowMessageBox(const char* text, const char* caption, int type)
{
  const std::string msg = text ? text : "", title = caption ? caption : "";
  std::vector<std::string> labels;
  switch (type)
  {
    case 1: labels = {"OK", "Cancel"}; break;
    case 3: labels = {"Yes", "No", "Cancel"}; break;
    case 4: labels = {"Yes", "No"}; break;
    default: labels = {"OK"}; break;
  }
  static const int kCodes[3] = {1, 7, 2};
  if (HelperProcess::IsInstalled("zenity"))
  {
    // Buttons of our own, each printing its label: the answer never depends on an exit status.
    std::vector<std::string> argv = {"zenity", "--question", "--switch", "--no-markup", "--title=" + title,
                                     "--text=" + msg};
    for (const std::string& l : labels) argv.push_back("--extra-button=" + l);
    const std::string out = Trim(RunHelperModal(argv, nullptr, nullptr));
    for (size_t i = 0; i < labels.size(); ++i)
      if (out == labels[i]) return kCodes[i];
    return 0;
  }
  if (HelperProcess::IsInstalled("kdialog"))
  {
    // kdialog answers only through its exit status (0, 1, 2 by button); unknown gives 0.
    std::vector<std::string> argv = {"kdialog", "--title", title};
    if (type == 3)
      argv.insert(argv.end(), {"--yesnocancel", msg});
    else if (type == 4)
      argv.insert(argv.end(), {"--yesno", msg});
    else if (type == 1)
      argv.insert(argv.end(), {"--yesno", msg, "--yes-label", "OK", "--no-label", "Cancel"});
    else
      argv.insert(argv.end(), {"--msgbox", msg});
    int status = -1;
    RunHelperModal(argv, nullptr, &status);
    return status >= 0 && status < static_cast<int>(labels.size()) ? kCodes[status] : 0;
  }
  return 0;
}

void IGraphicsLinux::PromptForFile(WDL_String* file, EFileAction action, WDL_String* dir, char* extensions)
{
  if (!file) return;
  const std::string proposed = file->Get();
  file->Set("");
  if (!mWindow) return;
  std::string start = dir && dir->GetLength() ? LinuxPaths::ExpandTilde(dir->Get()) : LinuxPaths::Desktop();
  if (dir && !dir->GetLength()) dir->Set(start.c_str());
  if (!start.empty() && start.back() != '/') start += "/";
  // The allowed types: the extensions split at single spaces.
  std::string patterns;
  if (extensions)
  {
    std::string ext(extensions);
    size_t pos = 0;
    while (pos <= ext.size())
    {
      size_t end = ext.find(' ', pos);
      if (end == std::string::npos) end = ext.size();
      if (end > pos) patterns += (patterns.empty() ? "*." : " *.") + ext.substr(pos, end - pos);
      pos = end + 1;
    }
  }
  std::vector<std::string> argv;
  if (HelperProcess::IsInstalled("zenity"))
  {
    argv = {"zenity", "--file-selection", "--filename=" + start + proposed};
    if (action == kFileSave) argv.insert(argv.end(), {"--save", "--confirm-overwrite"});
    if (!patterns.empty()) argv.push_back("--file-filter=" + patterns);
  }
  else if (HelperProcess::IsInstalled("kdialog"))
  {
    argv = {"kdialog", action == kFileSave ? "--getsavefilename" : "--getopenfilename", start + proposed};
    if (!patterns.empty()) argv.push_back(patterns);
  }
  else
    return;
  const std::string chosen = Trim(RunHelperModal(argv, nullptr, nullptr));
  if (chosen.empty() || chosen[0] != '/') return;
  file->Set(chosen.c_str());
  if (dir) dir->Set(chosen.substr(0, chosen.find_last_of('/') + 1).c_str());
}

bool IGraphicsLinux::OpenURL(const char* url, const char*, const char*, const char*)
{
  if (!url || !*url) return true;  // no address could be formed
  std::string target = url;
  if (!std::strstr(url, "http") && target.rfind("file://", 0) != 0) target = LinuxPaths::ExpandTilde(target);
  return HelperProcess::Start({"xdg-open", target});
}

bool IGraphicsLinux::GetTextFromClipboard(WDL_String* text)
{
  text->Set("");
  if (!mWindow || mX.Broken()) return false;
  Display* d = mX.Get();
  if (XGetSelectionOwner(d, mX.clipboard) == None) return false;
  XDeleteProperty(d, mWindow, mX.selectionProperty);
  XConvertSelection(d, mX.clipboard, mX.utf8String, mX.selectionProperty, mWindow, CurrentTime);
  XFlush(d);
  bool answered = false, ok = false;
  const long long deadline = NowMs() + 1000;
  const bool wasModal = mModal;
  mModal = true;
  while (!answered && NowMs() < deadline && ModalStep([&](XEvent& e) {
           if (e.type != SelectionNotify || e.xselection.requestor != mWindow) return false;
           answered = true;
           ok = e.xselection.property != None;
           return true;
         }))
  {
  }
  mModal = wasModal;
  if (!ok || !mWindow) return false;
  Atom type = None;
  int format = 0;
  unsigned long n = 0, rest = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, mWindow, mX.selectionProperty, 0, 1 << 18, True, AnyPropertyType, &type, &format, &n,
                         &rest, &data) != Success)
    return false;
  const bool isText = data && format == 8 && (type == mX.utf8String || type == XA_STRING);
  if (isText) text->Set(reinterpret_cast<const char*>(data), static_cast<int>(n));
  if (data) XFree(data);
  return isText;
}
