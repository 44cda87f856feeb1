#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <cmath>
#include <limits>
#include <thread>

#include "IParam.h"

namespace
{
const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string Display(const IParam& p, double v, bool normalized = false, bool withTexts = true)
{
  char buf[IParam::kDisplayBufLen];
  p.GetDisplayForHost(v, normalized, buf, sizeof(buf), withTexts);
  return buf;
}
}  // namespace

TEST(ParamInit, DefaultsBeforeInitialisation)
{
  IParam p;
  EXPECT_EQ(IParam::kParamNone, p.Type());
  EXPECT_EQ(0.0, p.Value());
  EXPECT_EQ(0.0, p.GetMin());
  EXPECT_EQ(1.0, p.GetMax());
  EXPECT_EQ(1.0, p.GetStep());
  EXPECT_EQ(1.0, p.GetShape());
  EXPECT_TRUE(p.GetCanAutomate());
  EXPECT_FALSE(p.GetNegateDisplay());
  EXPECT_STREQ("", p.GetNameForHost());
}

TEST(ParamInit, RangesNeverCollapse)
{
  IParam e;
  e.InitEnum("E", 0, 1);
  EXPECT_EQ(1.0, e.GetMax());
  IParam i;
  i.InitInt("I", 5, 5, 5);
  EXPECT_EQ(6.0, i.GetMax());
  IParam d;
  d.InitDouble("D", 0, 0, 0.5, 1);
  EXPECT_EQ(1.0, d.GetMax());
  // A step of 0 with min == max must not leave a zero-width range to divide by.
  IParam z;
  z.InitDouble("Z", 2, 2, 2, 0);
  EXPECT_GT(z.GetMax(), z.GetMin());
  EXPECT_TRUE(std::isfinite(z.GetNormalized()));
  IParam neg;
  neg.InitDouble("N", 0, 0, 0, -1);
  EXPECT_GT(neg.GetMax(), neg.GetMin());
}

TEST(ParamInit, SecondInitKeepsFirstKindAndTextsAreCut)
{
  IParam p;
  p.InitInt("first", 0, 0, 3);
  p.InitDouble("second", 0, 0, 1, 0.1);
  EXPECT_EQ(IParam::kParamInt, p.Type());
  IParam q;
  std::string longName(40, 'n');
  q.InitBool(longName.c_str(), false, longName.c_str(), longName.c_str());
  EXPECT_EQ(31u, std::strlen(q.GetNameForHost()));
  EXPECT_EQ(31u, std::strlen(q.GetParamGroupForHost()));
  q.SetDisplayText(5, longName.c_str());
  EXPECT_EQ(31u, std::strlen(q.GetDisplayText(5)));
}

TEST(ParamInit, PrecisionFollowsStep)
{
  struct Case
  {
    double step;
    int precision;
  } cases[] = {{1, 0}, {2, 0}, {0.1, 1}, {0.01, 2}, {1e-7, 6}, {0.5, 1}};
  for (const Case& c : cases)
  {
    IParam p;
    p.InitDouble("x", 0, 0, 10, c.step);
    EXPECT_EQ(c.precision, p.GetPrecision()) << "step " << c.step;
  }
}

TEST(ParamInit, ShapeZeroKeepsPreviousShape)
{
  IParam p;
  p.InitDouble("x", 0, 0, 40, 0.01, "", "", 0.0);
  EXPECT_EQ(1.0, p.GetShape());
  p.SetShape(2);
  p.SetShape(0);
  EXPECT_EQ(2.0, p.GetShape());
}

TEST(ParamConversion, NormalisationWithShape)
{
  IParam gain;
  gain.InitDouble("GAIN", 0, 0, 40, 0.01);
  gain.SetShape(2);
  gain.SetNormalized(0.5);
  EXPECT_DOUBLE_EQ(10.0, gain.Value());
  EXPECT_DOUBLE_EQ(0.5, gain.GetNormalized());
  EXPECT_DOUBLE_EQ(40.0 * 0.25, gain.GetNonNormalized(0.5));
  EXPECT_EQ(0.0, gain.GetNormalized(-5));
  EXPECT_EQ(1.0, gain.GetNormalized(500));
}

TEST(ParamConversion, IntegerRoundingStartsAtZero)
{
  IParam p;
  p.InitInt("i", 0, -3, 3);
  p.SetNormalized(1);
  EXPECT_EQ(3.0, p.Value());
  IParam q;
  q.InitInt("q", 0, 0, 3);
  q.SetNormalized(0.5);
  EXPECT_EQ(2.0, q.Value());
}

TEST(ParamConversion, NonFiniteAndOutOfRangeInputNeverStick)
{
  IParam p;
  p.InitInt("MODEL", 4, 0, 10);
  p.SetNormalized(kNaN);
  EXPECT_EQ(4.0, p.Value());
  p.SetNormalized(-0.5);  // a negative normalised value must not reach below min
  EXPECT_EQ(0.0, p.Value());
  p.SetNormalized(kInf);
  EXPECT_EQ(10.0, p.Value());
  p.SetNormalized(-kInf);
  EXPECT_EQ(0.0, p.Value());
  p.SetValue(kNaN);
  EXPECT_EQ(0.0, p.Value());
  p.SetValue(kInf);
  EXPECT_EQ(10.0, p.Value());
  p.SetValue(-kInf);
  EXPECT_EQ(0.0, p.Value());
  p.SetValue(7.5);
  EXPECT_EQ(7.5, p.Value());
  EXPECT_EQ(0.0, p.GetNormalized(kNaN));
}

