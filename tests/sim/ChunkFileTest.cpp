#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "sim/gamedata/ChunkFile.h"
#include "tests/support/TestSupport.h"

static void PutWord(std::vector<uint8_t>& out, uint32_t word) {
  for (int i = 0; i < 4; ++i) out.push_back((uint8_t)(word >> (8 * i)));
}

static std::vector<uint8_t> Header(uint32_t version = 8) {
  std::vector<uint8_t> out;
  PutWord(out, cChunkFile::kMagic);
  PutWord(out, version);
  return out;
}

static void PutChunk(std::vector<uint8_t>& out, uint32_t id, std::vector<uint8_t> body) {
  PutWord(out, id);
  PutWord(out, (uint32_t)body.size());
  out.insert(out.end(), body.begin(), body.end());
}

TEST(ChunkFile, WritesTheHeaderAndChunksAndReadsThemBack) {
  cScratchDir dir;
  std::string path = dir.File("chunks.bin");
  cChunkFile writer;
  ASSERT_TRUE(writer.OpenWrite(path, 8));
  EXPECT_TRUE(writer.WriteChunk(7, 3, "abc"));
  EXPECT_TRUE(writer.WriteChunk(9, 1, "z"));
  ASSERT_TRUE(writer.FinishWrite());
  EXPECT_FALSE(Sys_IsRegularFile(path + ".tmp"));

  const std::string contents = FileContents(path);
  const std::vector<uint8_t> bytes(contents.begin(), contents.end());
  std::vector<uint8_t> expected = Header();
  PutChunk(expected, 7, {'a', 'b', 'c'});
  PutChunk(expected, 9, {'z'});
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(bytes[0], 'K');  // "KNHC" on disk

  cChunkFile reader;
  std::string refusal;
  ASSERT_TRUE(reader.OpenRead(path, refusal));
  EXPECT_TRUE(reader.IsChainComplete());
  EXPECT_EQ(reader.GetVersion(), 8u);
  EXPECT_EQ(reader.GetChunkId(), 7u);
  char body[4] = {};
  EXPECT_TRUE(reader.ReadChunk(body));
  EXPECT_STREQ(body, "abc");
  EXPECT_FALSE(reader.AtEnd());
  EXPECT_TRUE(reader.FindChunk(9));
  reader.SkipChunk();
  EXPECT_TRUE(reader.AtEnd());
  reader.Rewind();
  EXPECT_EQ(reader.GetChunkId(), 7u);
  EXPECT_TRUE(reader.ReadChunkById(9, body));
  EXPECT_EQ(body[0], 'z');
  EXPECT_FALSE(reader.FindChunk(7));  // only forward from the current chunk
}

TEST(ChunkFile, HeaderOnlyFileIsAtEndAtOnceAndWrongMagicIsRefused) {
  std::vector<uint8_t> bytes = Header();
  cChunkFile reader;
  ASSERT_TRUE(reader.OpenReadBytes(bytes.data(), bytes.size()));
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_TRUE(reader.IsChainComplete());

  bytes[0] = 'X';
  EXPECT_FALSE(reader.OpenReadBytes(bytes.data(), bytes.size()));
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_FALSE(reader.OpenReadBytes(bytes.data(), 3));
  std::string refusal;
  EXPECT_FALSE(reader.OpenRead("no/such/file.bin", refusal));
}

TEST(ChunkFile, AnEmptyLastChunkIsNeverVisited) {
  std::vector<uint8_t> bytes = Header();
  PutChunk(bytes, 1, {'x'});
  PutChunk(bytes, 2, {});
  cChunkFile reader;
  ASSERT_TRUE(reader.OpenReadBytes(bytes.data(), bytes.size()));
  EXPECT_TRUE(reader.IsChainComplete());
  reader.SkipChunk();
  EXPECT_TRUE(reader.AtEnd());
  reader.Rewind();
  EXPECT_FALSE(reader.FindChunk(2));
}

// Fault mended: chunk sizes were trusted, so an oversized or cut chunk read
// past the file or asked for a 4 GiB buffer.
TEST(ChunkFile, ChainCheckFindsOversizedTruncatedAndTrailingData) {
  std::vector<uint8_t> good = Header();
  PutChunk(good, 1, {1, 2, 3, 4});

  std::vector<uint8_t> oversized = good;
  oversized[12] = 5;  // size 5, body of 4
  std::vector<uint8_t> huge = good;
  huge[12] = 0xF0, huge[13] = huge[14] = huge[15] = 0xFF;
  std::vector<uint8_t> trailing = good;
  trailing.push_back(0);
  trailing.push_back(0);
  std::vector<uint8_t> cutHeader(good.begin(), good.begin() + 13);

  cChunkFile reader;
  for (auto* bad : {&oversized, &huge, &trailing, &cutHeader}) {
    ASSERT_TRUE(reader.OpenReadBytes(bad->data(), bad->size()));
    EXPECT_FALSE(reader.IsChainComplete());
  }
  ASSERT_TRUE(reader.OpenReadBytes(huge.data(), huge.size()));
  EXPECT_EQ(reader.GetChunkData(), nullptr);
  reader.SkipChunk();
  EXPECT_TRUE(reader.AtEnd());

  ASSERT_TRUE(reader.OpenReadBytes(oversized.data(), oversized.size()));
  uint8_t body[5] = {9, 9, 9, 9, 9};
  EXPECT_FALSE(reader.ReadChunk(body));  // cut short: the missing byte reads as zero
  EXPECT_EQ(body[3], 4);
  EXPECT_EQ(body[4], 0);
  EXPECT_TRUE(reader.AtEnd());
}

