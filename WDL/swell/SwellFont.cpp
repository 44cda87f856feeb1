#include "SwellFont.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include "SwellContext.h"

using swell::FontLock;

namespace
{

int Round(double v)
{
  return (int)std::floor(v + 0.5);
}

FT_Int32 LoadFlags(HFONT font)
{
  return FT_LOAD_NO_BITMAP | (font->mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
}

// Frees the font's FreeType objects and the font. Requires the lock.
void FreeFont(HFONT font)
{
  if (font->size) FT_Done_Size(font->size);
  swell::CloseFace(font->face);
  swell::ReleaseLibrary();
  delete font;
}

// Sets the font's scale and text metrics from the Win32 height and width. Requires the lock.
bool SetSize(HFONT font, int height, int width, int weight, bool italic)
{
  FT_Face face = font->face;
  const double upem = face->units_per_EM;
  double ascent = face->ascender, descent = -face->descender;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0)
  {
    ascent = os2->usWinAscent;
    descent = os2->usWinDescent;
  }
  if (upem <= 0 || ascent + descent <= 0) return false;

  TEXTMETRIC& tm = font->tm;
  if (height == 0) height = 16;
  double em;
  if (height > 0)
  {
    // The cell height is met exactly: the em is scaled to it and the ascent rounded within it.
    em = height * upem / (ascent + descent);
    tm.tmHeight = height;
    tm.tmAscent = Round(ascent * height / (ascent + descent));
    tm.tmDescent = height - tm.tmAscent;
  }
  else
  {
    em = -height;
    tm.tmAscent = Round(ascent * em / upem);
    tm.tmDescent = Round(descent * em / upem);
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
  }
  tm.tmInternalLeading = std::max(0, tm.tmHeight - Round(em));
  const double avgUnits = os2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : face->max_advance_width / 2.0;
  const double naturalAverage = avgUnits * em / upem;
  const double xem = width > 0 && naturalAverage > 0 ? em * width / naturalAverage : em;
  tm.tmAveCharWidth = width > 0 ? width : Round(naturalAverage);
  tm.tmMaxCharWidth = Round(face->max_advance_width * xem / upem);
  tm.tmWeight = weight;
  tm.tmItalic = italic;

  const double scale = em / upem;
  font->underlineThickness = std::max(1, Round(face->underline_thickness * scale));
  font->underlineOffset = std::min(std::max(1, Round(-face->underline_position * scale)) -
                                       font->underlineThickness / 2,
                                   tm.tmDescent - font->underlineThickness);
  const bool strike = os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0;
  font->strikeThickness = strike ? std::max(1, Round(os2->yStrikeoutSize * scale)) : font->underlineThickness;
  font->strikeOffset = (strike ? Round(os2->yStrikeoutPosition * scale) : tm.tmAscent / 3) +
                       font->strikeThickness / 2;

  if (FT_New_Size(face, &font->size) != 0 || FT_Activate_Size(font->size) != 0) return false;
  FT_Size_RequestRec request{};
  request.type = FT_SIZE_REQUEST_TYPE_NOMINAL;
  request.width = std::max(1L, std::lround(xem * 64));
  request.height = std::max(1L, std::lround(em * 64));
  return FT_Request_Size(face, &request) == 0;
}

}  // namespace

