#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ByteChunk.h"
#include "IPreset.h"
#include "TestPlug.h"

namespace
{
using Bytes = std::vector<unsigned char>;

std::string TempPath(const std::string& name)
{
  return testing::TempDir() + "brelix_fx_" + name;
}

Bytes ReadFile(const std::string& path)
{
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& b)
{
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

void Add(Bytes* b, const Bytes& more)
{
  b->insert(b->end(), more.begin(), more.end());
}

Bytes BE(uint32_t v)
{
  return {static_cast<unsigned char>(v >> 24), static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 8),
          static_cast<unsigned char>(v)};
}

Bytes Text(const char* s)
{
  return Bytes(s, s + std::strlen(s));
}

Bytes Name28(const char* s)
{
  Bytes b(28, 0);
  std::memcpy(b.data(), s, std::strlen(s));
  return b;
}

Bytes FloatBE(float f)
{
  uint32_t u;
  std::memcpy(&u, &f, 4);
  return BE(u);
}

Bytes LEDouble(uint64_t bits)
{
  Bytes b;
  for (int i = 0; i < 8; ++i) b.push_back(static_cast<unsigned char>(bits >> (8 * i)));
  return b;
}

// The 56-byte head of a parameter-form program (file or bank record) of TestPlug.
Bytes ParamProgramHead(uint32_t nParams, const char* name)
{
  Bytes b = Text("CcnK");
  Add(&b, BE(0));
  Add(&b, Text("FxCk"));
  Add(&b, BE(1));
  Add(&b, Text("Tpl1"));
  Add(&b, BE(10203));  // version 1.2.3, decimal
  Add(&b, BE(nParams));
  Add(&b, Name28(name));
  return b;
}

Bytes BankHead(const char* fxMagic, uint32_t byteSize, uint32_t nPrograms, uint32_t current)
{
  Bytes b = Text("CcnK");
  Add(&b, BE(byteSize));
  Add(&b, Text(fxMagic));
  Add(&b, BE(2));
  Add(&b, Text("Tpl1"));
  Add(&b, BE(10203));
  Add(&b, BE(nPrograms));
  Add(&b, BE(current));
  Add(&b, Bytes(124, 0));
  return b;
}

struct Plug : TestPlug
{
  explicit Plug(int nParams = 4, int nPresets = 2, bool chunks = false) : TestPlug(nParams, "1-1 2-2", nPresets, 0, chunks)
  {
    InitCyclicParams();
  }
};

std::vector<double> Values(const IPlugBase& p)
{
  std::vector<double> v;
  for (int i = 0; i < p.NParams(); ++i) v.push_back(p.GetParam(i)->Value());
  return v;
}

// bool, enum 0-3, int -3..3, double -10..10 with shape 2: values whose normalised forms are
// exact floats.
void SetKnown(IPlugBase& p)
{
  const double values[] = {1, 3, 0, -5, 0, 0, -3, 10, 1, 3};
  for (int i = 0; i < p.NParams() && i < 10; ++i) p.GetParam(i)->SetValue(values[i]);
}

class ProgramFiles : public testing::Test
{
protected:
  void TearDown() override
  {
    for (const std::string& f : mFiles) std::remove(f.c_str());
  }
  std::string File(const std::string& name)
  {
    mFiles.push_back(TempPath(name));
    return mFiles.back();
  }
  std::vector<std::string> mFiles;
};
}  // namespace

TEST_F(ProgramFiles, ParameterProgramLayout)
{
  Plug plug(10, 1);
  SetKnown(plug);
  plug.MakeDefaultPreset("Warm", 1);
  std::string path = File("params.fxp");
  ASSERT_TRUE(plug.SaveProgramAsFXP(path.c_str()));
  Bytes expected = ParamProgramHead(10, "Warm");
  for (float f : {1.0f, 1.0f, 0.5f, 0.5f, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f}) Add(&expected, FloatBE(f));
  EXPECT_EQ(96u, expected.size());
  EXPECT_EQ(expected, ReadFile(path));
}