TEST(ParamConversion, DefaultAndDecibels)
{
  IParam out;
  out.InitDouble("OUT", 0, -30, 30, 0.01);
  EXPECT_DOUBLE_EQ(0.5, out.GetNormalizedDefault());
  out.SetValue(20);
  EXPECT_NEAR(10.0, out.DBToAmp(), 1e-9);
  double lo = 0, hi = 0;
  out.GetBounds(&lo, &hi);
  EXPECT_EQ(-30.0, lo);
  EXPECT_EQ(30.0, hi);
}

TEST(ParamDisplay, BoolTextsAndLabel)
{
  IParam p;
  p.InitBool("B", true, "dB");
  EXPECT_EQ("on", Display(p, p.Value()));
  EXPECT_STREQ("", p.GetLabelForHost());
  p.SetValue(0);
  EXPECT_EQ("off", Display(p, p.Value()));
  int v = -1;
  EXPECT_FALSE(p.MapDisplayText("On", &v));
  EXPECT_EQ(-1, v);
  EXPECT_TRUE(p.MapDisplayText("on", &v));
  EXPECT_EQ(1, v);
}

TEST(ParamDisplay, TextLookupTruncatesTowardZero)
{
  IParam p;
  p.InitEnum("E", 0, 4, "u");
  p.SetDisplayText(0, "zero");
  p.SetDisplayText(2, "two");
  p.SetDisplayText(2, "second two");  // the first entry wins
  EXPECT_EQ("two", Display(p, 2.7));
  EXPECT_EQ("zero", Display(p, -0.5));
  EXPECT_EQ("3", Display(p, 3));
  EXPECT_EQ("two", Display(p, 2.0 / 3.0, true));
  p.SetValue(3);
  EXPECT_STREQ("u", p.GetLabelForHost());
  int value = 0;
  EXPECT_STREQ("two", p.GetDisplayTextAtIdx(1, &value));
  EXPECT_EQ(2, value);
  EXPECT_STREQ("", p.GetDisplayTextAtIdx(3, &value));
  EXPECT_STREQ("", p.GetDisplayTextAtIdx(-1, &value));
  EXPECT_EQ(2, value);
}

TEST(ParamDisplay, NumbersPrecisionAndNegation)
{
  IParam p;
  p.InitDouble("D", 0, -10, 10, 0.01);
  EXPECT_EQ("-3.14", Display(p, -3.14159));
  p.SetNegateDisplay(true);
  EXPECT_EQ("3.14", Display(p, -3.14159));
  IParam i;
  i.InitInt("I", 0, 0, 10);
  EXPECT_EQ("2", Display(i, 2.9));
}

// Hosts hand normalised values through 32-bit floats (0.7f is 0.69999998...): the text for one
// must name the value SetNormalized gives, not the step below it.
TEST(ParamDisplay, NormalisedTextNamesTheValueTheParameterTakes)
{
  for (int hi : {1, 3, 7, 10, 100})
  {
    IParam p;
    p.InitInt("I", 0, 0, hi);
    for (int k = 0; k <= hi; ++k)
    {
      const double host = static_cast<float>(static_cast<double>(k) / hi);
      p.SetNormalized(host);
      EXPECT_EQ(std::to_string(k), Display(p, host, true)) << "0.." << hi;
      EXPECT_EQ(k, p.Int());
    }
  }
  IParam e;
  e.InitEnum("E", 0, 11, "");
  e.SetDisplayText(7, "seven");
  EXPECT_EQ("seven", Display(e, static_cast<float>(7.0 / 10.0), true));
  // Doubles keep their unrounded value.
  IParam d;
  d.InitDouble("D", 0, 0, 10, 0.5);
  EXPECT_EQ("6.9", Display(d, 0.69, true));
}

TEST(ParamDisplay, HugeValuesFitTheBuffer)
{
  IParam p;
  p.InitDouble("D", 0, -10, 10, 0.01);
  char small[8];
  p.GetDisplayForHost(1e300, false, small, sizeof(small));
  EXPECT_EQ(7u, std::strlen(small));
  EXPECT_EQ(31u, Display(p, 1e300).size());
  IParam i;
  i.InitInt("I", 0, 0, 10);
  i.SetDisplayText(0, "zero");
  EXPECT_EQ("2147483647", Display(i, 1e300));
  EXPECT_EQ("-2147483648", Display(i, -1e300));
  EXPECT_EQ("zero", Display(i, kNaN));
}

TEST(ParamDisplay, DecimalPointIgnoresLocale)
{
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = old ? old : "C";
  bool switched = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
  IParam p;
  p.InitDouble("D", 0, -10, 10, 0.01);
  EXPECT_EQ("1.50", Display(p, 1.5));
  std::setlocale(LC_NUMERIC, saved.c_str());
  if (!switched) GTEST_SKIP() << "no comma-decimal locale installed; checked under C only";
}

TEST(ParamConcurrency, ValueIsSafeAcrossThreads)
{
  IParam p;
  p.InitDouble("D", 0, 0, 1, 0.001);
  std::thread writer([&] {
    for (int i = 0; i < 20000; ++i) p.SetNormalized((i % 100) / 99.0);
  });
  bool allInRange = true;
  for (int i = 0; i < 20000; ++i)
  {
    double v = p.Value();
    allInRange &= v >= 0.0 && v <= 1.0;
  }
  writer.join();
  EXPECT_TRUE(allInRange);
}
