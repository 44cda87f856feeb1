#pragma once
// `brelix gui` opens a plug-in's editor in a window of its own while audio runs through the
// plug-in in real time on a thread of its own (the demo clip, looped, or silence), so meters
// move and edits are heard; it ends when the window is closed. `brelix snapshot` opens the
// editor the same way on a private X server (or a named display), waits until the editor has
// drawn completely and saves the window's pixels as a PNG.
// Main thread. Errors as vst3host::HostError.
#include "CommandLine.h"

namespace brelix {

class GuiCommand
{
public:
  explicit GuiCommand(const GuiOptions& options) : mOptions(options) {}
  void Run();

private:
  GuiOptions mOptions;
};

class SnapshotCommand
{
public:
  explicit SnapshotCommand(const SnapshotOptions& options) : mOptions(options) {}
  // Returns the saved image's size, "W x H".
  std::string Run();

private:
  SnapshotOptions mOptions;
};

} // namespace brelix
