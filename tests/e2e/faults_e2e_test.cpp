// Faults from outside the program, run through the real program with a key
// script: special files, resource limits, a full disk and permissions. Each
// case checks the message on the screen and every file of the folder
// afterwards, byte for byte.
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
std::string linkTo(const std::string& target) { return std::string("<link to ") + target + ">"; }

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
  Files before;       // plain files made first
  std::string setup;  // then these shell commands, in the folder
  std::string run;    // how the program runs; PROG stands for it
  std::string keys;
  std::string message;  // shown on the screen
  Files after;          // the whole folder afterwards, but for "keys"
};

std::string kind(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return "<absent>";
  if (S_ISFIFO(st.st_mode)) return FIFO;
  if (S_ISDIR(st.st_mode)) return FOLDER;
  if (S_ISLNK(st.st_mode)) {
    char target[256] = {};
    return readlink(path.c_str(), target, sizeof target - 1) > 0 ? linkTo(target) : "<link>";
  }
  return testkit::readFile(path);
}

void runCases(const std::vector<FaultCase>& cases) {
  for (const FaultCase& c : cases) {
    testkit::TempDir dir;
    chmod(dir.path.c_str(), 0755);  // a case may run as another user
    ASSERT_EQ(mkdir("d", 0777), 0);
    for (const auto& [name, bytes] : c.before) testkit::writeFile(std::string("d/") + name, bytes);
    testkit::writeFile("keys", c.keys);
    std::string run = c.run.empty() ? "cd d && PROG" : c.run;
    const std::string prog = std::string("'") + VKX_BINARY + "' --keys '" + dir.path + "/keys'";
    run.replace(run.find("PROG"), 4, prog);
    testkit::writeFile("run.sh",
                       std::string("cd d && { :\n") + c.setup + "\n} && cd ..\n" + run + "\n");
    // A program that blocks is ended by the timeout and fails the case.
    std::string screen;
    EXPECT_EQ(testkit::runCommand("timeout 20 sh run.sh 2>&1", &screen), 0) << c.what;
    EXPECT_NE(screen.find(c.message), std::string::npos) << c.what << "\n" << screen;
    std::vector<std::string> names;
    for (const auto& [name, bytes] : c.after) {
      names.push_back(name);
      const std::string found = kind(std::string("d/") + name);
      const std::size_t tail = std::min<std::size_t>(found.size(), 40);
      if (bytes == REPORT) {
        EXPECT_TRUE(found.rfind("VKX 2.0", 0) == 0 && found.find("NAN") == std::string::npos)
            << c.what << ": " << name << "\n"
            << found;
        continue;
      }
      EXPECT_TRUE(found == bytes) << c.what << ": " << name << " holds " << found.size()
                                  << " bytes, ending \"" << found.substr(found.size() - tail)
                                  << "\"";
    }
    EXPECT_EQ(testkit::folderFiles("d"), names) << c.what;
  }
}