static std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// Fault mended: a save wrote over the target in place and ignored write errors;
// then Close threw a finished write away.
TEST(ChunkFile, CloseFinishesAWriteAndOnlyAnUnfinishedWriterIsAbandoned) {
  cScratchDir dir;
  dir.Write("old.bin", "previous");
  {
    cChunkFile writer;
    ASSERT_TRUE(writer.OpenWrite(dir.File("old.bin"), 8));
    writer.WriteChunk(1, 2, "hi");
  }  // destroyed before finishing
  EXPECT_EQ(FileContents(dir.File("old.bin")), "previous");
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"old.bin"});

  cChunkFile writer;
  ASSERT_TRUE(writer.OpenWrite(dir.File("old.bin"), 8));
  writer.WriteChunk(1, 2, "hi");
  EXPECT_TRUE(writer.Close());
  EXPECT_EQ(FileContents(dir.File("old.bin")).size(), 18u);

  // The target is a folder: refused before anything is written.
  ASSERT_EQ(system(("mkdir -p " + dir.File("folder") + "/inside").c_str()), 0);
  EXPECT_FALSE(writer.OpenWrite(dir.File("folder"), 8));
  EXPECT_FALSE(writer.OpenWrite(dir.File("missing/dir/x.bin"), 8));
  EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"folder", "old.bin"}));
}

// Faults mended: the temporary had a fixed name (a file there was lost, a link
// there redirected the save); a link was replaced instead of written through;
// a device or pipe became a plain file; the permission bits were lost.
TEST(ChunkFile, SavesGoThroughLinksKeepPermissionsAndLeaveOtherFilesAlone) {
  cScratchDir dir;
  auto save = [](const std::string& path) {
    cChunkFile writer;
    return writer.OpenWrite(path, 8) && writer.WriteChunk(7, 1, "x") && writer.Close();
  };
  dir.Write("game.sav.tmp", "someone else's");
  dir.Write("victim", "untouched");
  ASSERT_EQ(symlink(dir.File("victim").c_str(), dir.File("game.sav.XXXXXX").c_str()), 0);
  dir.Write("real.sav", "old");
  ASSERT_EQ(chmod(dir.File("real.sav").c_str(), 0600), 0);
  ASSERT_EQ(symlink("real.sav", dir.File("game.sav").c_str()), 0);

  ASSERT_TRUE(save(dir.File("game.sav")));
  struct stat st;
  ASSERT_EQ(lstat(dir.File("game.sav").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(FileContents(dir.File("real.sav")).size(), 17u);
  ASSERT_EQ(stat(dir.File("real.sav").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(FileContents(dir.File("game.sav.tmp")), "someone else's");
  EXPECT_EQ(FileContents(dir.File("victim")), "untouched");
  EXPECT_EQ(FolderEntries(dir.Path()).size(), 5u);  // nothing left behind

  ASSERT_EQ(mkfifo(dir.File("pipe").c_str(), 0600), 0);
  EXPECT_FALSE(save(dir.File("pipe")));
  EXPECT_FALSE(save("/dev/null"));
  ASSERT_EQ(lstat(dir.File("pipe").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  ASSERT_EQ(stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

// Faults mended: reading took the whole file before looking at it, so a huge
// file froze the load and a pipe or endless file blocked it forever.
TEST(ChunkFile, ReadingRefusesNonRegularOversizedAndForeignFilesBeforeReadingThem) {
  cScratchDir dir;
  std::vector<uint8_t> file = Header();
  PutChunk(file, 7, std::vector<uint8_t>(84, 1));  // 100 bytes in all
  dir.Write("good", std::string(file.begin(), file.end()));
  cChunkFile reader;
  std::string refusal;
  EXPECT_TRUE(reader.OpenRead(dir.File("good"), refusal, 100));
  EXPECT_FALSE(reader.OpenRead(dir.File("good"), refusal, 99));
  ASSERT_EQ(mkfifo(dir.File("pipe").c_str(), 0600), 0);
  EXPECT_FALSE(reader.OpenRead(dir.File("pipe"), refusal));  // returns at once: nobody writes to it
  EXPECT_FALSE(reader.OpenRead("/dev/zero", refusal));
  // A sparse file far larger than memory is refused by its size.
  FILE* huge = fopen(dir.File("huge").c_str(), "wb");
  ASSERT_NE(huge, nullptr);
  fwrite(file.data(), 1, 8, huge);
  fclose(huge);
  ASSERT_EQ(truncate(dir.File("huge").c_str(), 64ll << 30), 0);
  EXPECT_FALSE(reader.OpenRead(dir.File("huge"), refusal, 1u << 20));
  EXPECT_TRUE(reader.AtEnd());
}
