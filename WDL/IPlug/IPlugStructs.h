#pragma once
// Plain data types shared by the framework core and the editor: rectangles, colours, text
// styles, blends, mouse modifiers, bitmap handles and directions. No behaviour beyond simple
// arithmetic; all are safe to copy and free of shared state.

#include <cstring>

// Any value other than kVertical acts as horizontal (the fixed type keeps such values defined).
enum EDirection : int
{
  kVertical = 0,
  kHorizontal = 1
};

// Integer rectangle. A point is inside when L <= x < R and T <= y < B. All four fields 0 means
// empty; any other rectangle, even one of zero width, is not empty.
struct IRECT
{
  int L = 0, T = 0, R = 0, B = 0;

  IRECT() = default;
  IRECT(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}

  bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
  void Clear() { L = T = R = B = 0; }
  int W() const { return R - L; }
  int H() const { return B - T; }
  float MW() const { return 0.5f * static_cast<float>(L + R); }
  float MH() const { return 0.5f * static_cast<float>(T + B); }

  bool operator==(const IRECT& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
  bool operator!=(const IRECT& o) const { return !(*this == o); }

  bool Contains(int x, int y) const { return !Empty() && x >= L && x < R && y >= T && y < B; }
  bool Contains(const IRECT& o) const
  {
    return !Empty() && !o.Empty() && o.L >= L && o.R <= R && o.T >= T && o.B <= B;
  }

  // Per-side minimum of L and T and maximum of R and B; an empty side yields the other side.
  IRECT Union(const IRECT& o) const
  {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return IRECT(L < o.L ? L : o.L, T < o.T ? T : o.T, R > o.R ? R : o.R, B > o.B ? B : o.B);
  }

  // Touching at this rectangle's right or bottom edge counts as intersecting.
  bool Intersects(const IRECT& o) const
  {
    return !Empty() && !o.Empty() && R >= o.L && L < o.R && B >= o.T && T < o.B;
  }

  IRECT Intersect(const IRECT& o) const
  {
    if (!Intersects(o)) return IRECT();
    return IRECT(L > o.L ? L : o.L, T > o.T ? T : o.T, R < o.R ? R : o.R, B < o.B ? B : o.B);
  }
};

// Colour as four 0-255 channels; as a raster pixel A << 24 | R << 16 | G << 8 | B.
struct IColor
{
  int A = 255, R = 0, G = 0, B = 0;

  IColor() = default;
  IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}

  bool operator==(const IColor& o) const { return A == o.A && R == o.R && G == o.G && B == o.B; }
  bool operator!=(const IColor& o) const { return !(*this == o); }
  unsigned ToPixel() const
  {
    return (static_cast<unsigned>(A & 255) << 24) | (static_cast<unsigned>(R & 255) << 16) |
           (static_cast<unsigned>(G & 255) << 8) | static_cast<unsigned>(B & 255);
  }
};

const IColor COLOR_TRANSPARENT(0, 0, 0, 0);
const IColor COLOR_BLACK(255, 0, 0, 0);
const IColor COLOR_GRAY(255, 127, 127, 127);
const IColor COLOR_WHITE(255, 255, 255, 255);
const IColor COLOR_RED(255, 255, 0, 0);
const IColor COLOR_GREEN(255, 0, 255, 0);
const IColor COLOR_BLUE(255, 0, 0, 255);
const IColor COLOR_YELLOW(255, 255, 255, 0);
const IColor COLOR_ORANGE(255, 255, 127, 0);

const IColor DEFAULT_TEXT_COLOR = COLOR_BLACK;
const IColor DEFAULT_TEXT_ENTRY_BGCOLOR = COLOR_WHITE;
const IColor DEFAULT_TEXT_ENTRY_FGCOLOR = COLOR_BLACK;

