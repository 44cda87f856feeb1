#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "IMidiMsg.h"

TEST(MidiMsg, ClearZeroesEveryField)
{
  IMidiMsg msg(17, 0x93, 60, 100);
  msg.Clear();
  EXPECT_EQ(0, msg.mOffset);
  EXPECT_EQ(0, msg.mStatus);
  EXPECT_EQ(0, msg.mData1);
  EXPECT_EQ(0, msg.mData2);
  EXPECT_EQ(IMidiMsg::kNone, msg.StatusMsg());
}

TEST(MidiMsg, NoteOnAndOff)
{
  IMidiMsg msg;
  msg.MakeNoteOnMsg(60, 100, 12, 3);
  EXPECT_EQ(0x93, msg.mStatus);
  EXPECT_EQ(12, msg.mOffset);
  EXPECT_EQ(IMidiMsg::kNoteOn, msg.StatusMsg());
  EXPECT_EQ(3, msg.Channel());
  EXPECT_EQ(60, msg.NoteNumber());
  EXPECT_EQ(100, msg.Velocity());
  EXPECT_EQ(-1, msg.PolyAfterTouch());
  EXPECT_EQ(-1, msg.Program());
  EXPECT_EQ(0.0, msg.PitchWheel());

  msg.MakeNoteOffMsg(61, 5, 15);
  EXPECT_EQ(0x8F, msg.mStatus);
  EXPECT_EQ(5, msg.mOffset);
  EXPECT_EQ(IMidiMsg::kNoteOff, msg.StatusMsg());
  EXPECT_EQ(15, msg.Channel());
  EXPECT_EQ(61, msg.NoteNumber());
  EXPECT_EQ(0, msg.Velocity());
}

TEST(MidiMsg, OutOfRangeArgumentsKeepTheMessageValid)
{
  IMidiMsg msg;
  // Channel 32 or-ed in unclamped would turn a note on into a control change.
  msg.MakeNoteOnMsg(200, 300, 0, 32);
  EXPECT_EQ(IMidiMsg::kNoteOn, msg.StatusMsg());
  EXPECT_EQ(15, msg.Channel());
  EXPECT_EQ(127, msg.NoteNumber());
  EXPECT_EQ(127, msg.Velocity());
  msg.MakeNoteOffMsg(-5, 0, -1);
  EXPECT_EQ(IMidiMsg::kNoteOff, msg.StatusMsg());
  EXPECT_EQ(0, msg.Channel());
  EXPECT_EQ(0, msg.NoteNumber());
}

TEST(MidiMsg, PitchWheelEnds)
{
  IMidiMsg msg;
  msg.MakePitchWheelMsg(1.0, 0);
  EXPECT_EQ(0xE0, msg.mStatus);
  EXPECT_EQ(127, msg.mData1);
  EXPECT_EQ(127, msg.mData2);
  EXPECT_DOUBLE_EQ(8191.0 / 8192.0, msg.PitchWheel());

  msg.MakePitchWheelMsg(-1.0, 0);
  EXPECT_EQ(0, msg.mData1);
  EXPECT_EQ(0, msg.mData2);
  EXPECT_DOUBLE_EQ(-1.0, msg.PitchWheel());

  msg.MakePitchWheelMsg(0.0, 0);
  EXPECT_EQ(0, msg.mData1);
  EXPECT_EQ(64, msg.mData2);
  EXPECT_EQ(0.0, msg.PitchWheel());
}

TEST(MidiMsg, PitchWheelTruncatesTowardZero)
{
  IMidiMsg msg;
  msg.mOffset = 99;
  msg.MakePitchWheelMsg(0.5, 7);
  EXPECT_EQ(0, msg.mOffset);
  EXPECT_EQ(7, msg.Channel());
  EXPECT_DOUBLE_EQ(0.5, msg.PitchWheel());
  // -1.5 / 8192 truncates to -1, not -2.
  msg.MakePitchWheelMsg(-1.5 / 8192.0, 0);
  EXPECT_EQ(8191, msg.mData2 * 128 + msg.mData1);
  msg.MakePitchWheelMsg(1.9 / 8192.0, 0);
  EXPECT_EQ(8193, msg.mData2 * 128 + msg.mData1);
}

