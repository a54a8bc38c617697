#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "sim/tuning/TuningValueParsing.h"
#include "tests/support/TestSupport.h"

TEST(TuningValueParsing, IntegersFarOutOfRangeClampInsteadOfOverflowing) {
  EXPECT_EQ(ParseTuningInt("2147483647"), 2147483647);
  EXPECT_EQ(ParseTuningInt("2147483648"), 2147483647);
  EXPECT_EQ(ParseTuningInt("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(ParseTuningInt("123456789012345678901234567890"), 2147483647);
  EXPECT_EQ(ParseTuningInt("-123456789012345678901234567890x"), -2147483647 - 1);
  EXPECT_EQ(ParseTuningInt(std::string(5000, '9').c_str()), 2147483647);
  EXPECT_EQ(ParseTuningInt("+8"), 8);
  EXPECT_EQ(ParseTuningInt("- 8"), 0);
  EXPECT_EQ(ParseTuningInt(nullptr), 0);
}

TEST(TuningValueParsing, FloatsFollowTheCGrammarAndStayInRange) {
  EXPECT_FLOAT_EQ(ParseTuningFloat(" 1.5e2"), 150.0f);
  EXPECT_FLOAT_EQ(ParseTuningFloat("0x10"), 16.0f);
  EXPECT_EQ(ParseTuningFloat("-inf"), -3.40282347e38f);
  EXPECT_EQ(ParseTuningFloat("-1e300"), -3.40282347e38f);
  EXPECT_EQ(ParseTuningFloat("abc"), 0.0f);
  EXPECT_EQ(ParseTuningFloat(nullptr), 0.0f);
}

// Under a locale whose decimal point is a comma, atof("1.5") gives 1. The
// machine may have no such locale installed, so the test compiles one.
TEST(TuningValueParsing, FloatsIgnoreTheProcessLocale) {
  cScratchDir dir;
  std::string build = "localedef -i de_DE -f UTF-8 " + dir.Path() + "/de_DE.UTF-8 >/dev/null 2>&1";
  ASSERT_EQ(system(build.c_str()), 0) << "localedef could not build a test locale";
  const char* oldPath = getenv("LOCPATH");
  std::string savedPath = oldPath ? oldPath : "";
  setenv("LOCPATH", dir.Path().c_str(), 1);
  std::string previous = setlocale(LC_NUMERIC, nullptr);
  ASSERT_NE(setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
  float fromLibrary = (float)atof("1.5");
  float value = ParseTuningFloat("1.5");
  setlocale(LC_NUMERIC, previous.c_str());
  if (oldPath) setenv("LOCPATH", savedPath.c_str(), 1); else unsetenv("LOCPATH");
  EXPECT_EQ(fromLibrary, 1.0f);  // the locale really is in force
  EXPECT_FLOAT_EQ(value, 1.5f);
}
