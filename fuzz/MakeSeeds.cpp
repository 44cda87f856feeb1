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

#include <png.h>
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
  auto module = vst3host::Vst3Module::Load(BRELIX_FUZZ_BUNDLE);
  vst3host::PluginInstance plugin(*module, module->SelectEffectClass(""));
  const fs::path file = scratch / "seed.vstpreset";
  vst3host::PresetFileIO::Save(file.string(), plugin);
  Write(dir, "default.vstpreset", -1, ReadFile(file));
  plugin.Controller()->setParamNormalized(1, 0.7);
  plugin.Controller()->setParamNormalized(4, 0.4);
  vst3host::PresetFileIO::Save(file.string(), plugin);
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

// A small PNG of the given colour type and depth, from libpng's writer: a gradient with the
// extremes in its first samples, a palette with partly transparent entries where one is used.
Bytes EncodePng(int colorType, int depth, int w, int h, bool interlaced)
{
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  FUZZ_CHECK(info != nullptr, "a PNG writer");
  Bytes out;
  if (setjmp(png_jmpbuf(png))) FUZZ_CHECK(false, "writing a PNG seed");
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, png_size_t n)
      {
        auto* o = static_cast<Bytes*>(png_get_io_ptr(p));
        o->insert(o->end(), data, data + n);
      },
      nullptr);
  png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), depth, colorType,
               interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  const int entries = 1 << depth;
  std::vector<png_color> palette;
  std::vector<png_byte> alpha;
  if (colorType == PNG_COLOR_TYPE_PALETTE)
  {
    for (int i = 0; i < entries; ++i)
      palette.push_back({png_byte(i * 255 / (entries - 1)), png_byte(255 - i * 40), png_byte(i * 90)});
    for (int i = 0; i < entries / 2; ++i) alpha.push_back(png_byte(i * 255 / entries));
    png_set_PLTE(png, info, palette.data(), entries);
    png_set_tRNS(png, info, alpha.data(), int(alpha.size()), nullptr);
  }
  png_write_info(png, info);
  const int channels = png_get_channels(png, info);
  const int maxValue = (1 << depth) - 1;
  const size_t rowBytes = png_get_rowbytes(png, info);
  std::vector<Bytes> rows(size_t(h), Bytes(rowBytes, 0));
  for (int y = 0; y < h; ++y)
    for (int i = 0; i < w * channels; ++i)
    {
      const int n = y * w * channels + i;
      const int v = n == 0 ? 0 : n == 1 ? maxValue : (n * 37 + y * 11) % (maxValue + 1);
      Bytes& row = rows[size_t(y)];
      if (depth == 16)
      {
        row[size_t(2 * i)] = png_byte(v >> 8);
        row[size_t(2 * i + 1)] = png_byte(v);
      }
      else if (depth == 8)
        row[size_t(i)] = png_byte(v);
      else
        row[size_t(i * depth / 8)] |= png_byte(v << (8 - depth - i * depth % 8));
    }
  std::vector<png_bytep> pointers;
  for (Bytes& r : rows) pointers.push_back(r.data());
  png_write_image(png, pointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

void PngSeeds(const fs::path& dir)
{
  Write(dir, "gray1.png", -1, EncodePng(PNG_COLOR_TYPE_GRAY, 1, 11, 3, false));
  Write(dir, "palette4-trns.png", -1, EncodePng(PNG_COLOR_TYPE_PALETTE, 4, 6, 5, false));
  Write(dir, "rgba16.png", -1, EncodePng(PNG_COLOR_TYPE_RGB_ALPHA, 16, 4, 4, false));
  Write(dir, "rgb8-interlaced.png", -1, EncodePng(PNG_COLOR_TYPE_RGB, 8, 9, 10, true));
  Write(dir, "gray-alpha8-interlaced.png", -1, EncodePng(PNG_COLOR_TYPE_GRAY_ALPHA, 8, 3, 9, true));
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
  PngSeeds(corpus / "png");
  fs::remove_all(scratch);
  std::printf("seeds written to %s\n", corpus.c_str());
  return 0;
}
