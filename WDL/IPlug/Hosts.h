#pragma once
// Recognising the host application from the name it reports, and the display names of the
// recognised hosts. Free of shared state and allocation-free: any thread may call, real-time safe.
// Packed host versions use the helpers of WDL_Version.h.

// The identified host. Values are fixed: they are stored in instances and compared by callers.
// Values 10, 11 and 19 are reserved: nothing maps to them and they display as "Unknown".
enum EHost : int
{
  kHostUninit = -1, // not yet identified
  kHostUnknown = 0, // identified, but not recognised
  kHostReaper = 1,
  kHostProTools = 2,
  kHostCubase = 3,
  kHostNuendo = 4,
  kHostSonar = 5,
  kHostVegas = 6,
  kHostFLStudio = 7,
  kHostSamplitude = 8,
  kHostLive = 9,
  kHostReserved10 = 10,
  kHostReserved11 = 11,
  kHostMelodyne = 12, // recognised, but displayed as "Unknown"
  kHostVSTScanner = 13,
  kHostAULab = 14,
  kHostForte = 15,
  kHostChainer = 16,
  kHostAudition = 17,
  kHostOrion = 18,
  kHostReserved19 = 19,
  kHostSAWStudio = 20,
  kHostLogic = 21,
  kHostGarageBand = 22,
  kHostDigitalPerformer = 23,
  kHostStandalone = 24,
  kHostAudioMulch = 25,
  kHostStudioOne = 26,
  kHostVST3TestHost = 27,
  kHostArdour = 28,
  kHostRenoise = 29,
  kHostOpenMPT = 30
};

// Longest display name plus terminator fits in this many characters.
constexpr int kHostNameStrLen = 32;

// Finds the host from the application name the host reports. The search is case-insensitive and
// looks for fixed search texts in a fixed order, the first one contained in the name deciding
// (so "Cubase Live" is Cubase). A null, empty or unrecognised name gives kHostUnknown.
EHost LookUpHost(const char* name);

// Writes the display name of host into out, which must hold at least kHostNameStrLen (32)
// characters. Values without a display name (outside 1-30, the reserved ones and kHostMelodyne)
// give "Unknown". A null out is ignored.
void GetHostNameStr(EHost host, char* out);
