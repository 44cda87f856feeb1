// PNG files as the raster library decodes them (editor images): into a new bitmap, into a
// caller's top-down bitmap that already holds another size, and into a bottom-up one. Each
// decode either fails with null or returns a bitmap of exactly the size the header announced,
// at most 16384 pixels on a side, every pixel of it readable.
#include <cstring>
#include <memory>

#include "FuzzSupport.h"
#include "lice.h"

namespace
{
class BottomUpBitmap : public LICE_MemBitmap
{
public:
  using LICE_MemBitmap::LICE_MemBitmap;
  bool isFlipped() override { return true; }
};

uint32_t BigEndian(const uint8_t* p)
{
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// The offset of the IHDR chunk's data, walking the chunks after the 8-byte signature (libpng
// passes over unknown ancillary chunks ahead of it), or 0 when there is none.
size_t HeaderOffset(const uint8_t* data, size_t size)
{
  for (size_t at = 8; at + 8 <= size;)
  {
    const uint32_t length = BigEndian(data + at);
    if (std::memcmp(data + at + 4, "IHDR", 4) == 0) return at + 16 <= size ? at + 8 : 0;
    if (length > size) return 0;
    at += 12 + size_t(length);
  }
  return 0;
}

// Checks a decode's result against the header and reads every pixel, so that a short or
// misplaced row is caught.
void CheckDecoded(LICE_IBitmap* got, LICE_IBitmap* target, const uint8_t* data, size_t size)
{
  if (!got) return;
  if (target) FUZZ_CHECK(got == target, "the caller's bitmap returned");
  const size_t header = HeaderOffset(data, size);
  FUZZ_CHECK(header != 0, "a decoded file holds a header");
  const uint32_t w = BigEndian(data + header), h = BigEndian(data + header + 4);
  FUZZ_CHECK(w >= 1 && h >= 1 && w <= 16384 && h <= 16384, "a size within the limit");
  FUZZ_CHECK(got->getWidth() == int(w) && got->getHeight() == int(h), "the decoded size");
  FUZZ_CHECK(got->getBits() != nullptr && got->getRowSpan() >= got->getWidth(), "pixel memory");
  uint32_t sum = 0;
  for (int y = 0; y < got->getHeight(); ++y)
  {
    const LICE_pixel* row = got->getBits() + size_t(y) * size_t(got->getRowSpan());
    for (int x = 0; x < got->getWidth(); ++x) sum += row[x];
  }
  volatile uint32_t sink = sum;
  (void)sink;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size > (1u << 20)) return 0;
  const int len = int(size);

  std::unique_ptr<LICE_IBitmap> made(LICE_LoadPNGFromMemory(data, len));
  CheckDecoded(made.get(), nullptr, data, size);

  LICE_MemBitmap topDown(5, 3);
  CheckDecoded(LICE_LoadPNGFromMemory(data, len, &topDown), &topDown, data, size);

  BottomUpBitmap bottomUp(2, 7);
  LICE_IBitmap* flipped = LICE_LoadPNGFromMemory(data, len, &bottomUp);
  CheckDecoded(flipped, &bottomUp, data, size);
  // Bottom-up or not, the same file decodes to the same picture.
  if (made && flipped)
    for (int y = 0; y < made->getHeight(); ++y)
    {
      const LICE_pixel* a = made->getBits() + size_t(y) * size_t(made->getRowSpan());
      const LICE_pixel* b = bottomUp.getBits() + size_t(bottomUp.getHeight() - 1 - y) * size_t(bottomUp.getRowSpan());
      FUZZ_CHECK(std::memcmp(a, b, size_t(made->getWidth()) * sizeof(LICE_pixel)) == 0, "the same picture bottom-up");
    }
  return 0;
}
