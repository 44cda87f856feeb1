// Seeded robustness runs: damaged state, banks and files must never crash, read out of bounds
// (the sanitizer build checks) or leave a parameter outside its range or non-finite.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "ByteChunk.h"
#include "IPreset.h"
#include "TestPlug.h"

namespace
{
using Bytes = std::vector<unsigned char>;

constexpr int kParams = 6;
constexpr int kPresets = 3;

Bytes ToBytes(const ByteChunk& c)
{
  return c.Size() ? Bytes(c.GetBytes(), c.GetBytes() + c.Size()) : Bytes();
}

void ToChunk(const Bytes& b, ByteChunk* c)
{
  c->Clear();
  c->PutBytes(b.data(), static_cast<int>(b.size()));
}

// One damaged copy of a valid input: cut short, bits flipped, bytes overwritten with extreme
// values, a fragment duplicated, or noise of a random length.
Bytes Mutate(const Bytes& valid, std::mt19937& rng)
{
  Bytes b = valid;
  auto pick = [&](size_t n) { return n ? std::uniform_int_distribution<size_t>(0, n - 1)(rng) : 0; };
  switch (rng() % 5)
  {
    case 0: b.resize(pick(b.size() + 1)); break;
    case 1:
      for (int i = 1 + static_cast<int>(rng() % 8); i > 0 && !b.empty(); --i) b[pick(b.size())] ^= 1u << (rng() % 8);
      break;
    case 2:
    {
      static const unsigned char kExtremes[] = {0x00, 0xFF, 0x7F, 0x80, 0xF0, 0x7F};
      for (int i = 1 + static_cast<int>(rng() % 4); i > 0 && !b.empty(); --i)
        b[pick(b.size())] = kExtremes[rng() % sizeof(kExtremes)];
      break;
    }
    case 3:
    {
      size_t from = pick(b.size() + 1), len = pick(b.size() - from + 1);
      Bytes piece(b.begin() + static_cast<long>(from), b.begin() + static_cast<long>(from + len));
      b.insert(b.begin() + static_cast<long>(pick(b.size() + 1)), piece.begin(), piece.end());
      break;
    }
    default:
      b.resize(pick(2 * valid.size() + 16));
      for (unsigned char& c : b) c = static_cast<unsigned char>(rng());
  }
  return b;
}

void ExpectSane(const IPlugBase& plug, bool defaultState)
{
  for (int i = 0; i < plug.NParams(); ++i)
  {
    const IParam* p = plug.GetParam(i);
    double v = p->Value();
    ASSERT_TRUE(std::isfinite(v)) << i;
    ASSERT_GE(v, p->GetMin()) << i;
    ASSERT_LE(v, p->GetMax()) << i;
  }
  for (int i = 0; i < plug.NPresets(); ++i)
  {
    const IPreset* p = plug.GetPreset(i);
    ASSERT_LT(std::strlen(p->mName), static_cast<size_t>(IPreset::kNameSize));
    // Every initialised preset holds a whole state, so that saved banks stay readable.
    if (defaultState && p->mInitialized)
    {
      ASSERT_EQ(8 * plug.NParams(), p->mChunk.Size()) << i;
    }
  }
}

struct FuzzPlug : TestPlug
{
  FuzzPlug() : TestPlug(kParams, "1-1 2-2", kPresets) { InitCyclicParams(); }
};

struct FuzzChunkPlug : TestChunkPlug
{
  FuzzChunkPlug() : TestChunkPlug(kParams, kPresets) {}
};

template <class P>
void MakeSomePresets(P& plug)
{
  plug.MakeDefaultPreset("first", 1);
  plug.GetParam(3)->SetNormalized(0.75);
  plug.GetParam(1)->SetNormalized(1.0);
  plug.MakeDefaultPreset("second preset", 1);
}

// Memory-backed when possible: thousands of rewrites of one file on a disk file system are
// slowed by its flushing of truncated files.
std::string FuzzPath(const char* name)
{
  std::string dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm/" : testing::TempDir();
  return dir + "brelix_fuzz_" + std::to_string(getpid()) + "_" + name;
}

void WriteFile(const std::string& path, const Bytes& b)
{
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

Bytes ReadFile(const std::string& path)
{
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}
}  // namespace

TEST(StateFuzz, UnserializeParamsAndPresets)
{
  std::mt19937 rng(20240611);
  FuzzPlug src;
  MakeSomePresets(src);
  ByteChunk state, bank;
  ASSERT_TRUE(src.SerializeState(&state));
  ASSERT_TRUE(src.SerializePresets(&bank));
  const Bytes validState = ToBytes(state), validBank = ToBytes(bank);

  FuzzPlug plug;
  MakeSomePresets(plug);
  ByteChunk input;
  for (int i = 0; i < 4000; ++i)
  {
    ToChunk(Mutate(validState, rng), &input);
    int start = static_cast<int>(rng() % 4) - 1;
    int pos = plug.UnserializeParams(&input, start);
    ASSERT_TRUE(pos == -1 || (pos >= 0 && pos <= input.Size())) << i;
    ASSERT_NO_FATAL_FAILURE(ExpectSane(plug, true)) << i;
  }
  for (int i = 0; i < 4000; ++i)
  {
    ToChunk(Mutate(validBank, rng), &input);
    int pos = plug.UnserializePresets(&input, 0);
    ASSERT_TRUE(pos == -1 || (pos >= 0 && pos <= input.Size())) << i;
    ASSERT_NO_FATAL_FAILURE(ExpectSane(plug, true)) << i;
    // Whatever was read, a saved bank reads back whole.
    ByteChunk again;
    ASSERT_TRUE(plug.SerializePresets(&again));
    FuzzPlug reader;
    ASSERT_EQ(again.Size(), reader.UnserializePresets(&again, 0)) << i;
  }
}

TEST(StateFuzz, ProgramAndBankFiles)
{
  std::mt19937 rng(7771);
  const std::string path = FuzzPath("file");
  FuzzPlug src;
  FuzzChunkPlug chunkSrc;
  MakeSomePresets(src);
  MakeSomePresets(chunkSrc);
  std::vector<Bytes> programs, banks;
  for (IPlugBase* p : {static_cast<IPlugBase*>(&src), static_cast<IPlugBase*>(&chunkSrc)})
  {
    ASSERT_TRUE(p->SaveProgramAsFXP(path.c_str()));
    programs.push_back(ReadFile(path));
    ASSERT_TRUE(p->SaveBankAsFXB(path.c_str()));
    banks.push_back(ReadFile(path));
  }

  FuzzPlug plug;
  FuzzChunkPlug chunkPlug;
  MakeSomePresets(plug);
  MakeSomePresets(chunkPlug);
  for (int i = 0; i < 6000; ++i)
  {
    bool bank = i % 2;
    const Bytes& valid = bank ? banks[(i / 2) % 2] : programs[(i / 2) % 2];
    WriteFile(path, Mutate(valid, rng));
    IPlugBase& target = (i / 4) % 2 ? static_cast<IPlugBase&>(chunkPlug) : static_cast<IPlugBase&>(plug);
    if (bank)
      target.LoadBankFromFXB(path.c_str());
    else
      target.LoadProgramFromFXP(path.c_str());
    ASSERT_NO_FATAL_FAILURE(ExpectSane(plug, true)) << i;
    ASSERT_NO_FATAL_FAILURE(ExpectSane(chunkPlug, false)) << i;
  }
  std::remove(path.c_str());
}
