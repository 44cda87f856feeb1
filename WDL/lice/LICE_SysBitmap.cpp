#include "lice.h"

#include <climits>

LICE_SysBitmap::LICE_SysBitmap(int w, int h)
{
  if (w || h) resize(w, h);
}

LICE_SysBitmap::~LICE_SysBitmap() { SWELL_DeleteGfxContext(m_dc); }

bool LICE_SysBitmap::resize(int w, int h)
{
  if (w == m_width && h == m_height) return false;
  m_width = w;
  m_height = h;
  if (w && h && m_bits && m_allocw >= w && m_alloch >= h) return true;

  SWELL_DeleteGfxContext(m_dc);
  m_dc = nullptr;
  m_bits = nullptr;
  m_allocw = m_alloch = 0;
  // Sizes whose byte count would not fit in signed 32 bits leave a 0 x 0 bitmap.
  if (h <= 0 || w < 1 || w > LICE_MAX_BITMAP_SIDE || ((long long)w + 3) / 4 * 4 * h > INT_MAX / 4)
  {
    m_width = m_height = 0;
    return h > 0 || w > 0;
  }
  m_allocw = (w + 3) & ~3;
  m_alloch = h;
  m_dc = SWELL_CreateMemContext(nullptr, m_allocw, h);
  m_bits = static_cast<LICE_pixel*>(SWELL_GetCtxFrameBuffer(m_dc));
  if (!m_bits)
  {
    SWELL_DeleteGfxContext(m_dc);
    m_dc = nullptr;
    m_allocw = m_alloch = 0;
    m_width = m_height = 0;
  }
  return true;
}