TEST_F(ProgramFiles, ChunkProgramLayout)
{
  TestPlug plug(10, "1-1 2-2", 1, 0, true);  // state chunks with the default 80-byte state
  plug.InitCyclicParams();
  for (int i = 0; i < 10; ++i) plug.GetParam(i)->SetNormalized(0.0);
  std::string path = File("chunk.fxp");
  ASSERT_TRUE(plug.SaveProgramAsFXP(path.c_str()));
  Bytes expected = Text("CcnK");
  Add(&expected, BE(148));
  Add(&expected, Text("FPCh"));
  Add(&expected, BE(1));
  Add(&expected, Text("Tpl1"));
  Add(&expected, BE(10203));
  Add(&expected, BE(10));
  Add(&expected, Name28("empty"));
  Add(&expected, BE(88));
  Add(&expected, Bytes{'t', 'f', 'f', 'p', 0, 0, 1, 0});
  // Minimums of bool, enum, int and double parameters: 0, 0, -3, -10.
  const uint64_t mins[4] = {0, 0, 0xC008000000000000, 0xC024000000000000};
  for (int i = 0; i < 10; ++i) Add(&expected, LEDouble(mins[i % 4]));
  EXPECT_EQ(148u, expected.size());
  EXPECT_EQ(expected, ReadFile(path));
}

TEST_F(ProgramFiles, BankLayouts)
{
  Plug plug(4, 2);
  plug.MakePreset("one", 1, 3, 0, -5.0);
  ASSERT_TRUE(plug.RestorePreset(0));
  std::string path = File("params.fxb");
  ASSERT_TRUE(plug.SaveBankAsFXB(path.c_str()));
  Bytes expected = BankHead("FxBk", 0, 2, 0);
  Add(&expected, ParamProgramHead(4, "one"));
  for (float f : {1.0f, 1.0f, 0.5f, 0.5f}) Add(&expected, FloatBE(f));
  // An uninitialised preset's empty chunk reads as zeros, normalised: bool 0, enum 0, int 0 (of
  // -3..3) and double 0 (of -10..10, shape 2).
  Add(&expected, ParamProgramHead(4, "empty"));
  for (float f : {0.0f, 0.0f, 0.5f, static_cast<float>(std::sqrt(0.5))}) Add(&expected, FloatBE(f));
  EXPECT_EQ(expected, ReadFile(path));

  TestChunkPlug chunky(4, 2);
  chunky.MakeDefaultPreset("c", 1);
  ASSERT_TRUE(chunky.RestorePreset(1));
  ASSERT_TRUE(chunky.SaveBankAsFXB(path.c_str()));
  ByteChunk bank;
  ASSERT_TRUE(chunky.SerializePresets(&bank));
  Bytes file = ReadFile(path);
  Bytes head = BankHead("FBCh", 160 + 8 + bank.Size(), 2, 1);
  Add(&head, BE(8 + bank.Size()));
  Add(&head, Bytes{'t', 'f', 'f', 'p', 0, 0, 1, 0});
  ASSERT_EQ(head.size() + bank.Size(), file.size());
  EXPECT_EQ(head, Bytes(file.begin(), file.begin() + static_cast<long>(head.size())));
  EXPECT_EQ(0, std::memcmp(bank.GetBytes(), file.data() + head.size(), static_cast<size_t>(bank.Size())));
}

TEST_F(ProgramFiles, ProgramsRoundTripInBothForms)
{
  std::string path = File("rt.fxp");
  Plug src(10, 1), dst(10, 1);
  for (int i = 0; i < 10; ++i) src.GetParam(i)->SetNormalized(0.1 * i);
  src.MakeDefaultPreset("Round", 1);
  ASSERT_TRUE(src.SaveProgramAsFXP(path.c_str()));
  dst.MakeDefaultPreset("old", 1);
  dst.programChanges = 0;
  ASSERT_TRUE(dst.LoadProgramFromFXP(path.c_str()));
  for (int i = 0; i < 10; ++i) EXPECT_NEAR(src.GetParam(i)->Value(), dst.GetParam(i)->Value(), 1e-5) << i;
  EXPECT_STREQ("Round", dst.GetPresetName(0));
  EXPECT_EQ(1, dst.programChanges);
  ByteChunk state;
  ASSERT_TRUE(dst.SerializeState(&state));
  EXPECT_TRUE(state.IsEqual(&dst.GetPreset(0)->mChunk));  // stored in the current preset

  TestChunkPlug csrc(4, 1), cdst(4, 1);
  csrc.extra.Set("beyond the parameters");
  csrc.GetParam(3)->SetValue(1.2345678912345);
  ASSERT_TRUE(csrc.SaveProgramAsFXP(path.c_str()));
  ASSERT_TRUE(cdst.LoadProgramFromFXP(path.c_str()));
  EXPECT_STREQ("beyond the parameters", cdst.extra.Get());
  EXPECT_EQ(1.2345678912345, cdst.GetParam(3)->Value());  // chunks keep full precision
}

