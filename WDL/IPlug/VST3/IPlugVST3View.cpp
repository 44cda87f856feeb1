#include "IPlugVST3View.h"

#include <cstring>

#include "IPlugVST3.h"

using namespace Steinberg;

namespace
{
// The SDK's virtual key codes (pluginterfaces/base/keycodes.h, absent from the Debian copy).
enum VST3Key : int16
{
  kKeyBack = 1, kKeyTab = 2, kKeyReturn = 4, kKeyEscape = 6, kKeySpace = 7, kKeyEnd = 9, kKeyHome = 10,
  kKeyLeft = 11, kKeyUp = 12, kKeyRight = 13, kKeyDown = 14, kKeyEnter = 19, kKeyDelete = 22
};

int VirtualKey(int16 keyCode)
{
  switch (keyCode)
  {
    case kKeySpace: return kVKSpace;
    case kKeyUp: return kVKUp;
    case kKeyDown: return kVKDown;
    case kKeyLeft: return kVKLeft;
    case kKeyRight: return kVKRight;
    case kKeyReturn:
    case kKeyEnter: return kVKReturn;
    case kKeyEscape: return kVKEscape;
    case kKeyTab: return kVKTab;
    case kKeyBack: return kVKBackspace;
    case kKeyDelete: return kVKDelete;
    case kKeyHome: return kVKHome;
    case kKeyEnd: return kVKEnd;
    default: return kVKNone;
  }
}
}  // namespace

// The object the host's run loop calls: timer and descriptor handler in one. It holds no
// reference on the view; Detach clears its editor before unregistering, so a late call from
// the host does nothing.
class EditorRunLoopHandler : public Linux::ITimerHandler, public Linux::IEventHandler, public FObject
{
public:
  EditorRunLoopHandler(IPlugEditor* editor, Linux::IRunLoop* runLoop)
    : mEditor(editor), mRunLoop(runLoop), mFD(editor->GetEventFD())
  {
  }
  void Clear() { mEditor = nullptr; }
  Linux::FileDescriptor FD() const { return mFD; }

  void PLUGIN_API onTimer() override
  {
    if (mEditor) mEditor->OnTimer();
  }
  void PLUGIN_API onFDIsSet(Linux::FileDescriptor) override
  {
    if (!mEditor) return;
    mEditor->OnEventFD();
    // A connection that broke is dead for good: the host must stop watching its descriptor,
    // which would otherwise report a hang-up on every turn of its loop.
    if (mFD >= 0 && mEditor->GetEventFD() != mFD)
    {
      mFD = -1;
      mRunLoop->unregisterEventHandler(this);
    }
  }

  OBJ_METHODS(EditorRunLoopHandler, FObject)
  DEFINE_INTERFACES
    DEF_INTERFACE(Linux::ITimerHandler)
    DEF_INTERFACE(Linux::IEventHandler)
  END_DEFINE_INTERFACES(FObject)
  REFCOUNT_METHODS(FObject)

private:
  IPlugEditor* mEditor;
  Linux::IRunLoop* mRunLoop;  // outlives the handler's registration
  Linux::FileDescriptor mFD;
};

IPlugVST3View::IPlugVST3View(IPlugVST3* plug) : mPlug(plug)
{
  mPlug->addRef();
  if (IPlugEditor* editor = mPlug->GetGUI()) editor->ConnectWindowSystem();
}

IPlugVST3View::~IPlugVST3View()
{
  Detach();
  mPlug->RemoveView(this);
  mPlug->release();
}

tresult PLUGIN_API IPlugVST3View::isPlatformTypeSupported(FIDString type)
{
  if (mPlug->GetGUI() && type && std::strcmp(type, kPlatformType) == 0) return kResultOk;
  return kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::attached(void* parent, FIDString type)
{
  IPlugEditor* editor = mPlug->GetGUI();
  if (!editor || mAttached || !parent || isPlatformTypeSupported(type) != kResultOk || !plugFrame)
    return kResultFalse;
  Linux::IRunLoop* runLoop = nullptr;
  if (plugFrame->queryInterface(Linux::IRunLoop::iid, reinterpret_cast<void**>(&runLoop)) != kResultOk || !runLoop)
    return kResultFalse;
  if (!editor->OpenWindow(parent))
  {
    runLoop->release();
    return kResultFalse;
  }
  mRunLoop = runLoop;
  mHandler = new EditorRunLoopHandler(editor, mRunLoop);
  const bool fdOk = mRunLoop->registerEventHandler(mHandler, mHandler->FD()) == kResultOk;
  const bool timerOk = fdOk && mRunLoop->registerTimer(mHandler, editor->TimerIntervalMs()) == kResultOk;
  mAttached = true;
  if (!timerOk)
  {
    Detach();
    return kResultFalse;
  }
  CPluginView::attached(parent, type);
  mPlug->OnGUIOpen();
  return kResultOk;
}

void IPlugVST3View::Detach()
{
  if (!mAttached) return;
  mAttached = false;
  mHandler->Clear();
  mRunLoop->unregisterTimer(mHandler);
  if (mHandler->FD() >= 0) mRunLoop->unregisterEventHandler(mHandler);
  mHandler->release();
  mHandler = nullptr;
  mRunLoop->release();
  mRunLoop = nullptr;
  if (IPlugEditor* editor = mPlug->GetGUI()) editor->CloseWindow();
}

tresult PLUGIN_API IPlugVST3View::removed()
{
  if (mAttached)
  {
    mPlug->OnGUIClose();
    Detach();
  }
  return CPluginView::removed();
}

tresult PLUGIN_API IPlugVST3View::getSize(ViewRect* size)
{
  IPlugEditor* editor = mPlug->GetGUI();
  if (!editor || !size) return kResultFalse;
  *size = ViewRect(0, 0, editor->Width(), editor->Height());
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::onSize(ViewRect* newSize)
{
  if (newSize) rect = *newSize;
  if (mExpectingNewSize)
  {
    mExpectingNewSize = false;
    mPlug->OnWindowResize();
  }
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::onKeyDown(char16 key, int16 keyCode, int16)
{
  IPlugEditor* editor = mPlug->GetGUI();
  if (!editor || !mAttached) return kResultFalse;
  const int vk = VirtualKey(keyCode);
  const int ch = vk == kVKNone ? static_cast<int>(key) : 0;
  if (vk == kVKNone && ch == 0) return kResultFalse;
  return editor->OnHostKeyDown(vk, ch) ? kResultOk : kResultFalse;
}

void IPlugVST3View::resize(int w, int h)
{
  if (!plugFrame) return;
  mExpectingNewSize = true;
  ViewRect r(0, 0, w, h);
  plugFrame->resizeView(this, &r);
}
