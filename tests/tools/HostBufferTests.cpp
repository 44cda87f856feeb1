#include "EventList.h"
#include "JsonWriter.h"
#include "ParameterChanges.h"
#include "Text.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3host;

TEST(ParameterChanges, OneQueuePerIdInFirstUseOrder)
{
  ParameterChanges changes(2);
  changes.Add(7, 0, 0.25);
  changes.Add(3, 10, 0.5);
  changes.Add(7, 20, 0.75);
  changes.Add(9, 0, 1.0); // beyond the reserved capacity
  ASSERT_EQ(changes.getParameterCount(), 3);
  EXPECT_EQ(changes.getParameterData(0)->getParameterId(), 7u);
  EXPECT_EQ(changes.getParameterData(1)->getParameterId(), 3u);
  EXPECT_EQ(changes.getParameterData(2)->getParameterId(), 9u);
  EXPECT_EQ(changes.getParameterData(0)->getPointCount(), 2);
  EXPECT_EQ(changes.getParameterData(3), nullptr);
  EXPECT_EQ(changes.getParameterData(-1), nullptr);

  changes.Clear();
  EXPECT_EQ(changes.getParameterCount(), 0);
  changes.Add(5, 0, 0.1);
  ASSERT_EQ(changes.getParameterCount(), 1);
  EXPECT_EQ(changes.getParameterData(0)->getParameterId(), 5u);
  EXPECT_EQ(changes.getParameterData(0)->getPointCount(), 1) << "a reused queue starts empty";
}

TEST(ParamValueQueue, PointsStaySortedAndSameOffsetReplaces)
{
  ParamValueQueue q(1);
  int32 index = -1;
  EXPECT_EQ(q.addPoint(100, 0.3, index), kResultOk);
  EXPECT_EQ(q.addPoint(10, 0.1, index), kResultOk);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(q.addPoint(50, 0.2, index), kResultOk);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(q.addPoint(50, 0.25, index), kResultOk);
  EXPECT_EQ(q.addPoint(-1, 0.9, index), kInvalidArgument);
  ASSERT_EQ(q.getPointCount(), 3);

  const int32 offsets[] = {10, 50, 100};
  const double values[] = {0.1, 0.25, 0.3};
  for (int32 i = 0; i < 3; ++i)
  {
    int32 offset = 0;
    ParamValue value = 0;
    ASSERT_EQ(q.getPoint(i, offset, value), kResultOk);
    EXPECT_EQ(offset, offsets[i]);
    EXPECT_EQ(value, values[i]);
  }
  int32 offset = 0;
  ParamValue value = 0;
  EXPECT_NE(q.getPoint(3, offset, value), kResultOk);
}

TEST(ParameterChanges, AnswersItsInterfacesOnly)
{
  ParameterChanges changes;
  void* obj = nullptr;
  EXPECT_EQ(changes.queryInterface(IParameterChanges::iid, &obj), kResultOk);
  EXPECT_EQ(obj, static_cast<IParameterChanges*>(&changes));
  EXPECT_EQ(changes.queryInterface(IEventList::iid, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
}

TEST(EventList, KeepsEventsInOrderAndRejectsBadIndices)
{
  EventList list;
  Event e{};
  e.type = Event::kNoteOnEvent;
  e.sampleOffset = 5;
  list.addEvent(e);
  e.sampleOffset = 9;
  list.addEvent(e);
  ASSERT_EQ(list.getEventCount(), 2);
  Event got{};
  ASSERT_EQ(list.getEvent(1, got), kResultOk);
  EXPECT_EQ(got.sampleOffset, 9);
  EXPECT_NE(list.getEvent(2, got), kResultOk);
  list.Clear();
  EXPECT_EQ(list.getEventCount(), 0);
}

TEST(Text, Utf16RoundTripIncludingSurrogatePairs)
{
  const std::string text = "Gain \xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB8";
  String128 wide{};
  ToString128(text, wide);
  EXPECT_EQ(ToUtf8(wide), text);
  EXPECT_EQ(ToUtf16("\xF0\x9F\x8E\xB8").size(), 2u);
  EXPECT_EQ(ToUtf16("a\xFF" "b"), u"a\uFFFDb");
}

TEST(Text, String128IsTruncatedAndTerminated)
{
  String128 wide{};
  ToString128(std::string(300, 'x'), wide);
  EXPECT_EQ(ToUtf8(wide).size(), 127u);
}

TEST(Text, ClassIdsInHexWithOrWithoutDecoration)
{
  TUID uid{};
  for (int i = 0; i < 16; ++i)
    uid[i] = static_cast<char>(i * 17);
  const std::string hex = UidToString(uid);
  EXPECT_EQ(hex.size(), 32u);
  TUID back{};
  ASSERT_TRUE(UidFromString(hex, back));
  EXPECT_EQ(std::memcmp(uid, back, 16), 0);
  std::string lowerDashed = "{" + hex.substr(0, 8) + "-" + hex.substr(8) + "}";
  for (auto& c : lowerDashed)
    c = static_cast<char>(std::tolower(c));
  ASSERT_TRUE(UidFromString(lowerDashed, back));
  EXPECT_EQ(std::memcmp(uid, back, 16), 0);
  EXPECT_FALSE(UidFromString("Brelix", back));
  EXPECT_FALSE(UidFromString(hex.substr(1), back));
}

TEST(JsonWriter, NestsEscapesAndPrintsShortestNumbers)
{
  brelix::JsonWriter j;
  j.BeginObject();
  j.String("name", "a \"q\"\\\n\x01");
  j.Number("n", int64_t(-3));
  j.Number("x", 0.1);
  j.Boolean("b", false);
  j.BeginArray("list");
  j.Number(nullptr, int64_t(1));
  j.BeginObject();
  j.EndObject();
  j.EndArray();
  j.BeginArray("empty");
  j.EndArray();
  j.EndObject();
  EXPECT_EQ(j.Text(), "{\n  \"name\": \"a \\\"q\\\"\\\\\\n\\u0001\",\n  \"n\": -3,\n  \"x\": 0.1,\n"
                      "  \"b\": false,\n  \"list\": [\n    1,\n    {}\n  ],\n  \"empty\": []\n}\n");
}
