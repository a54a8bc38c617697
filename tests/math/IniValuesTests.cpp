// Float and 3-vector ini values: parsing of the value text and the default's
// round trip through six-decimal text.
#include <gtest/gtest.h>

#include <cmath>

#include "math/IniValues.h"
#include "tests/support/TestSupport.h"

using namespace Ru::Math;

namespace {
class IniValues : public ::testing::Test {
 protected:
  void SetUp() override {
    mDir.Write("Creature.ini",
               "[Species]\n"
               "full=1,2,3\n"
               "single=5\n"
               "pair=1,2\n"
               "four=1,2,3,4\n"
               "spaced=1, 2, 3\n"
               "word=fast\n"
               "Speed = 2.5\n"
               "speed=9\n"
               "partial=x,7,y\n"
               "[Other]\n"
               "full=9,9,9\n");
    mFile = mDir.File("Creature.ini");
  }
  Vector3 Read(const char* key, Vector3 fallback = Vector3{-1, -1, -1}) {
    Vector3 out;
    Vector3 returned = IniReadVector3(out, "Species", key, fallback, mFile);
    EXPECT_TRUE(out.x == returned.x && out.y == returned.y && out.z == returned.z);
    return out;
  }
  cScratchDir mDir;
  std::string mFile;
};

void ExpectVector(const Vector3& v, float x, float y, float z) {
  EXPECT_EQ(v.x, x);
  EXPECT_EQ(v.y, y);
  EXPECT_EQ(v.z, z);
}
}  // namespace

TEST_F(IniValues, VectorTextWithFewerOrMorePartsThanThree) {
  ExpectVector(Read("full"), 1, 2, 3);
  ExpectVector(Read("single"), 5, 5, 5);
  ExpectVector(Read("pair"), 1, 2, 2);
  ExpectVector(Read("four"), 1, 2, 3);
  ExpectVector(Read("spaced"), 1, 2, 3);
  ExpectVector(Read("partial"), 0, 7, 0);
}

TEST_F(IniValues, MissingKeysSectionsAndFilesGiveTheDefault) {
  ExpectVector(Read("absent", Vector3{0.25f, -1, 7}), 0.25f, -1, 7);
  ExpectVector(IniReadVector3("Nowhere", "full", Vector3{1, 2, 3}, mFile), 1, 2, 3);
  ExpectVector(IniReadVector3("Species", "full", Vector3{4, 5, 6}, mDir.File("missing.ini")), 4, 5, 6);
  // The default passes through six decimals.
  ExpectVector(Read("absent", Vector3{1e-7f, 0.1234567f, 0}), 0, 0.123457f, 0);
}

TEST_F(IniValues, FloatValues) {
  EXPECT_EQ(IniReadFloat("Species", "speed", 1.0f, mFile), 2.5f);  // first match wins, any case
  EXPECT_EQ(IniReadFloat("Species", "word", 1.0f, mFile), 0.0f);
  EXPECT_EQ(IniReadFloat("Species", "full", 1.0f, mFile), 1.0f);
  EXPECT_EQ(IniReadFloat("Species", "absent", 0.5f, mFile), 0.5f);
  EXPECT_EQ(IniReadFloat("Species", "absent", 1e-7f, mFile), 0.0f);
  EXPECT_EQ(IniReadFloat("Species", "absent", -3.0e38f, mFile), -3.0e38f);
}

TEST_F(IniValues, ValueTextIsCutAt255Characters) {
  // Past the cut a trailing 9 or 5 would change the result.
  std::string zeros(260, '0');
  mDir.Write("Long.ini", "[S]\nk=1,2," + zeros + "9\nf=" + zeros + "5\nhuge=1," + std::string(60, '7') + "\n");
  ExpectVector(IniReadVector3("S", "k", Vector3{}, mDir.File("Long.ini")), 1, 2, 0);
  EXPECT_EQ(IniReadFloat("S", "f", 3.0f, mDir.File("Long.ini")), 0.0f);
  // Numbers beyond float range read as infinity rather than undefined conversions.
  Vector3 huge = IniReadVector3("S", "huge", Vector3{}, mDir.File("Long.ini"));
  EXPECT_TRUE(std::isinf(huge.y));
}
