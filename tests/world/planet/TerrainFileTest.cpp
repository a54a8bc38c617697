// The terrain file and the colour ramp: order of the heights, refusal of bad
// files (exit code 1 with the missing-file box), and the ramp's fallback.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <unistd.h>

#include "tests/support/TestSupport.h"
#include "world/planet/DisplacedSphere.h"
#include "world/planet/PlanetModel.h"
#include "world/planet/TerrainFile.h"

using namespace nKoPlanet;

namespace {

// Height of cell (face, a, b) encodes its own address.
float Encoded(uint32_t face, uint32_t a, uint32_t b) { return static_cast<float>(face * 1000000 + a * 1000 + b); }

std::string MakeTerrainBytes(float (*value)(uint32_t, uint32_t, uint32_t)) {
  std::string bytes(kTerrainFileBytes, '\0');
  size_t offset = 0;
  for (uint32_t face = 0; face < 6; ++face)
    for (uint32_t a = 0; a < 512; ++a)
      for (uint32_t b = 0; b < 512; ++b, offset += 4) {
        uint32_t bits;
        float v = value(face, a, b);
        std::memcpy(&bits, &v, 4);
        for (int k = 0; k < 4; ++k) bytes[offset + k] = static_cast<char>((bits >> (8 * k)) & 0xFF);
      }
  return bytes;
}

}  // namespace

TEST(TerrainFile, HeightsLandInFaceColumnRowOrder) {
  cScratchDir dir;
  dir.Write("terrain.bin", MakeTerrainBytes(Encoded));
  cPlanetModel planet;
  std::string error;
  ASSERT_TRUE(planet.LoadTerrain(dir.File("terrain.bin"), error)) << error;
  const cCubeMap<float>& map = *planet.GetHeightMap();
  for (uint32_t face : {0u, 3u, 5u})
    for (uint32_t a : {0u, 1u, 300u, 511u})
      for (uint32_t b : {0u, 2u, 511u}) EXPECT_EQ(map.GetCell({face, a, b}), Encoded(face, a, b));
  // Column a runs along u, row b along v, on the +x face: the centre of cell
  // (2, 7, 400), (u, v) = (7.5 / 512, 400.5 / 512), is the world direction
  // (1, 2u - 1, 1 - 2v), a fixed answer that a mirrored face would miss.
  const float r = planet.GetSurfaceRadius(Ru::Math::Vector3{1.0f, -0.970703125f, -0.564453125f});
  EXPECT_EQ(r, 500.0f + Encoded(2, 7, 400));
}

TEST(TerrainFile, WrongSizesAndNonFiniteHeightsAreRefused) {
  cCubeMap<float> map(512, 512, 1.5f);
  std::string good = MakeTerrainBytes([](uint32_t, uint32_t, uint32_t) { return 7.0f; });
  std::string error;
  for (size_t size : {size_t{0}, size_t{4}, kTerrainFileBytes - 4, kTerrainFileBytes + 1}) {
    std::string bytes = good;
    bytes.resize(size);
    error.clear();
    EXPECT_FALSE(DecodeTerrainHeights(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), map, error));
    EXPECT_NE(error.find("bytes"), std::string::npos);
  }
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
    std::string bytes = good;
    std::memcpy(&bytes[4 * 12345], &bad, 4);
    error.clear();
    EXPECT_FALSE(DecodeTerrainHeights(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), map, error));
    EXPECT_NE(error.find("non-finite"), std::string::npos);
  }
  EXPECT_EQ(map.GetCell({0, 0, 0}), 1.5f);  // a refused file leaves the map as it was
  EXPECT_TRUE(DecodeTerrainHeights(reinterpret_cast<const uint8_t*>(good.data()), good.size(), map, error));
  EXPECT_EQ(map.GetCell({4, 9, 9}), 7.0f);
}

// Missing, short and poisoned files all end the program like a missing one.
TEST(TerrainFileDeathTest, BadTerrainEndsTheProgramWithTheMissingFileBox) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  cScratchDir dir;
  dir.Write("short.bin", std::string(1000, '\0'));
  std::string poisoned = MakeTerrainBytes([](uint32_t face, uint32_t, uint32_t) {
    return face == 5 ? std::numeric_limits<float>::quiet_NaN() : 1.0f;
  });
  dir.Write("nan.bin", poisoned);
  for (const char* name : {"missing.bin", "short.bin", "nan.bin"}) {
    const std::string path = dir.File(name);
    EXPECT_EXIT(GetPlanetModel().LoadTerrainOrExit(path), testing::ExitedWithCode(1), "Could Not Find terrain.bin")
        << name;
  }
  EXPECT_EXIT(GetPlanetModel().LoadTerrainOrExit(dir.File("short.bin")), testing::ExitedWithCode(1),
              "terrain: terrain.bin holds 1000 bytes");
  EXPECT_EXIT(GetPlanetModel().LoadTerrainOrExit(dir.File("nan.bin")), testing::ExitedWithCode(1), "non-finite");
}

TEST(LandColours, RampComesFromTheImageOrFallsBackWithAWarning) {
  ResetLandColourTableForTest();
  const auto& fromImage = LandColourTable();  // the generated ramp under Data/Textures
  ASSERT_EQ(fromImage.size(), 256u);
  // Deep water is blue, the top of the ramp is snow.
  EXPECT_GT(fromImage[0].b, fromImage[0].r);
  EXPECT_GT(fromImage[255].r, 0.9f);
  EXPECT_GT(fromImage[255].g, 0.9f);

  // Run from a scratch folder that has no Data/: the image is missing.
  cScratchDir dir;
  const std::string here = Sys_CurrentDirectory();
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  ResetLandColourTableForTest();
  cCapturedOutput captured(cCapturedOutput::Stream::Stderr);
  const auto& fallback = LandColourTable();
  std::string warning = captured.End();
  ASSERT_EQ(chdir(here.c_str()), 0);
  ASSERT_EQ(fallback.size(), 256u);
  EXPECT_NE(warning.find("landcolor.bmp"), std::string::npos);
  EXPECT_GT(fallback[0].b, fallback[0].r);
  EXPECT_GT(fallback[120].g, fallback[120].b);  // land in the middle is green

  // A BMP with fewer than 256 pixels falls back too.
  std::string tiny = "BM";
  auto put32 = [&](uint32_t v) { for (int k = 0; k < 4; ++k) tiny.push_back(static_cast<char>((v >> (8 * k)) & 0xFF)); };
  auto put16 = [&](uint16_t v) { for (int k = 0; k < 2; ++k) tiny.push_back(static_cast<char>((v >> (8 * k)) & 0xFF)); };
  put32(54 + 4); put32(0); put32(54); put32(40); put32(1); put32(1); put16(1); put16(24); put32(0); put32(4);
  put32(0); put32(0); put32(0); put32(0);
  tiny += std::string("\x10\x20\x30\x00", 4);
  std::filesystem::create_directories(dir.File("Data/Textures"));
  dir.Write("Data/Textures/landcolor.bmp", tiny);
  ASSERT_TRUE(std::filesystem::exists(dir.File("Data/Textures/landcolor.bmp")));
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  ResetLandColourTableForTest();
  cCapturedOutput tinyCaptured(cCapturedOutput::Stream::Stderr);
  EXPECT_EQ(LandColourTable().size(), 256u);
  warning = tinyCaptured.End();
  ASSERT_EQ(chdir(here.c_str()), 0);
  EXPECT_NE(warning.find("landcolor.bmp"), std::string::npos);
  ResetLandColourTableForTest();
}
