#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "glf/DebugWindow.h"
#include "platform/Sys.h"
#include "sim/tuning/BoundedCount.h"
#include "tests/sim/tuning/TuningTestSupport.h"
#include "tests/support/TestSupport.h"

// A whole line naming the key. Fault mended: it had no line end, so the next
// line written stood on it.
static const char kClash[] = "Tuning constant redefined with new constant type: speed\n";

static int CountOccurrences(const std::string& haystack, const std::string& needle) {
  int n = 0;
  for (size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1)) ++n;
  return n;
}

TEST(TuningData, DataTextConvertsLikeTheCLibraryWithoutItsPitfalls) {
  cScratchDir dir;
  dir.Write("t.xml", TuningXml(R"(<int name="digitsThenLetters" data="12abc"/>
<int name="lettersOnly" data="abc"/>
<int name="negative" data="  -7"/>
<int name="tooBig" data="99999999999"/>
<int name="tooSmall" data="-99999999999"/>
<float name="half" data="0.5xyz"/>
<float name="huge" data="1e300"/>
<float name="notANumber" data="nan"/>
<bool name="upperT" data="True"/>
<bool name="one" data="1"/>
<bool name="yes" data="yes"/>
<bool name="empty" data=""/>
<string name="words" data="hello there"/>
<int name="noData"/>
)"));
  cProbeTuningSet set(dir.Path(), {"t.xml"});
  EXPECT_EQ(set.GetInt("digitsThenLetters", -1, ""), 12);
  EXPECT_EQ(set.GetInt("lettersOnly", -1, ""), 0);
  EXPECT_EQ(set.GetInt("negative", 0, ""), -7);
  EXPECT_EQ(set.GetInt("tooBig", 0, ""), 2147483647);
  EXPECT_EQ(set.GetInt("tooSmall", 0, ""), -2147483647 - 1);
  EXPECT_EQ(set.GetInt("noData", -1, ""), 0);
  EXPECT_FLOAT_EQ(set.GetFloat("half", 0, ""), 0.5f);
  EXPECT_EQ(set.GetFloat("huge", 0, ""), 3.40282347e38f);
  EXPECT_EQ(set.GetFloat("notANumber", 1, ""), 0.0f);
  EXPECT_TRUE(set.GetBool("upperT", false, ""));
  EXPECT_TRUE(set.GetBool("one", false, ""));
  EXPECT_FALSE(set.GetBool("yes", true, ""));
  EXPECT_FALSE(set.GetBool("empty", true, ""));
  std::string words;
  set.GetString(words, "words", "default", "");
  EXPECT_EQ(words, "hello there");
}

TEST(TuningData, TypeClashReportsOnceAndTheFirstTypeWins) {
  cScratchDir dir;
  dir.Write("t.xml", TuningXml(R"(<float name="speed" data="2.5"/>
<int name="speed" data="9"/>
)"));
  cCapturedOutput captured(cCapturedOutput::Stream::Stderr);
  cProbeTuningSet set(dir.Path(), {"t.xml"});
  std::string err = captured.End();
  EXPECT_EQ(CountOccurrences(err, kClash), 1) << err;
  EXPECT_FLOAT_EQ(set.speed, 2.5f);
  ASSERT_EQ(set.Constants().size(), 3u);  // speed, count, label
  EXPECT_EQ(set.Constants()[0].type, kTuningFloat);

  // A getter asking for the other type also reports once and gets its default.
  cCapturedOutput getterCaptured(cCapturedOutput::Stream::Stderr);
  EXPECT_EQ(set.GetInt("speed", 42, ""), 42);
  err = getterCaptured.End();
  EXPECT_EQ(CountOccurrences(err, kClash), 1) << err;
  EXPECT_FLOAT_EQ(set.GetFloat("speed", 0, ""), 2.5f);
}

TEST(TuningData, AbsentKeyGivesItsDefaultEveryTimeWithoutMessages) {
  cScratchDir dir;
  cMessageCapture capture;
  cCapturedOutput captured(cCapturedOutput::Stream::Stderr);
  cProbeTuningSet set(dir.Path(), {"missing.xml"});
  EXPECT_EQ(set.GetInt("absent", 17, ""), 17);
  EXPECT_EQ(set.GetInt("absent", 99, ""), 17);  // the first default became the constant
  EXPECT_EQ(captured.End(), "");
  EXPECT_TRUE(capture.boxes.empty());
  EXPECT_FLOAT_EQ(set.speed, -1.0f);
  EXPECT_EQ(set.label, "none");
  ASSERT_EQ(set.Files().size(), 1u);
  EXPECT_EQ(set.Files()[0].writeTime, 0u);
}

TEST(TuningData, MalformedXmlShowsScriptErrorAndKeepsWhatWasRead) {
  cScratchDir dir;
  dir.Write("bad.xml", "<tuning>\n<int name=\"count\" data=\"5\"/>\n<float name=\"speed\" data=\"3\">\n</tuning>\n");
  cMessageCapture capture;
  cProbeTuningSet set(dir.Path(), {"bad.xml"});
  ASSERT_EQ(capture.boxes.size(), 1u);
  EXPECT_EQ(capture.boxes[0].caption, "Script Error");
  EXPECT_EQ(capture.boxes[0].kind, SysBox::Ok);
  EXPECT_EQ(capture.boxes[0].text, "mismatched tag at line 4 in " + dir.Path() + "/bad.xml");
  EXPECT_EQ(set.count, 5);
  EXPECT_FLOAT_EQ(set.speed, 3.0f);  // defined by its start tag before the error
  EXPECT_EQ(set.applied, 1);         // play goes on: the set still applied its constants
}

// Fault mended: a huge file was read block by block with no bound and stalled start-up.
TEST(TuningData, AnAbsurdlyLargeFileIsRefusedWithScriptErrorUnread) {
  cScratchDir dir;
  dir.Write("huge.xml", TuningXml("<int name=\"count\" data=\"5\"/>\n"));
  ASSERT_EQ(truncate(dir.File("huge.xml").c_str(), (off_t)kMaxTuningFileBytes + 1), 0);
  cMessageCapture capture;
  cProbeTuningSet set(dir.Path(), {"huge.xml"});
  ASSERT_EQ(capture.boxes.size(), 1u);
  EXPECT_EQ(capture.boxes[0].caption, "Script Error");
  EXPECT_NE(capture.boxes[0].text.find("huge.xml"), std::string::npos);
  EXPECT_EQ(set.count, -1);  // nothing was read: the default stands
}

// Fault mended: a folder, a pipe or a device in a tuning file's place fell
// back to the defaults without a word. Nothing may block on the pipe either.
TEST(TuningData, AFolderPipeOrDeviceInPlaceOfTheFileShowsScriptError) {
  cScratchDir dir;
  ASSERT_EQ(mkdir(dir.File("folder.xml").c_str(), 0755) | mkfifo(dir.File("pipe.xml").c_str(), 0600) |
                symlink("/dev/zero", dir.File("zero.xml").c_str()), 0);
  for (const char* name : {"folder.xml", "pipe.xml", "zero.xml", "missing.xml"}) {
    cMessageCapture capture;
    cProbeTuningSet set(dir.Path(), {name});
    const bool missing = std::string(name) == "missing.xml";  // a missing file stays silent
    ASSERT_EQ(capture.Count("Script Error"), missing ? 0 : 1) << name;
    if (!missing) { EXPECT_NE(capture.boxes[0].text.find(name), std::string::npos); }
    EXPECT_EQ(set.count, -1);
  }
}

// Fault mended: a count from a file or a script was used as given (100,000
// members stopped frames from completing); now it is cut and named. Fault
// mended: only a key's first cut was named, so a script edited to another
// wild count was cut without a word. Each value a key is cut from is named
// once: a script run again alike says nothing new, nor does one that gives the
// key several values (a count per stand) each time it runs.
TEST(TuningData, CountsAreHeldInBoundsAndEachCutValueOfAKeyIsNamedOnce) {
  DestroyDebugWindowForTest();
  CreateDebugWindow();
  ForgetBoundedCountNoticesForTest();
  const struct { const char* key; float value; int expected; const char* named; } cases[] = {
      {"start", 5.0f, 5, nullptr},       {"start", 2.7f, 2, nullptr},  {"start", -3.0f, 1, nullptr},
      {"start", 1e5f, 64, "100000 is cut to 64"}, {"start", 1e5f, 64, nullptr},  // run again alike
      {"start", 1e30f, 64, "1e+30 is cut to 64"},  // another wild count
      {"start", 1e5f, 64, nullptr},      {"start", 1e30f, 64, nullptr},  // one a run gives besides
      {"start", 5.0f, 5, nullptr},       {"start", 1e5f, 64, nullptr},
      {"start", NAN, 1, "nan is cut to 1"}, {"plants", NAN, 1, "nan is cut to 1"}};
  for (const auto& c : cases) {
    const uint64_t before = GetDebugWindow()->LinesAdded();
    EXPECT_EQ(BoundedCount(c.key, c.value, 1, 64), c.expected) << c.value;
    ASSERT_EQ(GetDebugWindow()->LinesAdded() - before, c.named ? 1u : 0u) << c.key << " " << c.value;
    if (c.named) {
      EXPECT_EQ(TuningNoticesSince(before, c.key), std::vector<std::string>{c.named}) << c.key << " " << c.value;
    }
  }
  DestroyDebugWindowForTest();
  ForgetBoundedCountNoticesForTest();
}

TEST(TuningData, ReloadFollowsTheFirstFilesWriteTime) {
  cScratchDir dir;
  std::string first = dir.File("a.xml"), second = dir.File("b.xml");
  dir.Write("a.xml", TuningXml(R"(<float name="speed" data="1"/><string name="label" data="old"/>)"));
  dir.Write("b.xml", TuningXml(R"(<int name="count" data="1"/>)"));
  SetWriteTimeSeconds(first, 1000);
  SetWriteTimeSeconds(second, 1000);
  cProbeTuningSet set(dir.Path(), {"a.xml", "b.xml"});
  EXPECT_EQ(set.applied, 1);
  EXPECT_EQ(set.Files()[0].writeTime, 1000000000000ull);

  set.ReloadIfChanged();  // nothing changed
  EXPECT_EQ(set.applied, 1);

  // The second file alone is not watched.
  dir.Write("b.xml", TuningXml(R"(<int name="count" data="2"/>)"));
  SetWriteTimeSeconds(second, 2000);
  set.ReloadIfChanged();
  EXPECT_EQ(set.applied, 1);
  EXPECT_EQ(set.count, 1);

  // A new time on the first file re-reads both; a deleted key keeps its value;
  // a changed string takes its new text.
  dir.Write("a.xml", TuningXml(R"(<string name="label" data="new"/>)"));
  SetWriteTimeSeconds(first, 3000);
  set.ReloadIfChanged();
  EXPECT_EQ(set.applied, 2);
  EXPECT_EQ(set.count, 2);
  EXPECT_FLOAT_EQ(set.speed, 1.0f);
  EXPECT_EQ(set.label, "new");

  // Through the registry as well, and only once per change.
  dir.Write("a.xml", TuningXml(R"(<float name="speed" data="7"/>)"));
  SetWriteTimeSeconds(first, 4000);
  ReloadChangedTuningData();
  ReloadChangedTuningData();
  EXPECT_EQ(set.applied, 3);
  EXPECT_FLOAT_EQ(set.speed, 7.0f);
}

TEST(TuningData, VanishedFileComparesAsTimeZeroAndKeepsItsConstants) {
  cScratchDir dir;
  dir.Write("a.xml", TuningXml(R"(<float name="speed" data="5"/>)"));
  SetWriteTimeSeconds(dir.File("a.xml"), 1000);
  cProbeTuningSet set(dir.Path(), {"a.xml"});
  std::remove(dir.File("a.xml").c_str());
  EXPECT_EQ(TuningFileWriteTime(dir.File("a.xml")), 0u);
  set.ReloadIfChanged();
  EXPECT_EQ(set.applied, 2);
  EXPECT_EQ(set.Files()[0].writeTime, 0u);
  EXPECT_FLOAT_EQ(set.speed, 5.0f);
  set.ReloadIfChanged();  // still gone: 0 equals 0, no further reload
  EXPECT_EQ(set.applied, 2);
}

TEST(TuningData, FileOfExactly512BytesParses) {
  cScratchDir dir;
  std::string text = TuningXml(R"(<int name="count" data="512"/>)");
  std::string comment = "<!--" + std::string(512 - text.size() - 7, 'x') + "-->";
  text += comment;
  ASSERT_EQ(text.size(), 512u);
  cMessageCapture capture;
  dir.Write("t.xml", text);
  cProbeTuningSet set(dir.Path(), {"t.xml"});
  EXPECT_TRUE(capture.boxes.empty());
  EXPECT_EQ(set.count, 512);
}

TEST(TuningData, RegistryListsLiveSetsAndRemoveFirstFileEmptiesTheList) {
  cScratchDir dir;
  size_t before = cTuningDataRegistry::Get().Sets().size();
  {
    cProbeTuningSet set(dir.Path(), {"a.xml", "b.xml"});
    EXPECT_EQ(cTuningDataRegistry::Get().Sets().size(), before + 1);
    EXPECT_EQ(cTuningDataRegistry::Get().Sets().back(), &set);
    EXPECT_TRUE(set.RemoveFirstFile());
    EXPECT_EQ(set.Files()[0].path, dir.Path() + "/b.xml");
    EXPECT_TRUE(set.RemoveFirstFile());
    EXPECT_FALSE(set.RemoveFirstFile());
    set.ReloadIfChanged();  // no files: nothing to watch
    EXPECT_EQ(set.applied, 1);
  }
  EXPECT_EQ(cTuningDataRegistry::Get().Sets().size(), before);
}

// Fault mended: an int written "1e30" read 1, NaN or nothing read 0 and a
// float NaN was named "0 is cut to ...", all without the file's text.
TEST(TuningData, ARangedKeyHoldsItsTextOrIsNamedOnceAsWritten) {
  DestroyDebugWindowForTest();
  CreateDebugWindow();
  const sTuningKey count = TuningInt("rooms", 5, 0, 100), speed = TuningFloat("pace", 1, 0.5, 10);  // no probe key
  const std::string kRunaway = std::string(39, 'a') + "\xC3\xA9";  // 41 bytes, the last character two
  const std::string kRunawayNamed = "\"" + std::string(39, 'a') + "...\" is not a number; 5 is used";
  const std::string kFortyBytes(40, 'a'), kFortyNamed = "\"" + kFortyBytes + "\" is not a number; 5 is used";
  const struct {
    const sTuningKey& key;
    const char* element;  // null: the key is absent
    const char* text;
    double held;
    const char* named;  // what the line says after the key; null: no line
  } rows[] = {
      {count, "int", " 7 ", 7, nullptr}, {count, "int", "100", 100, nullptr}, {count, "int", "101", 100, "101 is cut to 100"},
      {count, "int", "12abc", 12, "\"12abc\" is read as 12"}, {count, "int", "2.5", 2, "\"2.5\" is read as 2"},
      {count, "int", "1e30", 100, "1e30 is cut to 100"}, {count, "int", "-inf", 0, "-inf is cut to 0"},
      {count, "int", "NaN", 5, "\"NaN\" is not a number; 5 is used"}, {count, "int", "", 5, "\"\" is not a number; 5 is used"},
      {count, "float", "50", 5, "<float> 50 is not <int>; 5 is used"}, {count, nullptr, "", 5, nullptr},
      {speed, "float", "0.5", 0.5, nullptr}, {speed, "float", "0.25", 0.5, "0.25 is cut to 0.5"},
      {speed, "float", "inf", 10, "inf is cut to 10"}, {speed, "float", "nan", 1, "\"nan\" is not a number; 1 is used"},
      // A runaway text is shown to 40 bytes, not into a character the cut would split; one of 40 whole.
      {count, "int", kRunaway.c_str(), 5, kRunawayNamed.c_str()}, {count, "int", kFortyBytes.c_str(), 5, kFortyNamed.c_str()},
  };
  for (const auto& row : rows) {
    cScratchDir dir;
    const std::string where = std::string(row.element ? row.element : "absent") + " " + row.text;
    if (row.element) dir.Write("t.xml", TuningXml(std::string("<") + row.element + " name=\"" + row.key.name + "\" data=\"" + row.text + "\"/>"));
    cProbeTuningSet set(dir.Path(), {"t.xml"});
    ForgetBoundedCountNoticesForTest();
    const uint64_t before = GetDebugWindow()->LinesAdded();
    EXPECT_EQ(set.Read(row.key), row.held) << where;
    EXPECT_EQ(set.Read(row.key), row.held) << where;  // read again, as a reload does: named once
    ASSERT_EQ(GetDebugWindow()->LinesAdded() - before, row.named ? 1u : 0u) << where;
    if (row.named) {  // the line after the thread's "%08X: "
      EXPECT_EQ(GetDebugWindow()->Lines().back().substr(10),
                std::string("Tuning: \"") + row.key.name + "\" " + row.named + ", so that play can go on");
    }
  }
  // Fault mended: only a key's first cut was named, so a designer's second
  // edit of it in a session was cut without a word. The file read again
  // alike names nothing new; each other edit that does not stand is named as
  // written, also after the key stood in between.
  const struct {
    const char* texts[3];  // the file's edits, read in turn
    const char* named[3];  // what each reading names; null: nothing
  } edits[] = {
      {{"101", "101", "101"}, {"101 is cut to 100", nullptr, nullptr}},
      {{"101", "150", "150"}, {"101 is cut to 100", "150 is cut to 100", nullptr}},
      {{"101", "1e30", "101"}, {"101 is cut to 100", "1e30 is cut to 100", "101 is cut to 100"}},
      {{"101", "50", "101"}, {"101 is cut to 100", nullptr, "101 is cut to 100"}},
      {{"-1", "-2", "7"}, {"-1 is cut to 0", "-2 is cut to 0", nullptr}},
      {{"abc", "xyz", "xyz"}, {"\"abc\" is not a number; 5 is used", "\"xyz\" is not a number; 5 is used", nullptr}},
      {{"12abc", "13abc", "13"}, {"\"12abc\" is read as 12", "\"13abc\" is read as 13", nullptr}},
  };
  for (const auto& row : edits) {
    cScratchDir dir;
    dir.Write("t.xml", TuningXml("<int name=\"rooms\" data=\"0\"/>"));
    cProbeTuningSet set(dir.Path(), {"t.xml"});
    ForgetBoundedCountNoticesForTest();
    for (size_t e = 0; e < std::size(row.texts); ++e) {
      const std::string where = std::string(row.texts[0]) + " .. " + row.texts[e] + " (edit " + std::to_string(e) + ")";
      dir.Write("t.xml", TuningXml(std::string("<int name=\"rooms\" data=\"") + row.texts[e] + "\"/>"));
      set.Reload();
      const uint64_t before = GetDebugWindow()->LinesAdded();
      set.Read(count);
      const std::vector<std::string> expected = row.named[e] ? std::vector<std::string>{row.named[e]} : std::vector<std::string>{};
      EXPECT_EQ(TuningNoticesSince(before, count.name), expected) << where;
    }
  }
  // A number a test or a benchmark put in the file's place is held as that number.
  cScratchDir dir;
  dir.Write("t.xml", TuningXml(R"(<int name="rooms" data="7"/>)"));
  cProbeTuningSet set(dir.Path(), {"t.xml"});
  set.FindConstant("rooms", kTuningInt)->asInt = 300;
  EXPECT_EQ(set.Read(count), 100);
  sTuningConstant defined;  // and one defined in its place by code, 0 too: not the file's empty text
  defined.name = "rooms";
  set.DefineConstant(defined);
  EXPECT_EQ(set.Read(count), 0);
  ForgetBoundedCountNoticesForTest();
  DestroyDebugWindowForTest();
}
