#include "PanelLayout.h"

#include "IBitmapControl.h"

#include <cmath>
#include <cstdio>

namespace faceplate
{

namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr double kSweep = 135.0 * kPi / 180.0;

// Rotary frames are all 158 pixels wide, so that their centres fall about 190 pixels apart and
// the meter fits between GAIN and OUT without touching either.
const ImagePlace kPlaces[kImageCount] = {
  {"LC.png", 101, 61, 217, 31, 158, 120},
  {"BG.png", 102, 1, 0, 0, kPanelW, kPanelH},
  {"GA.png", 103, 11, 27, 37, 158, 120},
  {"OU.png", 104, 61, 406, 34, 158, 120},
  {"BY.png", 105, 2, 1011, 56, 118, 88},
  {"HPF.png", 106, 4, 595, 34, 158, 120},
  {"VU.png", 107, 61, 377, 44, 28, 112},
  {"LPF.png", 108, 2, 788, 30, 158, 124},
  {"LINK.png", 109, 2, 2000, 2000, 48, 48},
};

// Whole numbers, with a typographic minus and an explicit plus when signed.
std::string Label(double v, bool sign)
{
  char buf[16];
  std::snprintf(buf, sizeof buf, "%g", std::fabs(v));
  if (v < 0) return std::string("\u2212") + buf;
  return (sign && v > 0 ? "+" : "") + std::string(buf);
}
}  // namespace

const ImagePlace& Place(int imageIndex) { return kPlaces[imageIndex]; }

double FrameCentreX(const ImagePlace& p) { return p.frameW * 0.5; }
double FrameCentreY(const ImagePlace& p)
{
  // Off-window controls (LINK) are centred in their own frame.
  return p.y + p.frameH <= kPanelH ? kControlCentreY - p.y : p.frameH * 0.5;
}
double PanelCentreX(const ImagePlace& p) { return p.x + FrameCentreX(p); }
double PanelCentreY(const ImagePlace& p) { return p.y + FrameCentreY(p); }

double KnobAngle(double value) { return -kSweep + 2.0 * kSweep * value; }

double FrameShowsValue(int index, int nFrames)
{
  return nFrames < 2 ? 0.0 : static_cast<double>(index) / (nFrames - 1);
}

double ShownValue(double value, int nFrames)
{
  return FrameShowsValue(IBitmapControl::FrameFromValue(nFrames, value) - 1, nFrames);
}

double SelectorAngle(int position, int nPositions)
{
  const double half = kPi / 2.0;
  return nPositions < 2 ? 0.0 : -half + 2.0 * half * position / (nPositions - 1);
}

double TickRadius(int imageIndex)
{
  // Beyond the skirted knobs' skirts (30) and the chicken-heads' noses (34).
  return imageIndex == kGainImage || imageIndex == kOutImage ? 35.0 : 38.0;
}

std::vector<ScaleMark> GainScale()
{
  std::vector<ScaleMark> marks;
  const double labelled[] = {0, 2, 5, 10, 15, 20, 30, 40};
  const double minor[] = {1, 3, 4, 6, 7, 8, 9, 12.5, 17.5, 25, 35};
  for (double db : labelled) marks.push_back({std::sqrt(db / 40.0), Label(db, false)});
  for (double db : minor) marks.push_back({std::sqrt(db / 40.0), ""});
  return marks;
}

std::vector<ScaleMark> OutScale()
{
  std::vector<ScaleMark> marks;
  for (int db = -30; db <= 30; db += 5)
    marks.push_back({(db + 30) / 60.0, db % 10 == 0 ? Label(db, true) : ""});
  return marks;
}

std::vector<ScaleMark> ModelScale()
{
  std::vector<ScaleMark> marks;
  for (int m = 0; m <= 10; ++m) marks.push_back({m / 10.0, std::to_string(m)});
  return marks;
}

}  // namespace faceplate
