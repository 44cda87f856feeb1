#pragma once
// The editor core: owns the ordered list of controls and an off-screen raster bitmap into which
// they draw, finds controls under the mouse, redraws dirty ones, keeps them in step with the
// plug-in's parameters, and offers the drawing operations and the process-wide bitmap and font
// caches. A window layer derives from it and supplies the pure virtual operations (window, screen
// copy, text entry, menus, dialogs, paths, the resource folder).
//
// Indices: a control's index is its position in the list; the background (AttachBackground,
// AttachPanelBackground) is always index 0, shifting every control attached before it up by one.
// The last control is the topmost. Index 0 is never a target of keys or automation queries.
//
// Threads: everything runs on the user-interface thread except SetParameterFromPlug and
// SetControlFromPlug, which the audio thread calls during processing with the plug-in mutex
// held. They take no lock, allocate nothing and format no text: each stores the value in the
// control's last-value slot (IControl) with one atomic store. IsDirty, Draw and PrepDraw apply
// the stored values on the user-interface thread first. Every change to the control list
// (attaching, removing, Resize) takes the plug-in mutex, so a push never meets a list being
// rebuilt.
//
// Ownership: the editor owns its controls, its key catcher and its two bitmaps. Loaded bitmaps
// and fonts belong to the process-wide caches and live until the process ends.
//
// Values exchanged with controls are normalised to [0, 1] unless a flag says otherwise. NaN is
// ignored and infinities clamp to 0 or 1 on every way in.

#include "IControl.h"
#include "IPlugBase.h"
#include "lice.h"
#include "IPlugStructs.h"
#include "WDL_PtrList.h"
#include "WDL_String.h"

class IPopupMenu;
class LICE_CachedFont;

enum EFileAction
{
  kFileOpen = 0,
  kFileSave = 1
};

class IGraphics : public IPlugEditor
{
public:
  static constexpr int kDefaultFPS = 25;

  // fps <= 0 selects kDefaultFPS. No bitmaps exist until PrepDraw.
  IGraphics(IPlugBase* plug, int w, int h, int fps = 0);

