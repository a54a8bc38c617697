#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>

#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "tests/support/TestSupport.h"

namespace {
// Moves a file's write time by whole seconds so a reload is seen at once.
void TouchAt(const std::string& path, long seconds) {
  struct timeval times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(utimes(path.c_str(), times), 0);
}
}  // namespace

TEST(RovurozovizProgram, VariablesByName) {
  cRovurozovizProgram program;
  EXPECT_EQ(program.GetVariable("never"), 0.0f);  // reading creates the name
  ASSERT_EQ(program.Names().size(), 1u);
  EXPECT_EQ(program.FindOrAddVariable("never"), 0);
  program.SetVariable("x", 2.5f);
  EXPECT_EQ(program.FindOrAddVariable("x"), 1);
  EXPECT_EQ(program.GetVariable("x"), 2.5f);
  EXPECT_EQ(program.GetVariable(std::string("x")), 2.5f);
  EXPECT_EQ(program.Values().size(), program.Names().size());
  // Many names: the index beside the table keeps first-match indexes.
  for (int i = 0; i < 300; ++i) program.SetVariable("v" + std::to_string(i), float(i));
  for (int i = 0; i < 300; ++i) {
    EXPECT_EQ(program.FindOrAddVariable("v" + std::to_string(i)), i + 2);
    EXPECT_EQ(program.GetVariable("v" + std::to_string(i)), float(i));
  }
}

TEST(RovurozovizProgram, RememberedLookupOrderNeverPicksTheWrongName) {
  cRovurozovizProgram program;
  ASSERT_TRUE(program.Compile("sum = first + second"));
  char buffer[16];
  for (int round = 0; round < 4; ++round) {
    // The same buffer holds a different name at the same lookup position each round.
    snprintf(buffer, sizeof buffer, "%s", round % 2 ? "second" : "first");
    program.SetVariable(buffer, 10.0f);
    snprintf(buffer, sizeof buffer, "%s", round % 2 ? "first" : "second");
    program.SetVariable(buffer, 1.0f);
    program.Run();
    EXPECT_EQ(program.GetVariable("sum"), 11.0f);
    EXPECT_EQ(program.GetVariable(round % 2 ? "second" : "first"), 10.0f);
    EXPECT_EQ(program.GetVariable("firs"), 0.0f);  // a prefix is another name
    EXPECT_EQ(program.GetVariable("firstt"), 0.0f);
  }
  EXPECT_EQ(program.Names().size(), 5u);
}

TEST(RovurozovizProgram, RunFromLabels) {
  cRovurozovizProgram program;
  ASSERT_TRUE(program.Compile("a = 1 return second: b = 2 return third: c = 3"));
  program.RunFrom("second");
  EXPECT_EQ(program.GetVariable("a"), 0.0f);
  EXPECT_EQ(program.GetVariable("b"), 2.0f);
  EXPECT_EQ(program.GetVariable("c"), 0.0f);
  size_t names = program.Names().size();
  program.RunFrom("missing");  // nothing runs, nothing is added
  EXPECT_EQ(program.Names().size(), names);
  EXPECT_EQ(program.GetVariable("a"), 0.0f);
  program.RunFrom("third");
  EXPECT_EQ(program.GetVariable("c"), 3.0f);
}

TEST(RovurozovizProgram, LoadThroughThePathResolver) {
  cScratchDir dir;
  mkdir((dir.Path() + "/Data").c_str(), 0755);
  mkdir((dir.Path() + "/Data/Scripts").c_str(), 0755);
  dir.Write("Data/Scripts/Camera.txt", "distance = default_distance * 2\n");
  cMessageCapture boxes;
  cRovurozovizProgram program;
  program.SetVariable("before", 1.0f);
  ASSERT_TRUE(program.Load(dir.Path() + "\\Data\\Scripts\\camera.txt"));
  EXPECT_EQ(program.FindOrAddVariable("before"), 3);  // the load forgot it: distance, default_distance, "2"
  program.SetVariable("default_distance", 4.0f);
  program.Run();
  EXPECT_EQ(program.GetVariable("distance"), 8.0f);
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST(RovurozovizProgram, MissingFilesAndDirectoriesFailSilentlyAndKeepTheCode) {
  cScratchDir dir;
  cMessageCapture boxes;
  cRovurozovizProgram program;
  ASSERT_TRUE(program.Compile("a = a + 1"));
  program.Run();
  EXPECT_FALSE(program.Load(dir.File("missing.txt")));
  EXPECT_FALSE(program.Load(dir.Path()));  // a folder is not a script
  EXPECT_TRUE(boxes.boxes.empty());
  program.Run();
  EXPECT_EQ(program.GetVariable("a"), 2.0f);
}

TEST(RovurozovizProgram, ErrorBoxText) {
  cScratchDir dir;
  cMessageCapture boxes;
  cRovurozovizProgram program;
  dir.Write("empty.txt", "");
  EXPECT_FALSE(program.Load(dir.File("empty.txt")));
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].caption, "Rovurozoviz Error");
  EXPECT_EQ(boxes.boxes[0].kind, SysBox::Ok);
  EXPECT_EQ(boxes.boxes[0].text, "Error in Rovurozoviz file " + dir.File("empty.txt") + " at line 0near text: ");

  // The last loaded name shows, spelled as given, even though it could not be opened.
  program.Load(".\\Data\\Scripts\\city_camera.txt");
  EXPECT_FALSE(program.Compile("a b"));
  ASSERT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(boxes.boxes[1].text, "Error in Rovurozoviz file .\\Data\\Scripts\\city_camera.txt at line 0near text: b");

  EXPECT_FALSE(program.Compile("a = 1\nb = 2\nc = 3\nd = (a +\nendif"));
  ASSERT_EQ(boxes.boxes.size(), 3u);
  EXPECT_EQ(boxes.boxes[2].text,
            "Error in Rovurozoviz file .\\Data\\Scripts\\city_camera.txt at line 4near text: endif");

  EXPECT_FALSE(program.Compile("a = 1\nb = 2\nc = 3\nif (a) endif"));
  EXPECT_EQ(boxes.boxes.back().text,
            "Error in Rovurozoviz file .\\Data\\Scripts\\city_camera.txt at line 4near text: endif");
  EXPECT_FALSE(program.Compile("x = 1;"));
  EXPECT_EQ(boxes.boxes.back().text, "Error in Rovurozoviz file .\\Data\\Scripts\\city_camera.txt at line 1near text: ;");
}

