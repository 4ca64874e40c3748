// The file writers and readers: roll-back, saves through a temporary file
// (links to absent files, modes, rewriting in place) and line splitting.
// Special files, links to present files and old temporary names are cases
// of the fault table through the real program (tests/e2e).
#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <map>
#include <random>
#include <stdexcept>

#include "testkit.h"

namespace {

using testkit::folderFiles;
using testkit::readFile;
using testkit::writeFile;

// The ways a writer is opened, each on a folder holding "old.txt" with OLD.
struct Opening {
  const char* what;
  const char* name;  // the file opened
  int (plat::TextOut::*open)(const std::string&);
};
const std::string OLD = "old line\r\n";
const Opening OPENINGS[] = {{"append", "old.txt", &plat::TextOut::append},
                            {"create", "new.txt", &plat::TextOut::create},
                            {"replace", "old.txt", &plat::TextOut::replace}};

// The folder holds exactly what it held before the writer was opened.
void expectUntouched(const std::string& when) {
  EXPECT_EQ(folderFiles("."), std::vector<std::string>{"old.txt"}) << when;
  EXPECT_EQ(readFile("old.txt"), OLD) << when;
}

TEST(TextOut, NothingIsKeptWithoutCommit) {
  for (const Opening& o : OPENINGS) {
    // An exception in the middle of a save, a plain early return, an
    // explicit roll back and a write error found by commit() all leave the
    // folder as it was.
    const std::function<void(plat::TextOut&)> endings[] = {
        [](plat::TextOut&) { throw std::runtime_error("in the middle of a save"); },
        [](plat::TextOut&) {},
        [](plat::TextOut& out) { out.rollback(); },
        [](plat::TextOut& out) {
          plat::faults.writeAfter = 0;
          out.write("more");
          EXPECT_EQ(out.commit(), ENOSPC);
        },
    };
    for (std::size_t e = 0; e < std::size(endings); ++e) {
      testkit::TempDir dir;
      plat::faults = plat::Faults{};
      writeFile("old.txt", OLD);
      const std::string when = std::string(o.what) + ", ending " + std::to_string(e);
      try {
        plat::TextOut out;
        ASSERT_EQ((out.*o.open)(o.name), 0) << when;
        out.writeLine(std::string(10000, 'x'));  // more than one buffer reaches the disk
        endings[e](out);
      } catch (const std::runtime_error&) {
      }
      expectUntouched(when);
    }
  }
}

TEST(TextOut, CommitKeepsWhatWasWritten) {
  for (const Opening& o : OPENINGS) {
    testkit::TempDir dir;
    writeFile("old.txt", OLD);
    plat::TextOut out;
    ASSERT_EQ((out.*o.open)(o.name), 0) << o.what;
    out.writeLine("new");
    EXPECT_EQ(out.commit(), 0) << o.what;
    out.rollback();  // after a commit there is nothing left to roll back
    const std::string expected = std::string(o.what) == "append" ? OLD + "new\r\n" : "new\r\n";
    EXPECT_EQ(readFile(o.name), expected) << o.what;
    EXPECT_EQ(folderFiles(".").size(), std::string(o.name) == "old.txt" ? 1u : 2u) << o.what;
  }
}

TEST(TextOut, CreateRefusesAFileThatIsThereAndFollowsALink) {
  testkit::TempDir dir;
  writeFile("old.txt", OLD);
  plat::TextOut out;
  EXPECT_EQ(out.create("old.txt"), EEXIST);
  expectUntouched("create over a file");
  ASSERT_EQ(symlink("made.txt", "link.txt"), 0);
  ASSERT_EQ(out.create("link.txt"), 0);
  out.writeLine("new");
  EXPECT_EQ(out.commit(), 0);
  EXPECT_EQ(readFile("made.txt"), "new\r\n");
}

mode_t modeOf(const std::string& p) {
  struct stat st {};
  return stat(p.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}
ino_t inodeOf(const std::string& p) {
  struct stat st {};
  return stat(p.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST(TextOut, SavesRespectTheUsersFiles) {
  // A save of "new\r\n" over "game.inp", with FAULTS armed: the code it
  // returns and every file of the folder afterwards. An old file keeps its
  // mode, and without a temporary file its inode too (rewritten in place).
  const struct {
    const char* what;
    const char* link = nullptr;  // game.inp is a link to this file, not yet there
    std::string old = "";        // game.inp's contents before, if there is one
    mode_t mode = 0644;
    plat::Faults faults{};
    int code = 0;
    std::map<std::string, std::string> after = {};
  } cases[] = {
      {.what = "a link to a file not yet there makes that file",
       .link = "made.inp",
       .after = {{"game.inp", "new\r\n"}, {"made.inp", "new\r\n"}}},
      {.what = "the old file's mode is kept",
       .old = OLD,
       .mode = 0640,
       .after = {{"game.inp", "new\r\n"}}},
      {.what = "no temporary file: the file is rewritten in place",
       .old = OLD + OLD,
       .mode = 0604,
       .faults = {.tempFile = EACCES},
       .after = {{"game.inp", "new\r\n"}}},
      {.what = "in place, a full disk keeps the old contents",
       .old = OLD,
       .faults = {.writeAfter = 2, .tempFile = EACCES},
       .code = ENOSPC,
       .after = {{"game.inp", OLD}}},
      {.what = "no temporary file and no old file: nothing is made",
       .faults = {.tempFile = EROFS},
       .code = EROFS},
  };
  for (const auto& c : cases) {
    testkit::TempDir dir;
    if (c.link) {
      ASSERT_EQ(symlink(c.link, "game.inp"), 0);
    } else if (!c.old.empty()) {
      writeFile("game.inp", c.old);
      chmod("game.inp", c.mode);
    }
    const ino_t inode = inodeOf("game.inp");
    plat::faults = c.faults;
    plat::TextOut out;
    int code = out.replace("game.inp");
    if (code == 0) {
      out.write("new\r\n");
      code = out.commit();
    }
    EXPECT_EQ(code, c.code) << c.what;
    std::map<std::string, std::string> after;
    for (const std::string& name : folderFiles(".")) after[name] = readFile(name);
    EXPECT_EQ(after, c.after) << c.what;
    if (c.old.empty()) continue;
    EXPECT_EQ(modeOf("game.inp"), c.mode) << c.what;
    EXPECT_TRUE(!c.faults.tempFile || inodeOf("game.inp") == inode) << c.what << ": a new inode";
  }
  plat::faults = plat::Faults{};
}

TEST(TextIn, ReadsTheLinesSplitLinesFinds) {
  // Random files of line ends, ordinary bytes and runs longer than a line
  // may be, read from disk and split in memory: the two readings agree.
  std::mt19937 rng(13);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  testkit::TempDir dir;
  for (int round = 0; round < 200; ++round) {
    std::string bytes;
    for (int n = pick(0, 12); n > 0; --n) {
      const int k = pick(0, 4);
      if (k < 2)
        bytes += "\r\n"[k];
      else if (k == 2)
        bytes.append(plat::MAX_LINE + static_cast<std::size_t>(pick(0, 2)), 'w');
      else
        bytes += static_cast<char>(pick(0, 255));
    }
    writeFile("f", bytes);
    plat::TextIn in;
    ASSERT_EQ(in.open("f"), 0);
    std::vector<std::string> read;
    for (std::string line; in.readLine(line);) read.push_back(line);
    ASSERT_EQ(read, plat::splitLines(bytes)) << "round " << round;
  }
}

}  // namespace
