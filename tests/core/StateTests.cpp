#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "ByteChunk.h"
#include "TestPlug.h"
#include "WDL_String.h"

namespace
{
using Bytes = std::vector<unsigned char>;

Bytes ToBytes(const ByteChunk& c)
{
  return c.Size() ? Bytes(c.GetBytes(), c.GetBytes() + c.Size()) : Bytes();
}

void Append(ByteChunk* c, const Bytes& b)
{
  ASSERT_GE(c->PutBytes(b.data(), static_cast<int>(b.size())), 0);
}

// The little-endian bytes of an IEEE 754 double given by its bit pattern.
Bytes DoubleBits(uint64_t bits)
{
  Bytes b;
  for (int i = 0; i < 8; ++i) b.push_back(static_cast<unsigned char>(bits >> (8 * i)));
  return b;
}

// Ten parameters of every kind; parameter 9's range excludes 0.
struct TenParams : TestPlug
{
  TenParams() : TestPlug(10, "1-1 2-2", 1)
  {
    InitCyclicParams(9);
    GetParam(9)->InitDouble("Far", 3.0, 2.0, 5.0, 0.5);
  }
};
}  // namespace

TEST(ByteChunk, ValuesAreLittleEndianWithoutAlignment)
{
  ByteChunk c;
  EXPECT_EQ(4, c.PutValue(int32_t{0x01020304}));
  EXPECT_EQ(5, c.PutBool(true));
  EXPECT_EQ(13, c.PutValue(1.0));
  EXPECT_EQ(17, c.PutValue(int32_t{-2}));
  Bytes expected = {0x04, 0x03, 0x02, 0x01, 0x01, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0xFE, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(expected, ToBytes(c));

  double d = 0.0;
  EXPECT_EQ(13, c.GetValue(&d, 5));  // unaligned read
  EXPECT_EQ(1.0, d);
  int32_t i = 0;
  EXPECT_EQ(17, c.GetValue(&i, 13));
  EXPECT_EQ(-2, i);
  bool b = false;
  EXPECT_EQ(5, c.GetBool(&b, 4));
  EXPECT_TRUE(b);
}

TEST(ByteChunk, ReadsPastTheEndFailAndLeaveTheValue)
{
  ByteChunk c;
  Append(&c, {1, 2, 3, 4, 5, 6, 7});
  double d = 42.0;
  EXPECT_EQ(-1, c.GetValue(&d, 0));
  EXPECT_EQ(42.0, d);
  int32_t i = 7;
  EXPECT_EQ(-1, c.GetValue(&i, 4));
  EXPECT_EQ(-1, c.GetValue(&i, -1));
  EXPECT_EQ(7, i);
  EXPECT_EQ(7, c.GetValue(&i, 3));  // ends exactly at the end
  EXPECT_EQ(0x07060504, i);
  bool b = false;
  EXPECT_EQ(-1, c.GetBool(&b, 7));
  EXPECT_EQ(7, c.GetBool(&b, 6));
  EXPECT_TRUE(b);  // any non-zero byte
  unsigned char raw[2];
  EXPECT_EQ(-1, c.GetBytes(raw, 2, 6));
  EXPECT_EQ(-1, c.GetBytes(raw, -1, 0));
}

TEST(ByteChunk, StringsAreLengthThenCharactersCutAtZero)
{
  ByteChunk c;
  EXPECT_EQ(7, c.PutString("abc"));
  EXPECT_EQ(11, c.PutString(nullptr));
  EXPECT_EQ((Bytes{3, 0, 0, 0, 'a', 'b', 'c', 0, 0, 0, 0}), ToBytes(c));
  WDL_String s("old");
  EXPECT_EQ(7, c.GetString(&s, 0));
  EXPECT_STREQ("abc", s.Get());
  EXPECT_EQ(11, c.GetString(&s, 7));
  EXPECT_STREQ("", s.Get());

  ByteChunk z;
  Append(&z, {5, 0, 0, 0, 'a', 'b', 0, 'c', 'd', 'x'});
  EXPECT_EQ(9, z.GetString(&s, 0));  // the position passes all L bytes
  EXPECT_STREQ("ab", s.Get());
}

TEST(ByteChunk, GetStringRefusesNegativeAndOverlongLengths)
{
  WDL_String s("kept");
  for (Bytes len : {Bytes{0xFC, 0xFF, 0xFF, 0xFF}, Bytes{0xFF, 0xFF, 0xFF, 0x7F}, Bytes{0xFD, 0xFF, 0xFF, 0x7F},
                    Bytes{5, 0, 0, 0}, Bytes{0, 0, 0, 0x80}})
  {
    ByteChunk c;
    Append(&c, {9, 9});  // the string starts at 2
    Append(&c, len);
    Append(&c, {'w', 'x', 'y', 'z'});
    EXPECT_EQ(-1, c.GetString(&s, 2)) << int(len[0]) << " " << int(len[3]);
    EXPECT_STREQ("kept", s.Get());
  }
  ByteChunk fits;
  Append(&fits, {4, 0, 0, 0, 'w', 'x', 'y', 'z'});
  EXPECT_EQ(8, fits.GetString(&s, 0));
  EXPECT_STREQ("wxyz", s.Get());
  ByteChunk shortLength;
  Append(&shortLength, {4, 0, 0});
  EXPECT_EQ(-1, shortLength.GetString(&s, 0));
}

TEST(ByteChunk, PutBytesAppendsAnotherChunkOrItself)
{
  ByteChunk a, b;
  Append(&a, {1, 2});
  Append(&b, {3});
  EXPECT_EQ(3, a.PutBytes(&b));
  EXPECT_EQ(6, a.PutBytes(&a));
  EXPECT_EQ((Bytes{1, 2, 3, 1, 2, 3}), ToBytes(a));
  // A source inside the chunk stays valid when growing moves the memory.
  for (int i = 0; i < 14; ++i) ASSERT_GE(a.PutBytes(a.GetBytes() + 1, 2), 0);
  EXPECT_EQ(34, a.Size());
  EXPECT_EQ(2, a.GetBytes()[32]);
  EXPECT_EQ(3, a.GetBytes()[33]);
  EXPECT_EQ(-1, a.PutBytes(nullptr, 1));
  EXPECT_EQ(-1, a.PutBytes(a.GetBytes(), -1));
  EXPECT_EQ(34, a.PutBytes(nullptr, 0));
}

TEST(ByteChunk, ResizeZeroFillsAndIsEqualComparesBytes)
{
  ByteChunk a, b;
  Append(&a, {7, 7});
  EXPECT_EQ(5, a.Resize(5));
  EXPECT_EQ((Bytes{7, 7, 0, 0, 0}), ToBytes(a));
  EXPECT_EQ(-1, a.Resize(-1));
  EXPECT_EQ(5, a.Size());
  Append(&b, {7, 7, 0, 0, 0});
  EXPECT_TRUE(a.IsEqual(&b));
  b.GetBytes()[4] = 1;
  EXPECT_FALSE(a.IsEqual(&b));
  EXPECT_FALSE(a.IsEqual(nullptr));
  a.Clear();
  EXPECT_EQ(0, a.Size());
  EXPECT_EQ(nullptr, a.GetBytes());
  ByteChunk empty;
  EXPECT_TRUE(a.IsEqual(&empty));
}

TEST(State, ParamsSerialiseAsPlainDoublesInIndexOrder)
{
  TenParams plug;
  const double values[10] = {1, 2, -2, -2.5, 0, 3, 3, 7.25, 1, 4.5};
  for (int i = 0; i < 10; ++i) plug.GetParam(i)->SetValue(values[i]);
  ByteChunk c;
  ASSERT_TRUE(plug.SerializeParams(&c));
  ASSERT_EQ(80, c.Size());
  const uint64_t bits[10] = {0x3FF0000000000000, 0x4000000000000000, 0xC000000000000000, 0xC004000000000000, 0,
                             0x4008000000000000, 0x4008000000000000, 0x401D000000000000, 0x3FF0000000000000,
                             0x4012000000000000};
  Bytes expected;
  for (uint64_t b : bits)
  {
    Bytes d = DoubleBits(b);
    expected.insert(expected.end(), d.begin(), d.end());
  }
  EXPECT_EQ(expected, ToBytes(c));

  // SerializeState appends to what the chunk holds already.
  ByteChunk prefixed;
  Append(&prefixed, {0xAA});
  ASSERT_TRUE(plug.SerializeState(&prefixed));
  EXPECT_EQ(81, prefixed.Size());
}

TEST(State, RoundTripRestoresValuesAndCallsOnParamChangeForAll)
{
  TenParams src, dst;
  for (int i = 0; i < 10; ++i) src.GetParam(i)->SetNormalized(0.3 + 0.05 * i);
  ByteChunk c;
  Append(&c, {1, 2, 3});
  ASSERT_TRUE(src.SerializeState(&c));
  dst.paramChanges.clear();
  EXPECT_EQ(83, dst.UnserializeState(&c, 3));
  for (int i = 0; i < 10; ++i) EXPECT_EQ(src.GetParam(i)->Value(), dst.GetParam(i)->Value()) << i;
  EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}), dst.paramChanges);
}