TEST_F(ProgramFiles, LoadingANamedProgramIntoAnEmptySlotKeepsItsName)
{
  std::string path = File("named.fxp");
  Bytes file = ParamProgramHead(4, "Named");
  for (int i = 0; i < 4; ++i) Add(&file, FloatBE(1.0f));
  WriteFile(path, file);
  Plug plug(4, 2);
  ASSERT_TRUE(plug.LoadProgramFromFXP(path.c_str()));
  EXPECT_TRUE(plug.GetPreset(0)->mInitialized);
  EXPECT_STREQ("Named", plug.GetPresetName(0));
  EXPECT_EQ((std::vector<double>{1, 3, 3, 10}), Values(plug));

  // Without a name the slot becomes a user preset, as a restore of an empty slot does.
  Plug unnamed(4, 2);
  WriteFile(path, [&] {
    Bytes b = ParamProgramHead(4, "");
    for (int i = 0; i < 4; ++i) Add(&b, FloatBE(0.0f));
    return b;
  }());
  ASSERT_TRUE(unnamed.LoadProgramFromFXP(path.c_str()));
  EXPECT_STREQ("user preset 1", unnamed.GetPresetName(0));
}

TEST_F(ProgramFiles, ProgramNamesAreCutToTheFieldBothWays)
{
  std::string path = File("names.fxp");
  Plug plug(1, 3);
  plug.MakePreset(std::string(27, 'a').c_str(), 0);
  plug.MakePreset(std::string(40, 'b').c_str(), 0);
  ASSERT_TRUE(plug.SaveProgramAsFXP(path.c_str()));
  Bytes file = ReadFile(path);
  ASSERT_EQ(60u, file.size());
  EXPECT_EQ(Bytes(27, 'a'), Bytes(file.begin() + 28, file.begin() + 55));
  EXPECT_EQ(0, file[55]);
  ASSERT_TRUE(plug.RestorePreset(1));
  ASSERT_TRUE(plug.SaveProgramAsFXP(path.c_str()));
  file = ReadFile(path);
  EXPECT_EQ(Bytes(27, 'b'), Bytes(file.begin() + 28, file.begin() + 55));
  EXPECT_EQ(0, file[55]);

  // A full 28-byte field without a terminator reads as 28 characters.
  for (int i = 28; i < 56; ++i) file[static_cast<size_t>(i)] = 'z';
  WriteFile(path, file);
  ASSERT_TRUE(plug.LoadProgramFromFXP(path.c_str()));
  EXPECT_EQ(std::string(28, 'z'), plug.GetPresetName(1));
}

