// The file writers and readers: roll-back, saves through a temporary file
// (links to absent files, modes, rewriting in place) and line splitting.
// Special files, links to present files and old temporary names are cases
// of the fault table through the real program (tests/e2e).
#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <random>
#include <stdexcept>

#include "testkit.h"

namespace {

using testkit::fileExists;
using testkit::folderFiles;
using testkit::readFile;
using testkit::writeFile;

// The ways a writer is opened, each on a folder holding "old.txt" with OLD.
struct Opening {
  const char* what;
  const char* name;  // the file opened
  std::function<int(plat::TextOut&, const std::string&)> open;
  bool existing;  // the file is there before
};
const std::string OLD = "old line\r\n";
const Opening OPENINGS[] = {
    {"append", "old.txt", [](plat::TextOut& o, const std::string& p) { return o.append(p); }, true},
    {"create", "new.txt", [](plat::TextOut& o, const std::string& p) { return o.create(p); },
     false},
    {"replace", "old.txt", [](plat::TextOut& o, const std::string& p) { return o.replace(p); },
     true},
};

// The folder holds exactly what it held before the writer was opened.
void expectUntouched(const testkit::TempDir& dir, const std::string& when) {
  EXPECT_EQ(folderFiles(dir.path), std::vector<std::string>{"old.txt"}) << when;
  EXPECT_EQ(readFile("old.txt"), OLD) << when;
}

void expectUntouchedGame(const std::string& when) {
  EXPECT_EQ(folderFiles("."), std::vector<std::string>{"game.inp"}) << when;
  EXPECT_EQ(readFile("game.inp"), OLD) << when;
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
        ASSERT_EQ(o.open(out, o.name), 0) << when;
        out.writeLine(std::string(10000, 'x'));  // more than one buffer reaches the disk
        endings[e](out);
      } catch (const std::runtime_error&) {
      }
      expectUntouched(dir, when);
    }
  }
}

TEST(TextOut, CommitKeepsWhatWasWritten) {
  for (const Opening& o : OPENINGS) {
    testkit::TempDir dir;
    writeFile("old.txt", OLD);
    plat::TextOut out;
    ASSERT_EQ(o.open(out, o.name), 0) << o.what;
    out.writeLine("new");
    EXPECT_EQ(out.commit(), 0) << o.what;
    out.rollback();  // after a commit there is nothing left to roll back
    const std::string expected = std::string(o.what) == "append" ? OLD + "new\r\n" : "new\r\n";
    EXPECT_EQ(readFile(o.name), expected) << o.what;
    EXPECT_EQ(folderFiles(dir.path).size(), o.existing ? 1u : 2u) << o.what;
  }
}

TEST(TextOut, CreateRefusesAFileThatIsThereAndFollowsALink) {
  testkit::TempDir dir;
  writeFile("old.txt", OLD);
  plat::TextOut out;
  EXPECT_EQ(out.create("old.txt"), EEXIST);
  expectUntouched(dir, "create over a file");
  ASSERT_EQ(symlink("made.txt", "link.txt"), 0);
  ASSERT_EQ(out.create("link.txt"), 0);
  out.writeLine("new");
  EXPECT_EQ(out.commit(), 0);
  EXPECT_EQ(readFile("made.txt"), "new\r\n");
}

// A save of "new\r\n" over "game.inp" in a folder prepared by SETUP.
struct SaveCase {
  const char* what;
  std::function<void()> setup;
  std::function<void()> arm;  // faults for this save
  int code;                   // what the save returns
  std::function<void(const std::string&)> check;
};

mode_t modeOf(const std::string& p) {
  struct stat st {};
  return stat(p.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}
ino_t inodeOf(const std::string& p) {
  struct stat st {};
  return stat(p.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST(TextOut, SavesRespectTheUsersFiles) {
  static ino_t before = 0;
  const SaveCase cases[] = {
      {"a link to a file not yet there makes that file",
       [] { ASSERT_EQ(symlink("made.inp", "game.inp"), 0); }, [] {}, 0,
       [](const std::string& w) {
         EXPECT_EQ(readFile("made.inp"), "new\r\n") << w;
         EXPECT_EQ(folderFiles("."), (std::vector<std::string>{"game.inp", "made.inp"})) << w;
       }},
      {"the old file's mode is kept",
       [] {
         writeFile("game.inp", OLD);
         chmod("game.inp", 0640);
       },
       [] {}, 0,
       [](const std::string& w) {
         EXPECT_EQ(modeOf("game.inp"), 0640u) << w;
         EXPECT_EQ(readFile("game.inp"), "new\r\n") << w;
       }},
      {"no temporary file: the file is rewritten in place",
       [] {
         writeFile("game.inp", OLD + OLD);
         chmod("game.inp", 0604);
         before = inodeOf("game.inp");
       },
       [] { plat::faults.tempFile = EACCES; }, 0,
       [](const std::string& w) {
         EXPECT_EQ(readFile("game.inp"), "new\r\n") << w;
         EXPECT_EQ(inodeOf("game.inp"), before) << w;
         EXPECT_EQ(modeOf("game.inp"), 0604u) << w;
         EXPECT_EQ(folderFiles("."), std::vector<std::string>{"game.inp"}) << w;
       }},
      {"in place, a full disk keeps the old contents", [] { writeFile("game.inp", OLD); },
       [] {
         plat::faults.tempFile = EACCES;
         plat::faults.writeAfter = 2;
       },
       ENOSPC, [](const std::string& w) { expectUntouchedGame(w); }},
      {"no temporary file and no old file: nothing is made", [] {},
       [] { plat::faults.tempFile = EROFS; }, EROFS,
       [](const std::string& w) { EXPECT_EQ(folderFiles("."), std::vector<std::string>{}) << w; }},
  };
  for (const SaveCase& c : cases) {
    testkit::TempDir dir;
    plat::faults = plat::Faults{};
    c.setup();
    c.arm();
    plat::TextOut out;
    int code = out.replace("game.inp");
    if (code == 0) {
      out.write("new\r\n");
      code = out.commit();
    }
    EXPECT_EQ(code, c.code) << c.what;
    c.check(c.what);
  }
}

TEST(TextIn, ReadsTheLinesSplitLinesFinds) {
  // Random files of line ends, ordinary bytes and runs longer than a line
  // may be, read from disk and split in memory: the two readings agree.
  std::mt19937 rng(13);
  testkit::TempDir dir;
  for (int round = 0; round < 200; ++round) {
    std::string bytes;
    for (int n = std::uniform_int_distribution<int>(0, 12)(rng); n > 0; --n) {
      switch (std::uniform_int_distribution<int>(0, 4)(rng)) {
        case 0:
          bytes += '\r';
          break;
        case 1:
          bytes += '\n';
          break;
        case 2:
          bytes.append(plat::MAX_LINE + std::uniform_int_distribution<std::size_t>(0, 2)(rng), 'w');
          break;
        default:
          bytes += static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng));
      }
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