TEST(State, ChunkEndingEarlySetsTheParameterThereToItsValueNearestZero)
{
  TenParams src, dst;
  for (int i = 0; i < 10; ++i) src.GetParam(i)->SetNormalized(1.0);
  ByteChunk c;
  ASSERT_TRUE(src.SerializeParams(&c));
  ASSERT_EQ(76, c.Resize(76));
  dst.paramChanges.clear();
  EXPECT_EQ(-1, dst.UnserializeParams(&c, 0));
  for (int i = 0; i < 9; ++i) EXPECT_EQ(src.GetParam(i)->Value(), dst.GetParam(i)->Value()) << i;
  EXPECT_EQ(2.0, dst.GetParam(9)->Value());
  EXPECT_EQ(10u, dst.paramChanges.size());

  // Nothing is read from a negative position, but the hooks still run.
  dst.paramChanges.clear();
  dst.GetParam(9)->SetValue(4.0);
  EXPECT_EQ(-1, dst.UnserializeParams(&c, -1));
  EXPECT_EQ(4.0, dst.GetParam(9)->Value());
  EXPECT_EQ(10u, dst.paramChanges.size());
  EXPECT_EQ(-1, dst.UnserializeParams(nullptr, 0));
}

TEST(State, StoredValuesAreClampedAndNaNIsIgnored)
{
  TestPlug plug(4);
  plug.InitStandardParams();
  plug.GetParam(3)->SetValue(1.5);
  ByteChunk c;
  c.PutValue(7.0);                                       // bool: clamps to 1
  c.PutValue(-std::numeric_limits<double>::infinity());  // enum: clamps to 0
  c.PutValue(std::numeric_limits<double>::infinity());   // int: clamps to 3
  c.PutValue(std::numeric_limits<double>::quiet_NaN());  // double: keeps 1.5
  EXPECT_EQ(32, plug.UnserializeParams(&c, 0));
  EXPECT_EQ(1.0, plug.GetParam(0)->Value());
  EXPECT_EQ(0.0, plug.GetParam(1)->Value());
  EXPECT_EQ(3.0, plug.GetParam(2)->Value());
  EXPECT_EQ(1.5, plug.GetParam(3)->Value());
}

