#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Base64.h"
#include "ByteChunk.h"
#include "IPreset.h"
#include "TestPlug.h"

namespace
{
using Bytes = std::vector<unsigned char>;

Bytes ToBytes(const ByteChunk& c)
{
  return c.Size() ? Bytes(c.GetBytes(), c.GetBytes() + c.Size()) : Bytes();
}

Bytes DoubleBytes(double v)
{
  ByteChunk c;
  c.PutValue(v);
  return ToBytes(c);
}

std::string ReadText(const std::string& path)
{
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

std::string TempPath(const char* name)
{
  return testing::TempDir() + "brelix_preset_" + name;
}

// Four parameters: bool, enum 0-3, int -3..3, double -10..10 (shape 2).
struct FourParams : TestPlug
{
  explicit FourParams(int nPresets = 3) : TestPlug(4, "1-1 2-2", nPresets) { InitStandardParams(); }
  void Set(double b, double e, double i, double d)
  {
    GetParam(0)->SetValue(b);
    GetParam(1)->SetValue(e);
    GetParam(2)->SetValue(i);
    GetParam(3)->SetValue(d);
  }
  std::vector<double> Values() const
  {
    std::vector<double> v;
    for (int i = 0; i < NParams(); ++i) v.push_back(GetParam(i)->Value());
    return v;
  }
};
}  // namespace

TEST(Presets, StartUninitialisedAndNamedEmpty)
{
  FourParams plug;
  ASSERT_EQ(3, plug.NPresets());
  for (int i = 0; i < 3; ++i)
  {
    EXPECT_FALSE(plug.GetPreset(i)->mInitialized);
    EXPECT_STREQ("empty", plug.GetPresetName(i));
    EXPECT_EQ(0, plug.GetPreset(i)->mChunk.Size());
  }
  EXPECT_STREQ("", plug.GetPresetName(3));
  EXPECT_STREQ("", plug.GetPresetName(-1));
}

TEST(Presets, MakePresetReadsIntsForDiscreteKindsAndDoublesOtherwise)
{
  FourParams plug;
  plug.MakePreset("first", 1, 2, -3, 4.5);
  plug.MakePreset("second", 0, 3, 2, -7.25);
  IPreset* p = plug.GetPreset(0);
  EXPECT_TRUE(p->mInitialized);
  EXPECT_STREQ("first", p->mName);
  Bytes expected;
  for (double v : {1.0, 2.0, -3.0, 4.5})
  {
    Bytes d = DoubleBytes(v);
    expected.insert(expected.end(), d.begin(), d.end());
  }
  EXPECT_EQ(expected, ToBytes(p->mChunk));
  EXPECT_TRUE(plug.RestorePreset(1));
  EXPECT_EQ((std::vector<double>{0, 3, 2, -7.25}), plug.Values());
  EXPECT_EQ(1, plug.GetCurrentPresetIdx());
}

TEST(Presets, NamedParamsFillTheRestFromCurrentValues)
{
  FourParams plug;
  plug.Set(1, 2, 1, 5.5);
  // Index 7 lies outside: that pair is skipped without disturbing the pairs after it.
  plug.MakePresetFromNamedParams("named", 4, 3, -1.5, 7, 0.25, 2, -2, 1, 0);
  plug.MakePresetFromNamedParams("marker", 1, 3, 9.999e-08);
  plug.Set(0, 0, 0, 0);
  ASSERT_TRUE(plug.RestorePreset("named"));
  EXPECT_EQ((std::vector<double>{1, 0, -2, -1.5}), plug.Values());
  // A value equal to the marker reads as "not given": the value current at making time.
  ASSERT_TRUE(plug.RestorePreset("marker"));
  EXPECT_EQ(5.5, plug.Values()[3]);
}

TEST(Presets, DefaultPresetsTakeTheCurrentStateUntilNoneIsLeft)
{
  FourParams plug(4);
  plug.Set(1, 3, -1, 2);
  plug.MakeDefaultPreset("-", 1);
  plug.MakeDefaultPreset(nullptr, 2);
  EXPECT_STREQ("-", plug.GetPresetName(0));
  EXPECT_STREQ("Empty", plug.GetPresetName(1));
  EXPECT_STREQ("Empty", plug.GetPresetName(2));
  EXPECT_FALSE(plug.GetPreset(3)->mInitialized);
  EXPECT_TRUE(plug.GetPreset(0)->mChunk.IsEqual(&plug.GetPreset(2)->mChunk));
  plug.EnsureDefaultPreset();
  EXPECT_TRUE(plug.GetPreset(3)->mInitialized);
  EXPECT_STREQ("Empty", plug.GetPresetName(3));
  plug.MakePreset("none left", 0, 0, 0, 0.0);  // no uninitialised preset: nothing happens
  for (int i = 0; i < 4; ++i) EXPECT_STRNE("none left", plug.GetPresetName(i));
}

TEST(Presets, BlobIsBase64DecodedIntoAZeroFilledChunk)
{
  FourParams plug(4);
  plug.MakePresetFromBlob("a", "AAE=", 4);
  EXPECT_EQ((Bytes{0, 1, 0, 0}), ToBytes(plug.GetPreset(0)->mChunk));
  plug.MakePresetFromBlob("b", "aGVsbG8=", 5);
  EXPECT_EQ((Bytes{'h', 'e', 'l', 'l', 'o'}), ToBytes(plug.GetPreset(1)->mChunk));
  plug.MakePresetFromBlob("c", "aGVs bG8=", 5);  // stops at the blank
  EXPECT_EQ((Bytes{'h', 'e', 'l', 0, 0}), ToBytes(plug.GetPreset(2)->mChunk));
  plug.MakePresetFromBlob("d", "aGVsbG8=", 2);  // stops at the size
  EXPECT_EQ((Bytes{'h', 'e'}), ToBytes(plug.GetPreset(3)->mChunk));
}

TEST(Presets, MakingOperationsRefuseMissingInput)
{
  FourParams plug(2);
  plug.MakePresetFromBlob("x", nullptr, 4);
  plug.MakePresetFromBlob("x", "AAAA", -1);
  plug.MakePresetFromChunk("x", nullptr);
  EXPECT_FALSE(plug.GetPreset(0)->mInitialized);
  ByteChunk c;
  c.PutValue(1.0);
  plug.MakePresetFromChunk(nullptr, &c);
  EXPECT_TRUE(plug.GetPreset(0)->mInitialized);
  EXPECT_STREQ("", plug.GetPresetName(0));
}

TEST(Presets, LongNamesAreCutToTheFieldWithoutSplittingACharacter)
{
  FourParams plug(2);
  std::string longName(300, 'n');
  plug.MakePreset(longName.c_str(), 0, 0, 0, 0.0);
  EXPECT_EQ(std::string(255, 'n'), plug.GetPresetName(0));
  std::string utf8(254, 'u');
  utf8 += "\xC3\xA9tail";  // a two-byte character across the cut
  plug.MakePreset(utf8.c_str(), 0, 0, 0, 0.0);
  EXPECT_EQ(std::string(254, 'u'), plug.GetPresetName(1));
}

TEST(Presets, UserPresetNamesCountExistingOnes)
{
  WDL_PtrList<IPreset> list;
  char name[IPreset::kNameSize];
  IPlugBase::MakeDefaultUserPresetName(&list, name);
  EXPECT_STREQ("user preset 1", name);
  IPreset a, b, c;
  a.SetName("user preset 1");
  b.SetName("my user preset");
  c.SetName("User Preset");  // case-sensitive: not counted
  list.Add(&a);
  list.Add(&b);
  list.Add(&c);
  IPlugBase::MakeDefaultUserPresetName(&list, name);
  EXPECT_STREQ("user preset 3", name);
  EXPECT_EQ(nullptr, IPlugBase::GetNextUninitializedPreset(nullptr));
  EXPECT_EQ(&a, IPlugBase::GetNextUninitializedPreset(&list));
  list.Empty(false);
}

TEST(Presets, RestoringAnEmptySlotStoresTheCurrentStateAsAUserPreset)
{
  FourParams plug(3);
  plug.MakePreset("user preset 1", 0, 0, 0, 0.0);
  plug.MakePreset("user preset 2", 0, 0, 0, 0.0);
  plug.Set(1, 2, 3, 4);
  plug.paramChanges.clear();
  EXPECT_TRUE(plug.RestorePreset(2));
  EXPECT_STREQ("user preset 3", plug.GetPresetName(2));
  EXPECT_TRUE(plug.GetPreset(2)->mInitialized);
  EXPECT_EQ(2, plug.GetCurrentPresetIdx());
  EXPECT_TRUE(plug.paramChanges.empty());  // nothing was applied
  plug.Set(0, 0, 0, 0);
  EXPECT_TRUE(plug.RestorePreset(2));
  EXPECT_EQ((std::vector<double>{1, 2, 3, 4}), plug.Values());
}

TEST(Presets, FailedRestoresKeepTheCurrentIndex)
{
  FourParams plug(3);
  plug.MakePreset("a", 1, 1, 1, 1.0);
  plug.MakePreset("b", 0, 2, 2, 2.0);
  ByteChunk truncated;
  truncated.PutValue(1.0);
  plug.MakePresetFromChunk("cut", &truncated);
  ASSERT_TRUE(plug.RestorePreset(1));
  EXPECT_FALSE(plug.RestorePreset(-1));
  EXPECT_FALSE(plug.RestorePreset(3));
  EXPECT_FALSE(plug.RestorePreset("A"));
  EXPECT_FALSE(plug.RestorePreset(""));
  EXPECT_FALSE(plug.RestorePreset(static_cast<const char*>(nullptr)));
  EXPECT_FALSE(plug.RestorePreset("cut"));
  EXPECT_EQ(1, plug.GetCurrentPresetIdx());
  EXPECT_TRUE(plug.RestorePreset("a"));
  EXPECT_EQ(0, plug.GetCurrentPresetIdx());
}

TEST(Presets, ModifyCurrentPresetStoresStateAndRenamesButKeepsTheFlag)
{
  FourParams plug(2);
  plug.MakePreset("a", 0, 0, 0, 0.0);
  ASSERT_TRUE(plug.RestorePreset(0));
  plug.Set(1, 1, 1, 1);
  plug.ModifyCurrentPreset();
  EXPECT_STREQ("a", plug.GetPresetName(0));
  plug.ModifyCurrentPreset("");
  EXPECT_STREQ("a", plug.GetPresetName(0));
  plug.ModifyCurrentPreset("renamed");
  EXPECT_STREQ("renamed", plug.GetPresetName(0));
  EXPECT_EQ(32, plug.GetPreset(0)->mChunk.Size());  // emptied first, not appended to
  plug.Set(0, 0, 0, 0);
  ASSERT_TRUE(plug.RestorePreset(0));
  EXPECT_EQ((std::vector<double>{1, 1, 1, 1}), plug.Values());
  EXPECT_FALSE(plug.GetPreset(1)->mInitialized);
}

TEST(Presets, PruningKeepsOrderAndTheCurrentPreset)
{
  FourParams plug(5);
  plug.MakePreset("a", 0, 0, 0, 0.0);
  plug.MakePreset("b", 0, 0, 0, 0.0);
  // Arranged as a, empty, b (current), empty, empty.
  plug.GetPreset(1)->mInitialized = false;
  plug.GetPreset(2)->mInitialized = true;
  plug.GetPreset(2)->SetName("b");
  plug.GetPreset(2)->mChunk.PutBytes(&plug.GetPreset(0)->mChunk);
  ASSERT_TRUE(plug.RestorePreset(2));
  plug.GetPreset(3)->mInitialized = false;
  plug.PruneUninitializedPresets();
  ASSERT_EQ(2, plug.NPresets());
  EXPECT_STREQ("a", plug.GetPresetName(0));
  EXPECT_STREQ("b", plug.GetPresetName(1));
  EXPECT_EQ(1, plug.GetCurrentPresetIdx());

  FourParams other(3);
  other.MakePreset("only", 0, 0, 0, 0.0);
  ASSERT_TRUE(other.RestorePreset(2));  // becomes a user preset: initialised
  other.GetPreset(2)->mInitialized = false;
  other.PruneUninitializedPresets();
  EXPECT_EQ(1, other.NPresets());
  EXPECT_EQ(0, other.GetCurrentPresetIdx());
}

TEST(PresetBank, LayoutIsNameFlagAndStateForEachPreset)
{
  FourParams plug(2);
  plug.MakePreset("ab", 1, 2, 3, 4.0);
  ByteChunk bank;
  ASSERT_TRUE(plug.SerializePresets(&bank));
  Bytes expected = {2, 0, 0, 0, 'a', 'b', 1};
  for (double v : {1.0, 2.0, 3.0, 4.0})
  {
    Bytes d = DoubleBytes(v);
    expected.insert(expected.end(), d.begin(), d.end());
  }
  Bytes second = {5, 0, 0, 0, 'e', 'm', 'p', 't', 'y', 0};
  expected.insert(expected.end(), second.begin(), second.end());
  EXPECT_EQ(expected, ToBytes(bank));
  EXPECT_FALSE(plug.SerializePresets(nullptr));
}

TEST(PresetBank, RoundTripRestoresNamesFlagsChunksAndTheCurrentPreset)
{
  FourParams src(3), dst(3);
  src.MakePreset("one", 1, 1, -1, 1.5);
  src.MakePreset("two", 0, 3, 3, -9.0);
  ByteChunk bank;
  bank.PutValue(int32_t{77});
  ASSERT_TRUE(src.SerializePresets(&bank));
  dst.MakePreset("old", 1, 1, 1, 1.0);
  dst.MakePreset("old2", 1, 1, 1, 1.0);
  dst.MakePreset("old3", 1, 1, 1, 1.0);
  ASSERT_TRUE(dst.RestorePreset(1));
  EXPECT_EQ(bank.Size(), dst.UnserializePresets(&bank, 4));
  for (int i = 0; i < 3; ++i)
  {
    EXPECT_STREQ(src.GetPresetName(i), dst.GetPresetName(i));
    EXPECT_EQ(src.GetPreset(i)->mInitialized, dst.GetPreset(i)->mInitialized);
    EXPECT_TRUE(src.GetPreset(i)->mChunk.IsEqual(&dst.GetPreset(i)->mChunk)) << i;
  }
  EXPECT_EQ((std::vector<double>{0, 3, 3, -9.0}), dst.Values());  // preset 1 restored
}

// Cutting the bank anywhere leaves the preset whose record is cut, and every later one, as
// it was; presets before the cut take their new contents, and every saved bank stays readable.
TEST(PresetBank, RecordsEndingEarlyChangeNothingOfThatPreset)
{
  FourParams src(3);
  src.MakePreset("new one", 1, 1, -1, 1.5);
  src.MakePreset("new two", 0, 3, 3, -9.0);
  ByteChunk bank;
  ASSERT_TRUE(src.SerializePresets(&bank));
  const int recordEnds[3] = {4 + 7 + 1 + 32, 4 + 7 + 1 + 32 + 4 + 7 + 1 + 32, bank.Size()};
  for (int cut = 0; cut < bank.Size(); ++cut)
  {
    FourParams dst(3);
    dst.MakePreset("old a", 0, 0, 0, 0.0);
    dst.MakePreset("old b", 1, 2, 1, 2.0);
    ByteChunk bTruncated;
    ASSERT_GE(bTruncated.PutBytes(bank.GetBytes(), cut), 0);
    EXPECT_EQ(-1, dst.UnserializePresets(&bTruncated, 0));
    int complete = 0;
    while (complete < 3 && recordEnds[complete] <= cut) ++complete;
    for (int i = 0; i < 3; ++i)
    {
      const char* expectedName = i < complete ? src.GetPresetName(i) : (i == 0 ? "old a" : i == 1 ? "old b" : "empty");
      EXPECT_STREQ(expectedName, dst.GetPresetName(i)) << "cut " << cut << " preset " << i;
      bool expectedInit = i < complete ? src.GetPreset(i)->mInitialized : i < 2;
      EXPECT_EQ(expectedInit, dst.GetPreset(i)->mInitialized) << "cut " << cut << " preset " << i;
      EXPECT_EQ(expectedInit ? 32 : 0, dst.GetPreset(i)->mChunk.Size()) << "cut " << cut << " preset " << i;
    }
    // Preset 0 is current and restored afterwards, whatever was applied on the way.
    EXPECT_EQ(complete > 0 ? (std::vector<double>{1, 1, -1, 1.5}) : (std::vector<double>{0, 0, 0, 0}), dst.Values())
      << cut;
  }
}

TEST(PresetBank, DamagedNamesAreRefusedOrCut)
{
  FourParams plug(1);
  plug.MakePreset("keep", 1, 1, 1, 1.0);
  ByteChunk negative;
  negative.PutValue(int32_t{-5});
  negative.PutBool(false);
  EXPECT_EQ(-1, plug.UnserializePresets(&negative, 0));
  EXPECT_STREQ("keep", plug.GetPresetName(0));
  EXPECT_TRUE(plug.GetPreset(0)->mInitialized);

  ByteChunk longName;
  longName.PutString(std::string(1000, 'x').c_str());
  longName.PutBool(true);
  ASSERT_TRUE(plug.SerializeState(&longName));
  EXPECT_EQ(longName.Size(), plug.UnserializePresets(&longName, 0));
  EXPECT_EQ(std::string(255, 'x'), plug.GetPresetName(0));
  EXPECT_EQ(-1, plug.UnserializePresets(nullptr, 0));
}

TEST(PresetDumps, SourceCodeRecreatesTheCurrentValues)
{
  FourParams plug(1);
  plug.Set(1, 2, -3, 1.5);
  const char* names[] = {"kBypass", "kModel", nullptr, "kGain"};
  std::string path = TempPath("src.txt");
  plug.DumpPresetSrcCode(path.c_str(), names);
  EXPECT_EQ("  MakePresetFromNamedParams(\"name\", 4,\n"
            "    kBypass, true,\n"
            "    kModel, 2,\n"
            "    2, -3,\n"
            "    kGain, 1.500000);\n",
            ReadText(path));
  std::remove(path.c_str());
  plug.DumpPresetSrcCode(path.c_str(), nullptr);
  EXPECT_FALSE(std::ifstream(path).good());
}

TEST(PresetDumps, BlobLinesHoldTheWholeBase64TextOfAnySize)
{
  FourParams plug(3);
  ByteChunk small;
  for (unsigned char b : {'h', 'e', 'l', 'l', 'o'}) small.PutBytes(&b, 1);
  plug.MakePresetFromChunk("say \"hi\"", &small);
  ASSERT_TRUE(plug.RestorePreset(1));  // current: an empty slot, now a user preset of 32 bytes
  std::string path = TempPath("blob.txt");
  plug.DumpPresetBlob(path.c_str());
  ByteChunk state;
  plug.SerializeState(&state);
  std::string line = ReadText(path);
  EXPECT_EQ(0u, line.find("MakePresetFromBlob(\"name\", \""));
  EXPECT_EQ("\", 32);\n", line.substr(line.size() - 8));

  ByteChunk large;
  for (int i = 0; i < 5000; ++i)
  {
    unsigned char b = static_cast<unsigned char>(i * 7);
    large.PutBytes(&b, 1);
  }
  plug.MakePresetFromChunk("big", &large);
  plug.DumpBankBlob(path.c_str());
  std::string bank = ReadText(path);
  std::istringstream lines(bank);
  std::string l0, l1, l2;
  std::getline(lines, l0);
  std::getline(lines, l1);
  std::getline(lines, l2);
  EXPECT_EQ("MakePresetFromBlob(\"say \\\"hi\\\"\", \"aGVsbG8=\", 5);", l0);
  EXPECT_EQ(0u, l1.find("MakePresetFromBlob(\"user preset 1\", \""));
  // 5000 bytes take 6668 characters; decoding them gives the chunk back.
  std::string prefix = "MakePresetFromBlob(\"big\", \"";
  ASSERT_EQ(0u, l2.find(prefix));
  std::string text = l2.substr(prefix.size(), 6668);
  EXPECT_EQ("\", 5000);", l2.substr(prefix.size() + 6668));
  FourParams decoded(1);
  decoded.MakePresetFromBlob("big", text.c_str(), 5000);
  EXPECT_TRUE(decoded.GetPreset(0)->mChunk.IsEqual(&large));
  std::remove(path.c_str());

  std::string missingDir = testing::TempDir() + "no_such_dir_brelix/bank.txt";
  plug.DumpBankBlob(missingDir.c_str());
  plug.DumpPresetBlob(missingDir.c_str());
  EXPECT_FALSE(std::ifstream(missingDir).good());
}

TEST(Base64, EncodesWithPaddingAndDecodesBack)
{
  char text[16];
  const unsigned char bytes[] = {0, 1, 0, 0, 0xFB, 0xFF};
  EXPECT_EQ(8, Base64::Encode(bytes, 4, text));
  EXPECT_STREQ("AAEAAA==", text);
  EXPECT_EQ(8, Base64::Encode(bytes, 6, text));
  EXPECT_STREQ("AAEAAPv/", text);
  EXPECT_EQ(0, Base64::Encode(bytes, 0, text));
  EXPECT_STREQ("", text);
  EXPECT_EQ(-1, Base64::EncodedLength(-1));
  unsigned char out[8] = {};
  EXPECT_EQ(6, Base64::Decode("AAEAAPv/", out, 8));
  EXPECT_EQ(0, std::memcmp(bytes, out, 6));
  EXPECT_EQ(4, Base64::Decode("AAEAAA==", out, 8));
}
