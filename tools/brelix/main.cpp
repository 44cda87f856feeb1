// brelix: a command-line VST3 host. `brelix render` processes audio files through any VST3
// effect (Brelix by default); `brelix info` shows what a host's scanner sees; `brelix analyze`
// measures levels, harmonics and aliasing of a rendered tone; `brelix gui` opens a plug-in's
// editor while audio plays through it, and `brelix snapshot` saves a picture of the editor.
#include "AnalyzeCommand.h"
#include "CommandLine.h"
#include "CrashGuard.h"
#include "EditorCommands.h"
#include "InfoCommand.h"
#include "RenderCommand.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
  using namespace brelix;
  CrashGuard::Install();
  try
  {
    const CommandLine cl = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (cl.command)
    {
      case CommandLine::Command::Help:
        std::fputs(UsageText().c_str(), stdout);
        return 0;
      case CommandLine::Command::Version:
        std::printf("brelix %s\n", BRELIX_VERSION);
        return 0;
      case CommandLine::Command::Info:
        std::fputs(InfoCommand(cl.info).Run().c_str(), stdout);
        return 0;
      case CommandLine::Command::Analyze:
        std::fputs(AnalyzeCommand(cl.analyze).Run().c_str(), stdout);
        return 0;
      case CommandLine::Command::Gui:
        GuiCommand(cl.gui).Run();
        return 0;
      case CommandLine::Command::Snapshot:
        std::printf("%s: %s\n", cl.snapshot.output.c_str(), SnapshotCommand(cl.snapshot).Run().c_str());
        return 0;
      case CommandLine::Command::Render:
      {
        const RenderSummary summary = RenderCommand(cl.render).Run();
        std::printf("%s\n", RenderCommand::SummaryLine(summary, cl.render.output).c_str());
        return 0;
      }
    }
  }
  catch (const UsageError& e)
  {
    std::fprintf(stderr, "brelix: error: %s (see brelix --help)\n", e.what());
    return 2;
  }
  catch (const std::exception& e)
  {
    std::fprintf(stderr, "brelix: error: %s\n", e.what());
    return 1;
  }
  return 1;
}
