// Writes the seed corpora of the fuzz targets into <folder>/corpus/<target>/: valid inputs of
// every kind each target reads, made by our own writers, each prefixed with the target's
// selector byte where it takes one. Usage: fuzz_seeds <fuzz folder>.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <sndfile.h>
#include <unistd.h>

#include "Brelix.h"
#include "FuzzSupport.h"
#include "PluginInstance.h"
#include "PresetFileIO.h"
#include "TestPlug.h"
#include "Vst3Module.h"
#include "public.sdk/source/common/memorystream.h"

namespace fs = std::filesystem;
using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
using Bytes = std::vector<unsigned char>;

void Write(const fs::path& dir, const std::string& name, int selector, const Bytes& body)
{
  fs::create_directories(dir);
  std::ofstream out(dir / name, std::ios::binary);
  if (selector >= 0) out.put(static_cast<char>(selector));
  out.write(reinterpret_cast<const char*>(body.data()), static_cast<std::streamsize>(body.size()));
  FUZZ_CHECK(out.good(), "writing a seed");
}

Bytes ReadFile(const fs::path& path)
{
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes StreamBytes(MemoryStream& stream)
{
  const auto* p = reinterpret_cast<const unsigned char*>(stream.getData());
  return Bytes(p, p + stream.getSize());
}

void StateStreamSeeds(const fs::path& dir)
{
  IPtr<IPlugVST3> plug = owned(static_cast<IPlugVST3*>(new Brelix(IPlugInstanceInfo())));
  FUZZ_CHECK(plug->initialize(nullptr) == kResultOk);
  IEditController* controller = plug;
  MemoryStream defaults;
  FUZZ_CHECK(controller->getState(&defaults) == kResultOk);
  const Bytes base = StreamBytes(defaults);
  Write(dir, "default", 0, base);
  Write(dir, "default-in-pieces", 3, base);
  Bytes hot = base;
  const double values[Brelix::kNumParams] = {0, 32.5, -6, 0, 7, 1, 2, 0, 0, 1};
  for (int i = 0; i < Brelix::kNumParams; ++i) std::memcpy(hot.data() + 8 * i, &values[i], 8);
  Write(dir, "settings-bypassed", 0, hot);
  hot[hot.size() - 4] = 0;
  Write(dir, "settings", 0, hot);
  Write(dir, "no-bypass-flag", 0, Bytes(hot.begin(), hot.end() - 4));
  plug->terminate();
}

void ProgramFileSeeds(const fs::path& dir, const fs::path& scratch)
{
  for (int kind = 0; kind < 3; ++kind)
  {
    std::unique_ptr<TestPlug> test;
    IPtr<IPlugVST3> brelix;
    IPlugBase* plug = nullptr;
    if (kind == 0)
    {
      brelix = owned(static_cast<IPlugVST3*>(new Brelix(IPlugInstanceInfo())));
      plug = brelix;
    }
    else
    {
      test.reset(kind == 1 ? new TestPlug(6, "1-1 2-2", 3) : new TestChunkPlug(6, 3));
      if (kind == 1) test->InitCyclicParams();
      test->MakeDefaultPreset("first", 2);
      plug = test.get();
    }
    for (int i = 0; i < plug->NParams(); ++i)
    {
      IParam* p = plug->GetParam(i);
      p->SetValue(p->GetMin() + (p->GetMax() - p->GetMin()) * (i % 3) / 2.0);
    }
    plug->ModifyCurrentPreset("seed");
    static const char* const kKinds[] = {"brelix", "params", "chunk"};
    const fs::path fxp = scratch / "seed.fxp", fxb = scratch / "seed.fxb";
    FUZZ_CHECK(plug->SaveProgramAsFXP(fxp.c_str()) && plug->SaveBankAsFXB(fxb.c_str()), "saving");
    Write(dir, std::string(kKinds[kind]) + ".fxp", kind, ReadFile(fxp));
    Write(dir, std::string(kKinds[kind]) + ".fxb", kind | 4, ReadFile(fxb));
  }
}

void PresetFileSeeds(const fs::path& dir, const fs::path& scratch)
{
  auto module = vst3host::Vst3Module::load(BRELIX_FUZZ_BUNDLE);
  vst3host::PluginInstance plugin(*module, module->selectEffectClass(""));
  const fs::path file = scratch / "seed.vstpreset";
  vst3host::PresetFileIO::save(file.string(), plugin);
  Write(dir, "default.vstpreset", -1, ReadFile(file));
  plugin.controller()->setParamNormalized(1, 0.7);
  plugin.controller()->setParamNormalized(4, 0.4);
  vst3host::PresetFileIO::save(file.string(), plugin);
  Write(dir, "settings.vstpreset", -1, ReadFile(file));
}

void AudioFileSeeds(const fs::path& dir, const fs::path& scratch)
{
  struct Kind
  {
    const char* name;
    int format, channels, rate, selector;
  };
  const Kind kinds[] = {
    {"pcm16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 0x00},
    {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 48000, 0x41},
    {"pcm24.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 2, 96000, 0x82},
    {"pcm8.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_S8, 1, 22050, 0xc3},
    {"vorbis.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 2, 44100, 0x04},
    {"double.w64", SF_FORMAT_W64 | SF_FORMAT_DOUBLE, 3, 8000, 0x45},
    {"ulaw.au", SF_FORMAT_AU | SF_FORMAT_ULAW, 1, 8000, 0x06},
  };
  constexpr int kFrames = 96;
  for (const Kind& k : kinds)
  {
    const fs::path file = scratch / k.name;
    SF_INFO info{};
    info.channels = k.channels;
    info.samplerate = k.rate;
    info.format = k.format;
    SNDFILE* f = sf_open(file.c_str(), SFM_WRITE, &info);
    FUZZ_CHECK(f != nullptr, "opening an audio seed");
    std::vector<double> samples(static_cast<size_t>(kFrames * k.channels));
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = 0.5 * std::sin(0.05 * static_cast<double>(i));
    FUZZ_CHECK(sf_writef_double(f, samples.data(), kFrames) == kFrames, "writing an audio seed");
    sf_close(f);
    Write(dir, k.name, k.selector, ReadFile(file));
  }
}
}  // namespace

int main(int argc, char** argv)
{
  if (argc != 2)
  {
    std::fprintf(stderr, "usage: fuzz_seeds <fuzz folder>\n");
    return 2;
  }
  const fs::path corpus = fs::path(argv[1]) / "corpus";
  const fs::path scratch = fs::temp_directory_path() / ("brelix-seeds-" + std::to_string(getpid()));
  fs::create_directories(scratch);
  StateStreamSeeds(corpus / "state_stream");
  ProgramFileSeeds(corpus / "program_file", scratch);
  PresetFileSeeds(corpus / "vstpreset", scratch);
  AudioFileSeeds(corpus / "audio_file", scratch);
  fs::remove_all(scratch);
  std::printf("seeds written to %s\n", corpus.c_str());
  return 0;
}
