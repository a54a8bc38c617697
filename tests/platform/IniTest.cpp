#include <gtest/gtest.h>

#include "platform/Sys.h"
#include "tests/support/TestSupport.h"

TEST(IniFiles, WindowsLookupRules) {
  cScratchDir dir;
  dir.Write("q.ini",
            "[Other]\nload_game=wrong\n"
            "[ GAME ]\n  Load_Game =  my save  \nload_game=second\nedge_scroll=0\nnumber=12abc\n"
            "[game]\nedge_scroll=5\n");
  std::string file = dir.File("q.ini");
  EXPECT_EQ(Sys_IniReadString(file, "game", "load_game", ""), "my save");
  EXPECT_EQ(Sys_IniReadInt(file, "game", "edge_scroll", 1), 0);   // first match wins
  EXPECT_EQ(Sys_IniReadInt(file, "game", "number", 1), 12);
  EXPECT_EQ(Sys_IniReadInt(file, "game", "missing", 7), 7);
  EXPECT_EQ(Sys_IniReadString(file, "nosection", "load_game", "dflt"), "dflt");
  EXPECT_EQ(Sys_IniReadString(dir.File("absent.ini"), "game", "x", "d"), "d");
  EXPECT_EQ(Sys_IniReadString(file, "game", "load_game", "", 4), "my s");
  // The asked names are trimmed too, and signed values read as written.
  dir.Write("civ.ini", "[Wealth Generation]\nEffectEstablishTradeRoute = -3\n");
  EXPECT_EQ(Sys_IniReadInt(dir.File("civ.ini"), " wealth generation ", "EffectEstablishTradeRoute ", 0), -3);
}

TEST(IniFiles, WriteReplacesAddsAndCreates) {
  cScratchDir dir;
  dir.Write("w.ini", "[game]\nload_game=a\n\n[other]\nx=1\n");
  std::string file = dir.File("w.ini");
  EXPECT_TRUE(Sys_IniWriteString(file, "GAME", "load_game", "b"));
  EXPECT_TRUE(Sys_IniWriteString(file, "game", "edge_scroll", "0"));
  EXPECT_TRUE(Sys_IniWriteString(file, "new", "k", "v"));
  EXPECT_EQ(Sys_IniReadString(file, "game", "load_game", ""), "b");
  EXPECT_EQ(Sys_IniReadInt(file, "game", "edge_scroll", 1), 0);
  EXPECT_EQ(Sys_IniReadString(file, "new", "k", ""), "v");
  EXPECT_EQ(Sys_IniReadString(file, "other", "x", ""), "1");
}
