#pragma once
// The bridge between a plug-in bundle and the VST3 module shell (ModuleEntry.cpp): what the
// bundle defines once (its class description and how to construct its plug-in), and what the
// shell tells the plug-in about the module (the paths of the module and of its bundle).
// cmake/Bundle.cmake generates the bundle's definitions from the arguments of
// brelix_add_vst3_bundle.

#include <cstdint>

#include "IPlugFourCC.h"

class IPlugVST3;

// The one class of a bundle. Texts longer than the host's fields are cut (name 63 characters,
// vendor 63, URL 255, e-mail 127, sub-categories 127, version 63).
struct IPlugVST3ClassInfo
{
  const char* mName;           // shown to the user, e.g. "Brelix"
  const char* mVendor;         // the factory's vendor
  const char* mURL;
  const char* mEmail;
  const char* mSubCategories;  // e.g. "Fx" or "Instrument|Synth"
  const char* mVersion;        // e.g. "1.0.0"
  // The class id's words, each stored most significant byte first: two fixed words chosen once
  // for the product, then the maker id and the plug-in's unique id. Never changes.
  uint32_t mClassId[4];
};

// Defined once per bundle (generated).
extern const IPlugVST3ClassInfo kIPlugVST3ClassInfo;
// Constructs one instance of the bundle's plug-in with new (generated). May throw.
IPlugVST3* MakePlugInstance();

// Constructs one instance under the process-wide instance-creation mutex, so that two host
// threads creating instances at once construct them one after the other. Exceptions pass on
// (the mutex is released); the class factory catches them.
IPlugVST3* MakePlug();

// Absolute path of the loaded module (the .so) and of the bundle folder that holds it
// ("<name>.vst3"); the bundle path is "" when the module does not lie in a bundle. Found from
// the module's own address, so they are known whether or not the host calls ModuleEntry.
// Any thread; the texts live as long as the module.
const char* IPlugVST3ModulePath();
const char* IPlugVST3BundlePath();
