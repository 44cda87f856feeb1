// Audio files as the brelix tool reads them: libsndfile opens and decodes them, and our reader
// checks what it reports and hands the samples out block by block; the output format is then
// chosen from the input's as the render command does. Input: one byte choosing the block size
// and the output container, then the file. A file is either refused with a HostError or read
// whole: channels and rate positive, no block longer than asked, never more frames than the
// header announced.
#include <vector>

#include "AudioFileReader.h"
#include "FuzzSupport.h"
#include "HostError.h"
#include "OutputFormat.h"

namespace
{
// Enough to decode every block of a small file, little enough to keep each run short.
constexpr long long kMaxFrames = 1 << 16;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size < 1) return 0;
  const int block = 1 + (data[0] & 0x3f) * 16;
  static const char* const kOutputs[] = {"out.wav", "out.flac", "out.aiff", "out.ogg"};
  const char* output = kOutputs[data[0] >> 6];
  const std::string path = MemoryFile(data + 1, size - 1);
  try
  {
    brelix::AudioFileReader reader(path);
    const int channels = reader.Channels();
    FUZZ_CHECK(channels >= 1 && reader.SampleRate() >= 1.0, "a file with audio");
    FUZZ_CHECK(reader.Frames() >= 0, "a frame count");
    try
    {
      brelix::ResolveOutputFormat(output, "", "", reader.SndfileFormat(), channels,
                                  static_cast<int>(reader.SampleRate()));
    }
    catch (const vst3host::HostError&)
    {
      // The container cannot take this input (its channels or rate): refused with a message.
    }
    std::vector<std::vector<double>> buffers(static_cast<size_t>(channels), std::vector<double>(static_cast<size_t>(block)));
    std::vector<double*> pointers;
    for (auto& b : buffers) pointers.push_back(b.data());
    long long total = 0;
    while (total < kMaxFrames)
    {
      const int got = reader.Read(pointers.data(), block);
      FUZZ_CHECK(got >= 0 && got <= block, "a block no longer than asked");
      if (got == 0) break;
      total += got;
    }
    FUZZ_CHECK(total <= reader.Frames() || reader.Frames() == 0, "no more frames than announced");
  }
  catch (const vst3host::HostError&)
  {
    // Refused with a message, as the tool reports it.
  }
  return 0;
}
