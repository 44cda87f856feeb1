#pragma once
// MIDI message records passed between the API binding and the plug-in: one short message
// (IMidiMsg) and one system-exclusive message (ISysEx). Plain values, safe to copy; every
// operation is allocation-free and real-time safe, so the audio thread may build and read them.

#include <cstdint>

// One short MIDI message. Status: message type in the high four bits, channel in the low four.
// The Make... operations keep the record a valid MIDI message: channel clamped into 0-15, data
// bytes into 0-127.
struct IMidiMsg
{
  enum EStatusMsg : int
  {
    kNone = 0,
    kNoteOff = 8,
    kNoteOn = 9,
    kPolyAftertouch = 10,
    kControlChange = 11,
    kProgramChange = 12,
    kChannelAftertouch = 13,
    kPitchWheel = 14
  };

  // Controller numbers (data 1 of a control change). 32-63 are the low bytes of 0-31.
  enum EControlChangeMsg : int
  {
    kBankSelect = 0,
    kModWheel = 1,
    kBreathController = 2,
    kUndefined003 = 3,
    kFootController = 4,
    kPortamentoTime = 5,
    kDataEntry = 6,
    kChannelVolume = 7,
    kBalance = 8,
    kUndefined009 = 9,
    kPan = 10,
    kExpressionController = 11,
    kEffectControl1 = 12,
    kEffectControl2 = 13,
    kUndefined014 = 14,
    kUndefined015 = 15,
    kGeneralPurposeController1 = 16,
    kGeneralPurposeController2 = 17,
    kGeneralPurposeController3 = 18,
    kGeneralPurposeController4 = 19,
    kUndefined020 = 20,
    kUndefined021 = 21,
    kUndefined022 = 22,
    kUndefined023 = 23,
    kUndefined024 = 24,
    kUndefined025 = 25,
    kUndefined026 = 26,
    kUndefined027 = 27,
    kUndefined028 = 28,
    kUndefined029 = 29,
    kUndefined030 = 30,
    kUndefined031 = 31,
    kBankSelectLSB = 32,
    kModWheelLSB = 33,
    kBreathControllerLSB = 34,
    kUndefined003LSB = 35,
    kFootControllerLSB = 36,
    kPortamentoTimeLSB = 37,
    kDataEntryLSB = 38,
    kChannelVolumeLSB = 39,
    kBalanceLSB = 40,
    kUndefined009LSB = 41,
    kPanLSB = 42,
    kExpressionControllerLSB = 43,
    kEffectControl1LSB = 44,
    kEffectControl2LSB = 45,
    kUndefined014LSB = 46,
    kUndefined015LSB = 47,
    kGeneralPurposeController1LSB = 48,
    kGeneralPurposeController2LSB = 49,
    kGeneralPurposeController3LSB = 50,
    kGeneralPurposeController4LSB = 51,
    kUndefined020LSB = 52,
    kUndefined021LSB = 53,
    kUndefined022LSB = 54,
    kUndefined023LSB = 55,
    kUndefined024LSB = 56,
    kUndefined025LSB = 57,
    kUndefined026LSB = 58,
    kUndefined027LSB = 59,
    kUndefined028LSB = 60,
    kUndefined029LSB = 61,
    kUndefined030LSB = 62,
    kUndefined031LSB = 63,
    kSustainOnOff = 64,
    kPortamentoOnOff = 65,
    kSostenutoOnOff = 66,
    kSoftPedalOnOff = 67,
    kLegatoOnOff = 68,
    kHold2OnOff = 69,
    kSoundVariation = 70,
    kResonance = 71,
    kReleaseTime = 72,
    kAttackTime = 73,
    kCutoffFrequency = 74,
    kDecayTime = 75,
    kVibratoRate = 76,
    kVibratoDepth = 77,
    kVibratoDelay = 78,
    kSoundControllerUndefined = 79,
    kGeneralPurposeController5 = 80,
    kGeneralPurposeController6 = 81,
    kGeneralPurposeController7 = 82,
    kGeneralPurposeController8 = 83,
    kPortamentoControl = 84,
    kUndefined085 = 85,
    kUndefined086 = 86,
    kUndefined087 = 87,
    kHighResolutionVelocityPrefix = 88,
    kUndefined089 = 89,
    kUndefined090 = 90,
    kReverbSendLevel = 91,
    kTremoloDepth = 92,
    kChorusSendLevel = 93,
    kDetuneDepth = 94,
    kPhaserDepth = 95,
    kDataIncrement = 96,
    kDataDecrement = 97,
    kNRPNLSB = 98,
    kNRPNMSB = 99,
    kRPNLSB = 100,
    kRPNMSB = 101,
    kUndefined102 = 102,
    kUndefined103 = 103,
    kUndefined104 = 104,
    kUndefined105 = 105,
    kUndefined106 = 106,
    kUndefined107 = 107,
    kUndefined108 = 108,
    kUndefined109 = 109,
    kUndefined110 = 110,
    kUndefined111 = 111,
    kUndefined112 = 112,
    kUndefined113 = 113,
    kUndefined114 = 114,
    kUndefined115 = 115,
    kUndefined116 = 116,
    kUndefined117 = 117,
    kUndefined118 = 118,
    kUndefined119 = 119,
    kAllSoundOff = 120,
    kResetAllControllers = 121,
    kLocalControl = 122,
    kAllNotesOff = 123,
    kOmniModeOff = 124,
    kOmniModeOn = 125,
    kMonoModeOn = 126,
    kPolyModeOn = 127
  };

