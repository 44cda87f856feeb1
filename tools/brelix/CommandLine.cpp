#include "CommandLine.h"

#include "OutputFormat.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace brelix {

namespace {

// Walks the arguments; options take their value as the next argument or after '='.
class ArgumentReader
{
public:
  explicit ArgumentReader(const std::vector<std::string>& args) : mArgs(args) {}
  bool Done() const { return mIndex >= mArgs.size(); }
  std::string Next() { return mArgs[mIndex++]; }

  std::string ValueOf(const std::string& option, const std::string& inline_, bool hasInline)
  {
    if (hasInline)
      return inline_;
    if (Done())
      throw UsageError("option " + option + " needs a value");
    return Next();
  }

private:
  const std::vector<std::string>& mArgs;
  size_t mIndex = 0;
};

long ParseInteger(const std::string& option, const std::string& text, long lo, long hi)
{
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || errno == ERANGE || v < lo || v > hi)
    throw UsageError(option + " takes a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) +
                     ", not '" + text + "'");
  return v;
}

int ParseOversample(const std::string& option, const std::string& text)
{
  for (const char* factor : {"1", "2", "4", "8"})
    if (text == factor)
      return std::atoi(factor);
  throw UsageError(option + " takes 1, 2, 4 or 8, not '" + text + "'");
}

double ParseFrequency(const std::string& option, const std::string& text)
{
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || *end || !std::isfinite(v) || v <= 0 || v > 1e6)
    throw UsageError(option + " takes a frequency in Hz above 0, not '" + text + "'");
  return v;
}

double ParseSeconds(const std::string& option, const std::string& text)
{
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || *end || !std::isfinite(v) || v < 0 || v > 3600)
    throw UsageError(option + " takes a number of seconds from 0 to 3600, not '" + text + "'");
  return v;
}

} // namespace

std::string UsageText()
{
  return "Usage:\n"
         "  brelix render [INPUT] OUTPUT [options]   process INPUT (default: the built-in demo clip)\n"
         "  brelix info [--plugin PATH.vst3] [--class NAME|UID] [--json]\n"
         "                                          describe a plug-in as a host's scanner sees it\n"
         "  brelix analyze INPUT [--fundamental HZ]\n"
         "                                          peak and RMS levels; a steady tone's harmonics\n"
         "                                          and aliasing, in dB relative to its fundamental\n"
         "  brelix gui [--plugin PATH.vst3] [--set NAME=VALUE ...] [--silence] [--display NAME]\n"
         "                                          open the plug-in's editor in a window while the demo\n"
         "                                          clip (or silence) plays through it\n"
         "  brelix snapshot OUT.png [--plugin PATH.vst3] [--set NAME=VALUE ...] [--display NAME]\n"
         "                                          save a picture of the editor, drawn on a private\n"
         "                                          X server (Xvfb) unless a display is named\n"
         "\n"
         "Render options:\n"
         "  --plugin PATH.vst3      plug-in bundle (default: the built or installed Brelix.vst3)\n"
         "  --class NAME|UID        effect class, when the module holds several\n"
         "  --set NAME=VALUE        parameter by title and plain value or text (GAIN=24, Bypass=on)\n"
         "  --set-id ID=VALUE       parameter by id and normalised value from 0 to 1\n"
         "  --block N               block size in frames (default 512)\n"
         "  --precision 32|64       sample size of processing (default 32)\n"
         "  --load-preset FILE      restore a .vstpreset before processing (--set applies after it)\n"
         "  --save-preset FILE      store the plug-in's state as a .vstpreset after rendering\n"
         "  --format NAME           output container: " + ContainerNames() + "\n"
         "                          (default: from OUTPUT's extension)\n"
         "  --bit-depth D           " + DepthNames() + " (default: the input's, else 24)\n"
         "  --tail SECONDS          process this much silence after the input (reverb and delay tails)\n"
         "  --oversample N          run the plug-in at N times the file's rate (1, 2, 4 or 8) between\n"
         "                          linear-phase resamplers, so that harmonics above the file's\n"
         "                          Nyquist frequency are filtered out instead of aliasing (default 1)\n"
         "  --realtime              run the plug-in in realtime mode instead of offline\n"
         "  --no-progress           no progress bar\n"
         "\n"
         "Gui and snapshot options: --plugin, --class, --set and --set-id as for render, and\n"
         "  --display NAME          the X display to use (gui default: $DISPLAY)\n"
         "  --silence               (gui) play silence instead of the demo clip\n"
         "\n"
         "Analyze options:\n"
         "  --fundamental HZ        the tone's frequency (default: the strongest component)\n"
         "\n"
         "  -h, --help              this help;  --version  the version\n";
}

