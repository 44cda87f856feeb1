#include "ToolTestSupport.h"

#include "DemoClip.h"
#include "HostProcessor.h"
#include "ParameterResolver.h"
#include "Vst3Module.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sndfile.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace tooltest {

TempDir::TempDir()
{
  std::string pattern = (fs::temp_directory_path() / "brelix-test-XXXXXX").string();
  if (!mkdtemp(pattern.data()))
    throw std::runtime_error("mkdtemp failed");
  mPath = pattern;
}

TempDir::~TempDir()
{
  std::error_code ec;
  fs::remove_all(mPath, ec);
}

std::vector<std::string> TempDir::entries() const
{
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(mPath))
    names.push_back(e.path().filename().string());
  return names;
}

void writeAudio(const std::string& path, const Audio& audio)
{
  SF_INFO info{};
  info.channels = audio.channels;
  info.samplerate = audio.sampleRate;
  info.format = audio.format;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f)
    throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
  std::vector<double> interleaved(audio.frames() * audio.channels);
  for (size_t i = 0; i < audio.frames(); ++i)
    for (int c = 0; c < audio.channels; ++c)
      interleaved[i * audio.channels + c] = audio.data[c][i];
  sf_writef_double(f, interleaved.data(), sf_count_t(audio.frames()));
  sf_close(f);
}

Audio demoAudio(int channels, double seconds)
{
  brelix::DemoClip clip(48000, channels, seconds);
  Audio a;
  a.channels = channels;
  a.sampleRate = 48000;
  a.format = SF_FORMAT_WAV | SF_FORMAT_DOUBLE;
  a.data.assign(channels, std::vector<double>(size_t(clip.Frames())));
  std::vector<double*> p;
  for (auto& ch : a.data)
    p.push_back(ch.data());
  clip.Read(p.data(), int(clip.Frames()));
  return a;
}

void writeTone(const std::string& path, int channels, int frames, int sampleRate, int format)
{
  Audio a;
  a.channels = channels;
  a.sampleRate = sampleRate;
  a.format = format;
  a.data.assign(channels, std::vector<double>(frames));
  for (int c = 0; c < channels; ++c)
    for (int i = 0; i < frames; ++i)
    {
      const double t = double(i) / sampleRate;
      a.data[c][i] = 0.3 * std::sin(2 * M_PI * (110.0 * (c + 1)) * t) + 0.2 * std::sin(2 * M_PI * 1375.0 * t);
    }
  writeAudio(path, a);
}

Audio readAudio(const std::string& path)
{
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f)
    throw std::runtime_error("cannot read " + path + ": " + sf_strerror(nullptr));
  std::vector<double> interleaved(size_t(info.frames) * info.channels);
  sf_readf_double(f, interleaved.data(), info.frames);
  sf_close(f);
  Audio a;
  a.channels = info.channels;
  a.sampleRate = info.samplerate;
  a.format = info.format;
  a.data.assign(info.channels, std::vector<double>(size_t(info.frames)));
  for (sf_count_t i = 0; i < info.frames; ++i)
    for (int c = 0; c < info.channels; ++c)
      a.data[c][i] = interleaved[size_t(i) * info.channels + c];
  return a;
}

Audio renderDirect(const std::string& plugin, const Audio& in, int block, bool doublePrecision,
                   const std::vector<std::string>& settings)
{
  auto module = vst3host::Vst3Module::Load(plugin);
  vst3host::PluginInstance instance(*module, module->SelectEffectClass(""));
  vst3host::ParameterChanges changes;
  const brelix::ParameterResolver resolver(instance);
  for (const auto& s : settings)
  {
    const auto p = resolver.Resolve(brelix::ParameterResolver::Parse(s, false));
    instance.Controller()->setParamNormalized(p.id, p.normalized);
    changes.Add(p.id, 0, p.normalized);
  }
  const int frames = int(in.frames());
  const int blockSize = block > 0 ? block : std::max(frames, 1);
  vst3host::ProcessSettings ps;
  ps.channels = in.channels;
  ps.sampleRate = in.sampleRate;
  ps.maxBlockSize = blockSize;
  ps.doublePrecision = doublePrecision;
  vst3host::HostProcessor processor(instance, ps);
  processor.Start();

  Audio out = in;
  for (int done = 0; done < frames; done += blockSize)
  {
    const int n = std::min(blockSize, frames - done);
    std::vector<const double*> src;
    std::vector<double*> dst;
    for (int c = 0; c < in.channels; ++c)
    {
      src.push_back(in.data[c].data() + done);
      dst.push_back(out.data[c].data() + done);
    }
    processor.Process(src.data(), dst.data(), n, done == 0 ? &changes : nullptr);
  }
  processor.Stop();
  return out;
}

namespace {

std::string quoted(const std::string& s)
{
  std::string q = "'";
  for (char c : s)
    q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string slurp(const std::string& path)
{
  std::ifstream in(path);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

} // namespace

RunResult runBrelix(const std::vector<std::string>& args)
{
  TempDir capture;
  std::string command = quoted(BRELIX_EXE);
  for (const auto& a : args)
    command += " " + quoted(a);
  command += " >" + quoted(capture.file("out")) + " 2>" + quoted(capture.file("err")) + " </dev/null";
  const int raw = std::system(command.c_str());
  RunResult r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = slurp(capture.file("out"));
  r.err = slurp(capture.file("err"));
  return r;
}

std::string brelixBundle()
{
  return BRELIX_BUNDLE;
}

bool brelixBuilt()
{
  return fs::exists(std::string(BRELIX_BUNDLE) + "/Contents/x86_64-linux/Brelix.so");
}

} // namespace tooltest
