// Faults from outside the program, run through the real program with a key
// script: special files, resource limits, a full disk and permissions. Each
// case checks the message on the screen and every file of the folder
// afterwards, byte for byte: all as it was but for what the case changes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "testkit.h"

namespace {

using Files = std::map<std::string, std::string>;

// Stand-ins for what is not a plain file's bytes.
const std::string FIFO = "<fifo>", FOLDER = "<folder>";
const std::string REPORT = "<a report with no NAN>";  // time-stamped: not known byte for byte

const std::string GAME = "1\r\n1\r\n3\r\n3\r\n2\r\n1\r\n";  // weights 3, 2, 1
const std::string SHAPLEY = "c1g\r1\r1\r4\r0\rn\rabc";      // the run on g, quiet
const std::string LISTING = "c1g\r1\r1\r4\r0\ry\ry\r";      // listing the coalitions
std::string filled(std::size_t n) { return std::string(n, 'r'); }

// A weighted game of 50 players written without comments: small, but what
// the editor writes of it is longer than 1024 bytes.
std::string bigGame() {
  std::string g = "1\r\n1\r\n50\r\n";
  for (int i = 0; i < 50; ++i) g += "1\r\n";
  return g;
}
const std::string EDIT_BIG = std::string("deg\r") + std::string(53, '\r');
// The editor makes g a weighted game of one player of weight 7.
const std::string EDIT = "deg\r1\r1\r1\r7\r";
const std::string EDITED =
    "1  {datastructure weighted} \r\n1  {number of subgames}\r\n"
    "1  {number of players subgame 1}\r\n7  {weight player 1}\r\n";

struct FaultCase {
  const char* what;
  std::string setup;  // shell commands run in the folder after BEFORE is written
  std::string keys;
  std::string message;               // shown on the screen
  Files before = {{"g.inp", GAME}};  // plain files made first
  Files changed = {};                // the files that differ afterwards, as they are then
};

std::string kind(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return "<absent>";
  if (S_ISFIFO(st.st_mode)) return FIFO;
  if (S_ISDIR(st.st_mode)) return FOLDER;
  if (S_ISLNK(st.st_mode)) {
    char target[256] = {};
    if (readlink(path.c_str(), target, sizeof target - 1) < 0) return "<link>";
    return "<link to " + std::string(target) + ">";
  }
  return testkit::readFile(path);
}

// Every entry of the folder "d" by kind().
Files snapshot() {
  Files f;
  for (const std::string& name : testkit::folderFiles("d")) f[name] = kind("d/" + name);
  return f;
}

// RUN is how the program runs, from the folder above "d"; PROG stands for it.
void runCases(const std::vector<FaultCase>& cases, std::string run = "cd d && PROG") {
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.what);
    testkit::TempDir dir;
    chmod(dir.path.c_str(), 0755);  // a case may run as another user
    ASSERT_EQ(mkdir("d", 0777), 0);
    for (const auto& [name, bytes] : c.before) testkit::writeFile("d/" + name, bytes);
    ASSERT_EQ(testkit::runCommand("cd d && { :\n" + c.setup + "\n}"), 0);
    Files want = snapshot();
    for (const auto& [name, bytes] : c.changed) want[name] = bytes;
    testkit::writeFile("keys", c.keys);
    std::string script = run;
    script.replace(script.find("PROG"), 4, "'" VKX_BINARY "' --keys '" + dir.path + "/keys'");
    testkit::writeFile("run.sh", script + "\n");
    // A program that blocks is ended by the timeout and fails the case.
    std::string screen;
    EXPECT_EQ(testkit::runCommand("timeout 20 sh run.sh 2>&1", &screen), 0);
    EXPECT_NE(screen.find(c.message), std::string::npos) << screen;
    Files got = snapshot();
    for (const auto& [name, bytes] : want) {
      std::string& found = got[name];
      const std::size_t tail = std::min<std::size_t>(found.size(), 40);
      if (bytes == REPORT && found.rfind("VKX 2.0", 0) == 0 && found.find("NAN") == found.npos)
        found = REPORT;
      EXPECT_TRUE(found == bytes) << name << " holds " << found.size() << " bytes, ending \""
                                  << found.substr(found.size() - tail) << "\"";
    }
    EXPECT_EQ(got.size(), want.size()) << "files made";
  }
}

TEST(Faults, SpecialFilesAreRefusedAtOnce) {
  const Files none, internal = {{"g.inp", GAME}, {"vkx.ini", "version=internal\n"}};
  runCases({
      {"report file is a FIFO", "mkfifo g.out", SHAPLEY, "...system error22 on saving g.out"},
      {"report file is a folder", "mkdir g.out", SHAPLEY, "...system error21 on saving g.out"},
      {"report file is a link to /dev/full", "ln -s /dev/full g.out", SHAPLEY,
       "...system error22 on saving g.out"},
      {"listing file is a FIFO", "mkfifo g.ouu", LISTING, "...system error22 on saving g.ouu"},
      {"data file is a FIFO", "mkfifo g.inp", "c1g\r", "...system error on loading g.inp", none},
      {"positions file is a FIFO", "mkfifo p.pos", "c1g\r5\rp\r", "...system error on loading p",
       internal},
      {"help file is a FIFO", "mkfifo vkx.hlp", "oi", "...no help available",
       Files{{"vkx.ini", "outputtab=0\n"}}},
      {"listed file is a FIFO", "mkfifo f", "dlf\r", "...system error 22 on loading f", none},
      {"listed file is /dev/zero", "", "dl/dev/zero\r", "...system error 22 on loading /dev/zero",
       none},
      {"edited game is a FIFO", "mkfifo g.inp", "deg\r0\r0\r", "...system error on saving g.inp",
       none},
  });
}

