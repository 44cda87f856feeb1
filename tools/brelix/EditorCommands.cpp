#include "EditorCommands.h"

#include "DemoClip.h"
#include "EditorWindow.h"
#include "HostProcessor.h"
#include "ParameterChanges.h"
#include "ParameterResolver.h"
#include "PluginInstance.h"
#include "PluginLocator.h"
#include "Vst3Module.h"
#include "XvfbServer.h"
#include "lice.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

using namespace vst3host;

namespace brelix {
namespace {

constexpr int kFrameMs = 40;              // one editor frame at 25 fps
constexpr int kSnapshotSettleMs = 200;    // at least this long before the first comparison
constexpr int kSnapshotTimeoutMs = 10000;

// The plug-in of a command: module, instance and the user's settings, which reach the controller
// at once and the processor with its first block.
struct EditorSession
{
  EditorSession(const std::string& pluginOption, const std::string& className,
                const std::vector<ParameterRequest>& settings)
    : module(Vst3Module::Load(pluginOption.empty() ? DefaultPluginPath() : pluginOption))
    , plugin(*module, module->SelectEffectClass(className))
  {
    ParameterResolver::ApplyAll(plugin, settings, firstBlock);
  }

  std::unique_ptr<Vst3Module> module;
  PluginInstance plugin;
  ParameterChanges firstBlock;
};

// A processor in stereo, or in mono for a plug-in that refuses stereo.
std::unique_ptr<HostProcessor> MakeProcessor(PluginInstance& plugin, ProcessSettings settings)
{
  try
  {
    return std::make_unique<HostProcessor>(plugin, settings);
  }
  catch (const HostError&)
  {
    settings.channels = 1;
    return std::make_unique<HostProcessor>(plugin, settings);
  }
}

// Plays audio through the plug-in at the pace of real time on a thread of its own; the editor's
// edits reach the processor with the next block, as in a DAW.
class AudioThread
{
public:
  AudioThread(EditorSession& session, bool silence)
    : mSession(session), mSilence(silence)
  {
    ProcessSettings settings;
    settings.channels = 2;
    settings.sampleRate = 48000.0;
    settings.maxBlockSize = kBlock;
    settings.offline = false;
    mProcessor = MakeProcessor(session.plugin, settings);
    mProcessor->Start();
    mThread = std::thread([this] { Loop(); });
  }

  ~AudioThread()
  {
    mStop.store(true);
    mThread.join();
    mProcessor->Stop();
  }

private:
  static constexpr int kBlock = 512;

  void Loop()
  {
    DemoClip clip(48000.0, 2, 24.0 * 3600.0);
    std::vector<double> inL(kBlock), inR(kBlock), outL(kBlock), outR(kBlock);
    double* in[] = {inL.data(), inR.data()};
    double* out[] = {outL.data(), outR.data()};
    ParameterChanges changes;
    bool first = true;
    const auto blockTime = std::chrono::microseconds(kBlock * 1000000LL / 48000);
    auto next = std::chrono::steady_clock::now();
    while (!mStop.load())
    {
      if (mSilence || clip.Read(in, kBlock) < kBlock)
      {
        std::fill(inL.begin(), inL.end(), 0.0);
        std::fill(inR.begin(), inR.end(), 0.0);
      }
      changes.Clear();
      mSession.plugin.GetComponentHandler().TakePendingEdits(changes);
      mProcessor->Process(in, out, kBlock, first ? &mSession.firstBlock : &changes);
      first = false;
      next += blockTime;
      std::this_thread::sleep_until(next);
    }
  }

  EditorSession& mSession;
  bool mSilence;
  std::unique_ptr<HostProcessor> mProcessor;
  std::atomic<bool> mStop{false};
  std::thread mThread;
};

std::string WindowTitle(const EditorSession& session)
{
  return session.plugin.GetClassDescription().name + " - brelix";
}

} // namespace

void GuiCommand::Run()
{
  EditorSession session(mOptions.plugin, mOptions.className, mOptions.parameters);
  AudioThread audio(session, mOptions.silence);
  EditorWindow window(session.plugin, mOptions.display, WindowTitle(session));
  while (window.Run(kFrameMs))
  {
  }
}

std::string SnapshotCommand::Run()
{
  EditorSession session(mOptions.plugin, mOptions.className, mOptions.parameters);
  std::unique_ptr<XvfbServer> server;
  std::string display = mOptions.display;
  if (display.empty())
  {
    server = std::make_unique<XvfbServer>(2560, 1600);
    display = server->DisplayName();
  }
  // The settings reach the processor (and through it the editor) with a block of silence, as a
  // DAW's automation does before its first frame.
  {
    ProcessSettings settings;
    auto processor = MakeProcessor(session.plugin, settings);
    processor->Start();
    std::vector<double> silence(static_cast<size_t>(settings.maxBlockSize) * 2, 0.0), out(silence.size());
    double* in[] = {silence.data(), silence.data() + settings.maxBlockSize};
    double* outs[] = {out.data(), out.data() + settings.maxBlockSize};
    processor->Process(in, outs, settings.maxBlockSize, &session.firstBlock);
    processor->Stop();
  }
  EditorWindow window(session.plugin, display, WindowTitle(session));

  // Complete: mapped, given a few frames, and two grabs a frame apart agree.
  std::vector<uint32_t> pixels, previous;
  int waited = 0;
  for (; waited < kSnapshotTimeoutMs; waited += kFrameMs)
  {
    window.Run(kFrameMs);
    if (!window.IsMapped() || waited < kSnapshotSettleMs) continue;
    pixels = window.Grab();
    if (!pixels.empty() && pixels == previous) break;
    previous = std::move(pixels);
    pixels.clear();
  }
  if (pixels.empty()) throw HostError("the editor did not finish drawing within 10 s");

  LICE_MemBitmap image(window.Width(), window.Height());
  if (!image.getBits()) throw HostError("out of memory for a " + std::to_string(window.Width()) + " x " +
                                        std::to_string(window.Height()) + " picture");
  for (int y = 0; y < window.Height(); ++y)
    std::copy_n(pixels.data() + static_cast<size_t>(y) * window.Width(), window.Width(),
                image.getBits() + static_cast<size_t>(y) * image.getRowSpan());
  if (!LICE_WritePNG(mOptions.output.c_str(), &image))
    throw HostError("cannot write '" + mOptions.output + "'");
  return std::to_string(window.Width()) + " x " + std::to_string(window.Height());
}

} // namespace brelix