TEST(Faults, SpecialFilesAreRefusedAtOnce) {
  runCases({
      {"report file is a FIFO",
       {{"g.inp", GAME}},
       "mkfifo g.out",
       "",
       SHAPLEY,
       "...system error22 on saving g.out",
       {{"g.inp", GAME}, {"g.out", FIFO}}},
      {"report file is a folder",
       {{"g.inp", GAME}},
       "mkdir g.out",
       "",
       SHAPLEY,
       "...system error21 on saving g.out",
       {{"g.inp", GAME}, {"g.out", FOLDER}}},
      {"report file is a link to /dev/full",
       {{"g.inp", GAME}},
       "ln -s /dev/full g.out",
       "",
       SHAPLEY,
       "...system error22 on saving g.out",
       {{"g.inp", GAME}, {"g.out", linkTo("/dev/full")}}},
      {"listing file is a FIFO",
       {{"g.inp", GAME}},
       "mkfifo g.ouu",
       "",
       LISTING,
       "...system error22 on saving g.ouu",
       {{"g.inp", GAME}, {"g.ouu", FIFO}}},
      {"data file is a FIFO",
       {},
       "mkfifo g.inp",
       "",
       "c1g\r",
       "...system error on loading g.inp",
       {{"g.inp", FIFO}}},
      {"positions file is a FIFO",
       {{"g.inp", GAME}, {"vkx.ini", "version=internal\n"}},
       "mkfifo p.pos",
       "",
       "c1g\r5\rp\r",
       "...system error on loading p",
       {{"g.inp", GAME}, {"p.pos", FIFO}, {"vkx.ini", "version=internal\n"}}},
      {"help file is a FIFO",
       {{"vkx.ini", "outputtab=0\n"}},
       "mkfifo vkx.hlp",
       "",
       "oi",
       "...no help available",
       {{"vkx.hlp", FIFO}, {"vkx.ini", "outputtab=0\n"}}},
      {"listed file is a FIFO",
       {},
       "mkfifo f",
       "",
       "dlf\r",
       "...system error 22 on loading f",
       {{"f", FIFO}}},
      {"listed file is /dev/zero",
       {},
       "",
       "",
       "dl/dev/zero\r",
       "...system error 22 on loading /dev/zero",
       {}},
      {"edited game is a FIFO",
       {},
       "mkfifo g.inp",
       "",
       "deg\r0\r0\r",
       "...system error on saving g.inp",
       {{"g.inp", FIFO}}},
  });
}

TEST(Faults, FileSizeLimitIsAWriteError) {
  const std::string limited = "cd d && bash -c 'ulimit -f 1; exec PROG'";
  runCases({
      {"report append beyond the limit",
       {{"g.inp", GAME}, {"g.out", filled(902)}},
       "",
       limited,
       SHAPLEY,
       "...system error27 on saving g.out",
       {{"g.inp", GAME}, {"g.out", filled(902)}}},
      {"listing append beyond the limit",
       {{"g.inp", GAME}, {"g.ouu", filled(1010)}},
       "",
       limited,
       LISTING,
       "...system error27 on saving g.ouu",
       {{"g.inp", GAME}, {"g.ouu", filled(1010)}}},
      {"editor save beyond the limit",
       {{"g.inp", bigGame()}},
       "",
       limited,
       EDIT_BIG,
       "...system error on saving g.inp",
       {{"g.inp", bigGame()}}},
  });
}

TEST(Faults, FullDiskRollsBackReportsAndListings) {
  if (testkit::runCommand("unshare -rm true 2>/dev/null") != 0)
    GTEST_SKIP() << "no user and mount namespace here for a small file system";
  // The folder becomes a tiny file system, filled up but for what the last
  // page of the existing file still takes.
  const std::string full =
      "mkdir out && unshare -rm sh -c 'cp -a d src && mount -t tmpfs -o size=64k none d && "
      "cp -a src/. d/ && cd d && { cat /dev/zero > fill; } 2>/dev/null; PROG; rm fill; "
      "cp -a . ../out/' && rm -rf d && mv out d";
  runCases({
      {"report",
       {{"g.inp", GAME}, {"g.out", filled(3500)}},
       "",
       full,
       SHAPLEY,
       "...system error28 on saving g.out",
       {{"g.inp", GAME}, {"g.out", filled(3500)}}},
      {"listing",
       {{"g.inp", GAME}, {"g.ouu", filled(4080)}, {"g.out", filled(3500)}},
       "",
       full,
       LISTING,
       "...system error28 on saving g.ouu",
       {{"g.inp", GAME}, {"g.out", filled(3500)}, {"g.ouu", filled(4080)}}},
  });
}