TEST(MidiMsg, PitchWheelClampsHugeAndNonFiniteValues)
{
  const double inf = std::numeric_limits<double>::infinity();
  const struct
  {
    double value;
    int expected;
  } cases[] = {
    {1.5, 16383},  {1e300, 16383}, {inf, 16383},  {-1.0000001, 0}, {-1e300, 0},
    {-inf, 0},     {std::nan(""), 8192},
  };
  IMidiMsg msg;
  for (const auto& c : cases)
  {
    msg.MakePitchWheelMsg(c.value, 0);
    EXPECT_EQ(c.expected, msg.mData2 * 128 + msg.mData1) << c.value;
    EXPECT_LE(msg.mData1, 127);
    EXPECT_LE(msg.mData2, 127);
  }
}

TEST(MidiMsg, ControlChange)
{
  IMidiMsg msg;
  msg.MakeControlChangeMsg(IMidiMsg::kModWheel, 0.5, 2);
  EXPECT_EQ(0xB2, msg.mStatus);
  EXPECT_EQ(IMidiMsg::kControlChange, msg.StatusMsg());
  EXPECT_EQ(1, msg.ControlChangeIdx());
  EXPECT_EQ(63, msg.mData2); // 63.5 truncated
  EXPECT_DOUBLE_EQ(63.0 / 127.0, msg.ControlChange(IMidiMsg::kModWheel));
  EXPECT_EQ(-1.0, msg.ControlChange(IMidiMsg::kChannelVolume));

  msg.MakeControlChangeMsg(IMidiMsg::kAllNotesOff, 1.0, 0);
  EXPECT_EQ(123, msg.ControlChangeIdx());
  EXPECT_EQ(1.0, msg.ControlChange(IMidiMsg::kAllNotesOff));
  EXPECT_EQ(-1, msg.NoteNumber());
  EXPECT_EQ(-1, msg.Velocity());
}

TEST(MidiMsg, ControlChangeClampsValue)
{
  const double inf = std::numeric_limits<double>::infinity();
  const struct
  {
    double value;
    int expected;
  } cases[] = {{2.0, 127}, {inf, 127}, {-0.5, 0}, {-inf, 0}, {std::nan(""), 0}};
  IMidiMsg msg;
  for (const auto& c : cases)
  {
    msg.MakeControlChangeMsg(IMidiMsg::kPan, c.value, 0);
    EXPECT_EQ(c.expected, msg.mData2) << c.value;
  }
}

TEST(MidiMsg, ReadersAnswerOnlyForTheirMessageType)
{
  IMidiMsg poly(0, 0xA1, 64, 33);
  EXPECT_EQ(IMidiMsg::kPolyAftertouch, poly.StatusMsg());
  EXPECT_EQ(64, poly.NoteNumber());
  EXPECT_EQ(33, poly.PolyAfterTouch());
  EXPECT_EQ(-1, poly.Velocity());
  EXPECT_EQ(-1, poly.ChannelAfterTouch());

  IMidiMsg program(0, 0xC4, 9, 0);
  EXPECT_EQ(IMidiMsg::kProgramChange, program.StatusMsg());
  EXPECT_EQ(9, program.Program());
  EXPECT_EQ(-1, program.NoteNumber());

  IMidiMsg pressure(0, 0xD0, 77, 0);
  EXPECT_EQ(IMidiMsg::kChannelAftertouch, pressure.StatusMsg());
  EXPECT_EQ(77, pressure.ChannelAfterTouch());
  EXPECT_EQ(-1, pressure.PolyAfterTouch());
  EXPECT_EQ(-1, pressure.Program());

  // A control change whose data match a pitch-wheel reading must not be read as one.
  IMidiMsg cc(0, 0xB0, 127, 127);
  EXPECT_EQ(0.0, cc.PitchWheel());
}