TEST_F(ProgramFiles, RefusedProgramsChangeNothing)
{
  std::string path = File("bad.fxp");
  Bytes good = ParamProgramHead(4, "Bad");
  for (int i = 0; i < 4; ++i) Add(&good, FloatBE(1.0f));
  auto patched = [&](size_t at, const Bytes& with) {
    Bytes b = good;
    std::copy(with.begin(), with.end(), b.begin() + static_cast<long>(at));
    return b;
  };
  std::vector<Bytes> bad = {patched(0, Text("CcnX")), patched(8, Text("FxBk")), patched(12, BE(2)),
                            patched(16, Text("Othr")), patched(8, Text("FPCh"))};  // chunk form, no chunks
  for (size_t cut = 0; cut < good.size(); ++cut) bad.push_back(Bytes(good.begin(), good.begin() + static_cast<long>(cut)));

  for (const Bytes& b : bad)
  {
    Plug plug(4, 1);
    plug.MakePreset("before", 0, 0, 0, 0.0);
    ASSERT_TRUE(plug.RestorePreset(0));
    plug.paramChanges.clear();
    WriteFile(path, b);
    EXPECT_FALSE(plug.LoadProgramFromFXP(path.c_str())) << b.size();
    EXPECT_EQ((std::vector<double>{0, 0, 0, 0}), Values(plug)) << b.size();
    EXPECT_STREQ("before", plug.GetPresetName(0));
    EXPECT_TRUE(plug.paramChanges.empty());
    EXPECT_EQ(0, plug.programChanges);
  }
  Plug plug(4, 1);
  EXPECT_FALSE(plug.LoadProgramFromFXP(TempPath("no_such_file.fxp").c_str()));
  std::string fifo = File("fifo.fxp");
  std::remove(fifo.c_str());
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  EXPECT_FALSE(plug.LoadProgramFromFXP(fifo.c_str()));  // refused, without waiting for a writer
  EXPECT_FALSE(plug.SaveProgramAsFXP(fifo.c_str()));
  EXPECT_FALSE(plug.LoadProgramFromFXP(""));
  EXPECT_FALSE(plug.LoadProgramFromFXP(nullptr));
  EXPECT_FALSE(plug.SaveProgramAsFXP(""));
  EXPECT_FALSE(plug.SaveBankAsFXB(nullptr));
}

TEST_F(ProgramFiles, FileValuesAreReadForOurParametersAndClamped)
{
  std::string path = File("values.fxp");
  Bytes file = ParamProgramHead(12, "");  // the file's count is ignored
  for (float f : {-1.0f, 2.0f, std::numeric_limits<float>::quiet_NaN(), 0.5f}) Add(&file, FloatBE(f));
  for (int i = 4; i < 12; ++i) Add(&file, FloatBE(1.0f));
  WriteFile(path, file);
  Plug plug(4, 1);
  plug.GetParam(2)->SetValue(2.0);
  ASSERT_TRUE(plug.LoadProgramFromFXP(path.c_str()));
  EXPECT_EQ((std::vector<double>{0, 3, 2, -5}), Values(plug));  // NaN keeps the int at 2
}

TEST_F(ProgramFiles, ChunkProgramWhoseStateFailsIsUndone)
{
  std::string path = File("cut.fxp");
  TestChunkPlug src(4, 1);
  src.GetParam(3)->SetValue(7.0);
  ASSERT_TRUE(src.SaveProgramAsFXP(path.c_str()));
  Bytes file = ReadFile(path);
  file.resize(file.size() - 4);  // inside the last parameter's value
  WriteFile(path, file);
  TestChunkPlug dst(4, 1);
  dst.extra.Set("mine");
  dst.GetParam(0)->SetValue(1.0);
  EXPECT_FALSE(dst.LoadProgramFromFXP(path.c_str()));
  EXPECT_EQ((std::vector<double>{1, 1, 0, 0}), Values(dst));
  EXPECT_STREQ("mine", dst.extra.Get());
}

TEST_F(ProgramFiles, BanksRoundTripInBothForms)
{
  std::string path = File("rt.fxb");
  Plug src(4, 3);
  src.MakePreset("a", 1, 2, -1, -5.0);
  src.MakePreset("b", 0, 1, 3, 10.0);
  ASSERT_TRUE(src.RestorePreset(1));
  ASSERT_TRUE(src.SaveBankAsFXB(path.c_str()));
  Plug dst(4, 3);
  ASSERT_TRUE(dst.LoadBankFromFXB(path.c_str()));
  EXPECT_EQ(1, dst.GetCurrentPresetIdx());
  EXPECT_STREQ("a", dst.GetPresetName(0));
  EXPECT_STREQ("b", dst.GetPresetName(1));
  EXPECT_EQ((std::vector<double>{0, 1, 3, 10}), Values(dst));
  ASSERT_TRUE(dst.RestorePreset(0));
  EXPECT_EQ((std::vector<double>{1, 2, -1, -5}), Values(dst));
  EXPECT_TRUE(dst.GetPreset(2)->mInitialized);  // the empty slot arrived as a program

  TestChunkPlug csrc(4, 2), cdst(4, 2);
  csrc.extra.Set("one");
  csrc.MakeDefaultPreset("first", 1);
  csrc.extra.Set("two");
  ASSERT_TRUE(csrc.RestorePreset(1));
  ASSERT_TRUE(csrc.SaveBankAsFXB(path.c_str()));
  ASSERT_TRUE(cdst.LoadBankFromFXB(path.c_str()));
  EXPECT_EQ(1, cdst.programChanges);
  for (int i = 0; i < 2; ++i)
  {
    EXPECT_STREQ(csrc.GetPresetName(i), cdst.GetPresetName(i));
    EXPECT_TRUE(csrc.GetPreset(i)->mChunk.IsEqual(&cdst.GetPreset(i)->mChunk)) << i;
  }
  ASSERT_TRUE(cdst.RestorePreset(0));
  EXPECT_STREQ("one", cdst.extra.Get());
}

