// Every kind of data file has a bound (kSysFileBounds): a file of exactly
// that size is read as any other, one byte more is refused before it is read,
// by the game's own loader for the kind, in the words it uses for a bad file
// of that kind and naming the file, its size and the bound.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "glf/Sound.h"
#include "input/KeyBindings.h"
#include "modes/creature/CreatureNavigation.h"
#include "modes/tribe/TribeStatics.h"
#include "platform/Sys.h"
#include "sim/gamedata/DataManager.h"
#include "tests/sim/tuning/TuningTestSupport.h"
#include "tests/support/TestSupport.h"
#include "world/planet/DisplacedSphere.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/PolyModelShape.h"

namespace {

struct sBoundRow {
  SysFileKind kind;
  const char* spelled;    // as the game names the file, under the working folder
  std::string content;    // what the file starts with; then grown to the size tried
  char pad;               // what grows it: '\0' leaves a sparse file, else that byte is written
  std::function<bool(std::string& said)> load;  // the game's loader: did it take the file? said: what it says beyond boxes and output
  bool takenAtBound;      // false where the padding spoils the content (the loader then says so in its own words)
  const char* overBound;  // what the game says of the file one byte over; %R stands for the refusal
};

std::string Shipped(const std::string& root, const std::string& name) { return FileContents(root + "/Data/" + name); }

void Grow(const std::string& path, const std::string& content, char pad, uint64_t size) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
  if (pad != '\0') std::ofstream(path, std::ios::binary | std::ios::app) << std::string(size - content.size(), pad);
  ASSERT_EQ(truncate(path.c_str(), (off_t)size), 0) << path;
}

std::string Replaced(std::string text, const std::string& refusal) {
  const size_t at = text.find("%R");
  return at == std::string::npos ? text : text.replace(at, 2, refusal);
}

}  // namespace