// Text style. The cached font is filled by the editor's font cache on first draw and is not
// owned by the style.
struct IText
{
  enum EStyle { kStyleNormal = 0, kStyleBold = 1, kStyleItalic = 2 };
  enum EAlign { kAlignLeft = 0, kAlignCenter = 1, kAlignRight = 2 };
  enum EQuality { kQualityDefault = 0, kQualityNoAntiAlias = 1, kQualityAntiAlias = 2, kQualityClearType = 3 };

  char mFont[32];
  int mSize = 10;
  IColor mColor = DEFAULT_TEXT_COLOR;
  IColor mTextEntryBGColor = DEFAULT_TEXT_ENTRY_BGCOLOR;
  IColor mTextEntryFGColor = DEFAULT_TEXT_ENTRY_FGCOLOR;
  EStyle mStyle = kStyleNormal;
  EAlign mAlign = kAlignCenter;
  int mOrientation = 0;
  EQuality mQuality = kQualityDefault;
  void* mCached = nullptr;

  explicit IText(int size = 10, const IColor& color = DEFAULT_TEXT_COLOR, const char* font = nullptr,
                 EStyle style = kStyleNormal, EAlign align = kAlignCenter, int orientation = 0,
                 EQuality quality = kQualityDefault, const IColor& entryBG = DEFAULT_TEXT_ENTRY_BGCOLOR,
                 const IColor& entryFG = DEFAULT_TEXT_ENTRY_FGCOLOR)
    : mSize(size), mColor(color), mTextEntryBGColor(entryBG), mTextEntryFGColor(entryFG), mStyle(style),
      mAlign(align), mOrientation(orientation), mQuality(quality)
  {
    std::strncpy(mFont, font ? font : "Monaco", sizeof(mFont) - 1);
    mFont[sizeof(mFont) - 1] = 0;
  }
};

// How a drawing combines with what lies below it; weight is the drawing's alpha (0-1).
struct IChannelBlend
{
  // A fixed underlying type: a value outside the list (which draws as kBlendNone) stays defined.
  enum EBlendMethod : int { kBlendNone = 0, kBlendCopy = 1, kBlendAdd = 2, kBlendDodge = 3 };

  EBlendMethod mMethod = kBlendNone;
  float mWeight = 1.0f;

  IChannelBlend(EBlendMethod method = kBlendNone, float weight = 1.0f) : mMethod(method), mWeight(weight) {}
};

// Mouse buttons and modifier keys: left, right (or command-click), shift, control, option.
struct IMouseMod
{
  bool L = false, R = false, S = false, C = false, A = false;

  IMouseMod(bool l = false, bool r = false, bool s = false, bool c = false, bool a = false)
    : L(l), R(r), S(s), C(c), A(a)
  {
  }
};

// Handle of an image strip: the raster bitmap (owned by the bitmap cache), the whole image's
// size, the number of frames (>= 1) and whether frames lie side by side or stacked.
struct IBitmap
{
  void* mData = nullptr;
  int W = 0, H = 0, N = 1;
  bool mFramesAreHorizontal = false;

  IBitmap(void* data = nullptr, int w = 0, int h = 0, int n = 1, bool framesAreHorizontal = false)
    : mData(data), W(w), H(h), N(n < 1 ? 1 : n), mFramesAreHorizontal(framesAreHorizontal)
  {
  }

  int FrameW() const { return mFramesAreHorizontal ? W / N : W; }
  int FrameH() const { return mFramesAreHorizontal ? H : H / N; }
};

// The host's transport, as the effect reads it during processing (GetTime).
struct ITimeInfo
{
  double mTempo = 0.0;            // beats per minute
  double mSamplePos = 0.0;        // project time in samples
  double mPPQPos = 0.0;           // project time in quarter notes
  double mLastBar = 0.0;          // start of the current bar in quarter notes
  double mCycleStart = 0.0;       // loop start in quarter notes
  double mCycleEnd = 0.0;         // loop end in quarter notes
  int mNumerator = 0;             // time signature
  int mDenominator = 0;
  bool mTransportIsRunning = false;
  bool mTransportLoopEnabled = false;
};
