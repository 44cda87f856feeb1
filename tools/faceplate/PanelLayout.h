#pragma once
// Where everything sits on the effect's editor, and the one rule that turns a control value into
// a pointer angle. The faceplate prints its scales with these functions and the knob strips turn
// their pointers with them, so a printed mark and the frame the editor shows for that mark's
// value always agree.
//
// Coordinates are editor pixels, y downwards; a pixel's centre is at (x + 0.5, y + 0.5).
// Angles are radians, 0 pointing up, positive turning clockwise.

#include <string>
#include <vector>

namespace faceplate
{

constexpr int kPanelW = 1129;
constexpr int kPanelH = 214;
// Every rotary control turns about a point on this line.
constexpr double kControlCentreY = 100.0;

// One image of the editor: file, resource id, frame count, the control's position and the size of
// one frame (the strip is frameW x frameH * frames, frames stacked top to bottom).
struct ImagePlace
{
  const char* file;
  int id;
  int frames;
  int x, y;
  int frameW, frameH;
};

enum ImageIndex
{
  kGainImage, kBackgroundImage, kModelImage, kOutImage, kBypassImage, kHpfImage, kMeterImage,
  kLpfImage, kLinkImage, kImageCount
};

// Indexed by ImageIndex (ids 101-109 in order).
const ImagePlace& Place(int imageIndex);

// Centre of a control's pointer in its frame, and on the panel.
double FrameCentreX(const ImagePlace& p);
double FrameCentreY(const ImagePlace& p);
double PanelCentreX(const ImagePlace& p);
double PanelCentreY(const ImagePlace& p);

// Knob sweep: value 0 at -135 degrees, value 1 at +135 degrees, linear in between.
double KnobAngle(double value);
// The value frame `index` (0-based) of an n-frame strip shows: index / (n - 1).
double FrameShowsValue(int index, int nFrames);
// The value the editor actually shows for `value`: that of the frame its frame rule picks.
double ShownValue(double value, int nFrames);
// HPF selector: positions 0-3 (off, 80, 300, 80+300) from -90 to +90 degrees.
double SelectorAngle(int position, int nPositions);

// Radius at which a control's printed scale ticks begin (its arc); the ticks reach 4 (minor) or
// 7 (labelled) pixels further out.
double TickRadius(int imageIndex);

// A printed scale: marks at values (normalised 0..1), labelled or not.
struct ScaleMark
{
  double value;  // normalised control value the mark stands for
  std::string label;  // empty: a minor tick
};
// GAIN: 0-40 dB with the parameter's square law (n = sqrt(dB / 40)).
std::vector<ScaleMark> GainScale();
// OUT: -30..+30 dB, linear.
std::vector<ScaleMark> OutScale();
// MODEL: 0-10.
std::vector<ScaleMark> ModelScale();

}  // namespace faceplate