HFONT CreateFont(int height, int width, int escapement, int /*orientation*/, int weight, int italic,
                 int underline, int strikeout, int /*charset*/, int /*outprecision*/,
                 int /*clipprecision*/, int quality, int /*pitchandfamily*/, const char* face)
{
  if (height < -SWELL_MAX_FONT_SIZE || height > SWELL_MAX_FONT_SIZE) return nullptr;
  if (width < -SWELL_MAX_FONT_SIZE || width > SWELL_MAX_FONT_SIZE) return nullptr;
  swell::FontMatch match;
  if (!swell::MatchFont(face, weight, italic != 0, &match)) return nullptr;

  HFONT font = new (std::nothrow) HGDIOBJ__;
  if (!font) return nullptr;
  font->family = match.family;
  font->mono = quality == NONANTIALIASED_QUALITY;
  font->embolden = match.embolden;
  font->quarterTurns = (int)(((std::lround(escapement / 900.0) % 4) + 4) % 4);
  font->transform = match.shear;
  font->transformed = font->transform.xx != 0x10000 || font->transform.xy != 0 ||
                      font->transform.yx != 0 || font->transform.yy != 0x10000;
  std::fill(std::begin(font->asciiAdvance), std::end(font->asciiAdvance), (short)-1);
  font->tm.tmUnderlined = underline != 0;
  font->tm.tmStruckOut = strikeout != 0;
  const bool slanted = match.italic || match.shear.xy != 0;

  std::lock_guard<std::mutex> guard(FontLock());
  if (!swell::AcquireLibrary())
  {
    delete font;
    return nullptr;
  }
  font->face = swell::OpenFace(match.file, match.index);
  if (!font->face || !FT_IS_SCALABLE(font->face) ||
      !SetSize(font, height, std::abs(width), match.embolden ? FW_BOLD : match.weight, slanted))
  {
    FreeFont(font);
    return nullptr;
  }
  return font;
}

bool DeleteObject(HGDIOBJ obj)
{
  if (!obj) return false;
  std::lock_guard<std::mutex> guard(FontLock());
  if (obj->selections > 0)
    obj->deleted = true;
  else
    FreeFont(obj);
  return true;
}

HGDIOBJ SelectObject(HDC ctx, HGDIOBJ obj)
{
  if (!ctx) return nullptr;
  HGDIOBJ previous = ctx->font;
  if (previous == obj) return previous;
  std::lock_guard<std::mutex> guard(FontLock());
  if (obj) ++obj->selections;
  ctx->font = obj;
  if (previous && --previous->selections == 0 && previous->deleted)
  {
    FreeFont(previous);
    return nullptr;  // the caller deleted it already; handing it back would invite a reselect
  }
  return previous;
}

bool GetTextMetrics(HDC ctx, TEXTMETRIC* tm)
{
  if (!tm) return false;
  const bool ok = ctx && ctx->font;
  *tm = ok ? ctx->font->tm : TEXTMETRIC{};
  return ok;
}

int GetTextFace(HDC ctx, int n, char* buf)
{
  if (!buf || n < 1) return 0;
  const std::string& family = ctx && ctx->font ? ctx->font->family : std::string();
  const int copied = std::min((int)family.size(), n - 1);
  std::memcpy(buf, family.data(), (size_t)copied);
  buf[copied] = 0;
  return copied;
}

namespace swell
{

namespace
{

bool LoadGlyph(HFONT font, unsigned int glyph)
{
  if (FT_Activate_Size(font->size) != 0 || FT_Load_Glyph(font->face, glyph, LoadFlags(font)) != 0)
    return false;
  FT_GlyphSlot slot = font->face->glyph;
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return false;
  if (font->embolden) FT_GlyphSlot_Embolden(slot);
  return true;
}

}  // namespace

int GlyphAdvance(HFONT font, unsigned int codepoint, unsigned int* glyph)
{
  *glyph = FT_Get_Char_Index(font->face, codepoint);
  if (codepoint < 128 && font->asciiAdvance[codepoint] >= 0) return font->asciiAdvance[codepoint];
  const int advance = LoadGlyph(font, *glyph) ? (int)((font->face->glyph->advance.x + 32) >> 6) : 0;
  if (codepoint < 128) font->asciiAdvance[codepoint] = (short)std::min(advance, 0x7FFF);
  return advance;
}

const FT_Bitmap* RenderGlyph(HFONT font, unsigned int glyph, int* left, int* top)
{
  if (!LoadGlyph(font, glyph)) return nullptr;
  FT_GlyphSlot slot = font->face->glyph;
  if (font->transformed) FT_Outline_Transform(&slot->outline, &font->transform);
  if (FT_Render_Glyph(slot, font->mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
    return nullptr;
  *left = slot->bitmap_left;
  *top = slot->bitmap_top;
  return &slot->bitmap;
}

}  // namespace swell
