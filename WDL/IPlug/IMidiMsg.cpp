#include "IMidiMsg.h"

#include <cmath>
#include <cstdio>

#include "Log.h"

namespace
{
uint8_t ClampByte(int v, int hi)
{
  return static_cast<uint8_t>(v < 0 ? 0 : v > hi ? hi : v);
}

uint8_t Status(int type, int channel)
{
  return static_cast<uint8_t>((type << 4) | ClampByte(channel, 15));
}
} // namespace

void IMidiMsg::Clear()
{
  mOffset = 0;
  mStatus = mData1 = mData2 = 0;
}

void IMidiMsg::MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel)
{
  mOffset = offset;
  mStatus = Status(kNoteOn, channel);
  mData1 = ClampByte(noteNumber, 127);
  mData2 = ClampByte(velocity, 127);
}

void IMidiMsg::MakeNoteOffMsg(int noteNumber, int offset, int channel)
{
  mOffset = offset;
  mStatus = Status(kNoteOff, channel);
  mData1 = ClampByte(noteNumber, 127);
  mData2 = 0;
}

void IMidiMsg::MakePitchWheelMsg(double value, int channel)
{
  // Clamp before converting: out-of-range and non-finite doubles have no defined int value.
  if (std::isnan(value)) value = 0.0;
  value = value < -1.0 ? -1.0 : value > 1.0 ? 1.0 : value;
  int i = static_cast<int>(value * 8192.0) + 8192;
  if (i > 16383) i = 16383;
  mOffset = 0;
  mStatus = Status(kPitchWheel, channel);
  mData1 = static_cast<uint8_t>(i & 0x7f);
  mData2 = static_cast<uint8_t>(i >> 7);
}

void IMidiMsg::MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel)
{
  if (!(value > 0.0)) value = 0.0; // also NaN
  if (value > 1.0) value = 1.0;
  mOffset = 0;
  mStatus = Status(kControlChange, channel);
  mData1 = ClampByte(static_cast<int>(idx), 127);
  mData2 = static_cast<uint8_t>(value * 127.0);
}

IMidiMsg::EStatusMsg IMidiMsg::StatusMsg() const
{
  if (mStatus < 0x80 || mStatus > 0xEF) return kNone;
  return static_cast<EStatusMsg>(mStatus >> 4);
}

int IMidiMsg::NoteNumber() const
{
  switch (StatusMsg())
  {
    case kNoteOn:
    case kNoteOff:
    case kPolyAftertouch: return mData1;
    default: return -1;
  }
}

int IMidiMsg::Velocity() const
{
  switch (StatusMsg())
  {
    case kNoteOn:
    case kNoteOff: return mData2;
    default: return -1;
  }
}

int IMidiMsg::PolyAfterTouch() const
{
  return StatusMsg() == kPolyAftertouch ? mData2 : -1;
}

int IMidiMsg::ChannelAfterTouch() const
{
  return StatusMsg() == kChannelAftertouch ? mData1 : -1;
}

int IMidiMsg::Program() const
{
  return StatusMsg() == kProgramChange ? mData1 : -1;
}

double IMidiMsg::PitchWheel() const
{
  if (StatusMsg() != kPitchWheel) return 0.0;
  return (mData2 * 128 + mData1 - 8192) / 8192.0;
}

double IMidiMsg::ControlChange(EControlChangeMsg idx) const
{
  if (StatusMsg() == kControlChange && mData1 == static_cast<int>(idx)) return mData2 / 127.0;
  return -1.0;
}

void IMidiMsg::LogMsg() const
{
  Trace("IMidiMsg::LogMsg", __LINE__, "midi:(%s) @%d ch:%d d1:%d d2:%d", StatusMsgStr(StatusMsg()), mOffset,
        Channel(), mData1, mData2);
}

const char* StatusMsgStr(IMidiMsg::EStatusMsg msg)
{
  switch (msg)
  {
    case IMidiMsg::kNone: return "none";
    case IMidiMsg::kNoteOff: return "noteoff";
    case IMidiMsg::kNoteOn: return "noteon";
    case IMidiMsg::kPolyAftertouch: return "aftertouch";
    case IMidiMsg::kControlChange: return "controlchange";
    case IMidiMsg::kProgramChange: return "programchange";
    case IMidiMsg::kChannelAftertouch: return "channelaftertouch";
    case IMidiMsg::kPitchWheel: return "pitchwheel";
  }
  return "unknown";
}

void ISysEx::Clear()
{
  mOffset = mSize = 0;
  mData = nullptr;
}

void ISysEx::LogMsg() const
{
#if BRELIX_TRACE
  char str[96];
  SysExStr(str, static_cast<int>(sizeof(str)), mData, mSize);
  Trace("ISysEx::LogMsg", __LINE__, "sysex:(%d:%s) @%d", mSize, str, mOffset);
#endif
}

char* SysExStr(char* out, int maxLen, const uint8_t* data, int size)
{
  if (!out || maxLen < 1) return out;
  out[0] = 0;
  if (!data || size <= 0) return out;
  int n = size < maxLen / 3 ? size : maxLen / 3;
  char* p = out;
  for (int i = 0; i < n; ++i)
  {
    // n bytes take 3 * n - 1 characters plus the terminator: within maxLen.
    std::snprintf(p, 4, i ? " %02X" : "%02X", data[i]);
    p += i ? 3 : 2;
  }
  return out;
}