TEST(Faults, FileSizeLimitIsAWriteError) {
  runCases({{"report append beyond the limit", "", SHAPLEY, "...system error27 on saving g.out",
             Files{{"g.inp", GAME}, {"g.out", filled(902)}}},
            {"listing append beyond the limit", "", LISTING, "...system error27 on saving g.ouu",
             Files{{"g.inp", GAME}, {"g.ouu", filled(1010)}}},
            {"editor save beyond the limit", "", EDIT_BIG, "...system error on saving g.inp",
             Files{{"g.inp", bigGame()}}}},
           "cd d && bash -c 'ulimit -f 1; exec PROG'");
}

TEST(Faults, FullDiskRollsBackReportsAndListings) {
  if (testkit::runCommand("unshare -rm true 2>/dev/null") != 0)
    GTEST_SKIP() << "no user and mount namespace here for a small file system";
  // The folder becomes a tiny file system, filled up but for what the last
  // page of the existing file still takes.
  runCases({{"report", "", SHAPLEY, "...system error28 on saving g.out",
             Files{{"g.inp", GAME}, {"g.out", filled(3500)}}},
            {"listing", "", LISTING, "...system error28 on saving g.ouu",
             Files{{"g.inp", GAME}, {"g.ouu", filled(4080)}, {"g.out", filled(3500)}}}},
           "mkdir out && unshare -rm sh -c 'cp -a d src && mount -t tmpfs -o size=64k none d && "
           "cp -a src/. d/ && cd d && { cat /dev/zero > fill; } 2>/dev/null; PROG; rm fill; "
           "cp -a . ../out/' && rm -rf d && mv out d");
}

TEST(Faults, SavesRespectTheUsersFiles) {
  runCases({
      {"a link is followed", "ln -s real.inp g.inp", EDIT, "press any key",
       Files{{"real.inp", "old\n"}}, Files{{"real.inp", EDITED}}},
      {"the old temporary name is left alone", "", EDIT, "press any key",
       Files{{"g.inp.new", "mine\n"}}, Files{{"g.inp", EDITED}}},
  });
}

TEST(Faults, PermissionsOfAnotherUser) {
  if (geteuid() != 0 || testkit::runCommand("command -v setpriv >/dev/null") != 0)
    GTEST_SKIP() << "needs root and setpriv to run the program as user nobody";
  runCases({{"a file the user may not write is kept", "chmod 444 g.inp", EDIT,
             "...system error on saving g.inp"},
            {"a folder without room for a temporary file: rewritten in place",
             "chmod 666 g.inp && chmod 555 .", EDIT, "press any key", Files{{"g.inp", GAME}},
             Files{{"g.inp", EDITED}}}},
           "cd d && setpriv --reuid=65534 --regid=65534 --clear-groups PROG; chmod 755 .");
}

TEST(Faults, GameNoThresholdCanReachIsRefusedWhenLoaded) {
  runCases({
      {"below -2^31", "", "c1g\r", "...system error on loading g.inp",
       Files{{"g.inp", "1\r\n1\r\n2\r\n-2147483648\r\n-1\r\n"}}},
      {"at -2^31: still reachable", "", "c1g\r1\r1\r-2147483648\r", "overall threshold",
       Files{{"g.inp", "1\r\n1\r\n1\r\n-2147483648\r\n"}}},
  });
}

TEST(Faults, PositionsFarApart) {
  auto with = [](const std::string& pos) {
    return Files{{"g.inp", GAME}, {"vkx.ini", "version=internal\n"}, {"p.pos", pos}};
  };
  runCases({
      {"1e200 apart: numbers, not NAN", "", "c1g\r5\rp\r1\r4\r0\rn\rabc",
       "      1       2       2  0.062500  0.625000", with("1\n1e200\n-1e200\n3e200\n"),
       Files{{"g.out", REPORT}}},
      {"farther than the largest double: refused", "", "c1g\r5\rp\r",
       "...system error on loading p", with("1\n1.7e308\n-1.7e308\n3\n")},
  });
}

TEST(Faults, KeysAreReadAsTheProgramNeedsThem) {
  // Endless key sources: the program keeps running on a little memory
  // instead of reading them whole first and failing for want of memory.
  // Under AddressSanitizer freed memory is held back (256 MB by default),
  // which would count here as the program's: the sanitizer keeps 1 MB.
  for (const std::string source : {"--keys /dev/zero", "--keys - < /dev/zero"}) {
    testkit::TempDir dir;
    std::string out;
    testkit::runCommand("ASAN_OPTIONS=quarantine_size_mb=1 '" VKX_BINARY "' " + source +
                            " >/dev/null 2>&1 & pid=$!; sleep 1; "
                            "grep VmHWM /proc/$pid/status; kill $pid",
                        &out);
    ASSERT_NE(out.find("VmHWM:"), std::string::npos) << source << ": the program ended: " << out;
    EXPECT_LT(std::stol(out.substr(out.find(':') + 1)), 200 * 1024) << source << ": " << out;
  }
}

}  // namespace