TEST(State, CompareStateMatchesInSinglePrecisionAtADoubleIndex)
{
  TestPlug plug(3);
  plug.InitStandardParams();
  plug.GetParam(0)->SetValue(1.0);
  plug.GetParam(1)->SetValue(2.0);
  plug.GetParam(2)->SetValue(-3.0);
  std::vector<unsigned char> data;
  for (uint64_t b : {uint64_t{0x4059000000000000} /* 100, skipped */, uint64_t{0x3FF0000000000000},
                     uint64_t{0x4000000000000000}, uint64_t{0xC008000000000000}})
  {
    Bytes d = DoubleBits(b);
    data.insert(data.end(), d.begin(), d.end());
  }
  EXPECT_TRUE(plug.CompareState(data.data(), 1));
  EXPECT_FALSE(plug.CompareState(data.data(), 0));
  EXPECT_FALSE(plug.CompareState(nullptr, 0));
  plug.GetParam(2)->SetValue(-2.99999999);  // equal once rounded to float
  EXPECT_TRUE(plug.CompareState(data.data(), 1));
  plug.GetParam(2)->SetValue(-2.9999);
  EXPECT_FALSE(plug.CompareState(data.data(), 1));
  TestPlug none(0);
  EXPECT_TRUE(none.CompareState(nullptr, 0));
}

TEST(State, VersionHeaderIsTffpThenPackedVersion)
{
  ByteChunk c;
  Append(&c, {9, 9, 9});
  IPlugBase::InitChunkWithIPlugVer(&c);
  EXPECT_EQ((Bytes{'t', 'f', 'f', 'p', 0, 0, 1, 0}), ToBytes(c));
  int pos = 0;
  EXPECT_EQ(65536, IPlugBase::GetIPlugVerFromChunk(&c, &pos));
  EXPECT_EQ(8, pos);

  ByteChunk other;
  Append(&other, {1, 2, 3, 4, 0, 0, 1, 0});
  pos = 0;
  EXPECT_EQ(0, IPlugBase::GetIPlugVerFromChunk(&other, &pos));
  EXPECT_EQ(0, pos);

  ByteChunk cut;
  Append(&cut, {0, 't', 'f', 'f', 'p', 0, 0, 1});
  pos = 1;
  EXPECT_EQ(0, IPlugBase::GetIPlugVerFromChunk(&cut, &pos));
  EXPECT_EQ(-1, pos);
  pos = 5;  // too few bytes for the magic: unchanged
  EXPECT_EQ(0, IPlugBase::GetIPlugVerFromChunk(&cut, &pos));
  EXPECT_EQ(5, pos);
}