  int mOffset = 0; // sample offset of the event within the block
  uint8_t mStatus = 0;
  uint8_t mData1 = 0;
  uint8_t mData2 = 0;

  IMidiMsg() = default;
  IMidiMsg(int offset, uint8_t status, uint8_t data1, uint8_t data2)
    : mOffset(offset), mStatus(status), mData1(data1), mData2(data2)
  {
  }

  void Clear();

  void MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel = 0);
  void MakeNoteOffMsg(int noteNumber, int offset, int channel = 0);
  // value in [-1, 1], 0 the centre; beyond the range it is clamped, NaN gives the centre.
  void MakePitchWheelMsg(double value, int channel = 0);
  // value in [0, 1], mapped onto 0-127; beyond the range it is clamped, NaN gives 0.
  void MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel = 0);

  int Channel() const { return mStatus & 0x0f; }
  // The type for statuses 0x80-0xEF; kNone for system and data bytes.
  EStatusMsg StatusMsg() const;

  // The readers below give -1 (PitchWheel 0) when the message is of another type.
  int NoteNumber() const;
  int Velocity() const;
  int PolyAfterTouch() const;
  int ChannelAfterTouch() const;
  int Program() const;
  // In [-1, 1): (data 2 * 128 + data 1 - 8192) / 8192.
  double PitchWheel() const;
  int ControlChangeIdx() const { return mData1; }
  // data 2 / 127 when this is a control change of controller idx; otherwise -1.
  double ControlChange(EControlChangeMsg idx) const;

  // Writes a trace line in builds with tracing; nothing otherwise.
  void LogMsg() const;
};

// "none", "unknown", "noteoff", "noteon", "aftertouch", "controlchange", "programchange",
// "channelaftertouch" or "pitchwheel"; values without a message type give "unknown".
const char* StatusMsgStr(IMidiMsg::EStatusMsg msg);

// A system-exclusive message. The bytes are not owned: they belong to the sender and live at
// least as long as the call that hands the record over.
struct ISysEx
{
  int mOffset = 0; // sample offset of the event within the block
  int mSize = 0;   // number of bytes at mData
  const uint8_t* mData = nullptr;

  ISysEx() = default;
  ISysEx(int offset, const uint8_t* data, int size) : mOffset(offset), mSize(size), mData(data) {}

  void Clear();
  // Writes a trace line in builds with tracing; nothing otherwise.
  void LogMsg() const;
};

// Writes data as "%02X" per byte separated by single blanks, at most maxLen / 3 bytes, so that
// the text and its terminator never exceed maxLen characters. Null data or size <= 0 write an
// empty text; a null out or maxLen < 1 writes nothing. Returns out.
char* SysExStr(char* out, int maxLen, const uint8_t* data, int size);