TEST_F(ProgramFiles, ParameterBankStopsAtABadRecordKeepingThoseBefore)
{
  std::string path = File("bad.fxb");
  Bytes first = ParamProgramHead(4, "P1");
  for (int i = 0; i < 4; ++i) Add(&first, FloatBE(1.0f));
  Bytes second = ParamProgramHead(4, "P2");
  for (int i = 0; i < 4; ++i) Add(&second, FloatBE(0.5f));

  auto load = [&](const Bytes& secondRecord, Plug* plug) {
    Bytes file = BankHead("FxBk", 0, 2, 0);
    Add(&file, first);
    Add(&file, secondRecord);
    WriteFile(path, file);
    return plug->LoadBankFromFXB(path.c_str());
  };
  Bytes nineParams = second;
  std::copy_n(BE(9).begin(), 4, nineParams.begin() + 24);
  std::vector<Bytes> bad = {nineParams};
  for (size_t cut = 0; cut < second.size(); ++cut) bad.push_back(Bytes(second.begin(), second.begin() + static_cast<long>(cut)));
  for (const Bytes& b : bad)
  {
    Plug plug(4, 2);
    plug.MakePreset("keep", 0, 0, 0, 0.0);
    plug.MakePreset("keep too", 0, 0, 0, 0.0);
    EXPECT_FALSE(load(b, &plug)) << b.size();
    EXPECT_STREQ("P1", plug.GetPresetName(0));
    EXPECT_STREQ("keep too", plug.GetPresetName(1));
    EXPECT_EQ(0, plug.GetCurrentPresetIdx());
    EXPECT_EQ((std::vector<double>{1, 3, 3, 10}), Values(plug));
    EXPECT_EQ(1, plug.programChanges);
  }
  Plug plug(4, 2);
  EXPECT_TRUE(load(second, &plug));
  EXPECT_EQ((std::vector<double>{1, 3, 3, 10}), Values(plug));  // the file's current program 0
  EXPECT_STREQ("P2", plug.GetPresetName(1));
}

TEST_F(ProgramFiles, ParameterBankProgramCountsAndCurrentProgram)
{
  std::string path = File("counts.fxb");
  Plug plug(4, 2);
  plug.MakePreset("a", 0, 0, 0, 0.0);
  plug.MakePreset("b", 1, 3, 3, 10.0);
  // No programs: the file's current program is restored.
  WriteFile(path, BankHead("FxBk", 0, 0, 1));
  EXPECT_TRUE(plug.LoadBankFromFXB(path.c_str()));
  EXPECT_EQ(1, plug.GetCurrentPresetIdx());
  EXPECT_EQ((std::vector<double>{1, 3, 3, 10}), Values(plug));

  // Three programs for two presets: the third is read and ignored.
  Bytes file = BankHead("FxBk", 0, 3, 0);
  const float values[3] = {0.0f, 1.0f, 0.5f};
  for (int p = 0; p < 3; ++p)
  {
    Add(&file, ParamProgramHead(4, p == 2 ? "extra" : ""));
    for (int i = 0; i < 4; ++i) Add(&file, FloatBE(values[p]));
  }
  WriteFile(path, file);
  EXPECT_TRUE(plug.LoadBankFromFXB(path.c_str()));
  EXPECT_EQ(2, plug.NPresets());
  EXPECT_STREQ("a", plug.GetPresetName(0));  // empty record names keep the preset's
  EXPECT_EQ(0, plug.GetCurrentPresetIdx());
  ASSERT_TRUE(plug.RestorePreset(1));
  EXPECT_EQ((std::vector<double>{1, 3, 3, 10}), Values(plug));

  Bytes short_ = BankHead("FxBk", 0, 0, 0);
  short_.pop_back();
  WriteFile(path, short_);
  EXPECT_FALSE(plug.LoadBankFromFXB(path.c_str()));
  WriteFile(path, BankHead("FBCh", 0, 0, 0));  // chunk form for a plug-in without chunks
  EXPECT_FALSE(plug.LoadBankFromFXB(path.c_str()));
  Bytes other = BankHead("FxBk", 0, 0, 0);
  std::copy_n(Text("Othr").begin(), 4, other.begin() + 16);
  WriteFile(path, other);
  EXPECT_FALSE(plug.LoadBankFromFXB(path.c_str()));
}

