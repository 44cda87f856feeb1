#pragma once
// Process-wide font state of the shim: the FreeType library, a cache of open faces keyed by file and
// face index, and fontconfig matching (internal to the shim).
//
// Lifetime: the library is reference counted. The module holds one reference from first use until
// its static objects are destroyed (process exit or dlclose), and every live font holds one, so
// whichever goes last frees the faces and the FreeType library: a font deleted by another module's
// static destructor after ours still finds its library alive. fontconfig's configuration is the
// process's current one and is never finalised (FcFini would pull it from under the host).

#include <mutex>
#include <string>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace swell
{

// What fontconfig chose for a face name, weight and slant.
struct FontMatch
{
  std::string file;
  int index = 0;
  std::string family;
  int weight = 400;       // of the face, 100-900
  bool italic = false;    // the face is italic or oblique
  bool embolden = false;  // synthesise bold
  FT_Matrix shear{0x10000, 0, 0, 0x10000};  // synthesised slant (identity when none)
};

// Fontconfig's best match; false when it has no font at all. Any thread, without the lock.
bool MatchFont(const char* face, int weight, bool italic, FontMatch* out);

// The lock guarding the functions below and every use of FreeType objects (faces, sizes, slots).
std::mutex& FontLock();

// All of these require FontLock() held.
FT_Library AcquireLibrary();  // one more reference; creates the library on first use (null: failed)
void ReleaseLibrary();        // one less; frees faces and library at zero
FT_Face OpenFace(const std::string& file, int index);  // shared, counted; null when unreadable
void CloseFace(FT_Face face);

}  // namespace swell
