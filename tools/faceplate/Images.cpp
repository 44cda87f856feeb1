#include "Images.h"

#include "Background.h"
#include "PanelLayout.h"
#include "PngWriter.h"
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

bool WriteImages(const std::string& dir, std::string* error)
{
  for (int i = 0; i < kImageCount; ++i)
  {
    const std::string path = dir + "/" + Place(i).file;
    if (!WritePng(RenderImage(i).get(), path.c_str()))
    {
      *error = "cannot write " + path;
      return false;
    }
  }
  return true;
}

}  // namespace faceplate