TEST_F(ProgramFiles, ChunkBankEndingEarlyGivesFalse)
{
  std::string path = File("cut.fxb");
  TestChunkPlug src(4, 2);
  src.MakeDefaultPreset("x", 2);
  ASSERT_TRUE(src.SaveBankAsFXB(path.c_str()));
  Bytes file = ReadFile(path);
  for (size_t cut : {size_t{100}, size_t{159}, size_t{163}, size_t{170}, file.size() - 1})
  {
    WriteFile(path, Bytes(file.begin(), file.begin() + static_cast<long>(cut)));
    TestChunkPlug dst(4, 2);
    EXPECT_FALSE(dst.LoadBankFromFXB(path.c_str())) << cut;
    EXPECT_FALSE(dst.GetPreset(1)->mInitialized) << cut;
  }
}

TEST_F(ProgramFiles, SavingReplacesTheTargetWholeKeepingModeAndLinks)
{
  std::string path = File("kept.fxb");
  std::string link = File("link.fxb");
  Plug plug(4, 2);
  ASSERT_TRUE(plug.SaveBankAsFXB(path.c_str()));
  ASSERT_EQ(0, chmod(path.c_str(), 0640));
  std::remove(link.c_str());
  ASSERT_EQ(0, symlink(path.c_str(), link.c_str()));
  plug.MakePreset("new", 1, 1, 1, 1.0);
  ASSERT_TRUE(plug.SaveBankAsFXB(link.c_str()));
  struct stat st;
  ASSERT_EQ(0, lstat(link.c_str(), &st));
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(0, stat(path.c_str(), &st));
  EXPECT_EQ(0640u, st.st_mode & 07777);
  Bytes saved = ReadFile(path);
  ASSERT_GT(saved.size(), 192u);
  EXPECT_EQ(Name28("new"), Bytes(saved.begin() + 156 + 28, saved.begin() + 156 + 56));

  EXPECT_FALSE(plug.SaveProgramAsFXP((testing::TempDir() + "no_such_dir_brelix/p.fxp").c_str()));
  EXPECT_FALSE(plug.SaveProgramAsFXP(testing::TempDir().c_str()));  // a directory
}

TEST_F(ProgramFiles, AFailedWriteLeavesTheOldFileAndNoTemporary)
{
  std::string dir = TempPath("full_dir");
  mkdir(dir.c_str(), 0755);
  std::string path = dir + "/bank.fxb";
  Plug plug(4, 2);
  ASSERT_TRUE(plug.SaveBankAsFXB(path.c_str()));
  Bytes old = ReadFile(path);
  Plug big(200, 20);  // a bank far larger than the limit below
  big.EnsureDefaultPreset();

  // A file size limit makes writes fail as a full disk does.
  struct rlimit saved;
  ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &saved));
  void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 1000;
  ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
  bool ok = big.SaveBankAsFXB(path.c_str());
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(ok);
  EXPECT_EQ(old, ReadFile(path));
  int entries = 0;
  if (DIR* d = opendir(dir.c_str()))
  {
    while (dirent* e = readdir(d))
      if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..")) ++entries;
    closedir(d);
  }
  EXPECT_EQ(1, entries);
  std::remove(path.c_str());
  rmdir(dir.c_str());
}
