// Every failure of `brelix render` and `brelix info`: a one-line message naming the cause, a
// non-zero exit status, and no output file (nor temporary file) left behind. These run against
// the Debian zam-plugins and deliberately broken modules, so they need no Brelix build.
#include "ToolTestSupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sndfile.h>

using tooltest::kZamAutoSat;
using tooltest::kZamTube;

namespace {

class CliErrors : public ::testing::Test
{
protected:
  tooltest::TempDir dir;
  std::string mono = dir.file("mono.wav");

  void SetUp() override { tooltest::writeTone(mono, 1, 4800, 48000, SF_FORMAT_WAV | SF_FORMAT_PCM_16); }

  // Runs brelix and checks the failure contract; `cause` must appear in the message.
  void expectFailure(std::vector<std::string> args, const std::string& cause, int status = 1)
  {
    const auto before = dir.entries();
    const tooltest::RunResult r = tooltest::runBrelix(args);
    EXPECT_EQ(r.status, status) << r.err;
    // Plug-ins may print diagnostics of their own before it; the host's message is one line, last.
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.back(), '\n');
    const size_t start = r.err.rfind('\n', r.err.size() - 2) + 1;
    const std::string message = r.err.substr(start);
    EXPECT_EQ(message.rfind("brelix: error: ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find("brelix:"), start) << "one message only: " << r.err;
    EXPECT_NE(message.find(cause), std::string::npos) << r.err;
    EXPECT_EQ(dir.entries(), before) << "nothing was left behind";
    EXPECT_TRUE(r.out.empty()) << r.out;
  }

  std::string fake(const std::string& name) { return std::string(FAKE_BUNDLES) + "/" + name + ".vst3"; }
};

} // namespace

TEST_F(CliErrors, MissingInput)
{
  expectFailure({"render", dir.file("nope.wav"), dir.file("out.wav"), "--plugin", kZamTube},
                "input '" + dir.file("nope.wav") + "' does not exist");
}

TEST_F(CliErrors, UnreadableInput)
{
  std::ofstream(dir.file("text.wav")) << "this is not audio";
  expectFailure({"render", dir.file("text.wav"), dir.file("out.wav"), "--plugin", kZamTube}, "cannot read input");
  expectFailure({"render", dir.path(), dir.file("out.wav"), "--plugin", kZamTube}, "is a directory");
}

TEST_F(CliErrors, UnsupportedOutputFormat)
{
  expectFailure({"render", mono, dir.file("out.xyz"), "--plugin", kZamTube}, "unsupported output format '.xyz'");
  expectFailure({"render", mono, dir.file("out.flac"), "--bit-depth", "double", "--plugin", kZamTube},
                "unsupported output format: FLAC, 64-bit float");
  expectFailure({"render", mono, dir.file("out.wav"), "--format", "mod", "--plugin", kZamTube},
                "unsupported output format 'mod'");
}

TEST_F(CliErrors, ChannelCountThePlugInRefuses)
{
  tooltest::writeTone(dir.file("stereo.wav"), 2, 4800, 48000, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  tooltest::writeTone(dir.file("three.wav"), 3, 4800, 48000, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  expectFailure({"render", dir.file("stereo.wav"), dir.file("out.wav"), "--plugin", kZamTube},
                "'ZamTube' refuses stereo audio");
  expectFailure({"render", dir.file("three.wav"), dir.file("out.wav"), "--plugin", kZamAutoSat},
                "'ZamAutoSat' refuses 3-channel audio");
}

TEST_F(CliErrors, UnknownParameter)
{
  expectFailure({"render", mono, dir.file("out.wav"), "--plugin", kZamTube, "--set", "Warmth=3"},
                "has no parameter 'Warmth'");
  expectFailure({"render", mono, dir.file("out.wav"), "--plugin", kZamTube, "--set-id", "4242=0.5"},
                "has no parameter with id 4242");
}

TEST_F(CliErrors, ValueThePlugInCannotRead)
{
  expectFailure({"render", mono, dir.file("out.wav"), "--plugin", kZamTube, "--set", "Tube Drive=loud"},
                "cannot read 'loud' as a value of Tube Drive");
}

TEST_F(CliErrors, ValueOutsideThePlainRange)
{
  expectFailure({"render", mono, dir.file("out.wav"), "--plugin", kZamTube, "--set", "Tube Drive=20"},
                "outside the range of Tube Drive");
  expectFailure({"render", mono, dir.file("out.wav"), "--plugin", kZamTube, "--set-id", "3=2"},
                "must be a number from 0 to 1");
}

TEST_F(CliErrors, BundlesThatDoNotLoadOrHoldNoEffect)
{
  const std::string junk = dir.file("Junk.vst3/Contents/x86_64-linux");
  std::filesystem::create_directories(junk);
  std::ofstream(junk + "/Junk.so") << "garbage";
  expectFailure({"render", mono, dir.file("out.wav"), "--plugin", dir.file("Junk.vst3")}, "cannot load");
  expectFailure({"render", mono, dir.file("out.wav"), "--plugin", dir.file("None.vst3")}, "no plug-in at");
  expectFailure({"render", mono, dir.file("out.wav"), "--plugin", fake("NoEffect")}, "holds no audio effect class");
  expectFailure({"render", mono, dir.file("out.wav"), "--plugin", fake("NullFactory")}, "returned no plug-in factory");
  expectFailure({"render", mono, dir.file("out.wav"), "--plugin", fake("BrokenEffect")}, "could not create 'Fake'");
  expectFailure({"info", "--plugin", fake("NoEffect")}, "holds no audio effect class");
  expectFailure({"render", mono, dir.file("out.wav"), "--plugin", kZamTube, "--class", "ZamVerb"},
                "no audio effect class 'ZamVerb'");
}

TEST_F(CliErrors, PresetsThatCannotBeUsed)
{
  std::ofstream(dir.file("bad.vstpreset")) << "not a preset";
  expectFailure({"render", mono, dir.file("out.wav"), "--plugin", kZamTube, "--load-preset", dir.file("bad.vstpreset")},
                "is not a VST3 preset file");
  expectFailure({"render", mono, dir.file("out.wav"), "--plugin", kZamTube, "--load-preset", dir.file("no.vstpreset")},
                "cannot read preset");

  const auto made = tooltest::runBrelix({"render", mono, dir.file("tube.wav"), "--plugin", kZamTube,
                                         "--save-preset", dir.file("tube.vstpreset")});
  ASSERT_EQ(made.status, 0) << made.err;
  expectFailure({"render", mono, dir.file("out.wav"), "--plugin", kZamAutoSat, "--load-preset",
                 dir.file("tube.vstpreset")},
                "belongs to another plug-in");
}

TEST_F(CliErrors, UsageErrorsExitWithStatusTwo)
{
  expectFailure({"render", mono, dir.file("out.wav"), "--plugin", kZamTube, "--frobnicate"},
                "unknown option '--frobnicate'", 2);
  expectFailure({"mix", "out.wav"}, "unknown command 'mix'", 2);
  expectFailure({"render", mono, dir.file("out.wav"), "--block", "0"}, "--block takes a whole number", 2);
}

TEST_F(CliErrors, OversampleFactorsOutsideTheList)
{
  for (const char* factor : {"0", "3", "16", "x"})
    expectFailure({"render", mono, dir.file("out.wav"), "--plugin", kZamTube, "--oversample", factor},
                  std::string("--oversample takes 1, 2, 4 or 8, not '") + factor + "'", 2);
}

TEST_F(CliErrors, FilesThatCannotBeAnalysed)
{
  expectFailure({"analyze", dir.file("nope.wav")}, "input '" + dir.file("nope.wav") + "' does not exist");
  tooltest::writeTone(dir.file("short.wav"), 1, 100, 48000, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  expectFailure({"analyze", dir.file("short.wav")}, "is too short to analyse (100 frames, at least 256)");
  expectFailure({"analyze", mono, "--fundamental", "30000"},
                "the fundamental must lie from 222.66 Hz to below 24000.00 Hz for this file, not at 30000.00 Hz");
  expectFailure({"analyze", mono, "--oversample", "2"}, "unknown option '--oversample' for brelix analyze", 2);
}