  // Virtual operations of the core, in slot order; pure ones belong to the window layer.
  // Copies the area r of the draw bitmap to the window; r lies inside the bitmap.
  virtual bool DrawScreen(IRECT* r) = 0;
  // Measures text with DrawIText in measuring mode (the window layer may override).
  virtual bool MeasureIText(IText* text, char* str, IRECT* r);
  virtual void ForceEndUserEdit() = 0;
  // Rebuilds the editor at a new size: the controls are deleted (the key catcher survives), the
  // bitmaps remade and the plug-in's ResizeGraphics asked to attach controls again.
  virtual void Resize(int w, int h);
  virtual bool WindowIsOpen() { return GetWindow() != nullptr; }
  virtual void* GetGUIAPI() { return nullptr; }
  virtual int ShowMessageBox(const char* text, const char* caption, int type) = 0;
  // Shows the menu modally at area; returns the menu holding the chosen item (its chosen index
  // set), or null when the user dismissed it.
  virtual IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* area) = 0;
  // Opens a text field showing str over area; when the user finishes, the window layer calls
  // SetFromStringAfterPrompt(control, param, text).
  virtual void CreateTextEntry(IControl* control, IText* text, IRECT* area, const char* str, IParam* param) = 0;
  virtual void HostPath(WDL_String* path) = 0;
  virtual void PluginPath(WDL_String* path) = 0;
  virtual void DesktopPath(WDL_String* path) = 0;
  virtual void AppSupportPath(WDL_String* path, bool isSystem = false) = 0;
  virtual void SandboxSafeAppSupportPath(WDL_String* path) = 0;
  virtual void PromptForFile(WDL_String* file, EFileAction action, WDL_String* dir = nullptr, char* extensions = nullptr) = 0;
  virtual bool PromptForColor(IColor* color, char* prompt = nullptr) = 0;
  virtual bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
                       const char* errMsgOnFailure = nullptr) = 0;
  void* OpenWindow(void* parent) override = 0;
  virtual void* OpenWindow(void*, void*, short, short) { return nullptr; }
  virtual void AttachSubWindow(void*) {}
  virtual void RemoveSubWindow() {}
  void CloseWindow() override = 0;
  virtual void* GetWindow() = 0;
  virtual bool GetTextFromClipboard(WDL_String* text) = 0;
  ~IGraphics() override;
  virtual void HideMouseCursor() {}
  virtual void ShowMouseCursor() {}
  virtual void UpdateTooltips() = 0;
  // Loads the image named name (its last path component, from ResourcePath) as a new bitmap
  // owned by the caller; null when it is missing or cannot be decoded.
  virtual LICE_IBitmap* OSLoadBitmap(int id, const char* name);
  // The folder that holds the editor's images (the bundle's Contents/Resources on Linux).
  virtual void ResourcePath(WDL_String* path) = 0;

  // Set-up.
  // Makes the draw bitmap (width x height) and an empty temporary bitmap, and applies the values
  // pushed so far. When memory is short the draw bitmap stays 0 x 0 and nothing is drawn.
  void PrepDraw() override;
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int FPS() const { return mFPS; }
  IPlugBase* GetPlug() const { return mPlug; }
  // Appends and takes ownership; returns the index, or -1 (the control deleted) when the list
  // could not grow. Null is refused with -1.
  int AttachControl(IControl* control);
  // Inserts at index 0 the image id/name as a copy-blended bitmap control, or a panel of the
  // colour over the whole editor.
  void AttachBackground(int id, const char* name);
  void AttachPanelBackground(const IColor* color);
  // Takes ownership; a different earlier key catcher is deleted, the same one is kept.
  void AttachKeyCatcher(IControl* control);
  // Deletes the controls from index fromIdx to the end (the last first), after ending a text
  // entry, releasing the mouse capture and forgetting the mouse-over control.
  void RemoveControls(int fromIdx);
  int NControls() const { return mControls.GetSize(); }
  // Null for an index outside the list.
  IControl* GetControl(int idx) const { return mControls.Get(idx); }
  IControl* GetKeyCatcher() const { return mKeyCatcher; }
  void SetStrictDrawing(bool strict);
  bool GetStrictDrawing() const { return mStrict; }
  void HandleMouseOver(bool handle) { mHandleMouseOver = handle; }
  void EnableTooltips(bool enable) { mEnableTooltips = enable; }
  bool TooltipsEnabled() const { return mEnableTooltips; }
  void AssignParamNameToolTips();

  // Parameter synchronisation.
  // Any thread (real-time safe): stores value in every control bound to the parameter and in
  // every aux entry that follows it. A plain value is normalised with the parameter first.
  void SetParameterFromPlug(int paramIdx, double value, bool normalized) override;
  // Any thread (real-time safe): stores the value of one control; other indices are ignored.
  // Inline and final, so that a caller holding the editor's own type pays no call per frame.
  void SetControlFromPlug(int controlIdx, double normalizedValue) final
  {
    if (IControl* c = mControls.Get(controlIdx)) c->PushValueFromPlug(normalizedValue);
  }
  // Every control bound to the parameter takes the value as user input (pushing it on).
  void SetParameterFromGUI(int paramIdx, double normalizedValue);
  void ClampControl(int paramIdx, double lo, double hi, bool normalized);
  // Both select controls by parameter index.
  void HideControl(int paramIdx, bool hide);
  void GrayOutControl(int paramIdx, bool gray);
  void SetAllControlsDirty();
  // Applies the values pushed since the last call (IsDirty, Draw and PrepDraw call it); grows
  // newlyDirty, when given, by the controls that received one.
  void ApplyValuesFromPlug(IRECT* newlyDirty = nullptr);

  // Drawing passes. IsDirty grows r (pass an empty one) by every dirty control's rectangle,
  // clipped to the editor, and tells whether any control was dirty. Draw redraws the controls
  // that the area r needs (clipped to the editor) and copies it to the screen; r grows by the
  // controls that values pushed after IsDirty made dirty.
  bool IsDirty(IRECT* r);
  bool Draw(IRECT* r);
  void OnGUIIdle();
  // The area of the drawing pass under way.
  const IRECT& GetDrawRECT() const { return mDrawRECT; }

  // Mouse and keys, in editor pixels.
  int GetMouseControlIdx(int x, int y, bool mouseOver = false);
  void OnMouseDown(int x, int y, IMouseMod* mod);
  void OnMouseUp(int x, int y, IMouseMod* mod);
  void OnMouseDrag(int x, int y, IMouseMod* mod);
  bool OnMouseDblClick(int x, int y, IMouseMod* mod);
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d);
  bool OnMouseOver(int x, int y, IMouseMod* mod);
  void OnMouseOut();
  bool OnKeyDown(int x, int y, int key);
  // Releases the capture, ending the host gesture it began.
  void ReleaseMouseCapture();
  int GetMouseCapture() const { return mMouseCapture; }
  int GetMouseOver() const { return mMouseOver; }
  int GetParamIdxForPTAutomation(int x, int y);
  int GetLastClickedParamForPTAutomation();

  // Prompts: a menu of display texts for enum parameters (and bool ones with display texts),
  // a text entry otherwise. Null arguments are ignored.
  void PromptUserInput(IControl* control, IParam* param, IRECT* area);
  // Called by the window layer when a text entry ends; ignored for a null parameter or a
  // control that is no longer attached.
  void SetFromStringAfterPrompt(IControl* control, IParam* param, const char* text);

  // Resources (IGraphicsResources.cpp). Shared by every editor of the process.
  // An image missing or undecodable gives an empty IBitmap, which draws nothing.
  IBitmap LoadIBitmap(int id, const char* name, int nStates = 1, bool framesAreHorizontal = false);
  // Hands a bitmap made by the caller to the cache, which then deletes it at process exit.
  void RetainBitmap(IBitmap* bitmap);
  // Deletes a bitmap that RetainBitmap, ScaleBitmap or CropBitmap stored; bitmaps loaded by id
  // are shared by every editor and stay.
  void ReleaseBitmap(IBitmap* bitmap);
  // New bitmaps, stored in the cache; the source's frame count and layout are kept.
  IBitmap ScaleBitmap(IBitmap* src, int w, int h);
  IBitmap CropBitmap(IBitmap* src, IRECT* r);
  // The draw bitmap's memory (rows of GetDrawBitmap()->getRowSpan() pixels); null before PrepDraw.
  LICE_pixel* GetBits();
  LICE_IBitmap* GetDrawBitmap() const;

  // Drawing operations (IGraphicsDrawing.cpp), into the draw bitmap. A null blend draws at full
  // strength with source alpha. Bitmap operations are clipped to the pass's draw rectangle;
  // every operation is clipped to the bitmap, and non-finite coordinates draw nothing.
  bool DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY, const IChannelBlend* blend = nullptr);
  // Frames count from 1; 1 or less (or a one-frame bitmap) shows the first frame.
  bool DrawBitmap(IBitmap* bitmap, IRECT* dest, int frame, const IChannelBlend* blend = nullptr);
  // angle in radians; the rotation centre lies yOffset below the bitmap's centre.
  bool DrawRotatedBitmap(IBitmap* bitmap, int destCtrX, int destCtrY, double angle, int yOffset = 0,
                         const IChannelBlend* blend = nullptr);
  // angle in degrees: the mask's alpha rotates into the base, the top layer over it.
  bool DrawRotatedMask(IBitmap* base, IBitmap* mask, IBitmap* top, int x, int y, double angle,
                       const IChannelBlend* blend = nullptr);
  bool DrawPoint(const IColor* color, float x, float y, const IChannelBlend* blend = nullptr, bool aa = false);
  // Writes the pixel unblended; a point outside the bitmap is ignored.
  bool ForcePixel(const IColor* color, int x, int y);
  bool DrawLine(const IColor* color, float x1, float y1, float x2, float y2, const IChannelBlend* blend = nullptr,
                bool aa = false);
  bool DrawArc(const IColor* color, float cx, float cy, float r, float minAngle, float maxAngle,
               const IChannelBlend* blend = nullptr, bool aa = false);
  bool DrawCircle(const IColor* color, float cx, float cy, float r, const IChannelBlend* blend = nullptr, bool aa = false);
  bool RoundRect(const IColor* color, IRECT* r, const IChannelBlend* blend, int cornerRadius, bool aa);
  bool FillRoundRect(const IColor* color, IRECT* r, const IChannelBlend* blend, int cornerRadius, bool aa);
  bool FillIRect(const IColor* color, IRECT* r, const IChannelBlend* blend = nullptr);
  bool FillCircle(const IColor* color, int cx, int cy, float r, const IChannelBlend* blend = nullptr, bool aa = false);
  bool FillTriangle(const IColor* color, int x1, int y1, int x2, int y2, int x3, int y3, IChannelBlend* blend);
  bool FillIConvexPolygon(const IColor* color, int* x, int* y, int npoints, const IChannelBlend* blend = nullptr);
  bool DrawRect(const IColor* color, IRECT* r);
  bool DrawVerticalLine(const IColor* color, int xi, int yLo, int yHi);
  bool DrawHorizontalLine(const IColor* color, int yi, int xLo, int xHi);
  // x and y are fractions of the rectangle (clamped to [0, 1]); y = 0 is the bottom.
  bool DrawVerticalLine(const IColor* color, IRECT* r, float x);
  bool DrawHorizontalLine(const IColor* color, IRECT* r, float y);
  // Angle in radians, 0 straight up, positive clockwise.
  bool DrawRadialLine(const IColor* color, float cx, float cy, float angle, float rMin, float rMax,
                      const IChannelBlend* blend = nullptr, bool aa = false);
  // Transparent black outside the bitmap or before PrepDraw.
  IColor GetPoint(int x, int y);

  // Text (IGraphicsText.cpp). The font for a text style, from the process-wide font storage
  // (made on first use, then shared by every style with the same size, orientation, style and
  // face); also stored in the style. Null when the platform cannot make it.
  static LICE_CachedFont* CacheFont(IText* text);
  // Draws str in r with the style's colour and alignment (not clipped to r), or with measure
  // set only measures it: r then becomes the text's extent placed by the alignment (its top
  // kept). False when no font can be made; an empty or null string does nothing.
  bool DrawIText(IText* text, const char* str, IRECT* r, bool measure = false);
  // The same into any bitmap (the window layer's menus and tooltips); dest may be null to measure.
  static bool DrawIText(LICE_IBitmap* dest, IText* text, const char* str, IRECT* r, bool measure = false);

  // The raster pixel and mode word for a colour and a blend.
  static unsigned ColorToPixel(const IColor& color) { return color.ToPixel(); }
  static float BlendWeight(const IChannelBlend* blend) { return blend ? blend->mWeight : 1.0f; }
  static int BlendMode(const IChannelBlend* blend);

