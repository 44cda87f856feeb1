#include "Images.h"

#include "Background.h"
#include "IBitmapControl.h"
#include "PanelLayout.h"
#include "Strips.h"

namespace faceplate
{

namespace
{
Surface Draw(int image)
{
  switch (image)
  {
    case kBackgroundImage: return DrawBackground();
    case kGainImage:
    case kOutImage:
    case kModelImage: return DrawKnobStrip(image);
    case kHpfImage: return DrawSelectorStrip(image);
    case kLpfImage: return DrawToggleStrip(image);
    case kBypassImage: return DrawLampStrip(image, Rgb(235, 40, 24));
    case kLinkImage: return DrawLampStrip(image, Rgb(250, 170, 30));
    default: return DrawMeterStrip(image);
  }
}
}  // namespace

std::unique_ptr<LICE_MemBitmap> RenderImage(int imageIndex)
{
  const Surface s = Draw(imageIndex);
  auto bmp = std::make_unique<LICE_MemBitmap>(s.W(), s.H());
  s.WriteTo(bmp.get(), 0, 0);
  return bmp;
}

bool WritePreview(const std::string& path)
{
  // GAIN 10 dB, OUT 0 dB, MODEL 3, HPF 80, LPF on, BYPASS off, the meter at 60 %.
  const double values[kImageCount] = {0.5, 0.0, 0.3, 0.5, 0.0, 1.0 / 3.0, 0.6, 1.0, 0.0};
  std::unique_ptr<LICE_MemBitmap> panel = RenderImage(kBackgroundImage);
  for (int i = 0; i < kImageCount; ++i)
  {
    const ImagePlace& p = Place(i);
    if (i == kBackgroundImage || p.x >= kPanelW) continue;
    const int frame = IBitmapControl::FrameFromValue(p.frames, values[i]);
    LICE_Blit(panel.get(), RenderImage(i).get(), p.x, p.y, 0, (frame - 1) * p.frameH, p.frameW, p.frameH,
              1.0f, LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA);
  }
  return LICE_WritePNG(path.c_str(), panel.get(), true);
}

bool WriteImages(const std::string& dir, std::string* error)
{
  for (int i = 0; i < kImageCount; ++i)
  {
    const std::string path = dir + "/" + Place(i).file;
    if (!LICE_WritePNG(path.c_str(), RenderImage(i).get(), true))
    {
      *error = "cannot write " + path;
      return false;
    }
  }
  return true;
}

}  // namespace faceplate