TEST(MidiMsg, SystemAndDataStatusesAreNone)
{
  IMidiMsg sys(0, 0xF0, 1, 2);
  EXPECT_EQ(IMidiMsg::kNone, sys.StatusMsg());
  EXPECT_EQ(0, sys.Channel());
  EXPECT_EQ(-1, sys.NoteNumber());
  EXPECT_EQ(IMidiMsg::kNone, IMidiMsg(0, 0xFF, 0, 0).StatusMsg());
  EXPECT_EQ(IMidiMsg::kNone, IMidiMsg(0, 0x7F, 0, 0).StatusMsg());
  EXPECT_EQ(IMidiMsg::kPitchWheel, IMidiMsg(0, 0xEF, 0, 0).StatusMsg());
  EXPECT_EQ(IMidiMsg::kNoteOff, IMidiMsg(0, 0x80, 0, 0).StatusMsg());
}

TEST(MidiMsg, StatusNames)
{
  EXPECT_STREQ("none", StatusMsgStr(IMidiMsg::kNone));
  EXPECT_STREQ("noteoff", StatusMsgStr(IMidiMsg::kNoteOff));
  EXPECT_STREQ("noteon", StatusMsgStr(IMidiMsg::kNoteOn));
  EXPECT_STREQ("aftertouch", StatusMsgStr(IMidiMsg::kPolyAftertouch));
  EXPECT_STREQ("controlchange", StatusMsgStr(IMidiMsg::kControlChange));
  EXPECT_STREQ("programchange", StatusMsgStr(IMidiMsg::kProgramChange));
  EXPECT_STREQ("channelaftertouch", StatusMsgStr(IMidiMsg::kChannelAftertouch));
  EXPECT_STREQ("pitchwheel", StatusMsgStr(IMidiMsg::kPitchWheel));
  for (int v : {1, 7, 15, 255, -1})
    EXPECT_STREQ("unknown", StatusMsgStr(static_cast<IMidiMsg::EStatusMsg>(v))) << v;
}

TEST(SysEx, ClearForgetsTheBytes)
{
  const uint8_t bytes[] = {0xF0, 0x7E, 0xF7};
  ISysEx sysex(4, bytes, 3);
  sysex.Clear();
  EXPECT_EQ(0, sysex.mOffset);
  EXPECT_EQ(0, sysex.mSize);
  EXPECT_EQ(nullptr, sysex.mData);
}

TEST(SysEx, TextIsHexSeparatedByBlanks)
{
  const uint8_t bytes[] = {0xF0, 0x0a, 0xF7};
  char out[32];
  EXPECT_EQ(out, SysExStr(out, sizeof(out), bytes, 3));
  EXPECT_STREQ("F0 0A F7", out);
}

TEST(SysEx, TextNeverExceedsMaxLen)
{
  const uint8_t bytes[] = {0xF0, 0x7E, 0xF7};
  char out[16];
  std::memset(out, '#', sizeof(out));
  SysExStr(out, 7, bytes, 3);
  EXPECT_STREQ("F0 7E", out);
  EXPECT_EQ('#', out[7]); // nothing written past maxLen

  // Exactly three characters per byte, the last one's being the terminator.
  std::memset(out, '#', sizeof(out));
  SysExStr(out, 9, bytes, 3);
  EXPECT_STREQ("F0 7E F7", out);
  EXPECT_EQ('#', out[9]);

  for (int maxLen = 1; maxLen < 3; ++maxLen)
  {
    std::memset(out, '#', sizeof(out));
    SysExStr(out, maxLen, bytes, 3);
    EXPECT_STREQ("", out);
    EXPECT_EQ('#', out[1]);
  }
}

TEST(SysEx, NothingToWriteOrNowhereToWriteIt)
{
  const uint8_t bytes[] = {0xF0};
  char out[8];
  std::strcpy(out, "keep");
  SysExStr(out, 8, nullptr, 3);
  EXPECT_STREQ("", out);
  std::strcpy(out, "keep");
  SysExStr(out, 8, bytes, 0);
  EXPECT_STREQ("", out);
  std::strcpy(out, "keep");
  SysExStr(out, 8, bytes, -4);
  EXPECT_STREQ("", out);

  std::strcpy(out, "keep");
  EXPECT_EQ(out, SysExStr(out, 0, bytes, 1));
  EXPECT_STREQ("keep", out);
  EXPECT_EQ(out, SysExStr(out, -3, bytes, 1));
  EXPECT_STREQ("keep", out);
  EXPECT_EQ(nullptr, SysExStr(nullptr, 8, bytes, 1));
}
