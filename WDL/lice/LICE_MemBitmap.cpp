#include "lice.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace
{
// 0 below 2, otherwise (lowest set bit of linealign) - 1: 4 gives 3, 16 gives 15.
int LineAlignMask(unsigned int linealign)
{
  if (linealign < 2) return 0;
  return (int)((linealign & (~linealign + 1)) - 1);
}
}  // namespace

LICE_MemBitmap::LICE_MemBitmap(int w, int h, unsigned int linealign)
  : m_linealign(LineAlignMask(linealign))
{
  if (w || h) resize(w, h);
}

LICE_MemBitmap::~LICE_MemBitmap() { std::free(m_fb); }

LICE_pixel* LICE_MemBitmap::getBits()
{
  if (!m_fb) return nullptr;
  const uintptr_t p = ((uintptr_t)m_fb + 63) & ~(uintptr_t)63;
  return reinterpret_cast<LICE_pixel*>(p);
}

int LICE_MemBitmap::getRowSpan() { return (m_width + m_linealign) & ~m_linealign; }

bool LICE_MemBitmap::resize(int w, int h)
{
  if (w == m_width && h == m_height) return false;
  m_width = w;
  m_height = h;

  // Sizes whose row span or byte count would not fit in signed 32 bits are refused outright.
  long long size = -1;
  if (w > 0 && h > 0 && w <= LICE_MAX_BITMAP_SIDE - m_linealign)
  {
    const long long span = ((long long)w + m_linealign) & ~(long long)m_linealign;
    size = span * h * 4;
    if (size > INT_MAX - 63) size = -1;
  }
  if (size <= 0)
  {
    std::free(m_fb);
    m_fb = nullptr;
    m_allocsize = 0;
    m_width = m_height = 0;
    return true;
  }
  const int need = (int)size;
  if (m_fb && need <= m_allocsize) return true;

  if (m_fb)
  {
    // Grow by a quarter more than needed, so that repeated small enlargements stay cheap.
    long long grown = (long long)need + need / 4;
    if (grown > INT_MAX - 63) grown = need;
    m_allocsize = (int)grown;
    void* p = std::realloc(m_fb, (size_t)m_allocsize + 63);
    if (!p)
    {
      std::free(m_fb);
      m_allocsize = need;
      p = std::malloc((size_t)m_allocsize + 63);
    }
    m_fb = static_cast<LICE_pixel*>(p);
  }
  else
  {
    m_allocsize = need;
    m_fb = static_cast<LICE_pixel*>(std::malloc((size_t)m_allocsize + 63));
  }
  if (!m_fb)
  {
    m_allocsize = 0;
    m_width = m_height = 0;
  }
  return true;
}
