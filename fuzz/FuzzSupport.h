#pragma once
// What the fuzz targets share: the input as a file that our readers open by path, the checks
// that end a run as a finding, and the invariants every parameter must keep.
//
// Single-threaded (libFuzzer calls a target from one thread). Checks print what failed and
// abort, which libFuzzer reports as a crash and saves the input for.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class IPlugBase;
namespace Steinberg::Vst
{
class IEditController;
}

// Ends the run as a finding when cond is false.
#define FUZZ_CHECK(cond, ...) \
  do \
  { \
    if (!(cond)) FuzzFail(__FILE__, __LINE__, #cond, "" __VA_ARGS__); \
  } while (0)

[[noreturn]] void FuzzFail(const char* file, int line, const char* cond, const char* what);

// A path whose file holds exactly these bytes: an anonymous memory file, reused by each call.
std::string MemoryFile(const uint8_t* data, size_t size);

// Every parameter's plain value is finite and inside its range, its normalised value in [0, 1].
void CheckParameters(IPlugBase& plug);

// The plug-in's state as SerializeState writes it, and its presets (name, flag and state each).
std::vector<unsigned char> StateOf(IPlugBase& plug);
std::vector<unsigned char> PresetsOf(IPlugBase& plug);

// The controller's state stream (the parameter values, then the bypass flag), read and written.
std::vector<unsigned char> ControllerState(Steinberg::Vst::IEditController* controller);
void SetControllerState(Steinberg::Vst::IEditController* controller, const std::vector<unsigned char>& state);

// Gives the plug-in a state unlike its default (every parameter away from it, bypassed), so that
// an untouched state is told from a reset one; returns that state's stream.
std::vector<unsigned char> SetDistinctState(Steinberg::Vst::IEditController* controller);
