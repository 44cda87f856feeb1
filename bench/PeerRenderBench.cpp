// CPU time of `brelix render` for the same 60-second stereo 48 kHz clip through Brelix and through
// the saturation plug-ins of zam-plugins (ZamTube, ZamAutoSat), run alternately in one process so
// that machine load affects all alike. Mono-only peers run dual mono (one render per channel), as
// a DAW runs them on a stereo track. Prints each peer's CPU time relative to Brelix.
#include "AudioFileWriter.h"
#include "DemoClip.h"
#include "HostError.h"
#include "HostProcessor.h"
#include "Vst3Module.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

struct Peer
{
  std::string name;
  std::string bundle;
  bool dualMono = false;
  double cpuSeconds = 0;
  int runs = 0;
};

struct Setup
{
  std::string dir;
  std::string stereo, left, right;
  std::vector<Peer> peers;
};

Setup& setup()
{
  static Setup s;
  return s;
}

void writeClip(Setup& s)
{
  brelix::DemoClip clip(48000, 2, 60.0);
  const auto format = brelix::ResolveOutputFormat(s.stereo, "", "float", 0, 2, 48000);
  const auto monoFormat = brelix::ResolveOutputFormat(s.left, "", "float", 0, 1, 48000);
  brelix::AudioFileWriter stereo(s.stereo, format, 2, 48000);
  brelix::AudioFileWriter left(s.left, monoFormat, 1, 48000);
  brelix::AudioFileWriter right(s.right, monoFormat, 1, 48000);
  std::vector<double> l(4800), r(4800);
  double* both[] = {l.data(), r.data()};
  const double* onlyLeft[] = {l.data()};
  const double* onlyRight[] = {r.data()};
  for (int n; (n = clip.Read(both, 4800)) > 0;)
  {
    stereo.Write(both, n);
    left.Write(onlyLeft, n);
    right.Write(onlyRight, n);
  }
  stereo.Commit();
  left.Commit();
  right.Commit();
}

// Whether the plug-in takes stereo; mono-only plug-ins are run dual mono.
bool acceptsStereo(const std::string& bundle)
{
  auto module = vst3host::Vst3Module::Load(bundle);
  vst3host::PluginInstance plugin(*module, module->SelectEffectClass(""));
  vst3host::ProcessSettings settings;
  settings.channels = 2;
  try
  {
    vst3host::HostProcessor processor(plugin, settings);
    return true;
  }
  catch (const vst3host::HostError&)
  {
    return false;
  }
}

// User plus system CPU seconds of one `brelix render` child; negative when it failed.
double renderCpu(const std::string& bundle, const std::string& input, const std::string& output)
{
  std::vector<std::string> args = {BRELIX_EXE, "render", input, output, "--plugin", bundle, "--no-progress"};
  std::vector<char*> argv;
  for (auto& a : args)
    argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0)
    return -1;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return -1;
  auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double renderPeer(const Setup& s, const Peer& peer)
{
  const std::string out = s.dir + "/out.wav";
  if (!peer.dualMono)
    return renderCpu(peer.bundle, s.stereo, out);
  const double l = renderCpu(peer.bundle, s.left, out);
  const double r = renderCpu(peer.bundle, s.right, out);
  return l < 0 || r < 0 ? -1 : l + r;
}

void BM_PeerRender(benchmark::State& state)
{
  Setup& s = setup();
  int round = 0;
  for (auto _ : state)
  {
    double total = 0;
    // Rotate the order every round so that no peer always runs first.
    for (size_t k = 0; k < s.peers.size(); ++k)
    {
      Peer& peer = s.peers[(k + round) % s.peers.size()];
      const double cpu = renderPeer(s, peer);
      if (cpu < 0)
      {
        state.SkipWithError(("render through " + peer.name + " failed").c_str());
        return;
      }
      peer.cpuSeconds += cpu;
      ++peer.runs;
      total += cpu;
    }
    state.SetIterationTime(total);
    ++round;
  }
  for (const Peer& p : s.peers)
    state.counters[p.name + "_cpu_s"] = p.cpuSeconds / std::max(p.runs, 1);
}
BENCHMARK(BM_PeerRender)->Iterations(3)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
  Setup& s = setup();
  s.dir = (std::filesystem::temp_directory_path() / "brelix-peer-bench").string();
  std::filesystem::create_directories(s.dir);
  s.stereo = s.dir + "/clip.wav";
  s.left = s.dir + "/left.wav";
  s.right = s.dir + "/right.wav";
  writeClip(s);

  const std::string brelix = std::string(BRELIX_BUNDLE);
  if (std::filesystem::exists(brelix + "/Contents/x86_64-linux/Brelix.so"))
    s.peers.push_back({"Brelix", brelix});
  else
    std::fprintf(stderr, "note: %s not built; peers measured without the reference\n", brelix.c_str());
  for (const char* name : {"ZamTube", "ZamAutoSat"})
  {
    const std::string bundle = std::string("/usr/lib/vst3/") + name + ".vst3";
    if (std::filesystem::exists(bundle))
      s.peers.push_back({name, bundle, !acceptsStereo(bundle)});
  }

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  std::printf("\nCPU time of `brelix render`, 60 s stereo 48 kHz, mean of %d alternating runs:\n",
              s.peers.empty() ? 0 : s.peers.front().runs);
  const Peer* reference = !s.peers.empty() && s.peers.front().name == "Brelix" ? &s.peers.front() : nullptr;
  for (const Peer& p : s.peers)
  {
    const double mean = p.cpuSeconds / std::max(p.runs, 1);
    std::printf("  %-11s %7.3f s%s", p.name.c_str(), mean, p.dualMono ? "  (dual mono)" : "");
    if (reference && reference->cpuSeconds > 0)
      std::printf("  %6.2fx Brelix", mean / (reference->cpuSeconds / std::max(reference->runs, 1)));
    std::printf("\n");
  }
  std::filesystem::remove_all(s.dir);
  return 0;
}
