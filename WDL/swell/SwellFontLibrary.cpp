#include "SwellFontLibrary.h"

#include <cstring>
#include <map>
#include <strings.h>
#include <utility>

#include <fontconfig/fontconfig.h>

namespace swell
{
namespace
{

struct FaceEntry
{
  FT_Face face = nullptr;
  int refs = 0;
};

struct LibraryState
{
  FT_Library library = nullptr;
  std::map<std::pair<std::string, int>, FaceEntry> faces;
};

// Plain, constant-initialised globals: none of them depends on the order of static destruction.
std::mutex g_lock;
LibraryState* g_state = nullptr;
int g_refs = 0;

// The module's own reference, given up when the module's statics are destroyed.
struct ModuleReference
{
  bool held = false;
  bool gone = false;
  ~ModuleReference()
  {
    std::lock_guard<std::mutex> guard(g_lock);
    gone = true;
    if (held) ReleaseLibrary();
  }
};
ModuleReference g_module;

// Face names of macOS and Windows that Linux lacks, with the generic family that should stand in.
const char* GenericFamily(const char* face)
{
  static const char* const kMono[] = {"Monaco", "Menlo", "SF Mono", "Courier", "Courier New",
                                      "Andale Mono", "Consolas", "Lucida Console"};
  static const char* const kSerif[] = {"Times", "Times New Roman", "Georgia", "Palatino",
                                       "Baskerville", "Hoefler Text"};
  for (const char* f : kMono)
    if (strcasecmp(face, f) == 0) return "monospace";
  for (const char* f : kSerif)
    if (strcasecmp(face, f) == 0) return "serif";
  return nullptr;
}

void FreeState()
{
  for (auto& entry : g_state->faces) FT_Done_Face(entry.second.face);
  FT_Done_FreeType(g_state->library);
  delete g_state;
  g_state = nullptr;
  g_module.held = false;
}

}  // namespace

bool MatchFont(const char* face, int weight, bool italic, FontMatch* out)
{
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  if (face && *face)
  {
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face));
    if (const char* generic = GenericFamily(face))
      FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(generic));
  }
  if (weight <= 0) weight = 400;
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight > 1000 ? 1000 : weight));
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);

  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;

  bool ok = false;
  FcChar8* file = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
  {
    ok = true;
    out->file = reinterpret_cast<const char*>(file);
    if (FcPatternGetInteger(match, FC_INDEX, 0, &out->index) != FcResultMatch) out->index = 0;
    FcChar8* family = nullptr;
    out->family = FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch && family
                      ? reinterpret_cast<const char*>(family)
                      : "";
    int value = 0;
    if (FcPatternGetInteger(match, FC_WEIGHT, 0, &value) == FcResultMatch)
      out->weight = FcWeightToOpenType(value);
    out->italic = FcPatternGetInteger(match, FC_SLANT, 0, &value) == FcResultMatch &&
                  value != FC_SLANT_ROMAN;
    FcBool embolden = FcFalse;
    out->embolden = FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden) == FcResultMatch && embolden;
    FcMatrix* m = nullptr;
    if (FcPatternGetMatrix(match, FC_MATRIX, 0, &m) == FcResultMatch && m)
      out->shear = {(FT_Fixed)(m->xx * 65536.0), (FT_Fixed)(m->xy * 65536.0),
                    (FT_Fixed)(m->yx * 65536.0), (FT_Fixed)(m->yy * 65536.0)};
  }
  FcPatternDestroy(match);
  return ok;
}

std::mutex& FontLock()
{
  return g_lock;
}

FT_Library AcquireLibrary()
{
  if (!g_state)
  {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return nullptr;
    g_state = new LibraryState;
    g_state->library = library;
    g_refs = 0;
    if (!g_module.gone)
    {
      g_module.held = true;
      g_refs = 1;
    }
  }
  ++g_refs;
  return g_state->library;
}

void ReleaseLibrary()
{
  if (g_state && --g_refs == 0) FreeState();
}

FT_Face OpenFace(const std::string& file, int index)
{
  if (!g_state) return nullptr;
  FaceEntry& entry = g_state->faces[{file, index}];
  if (!entry.face && FT_New_Face(g_state->library, file.c_str(), index, &entry.face) != 0)
  {
    g_state->faces.erase({file, index});
    return nullptr;
  }
  ++entry.refs;
  return entry.face;
}

void CloseFace(FT_Face face)
{
  if (!g_state) return;
  for (auto it = g_state->faces.begin(); it != g_state->faces.end(); ++it)
  {
    if (it->second.face != face) continue;
    if (--it->second.refs == 0)
    {
      FT_Done_Face(face);
      g_state->faces.erase(it);
    }
    return;
  }
}

}  // namespace swell
