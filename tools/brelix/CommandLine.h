#pragma once
// The command line of `brelix`: subcommands render, info, analyze, gui and snapshot, their options, and the
// help text. Pure parsing; errors as UsageError (exit status 2).
#include "HostError.h"
#include "ParameterResolver.h"
#include <string>
#include <vector>

namespace brelix {

class UsageError : public vst3host::HostError
{
public:
  explicit UsageError(const std::string& message) : HostError(message) {}
};

struct RenderOptions
{
  std::string input;                        // empty: the demo clip
  std::string output;
  std::string plugin;                       // empty: the built or installed Brelix.vst3
  std::string className;
  std::vector<ParameterRequest> parameters; // in command-line order
  int blockSize = 512;
  bool doublePrecision = false;
  std::string loadPreset;
  std::string savePreset;
  std::string container;                    // --format
  std::string depth;                        // --bit-depth
  double tailSeconds = 0;
  int oversample = 1;                       // the plug-in runs at this multiple of the file's rate
  bool realtime = false;
  bool progress = true;
};

struct InfoOptions
{
  std::string plugin;
  std::string className;
  bool json = false;
};

struct AnalyzeOptions
{
  std::string input;
  double fundamentalHz = 0;                 // 0: the strongest tone
};

struct GuiOptions
{
  std::string plugin;                       // empty: the built or installed Brelix.vst3
  std::string className;
  std::vector<ParameterRequest> parameters;
  std::string display;                      // empty: $DISPLAY
  bool silence = false;                     // feed silence instead of the demo clip
};

struct SnapshotOptions
{
  std::string output;                       // .png
  std::string plugin;
  std::string className;
  std::vector<ParameterRequest> parameters;
  std::string display;                      // empty: a private Xvfb server
};

struct CommandLine
{
  enum class Command { Render, Info, Analyze, Gui, Snapshot, Help, Version } command = Command::Help;
  RenderOptions render;
  InfoOptions info;
  AnalyzeOptions analyze;
  GuiOptions gui;
  SnapshotOptions snapshot;
};

CommandLine ParseCommandLine(const std::vector<std::string>& args);
std::string UsageText();

} // namespace brelix
