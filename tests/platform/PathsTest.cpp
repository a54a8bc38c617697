#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/Sys.h"
#include "tests/support/TestSupport.h"

TEST(PathResolver, WindowsSpellingsReachTheSameFile) {
  cScratchDir dir;
  mkdir((dir.Path() + "/Data").c_str(), 0755);
  mkdir((dir.Path() + "/Data/Scripts").c_str(), 0755);
  dir.Write("Data/Scripts/Camera.txt", "x");
  std::string expected = dir.Path() + "/Data/Scripts/Camera.txt";
  EXPECT_EQ(Sys_ResolvePath(dir.Path() + "\\Data\\Scripts\\camera.TXT"), expected);
  EXPECT_EQ(Sys_ResolvePath(dir.Path() + "/./data/scripts/camera.txt"), expected);
  EXPECT_TRUE(Sys_IsRegularFile(dir.Path() + "\\DATA\\scripts\\CAMERA.txt"));
}

TEST(PathResolver, MissingComponentsKeepTheirSpellingForNewFiles) {
  cScratchDir dir;
  mkdir((dir.Path() + "/Data").c_str(), 0755);
  EXPECT_EQ(Sys_ResolvePath(dir.Path() + "\\data\\New\\save.sav"), dir.Path() + "/Data/New/save.sav");
}

TEST(PathResolver, DirectoriesAreNotRegularFilesAndDoNotOpenForReading) {
  cScratchDir dir;
  EXPECT_FALSE(Sys_IsRegularFile(dir.Path()));
  std::string refusal;
  EXPECT_EQ(Sys_OpenFileToRead(dir.Path(), SysFileKind::Save, refusal), nullptr);
  EXPECT_EQ(Sys_FileWriteTime(dir.File("missing")), 0u);
}

TEST(Random, FollowsTheCRuntimeSequence) {
  Sys_SeedRandom(1);
  // state = state * 214013 + 2531011; result = (state >> 16) & 0x7FFF
  EXPECT_EQ(Sys_Random(), 41);
  EXPECT_EQ(Sys_Random(), 18467);
  EXPECT_EQ(Sys_Random(), 6334);
  Sys_SeedRandom(12345);
  for (int i = 0; i < 10000; ++i) {
    int r = Sys_Random();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, SYS_RAND_MAX);
  }
}

TEST(MessageBoxes, SinkCapturesAndAnswers) {
  cMessageCapture capture;
  capture.answers.push_back(SysAnswer::Cancel);
  EXPECT_EQ(Sys_MessageBox("Load Error", "bad", SysBox::OkCancel), SysAnswer::Cancel);
  EXPECT_EQ(Sys_MessageBox("Info", "x"), SysAnswer::Ok);
  ASSERT_EQ(capture.boxes.size(), 2u);
  EXPECT_EQ(capture.boxes[0].caption, "Load Error");
  EXPECT_EQ(capture.Count("Info"), 1);
}
