#pragma once
// One preset of a plug-in instance: a name and the plug-in's state in the SerializeState format.
//
// A preset starts uninitialised, named "empty", with an empty chunk; the making operations,
// RestorePreset and bank loading initialise it. The instance owns its presets (created with
// new, deleted with delete); a preset owns its chunk. Not thread-safe: the instance's preset
// operations run on the user-interface thread.

#include "ByteChunk.h"
#include "WDL_String.h"

struct IPreset
{
  static constexpr int kNameSize = 256;  // characters, terminator included

  bool mInitialized = false;
  char mName[kNameSize] = "empty";
  ByteChunk mChunk;

  // Copies name (null reads as ""), cut to fit without splitting a UTF-8 character.
  void SetName(const char* name) { WDL_CopyText(mName, kNameSize, name); }
};