// Mended: a failed compile used to leave the partial code of the broken text
// (with every variable reset) in the program, and that code then ran.
TEST(RovurozovizProgram, FailedCompileKeepsPreviousCodeAndVariables) {
  cMessageCapture boxes;
  cRovurozovizProgram program;
  ASSERT_TRUE(program.Compile("a = a + 1"));
  program.Run();
  EXPECT_FALSE(program.Compile("a = 100 b = 7 c = ;"));
  EXPECT_EQ(program.GetVariable("a"), 1.0f);
  program.Run();
  EXPECT_EQ(program.GetVariable("a"), 2.0f);
  EXPECT_EQ(program.GetVariable("b"), 0.0f);

  cRovurozovizProgram fresh;  // nothing before: stays empty
  EXPECT_FALSE(fresh.Compile("a = 100 b ="));
  EXPECT_TRUE(fresh.Code().empty());
  EXPECT_EQ(fresh.Run(), 0);
  EXPECT_EQ(fresh.GetVariable("a"), 0.0f);
}

TEST(RovurozovizAutoUpdate, ReloadsWhenTheFileChanges) {
  cScratchDir dir;
  cMessageCapture boxes;
  std::string path = dir.File("formula.txt");
  dir.Write("formula.txt", "out = in * 2");
  TouchAt(path, 1000000);
  cRovurozovizProgramAutoUpdate program;
  ASSERT_TRUE(program.Load(path));
  program.SetVariable("in", 3.0f);
  program.Run();
  EXPECT_EQ(program.GetVariable("out"), 6.0f);

  dir.Write("formula.txt", "out = in * 10 + kept");
  TouchAt(path, 1000000);  // same time: no reload
  program.SetVariable("kept", 1.0f);
  program.Run();
  EXPECT_EQ(program.GetVariable("out"), 6.0f);

  // Mended: the inputs set just before the reloading Run survive the recompile.
  TouchAt(path, 1000010);
  program.SetVariable("in", 4.0f);
  program.Run();
  EXPECT_EQ(program.GetVariable("out"), 41.0f);  // "kept", set by the host earlier, is kept too
  EXPECT_EQ(program.FileName(), path);

  // Mended: a reload that fails keeps the previous code; the box shows once per change.
  dir.Write("formula.txt", "out = ;");
  TouchAt(path, 1000020);
  program.Run();
  program.Run();
  EXPECT_EQ(boxes.Count("Rovurozoviz Error"), 1);
  EXPECT_EQ(program.GetVariable("out"), 41.0f);

  // Mended: the stored name stays valid across reloads; a later fix loads again.
  dir.Write("formula.txt", "out = in + 1");
  TouchAt(path, 1000030);
  program.Run();
  EXPECT_EQ(program.GetVariable("out"), 5.0f);
  EXPECT_EQ(program.FileName(), path);

  // A removed file cannot be timed: the program keeps running what it has.
  ASSERT_EQ(unlink(path.c_str()), 0);
  program.SetVariable("in", 9.0f);
  program.Run();
  EXPECT_EQ(program.GetVariable("out"), 10.0f);
}

TEST(RovurozovizAutoUpdate, FailedFirstLoadNeverLooksAtTheFile) {
  cScratchDir dir;
  cMessageCapture boxes;
  cRovurozovizProgramAutoUpdate program;
  EXPECT_FALSE(program.Load(dir.File("later.txt")));
  dir.Write("later.txt", "a = 1");
  EXPECT_EQ(program.Run(), 0);  // empty code, no file looked at
  EXPECT_EQ(program.GetVariable("a"), 0.0f);
  EXPECT_EQ(program.FileName(), "");
}