TEST(Faults, SavesRespectTheUsersFiles) {
  runCases({
      {"a link is followed",
       {{"real.inp", "old\n"}},
       "ln -s real.inp g.inp",
       "",
       EDIT,
       "press any key",
       {{"g.inp", linkTo("real.inp")}, {"real.inp", EDITED}}},
      {"the old temporary name is left alone",
       {{"g.inp.new", "mine\n"}},
       "",
       "",
       EDIT,
       "press any key",
       {{"g.inp", EDITED}, {"g.inp.new", "mine\n"}}},
  });
}

TEST(Faults, PermissionsOfAnotherUser) {
  if (geteuid() != 0 || testkit::runCommand("command -v setpriv >/dev/null") != 0)
    GTEST_SKIP() << "needs root and setpriv to run the program as user nobody";
  const std::string asNobody = "cd d && setpriv --reuid=65534 --regid=65534 --clear-groups PROG";
  runCases({
      {"a file the user may not write is kept",
       {{"g.inp", GAME}},
       "chmod 444 g.inp",
       asNobody,
       EDIT,
       "...system error on saving g.inp",
       {{"g.inp", GAME}}},
      {"a folder without room for a temporary file: rewritten in place",
       {{"g.inp", GAME}},
       "chmod 666 g.inp && chmod 555 .",
       asNobody + "; chmod 755 .",
       EDIT,
       "press any key",
       {{"g.inp", EDITED}}},
  });
}

TEST(Faults, GameNoThresholdCanReachIsRefusedWhenLoaded) {
  const std::string low = "1\r\n1\r\n2\r\n-2147483648\r\n-1\r\n";
  const std::string lowest = "1\r\n1\r\n1\r\n-2147483648\r\n";  // still reachable
  runCases({
      {"below -2^31",
       {{"g.inp", low}},
       "",
       "",
       "c1g\r",
       "...system error on loading g.inp",
       {{"g.inp", low}}},
      {"at -2^31",
       {{"g.inp", lowest}},
       "",
       "",
       "c1g\r1\r1\r-2147483648\r",
       "overall threshold",
       {{"g.inp", lowest}}},
  });
}

TEST(Faults, PositionsFarApart) {
  const Files base = {{"g.inp", GAME}, {"vkx.ini", "version=internal\n"}};
  auto with = [&](const std::string& pos, bool report) {
    Files f = base;
    f["p.pos"] = pos;
    if (report) f["g.out"] = REPORT;
    return f;
  };
  const std::string far = "1\n1e200\n-1e200\n3e200\n";
  const std::string beyond = "1\n1.7e308\n-1.7e308\n3\n";
  runCases({
      {"1e200 apart: numbers, not NAN", with(far, false), "", "", "c1g\r5\rp\r1\r4\r0\rn\rabc",
       "      1       2       2  0.062500  0.625000", with(far, true)},
      {"farther than the largest double: refused", with(beyond, false), "", "", "c1g\r5\rp\r",
       "...system error on loading p", with(beyond, false)},
  });
}

TEST(Faults, KeysAreReadAsTheProgramNeedsThem) {
  // Endless key sources: the program keeps running on a little memory
  // instead of reading them whole first and failing for want of memory.
  for (const std::string source : {"--keys /dev/zero", "--keys - < /dev/zero"}) {
    testkit::TempDir dir;
    std::string out;
    // A sanitizer build keeps freed memory in quarantine (256 MB unless
    // told otherwise), which would hide whether the keys are read as needed.
    testkit::runCommand(std::string("ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}"
                                    "quarantine_size_mb=8 '") +
                            VKX_BINARY + "' " + source +
                            " >/dev/null 2>&1 & pid=$!; sleep 1; "
                            "grep VmHWM /proc/$pid/status; kill $pid",
                        &out);
    ASSERT_NE(out.find("VmHWM:"), std::string::npos) << source << ": the program ended: " << out;
    EXPECT_LT(std::stol(out.substr(out.find(':') + 1)), 200 * 1024) << source << ": " << out;
  }
}

}  // namespace