TEST(DataFileBounds, AFileAtItsKindsBoundIsReadAndOneByteMoreIsRefusedUnreadWithItsSize) {
  RunInFreshProcess([] {
    const std::string root = Sys_CurrentDirectory();
    cScratchDir dir;
    for (const char* folder : {"Data/Scripts", "Data/Textures", "Data/Sounds", "Data/models", "Data/Terrain"})
      std::filesystem::create_directories(dir.File(folder));
    cScopedWorkingDir inScratch(dir.Path());  // the game's own names reach the scratch tree
    ASSERT_TRUE(inScratch.Entered());
    ASSERT_TRUE(Sys_OpenSoundLoopbackForTest(22050, 1));
    cKeyBindings keys;
    std::string picture = Shipped(root, "Textures/landcolor.bmp");
    ASSERT_GT(picture.size(), 54u);
    std::fill(picture.begin() + 54, picture.end(), '\x40');  // every colour a quarter grey: not the built-in ramp
    const std::string quorvelIni = Sys_CurrentDirectory() + "\\Data\\Quorvel.ini";
    const sBoundRow rows[] = {
        {SysFileKind::Ini, quorvelIni.c_str(), Shipped(root, "Quorvel.ini"), '\0',
         [&](std::string&) { return Sys_IniFindInt(Sys_IniFileEntries(quorvelIni), "game", "edge_scroll", 7) == 1; },
         true, "[Data File] %R: its settings are not read"},
        {SysFileKind::KeyFile, ".\\Data\\Scripts\\quorvel_keys.txt", Shipped(root, "Scripts/quorvel_keys.txt"), '\0',
         [&](std::string&) { return keys.LoadKeyFile(".\\Data\\Scripts\\quorvel_keys.txt"); }, true,
         "[Error] Error - could not load key file .\\Data\\Scripts\\quorvel_keys.txt: %R"},
        {SysFileKind::Script, ".\\Data\\Scripts\\tribe_creature_speed.txt", Shipped(root, "Scripts/tribe_creature_speed.txt"),
         '\0', [](std::string&) { return LoadTribeProgram(eTribeProgram::CreatureSpeed); }, true,
         "[Rovurozoviz Error] %R"},
        {SysFileKind::Tuning, "./data/tuning.xml", TuningXml("<int name=\"count\" data=\"5\"/>\n"), ' ',
         [](std::string&) { return cProbeTuningSet("./data", {"tuning.xml"}).count == 5; }, true,
         "[Script Error] %R"},
        {SysFileKind::Image, ".\\Data\\Textures\\landcolor.bmp", picture, '\0',
         [](std::string&) {
           nKoPlanet::ResetLandColourTableForTest();
           const nKoPlanet::cColour3 first = nKoPlanet::LandColourTable()[0];
           return first.r == 0.25f && first.g == 0.25f && first.b == 0.25f;
         },
         true, "warning: %R; using the built-in colour ramp\n"},
        {SysFileKind::Sound, ".\\Data\\Sounds\\coin.wav", Shipped(root, "Sounds/coin.wav"), '\0',
         [](std::string&) { return cSoundHandle().Load(".\\Data\\Sounds\\coin.wav"); }, true,
         "[Data File] %R: the sound is not played"},
        {SysFileKind::Model, ".\\Data\\models\\ring.obj", Shipped(root, "models/ring.obj"), '\0',
         [](std::string&) { return cSceneShapePolyModel(".\\Data\\models\\ring.obj", false).GetBoundingRadius() > 0.0f; },
         true, "[LoadOBJ] Cannot load \".\\Data\\models\\ring.obj\": %R"},
        // The planet the path cache is built for is the one this row loads.
        {SysFileKind::Terrain, cPlanetModel::kTerrainFile, Shipped(root, "Terrain/terrain.bin"), '\0',
         [](std::string& said) { return GetPlanetModel().LoadTerrain(cPlanetModel::kTerrainFile, said); }, true,
         "terrain.bin holds 6291457 bytes; expected exactly 6291456 (6 x 512 x 512 float32 heights)"},
        {SysFileKind::PathCache, kCreaturePathCacheFile, "", '\0',
         [](std::string&) {
           cAStarGraph graph;
           return InitCreatureAStar(graph);
         },
         false, "[Data File] %R: the navigation graph is built anew"},
        {SysFileKind::Save, "game.sav", std::string("KNHC\x09\0\0\0", 8), '\0',
         [](std::string&) { return cDataManager().Load("game.sav"); }, false,
         "[Load Error] Invalid Quorvel Save File: %R"},
    };
    ASSERT_EQ(std::size(rows), std::size(kSysFileBounds)) << "a row for every kind";
    for (const sBoundRow& row : rows) {
      const SysFileBound& bound = kSysFileBounds[(int)row.kind];
      for (const uint64_t size : {bound.maxBytes, bound.maxBytes + 1}) {
        SCOPED_TRACE(std::string(row.spelled) + " of " + std::to_string(size) + " bytes");
        const std::string path = Sys_ResolvePath(row.spelled);
        Grow(path, row.content, row.pad, size);
        cMessageCapture boxes;
        cCapturedOutput out(cCapturedOutput::Stream::Stdout), err(cCapturedOutput::Stream::Stderr);
        std::string said;
        const bool taken = row.load(said);
        for (const cMessageCapture::Box& box : boxes.boxes) said += "[" + box.caption + "] " + box.text + "\n";
        said += out.End() + err.End();
        const std::string refusal = path + " holds " + std::to_string(size) + " bytes; " + bound.name +
                                    " may hold at most " + std::to_string(bound.maxBytes);
        if (size == bound.maxBytes) {
          EXPECT_EQ(taken, row.takenAtBound);
          EXPECT_EQ(said.find(" may hold at most "), std::string::npos) << said;
        } else {
          EXPECT_FALSE(taken);
          EXPECT_NE(said.find(Replaced(row.overBound, refusal)), std::string::npos) << said;
        }
      }
    }
    Sys_CloseSoundDevice();
  });
}