protected:
  IPlugBase* mPlug;  // not owned
  WDL_PtrList<IControl> mControls;
  bool mCursorHidden = false;
  int mHiddenMousePointX = -1, mHiddenMousePointY = -1;

private:
  // Inserts at index 0 (the list shifts up); the control is deleted when the list cannot grow.
  void InsertBackground(IControl* background);
  // Strict drawing: every visible control meeting the area; non-strict: per dirty control.
  void DrawStrict(const IRECT& area);
  void DrawNonStrict();
  // Hit test over the controls (step 2 of GetMouseControlIdx).
  int SearchControl(int x, int y, bool mouseOver) const;
  // Forgets the capture without ending its gesture.
  void ClearCapture();
  // Begins a host gesture for the parameter of the control at idx (when it has one) unless a
  // gesture is open; EndGesture ends the open one.
  void BeginGesture(int idx);
  void EndGesture();
  // Clips r to the editor's area.
  IRECT ClipToEditor(const IRECT& r) const;
  // A control list change must not meet an audio-thread push: they hold the plug-in mutex.
  WDL_Mutex* ListMutex() const;
  bool IsAttached(const IControl* control) const;

  IRECT mDrawRECT;
  LICE_SysBitmap* mDrawBitmap = nullptr;
  LICE_MemBitmap* mTmpBitmap = nullptr;
  int mWidth, mHeight, mFPS;
  int mMouseCapture = -1;
  int mMouseOver = -1;
  int mMouseX = 0, mMouseY = 0;
  int mLastClickedParam = -1;
  int mGestureParam = -1;  // the parameter whose host gesture the mouse began, or -1
  bool mHandleMouseOver = false;
  bool mStrict = true;
  bool mEnableTooltips = false;
  IControl* mKeyCatcher = nullptr;
};

// Draws str from a bitmap font whose frames hold the characters from the space (code 32) on,
// charWidth x charHeight each, charOffset pixels apart; aligned in r by the text's alignment,
// optionally centred vertically and wrapped onto several lines.
bool DrawBitmapedText(IGraphics* graphics, IBitmap* fontBitmap, IRECT* r, IText* text, IChannelBlend* blend,
                      const char* str, bool vCenter = true, bool multiline = false, int charWidth = 6,
                      int charHeight = 12, int charOffset = 0);
