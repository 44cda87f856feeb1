#pragma once
// Shared helpers of the tool suites: scratch folders, test tones, reading rendered files, and
// running the brelix program.
#include <string>
#include <vector>

namespace tooltest {

// A fresh folder under the system temp dir, removed with its contents.
class TempDir
{
public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return mPath; }
  std::string file(const std::string& name) const { return mPath + "/" + name; }
  std::vector<std::string> entries() const;   // names, hidden files included

private:
  std::string mPath;
};

struct Audio
{
  int channels = 0;
  int sampleRate = 0;
  int format = 0;
  std::vector<std::vector<double>> data;       // planar
  size_t frames() const { return data.empty() ? 0 : data[0].size(); }
};

// A few tones per channel (different per channel), peak 0.5; libsndfile format, e.g. WAV|DOUBLE.
void writeTone(const std::string& path, int channels, int frames, int sampleRate, int format);
void writeAudio(const std::string& path, const Audio& audio);
Audio readAudio(const std::string& path);
// The built-in demo clip at 48 kHz, as 64-bit WAV audio.
Audio demoAudio(int channels, double seconds);

// `in` through a plug-in with the host library alone, in blocks of `block` frames (0: one block),
// with TITLE=VALUE settings applied at the first sample.
Audio renderDirect(const std::string& plugin, const Audio& in, int block, bool doublePrecision,
                   const std::vector<std::string>& settings = {});

struct RunResult
{
  int status = -1;
  std::string out;
  std::string err;
};
RunResult runBrelix(const std::vector<std::string>& args);

// The Brelix bundle of this build, and whether it has been built.
std::string brelixBundle();
bool brelixBuilt();
#define SKIP_WITHOUT_BRELIX()                                                                                     \
  if (!tooltest::brelixBuilt())                                                                                   \
  GTEST_SKIP() << "Brelix bundle not built yet (" << tooltest::brelixBundle() << ")"

constexpr const char* kZamTube = "/usr/lib/vst3/ZamTube.vst3";
constexpr const char* kZamAutoSat = "/usr/lib/vst3/ZamAutoSat.vst3";

} // namespace tooltest
