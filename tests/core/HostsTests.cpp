#include <gtest/gtest.h>

#include <cstring>

#include "Hosts.h"

TEST(Hosts, LookUpIgnoresCase)
{
  EXPECT_EQ(kHostReaper, LookUpHost("REAPER"));
  EXPECT_EQ(kHostReaper, LookUpHost("Reaper64"));
  EXPECT_EQ(kHostArdour, LookUpHost("Ardour 8.4"));
  EXPECT_EQ(kHostVST3TestHost, LookUpHost("VST3PluginTestHost Application"));
  EXPECT_EQ(kHostRenoise, LookUpHost("rEnOiSe"));
  EXPECT_EQ(kHostOpenMPT, LookUpHost("OpenMPT"));
}

TEST(Hosts, LookUpMapsEverySearchTextToItsValue)
{
  const struct
  {
    const char* name;
    int value;
  } cases[] = {
    {"reaper", 1},      {"protools", 2},   {"cubase", 3},      {"nuendo", 4},
    {"cakewalk", 5},    {"fruity", 7},     {"samplitude", 8},  {"live", 9},
    {"melodyne", 12},   {"vstmanlib", 13}, {"aulab", 14},      {"forte", 15},
    {"chainer", 16},    {"audition", 17},  {"orion", 18},      {"sawstudio", 20},
    {"logic", 21},      {"garageband", 22}, {"digital", 23},   {"standalone", 24},
    {"audiomulch", 25}, {"presonus", 26},  {"vst3plugintesthost", 27},
    {"ardour", 28},     {"renoise", 29},   {"openmpt", 30},
  };
  for (const auto& c : cases) EXPECT_EQ(c.value, LookUpHost(c.name)) << c.name;
}

TEST(Hosts, EarlierSearchTextWins)
{
  EXPECT_EQ(kHostLive, LookUpHost("Ableton LIVE 11"));
  EXPECT_EQ(kHostCubase, LookUpHost("Cubase Live"));
  EXPECT_EQ(kHostCubase, LookUpHost("live with cubase"));
  // "live" comes before "orion", "logic" and "digital".
  EXPECT_EQ(kHostLive, LookUpHost("Orion Live"));
  EXPECT_EQ(kHostLive, LookUpHost("Logic Live Edition"));
  // "cakewalk" comes before "live".
  EXPECT_EQ(kHostSonar, LookUpHost("Cakewalk Live"));
  // "presonus" before "protools" and "standalone".
  EXPECT_EQ(kHostStudioOne, LookUpHost("PreSonus ProTools Standalone"));
}

TEST(Hosts, LookUpOfNothingIsUnknown)
{
  EXPECT_EQ(kHostUnknown, LookUpHost(""));
  EXPECT_EQ(kHostUnknown, LookUpHost(nullptr));
  EXPECT_EQ(kHostUnknown, LookUpHost("Carla"));
  EXPECT_EQ(kHostUnknown, LookUpHost("liv"));   // a prefix of a search text is not a match
  EXPECT_EQ(kHostUnknown, LookUpHost("Vegas")); // Vegas has a value but no search text
  EXPECT_EQ(kHostUnknown, LookUpHost("Reap er"));
}

TEST(Hosts, LookUpHandlesNonAsciiBytes)
{
  EXPECT_EQ(kHostReaper, LookUpHost("\xc3\xa9\xff REAPER \x80"));
  EXPECT_EQ(kHostUnknown, LookUpHost("\xff\xfe\xfd"));
}

TEST(Hosts, DisplayNames)
{
  char out[kHostNameStrLen];
  GetHostNameStr(kHostReaper, out);
  EXPECT_STREQ("Reaper", out);
  GetHostNameStr(LookUpHost("SONAR by Cakewalk"), out);
  EXPECT_STREQ("Sonar", out);
  GetHostNameStr(kHostVegas, out);
  EXPECT_STREQ("Vegas", out);
  GetHostNameStr(kHostFLStudio, out);
  EXPECT_STREQ("FLStudio", out);
  GetHostNameStr(kHostStudioOne, out);
  EXPECT_STREQ("StudioOne", out);
  GetHostNameStr(kHostDigitalPerformer, out);
  EXPECT_STREQ("DigitalPerformer", out);
  GetHostNameStr(kHostVST3TestHost, out);
  EXPECT_STREQ("VST3PluginTestHost", out);
  GetHostNameStr(kHostOpenMPT, out);
  EXPECT_STREQ("OpenMPT", out);
}

TEST(Hosts, ValuesWithoutDisplayNameAreUnknown)
{
  char out[kHostNameStrLen];
  // Melodyne is recognised but not named.
  GetHostNameStr(LookUpHost("Melodyne"), out);
  EXPECT_STREQ("Unknown", out);
  const int unnamed[] = {-1, 0, 10, 11, 12, 19, 31, 100, -1000, 0x7fffffff, -0x7fffffff - 1};
  for (int v : unnamed)
  {
    std::strcpy(out, "x");
    GetHostNameStr(static_cast<EHost>(v), out);
    EXPECT_STREQ("Unknown", out) << v;
  }
}