CommandLine ParseCommandLine(const std::vector<std::string>& args)
{
  CommandLine cl;
  if (args.empty())
    throw UsageError("no command given (render, info, analyze, gui or snapshot)");
  const std::string& verb = args.front();
  if (verb == "-h" || verb == "--help" || verb == "help")
    return cl;
  if (verb == "--version")
  {
    cl.command = CommandLine::Command::Version;
    return cl;
  }
  if (verb == "render")
    cl.command = CommandLine::Command::Render;
  else if (verb == "info")
    cl.command = CommandLine::Command::Info;
  else if (verb == "analyze")
    cl.command = CommandLine::Command::Analyze;
  else if (verb == "gui")
    cl.command = CommandLine::Command::Gui;
  else if (verb == "snapshot")
    cl.command = CommandLine::Command::Snapshot;
  else
    throw UsageError("unknown command '" + verb + "' (render, info, analyze, gui or snapshot)");

  const bool render = cl.command == CommandLine::Command::Render;
  const bool info = cl.command == CommandLine::Command::Info;
  const bool gui = cl.command == CommandLine::Command::Gui;
  const bool snapshot = cl.command == CommandLine::Command::Snapshot;
  const bool analyze = cl.command == CommandLine::Command::Analyze;
  // Where the options every plug-in command shares go, for this command (null: not taken).
  std::string* pluginOption = render ? &cl.render.plugin : info ? &cl.info.plugin : gui ? &cl.gui.plugin
                              : snapshot ? &cl.snapshot.plugin : nullptr;
  std::string* classOption = render ? &cl.render.className : info ? &cl.info.className : gui ? &cl.gui.className
                             : snapshot ? &cl.snapshot.className : nullptr;
  std::vector<ParameterRequest>* setOption = render ? &cl.render.parameters : gui ? &cl.gui.parameters
                                             : snapshot ? &cl.snapshot.parameters : nullptr;
  std::string* displayOption = gui ? &cl.gui.display : snapshot ? &cl.snapshot.display : nullptr;
  std::vector<std::string> rest(args.begin() + 1, args.end());
  ArgumentReader reader(rest);
  std::vector<std::string> positional;
  bool optionsEnded = false;
  while (!reader.Done())
  {
    std::string arg = reader.Next();
    if (optionsEnded || arg.size() < 2 || arg[0] != '-')
    {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--")
    {
      optionsEnded = true;
      continue;
    }
    if (arg == "-h" || arg == "--help")
    {
      cl.command = CommandLine::Command::Help;
      return cl;
    }
    const size_t eq = arg.find('=');
    const bool hasInline = arg.rfind("--", 0) == 0 && eq != std::string::npos;
    const std::string name = hasInline ? arg.substr(0, eq) : arg;
    const std::string inlineValue = hasInline ? arg.substr(eq + 1) : std::string();
    auto value = [&] { return reader.ValueOf(name, inlineValue, hasInline); };

    RenderOptions& r = cl.render;
    if (pluginOption && name == "--plugin")
      *pluginOption = value();
    else if (classOption && name == "--class")
      *classOption = value();
    else if (displayOption && name == "--display")
      *displayOption = value();
    else if (gui && name == "--silence" && !hasInline)
      cl.gui.silence = true;
    else if (info && name == "--json" && !hasInline)
      cl.info.json = true;
    else if (setOption && (name == "--set" || name == "--set-id"))
    {
      try
      {
        setOption->push_back(ParameterResolver::Parse(value(), name == "--set-id"));
      }
      catch (const vst3host::HostError& e)
      {
        throw UsageError(name + ": " + e.what());
      }
    }
    else if (render && name == "--block")
      r.blockSize = static_cast<int>(ParseInteger(name, value(), 1, 1 << 20));
    else if (render && name == "--precision")
    {
      const std::string v = value();
      if (v != "32" && v != "64")
        throw UsageError("--precision takes 32 or 64, not '" + v + "'");
      r.doublePrecision = v == "64";
    }
    else if (render && name == "--load-preset")
      r.loadPreset = value();
    else if (render && name == "--save-preset")
      r.savePreset = value();
    else if (render && name == "--format")
      r.container = value();
    else if (render && name == "--bit-depth")
      r.depth = value();
    else if (render && name == "--tail")
      r.tailSeconds = ParseSeconds(name, value());
    else if (render && name == "--oversample")
      r.oversample = ParseOversample(name, value());
    else if (analyze && name == "--fundamental")
      cl.analyze.fundamentalHz = ParseFrequency(name, value());
    else if (render && name == "--realtime" && !hasInline)
      r.realtime = true;
    else if (render && name == "--no-progress" && !hasInline)
      r.progress = false;
    else
      throw UsageError("unknown option '" + arg + "' for brelix " + verb);
  }

  if (render)
  {
    if (positional.empty())
      throw UsageError("render needs an OUTPUT file");
    if (positional.size() > 2)
      throw UsageError("render takes [INPUT] OUTPUT, got " + std::to_string(positional.size()) + " files");
    cl.render.output = positional.back();
    if (positional.size() == 2)
      cl.render.input = positional.front();
  }
  else if ((info || gui) && !positional.empty())
    throw UsageError(verb + " takes no file argument (use --plugin PATH.vst3)");
  else if (snapshot)
  {
    if (positional.size() != 1)
      throw UsageError("snapshot takes one OUT.png file, got " + std::to_string(positional.size()));
    cl.snapshot.output = positional.front();
  }
  else if (analyze)
  {
    if (positional.size() != 1)
      throw UsageError("analyze takes one INPUT file, got " + std::to_string(positional.size()));
    cl.analyze.input = positional.front();
  }
  return cl;
}

} // namespace brelix
