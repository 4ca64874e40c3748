// The command line of the real program: every index and version against
// the menu command's report on the same game, CSV and JSON read back against
// the report's numbers, --files against the files the menu command writes,
// and the refusals with their exit status and message.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "testkit.h"

namespace {

using Lines = std::vector<std::string>;
using testkit::split;

struct Cli {
  int status = -1;
  std::string out, err;
};

// The program with ARGS in the current folder; standard error is kept in a
// file outside it, so the folder shows only what the program wrote.
Cli cli(const std::string& args) {
  Cli c;
  const std::string errFile = testkit::TempDir().path + ".err";
  c.status =
      testkit::runCommand(std::string("'") + VKX_BINARY + "' " + args + " 2>" + errFile, &c.out);
  c.err = testkit::readFile(errFile);
  std::remove(errFile.c_str());
  return c;
}

// A report file's text with the run's time stamps and a new file's date
// blanked: two runs of the same game differ only there.
std::string masked(const std::string& text) {
  std::string out;
  for (std::string line : split(text, "\r\n")) {
    if (line.rfind("time1: ", 0) == 0 || line.rfind("time 1: ", 0) == 0) line = "(times)";
    if (line.rfind("VKX 2.0 ", 0) == 0) line = "(header)";
    out += line + "\r\n";
  }
  return out;
}

// The player rows of a report ("      1       2       3  0.250000 ...") and
// the values of its "sum of all:" line.
void reportRows(const std::string& report, std::vector<Lines>& rows, Lines& sum) {
  for (const std::string& line : split(report, "\r\n")) {
    std::istringstream in(line);
    const Lines w{std::istream_iterator<std::string>(in), {}};
    if (line.rfind("sum of all:", 0) == 0) sum.assign(w.begin() + 3, w.end());
    if (w.size() > 3 && line.size() > 7 && line[0] == ' ' && std::isdigit(line[6]) &&
        line.find(':') == std::string::npos)
      rows.push_back(w);
  }
}

// One CSV line's fields (names with commas come quoted).
Lines csvFields(const std::string& line) {
  Lines f(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"') {
      f.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      f.emplace_back();
    } else {
      f.back() += c;
    }
  }
  return f;
}

// The report shows 6 decimals, or 15 digits in its scientific column.
void expectShown(const std::string& shown, const std::string& full, const std::string& where) {
  const double a = std::strtod(shown.c_str(), nullptr), b = std::strtod(full.c_str(), nullptr);
  EXPECT_LE(std::fabs(a - b), 5e-7 + 1e-13 * std::fabs(b)) << where << ": " << shown << " " << full;
}

void writeGames() {
  // Two subgames, weights 3 2 and 1 1; players named in the comments.
  testkit::writeFile(
      "game.inp", "1\r\n2\r\n2\r\n3 {A}\r\n2  {weight player 2} {B, \"c\"}\r\n2\r\n1\r\n1 {D}\r\n");
  testkit::writeFile("second.inp", "1\r\n2\r\n2\r\n1\r\n2\r\n2\r\n3\r\n1\r\n");
  testkit::writeFile("ugame.inp", "0\r\n2\r\n3\r\n4\r\n");
  testkit::writeFile("pos.pos", "2\r\n0 0\r\n3 4\r\n1 1\r\n0 2\r\n");
}

TEST(CommandLine, EveryIndexAndVersionAsTheMenuCommandComputesIt) {
  struct Case {
    const char* ini;   // vkx.ini of both runs
    const char* keys;  // the menu dialogue, quiet run
    const char* args;  // the same run on the command line
  } cases[] = {
      {"", "c1game\r1\r2\r4\r1\r3\r2\r0\rn\r", "shapley game.inp --winset 4,1 --winset 3,2"},
      {"", "c1game\r1\r1\r4\r1\r3\rn\r", "shapley game --winset 4,1 --overall 3"},
      {"", "c1game\r2\r1\r4\r1\r0\r2\rsecond\r1\r3\r1\rn\r",
       "shapley game --winset 4,1 --system second.inp --winset 3,1"},
      {"version=internal", "c1game\r2\r1\r4\r1\r0\r2\rsecond\r1\r3\r1\r1\r2\rn\r",
       "shapley game --winset 4,1 --system second --winset 3,1 --blocking 2"},
      {"version=internal", "c1game\r5\rpos\r1\r4\r1\r0\rn\r",
       "shapley game --winset 4,1 --positions pos"},
      {"version=internal", "c1ugame\r3\r1\r2\r3\r4\r2\r0\r0\rn\r",
       "shapley ugame --winset 2,3 --isa 4,2,0,0"},
      {"version=internal", "c1ugame\r4\r3\r2\r1\r1\r2\r3\r0\r3\r1\r3\r2\rn\r",
       "shapley ugame --winset 2,1 --winset 1,2 --winset 3,0 --isa 3,1,3,2 --working-plan"},
      {"", "c1ugame\r1\r2\r3\rn\r", "shapley ugame --winset 2,3"},
      {"", "c2game\r1\r1\r4\r1\r1\r0\r3\rn\r", "banzhaf game --winset 4,1 --overall 3"},
      {"", "c2game\r2\r1\r4\r1\r2\r1\r5\r2\rsecond\r1\r3\r1\rn\r",
       "banzhaf game --winset 4,1 --overall 5 --overall-rule or --overall-unit votes "
       "--system second --winset 3,1"},
      {"version=internal", "c2ugame\r3\r1\r2\r3\r4\r2\r0\r0\rn\r",
       "banzhaf ugame --winset 2,3 --isa 4,2,0,0"},
      {"", "c3game\r1\r2\r4\r1\r3\r2\r9\rn\r",
       "publicgood game --winset 4,1 --winset 3,2 --overall 9"},
      {"", "c3game\r2\r1\r4\r1\r0\r2\rsecond\r1\r3\r1\rn\r",
       "publicgood game --winset 4,1 --system second --winset 3,1"},
      {"", "c3ugame\r1\r2\r3\rn\r", "publicgood ugame --winset 2,3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const std::string base =
        std::string(c.args).find("ugame") != std::string::npos ? "ugame" : "game";
    testkit::TempDir dir;
    writeGames();
    testkit::writeFile("vkx.ini", std::string(c.ini) + "\r\noutputtab=1\r\n");
    ASSERT_EQ(testkit::runProgram(std::string(c.keys) + "zzzzzzzzzzzz").status, 0);
    const std::string menuOut = testkit::readFile(base + ".out");
    const std::string menuOuu = testkit::readFile(base + ".ouu");
    ASSERT_FALSE(menuOut.empty());
    // The command line then runs in the same folder without the menu's files.
    for (const char* ext : {".out", ".ouu"}) std::filesystem::remove(base + ext);
    const Cli report = cli(c.args);
    ASSERT_EQ(report.status, 0) << report.err;
    // The report is the ".out" text without the file's two header lines.
    const std::size_t body = menuOut.find("\r\n", menuOut.find("\r\n") + 2) + 2;
    EXPECT_EQ(masked(report.out), masked(menuOut.substr(body)));

    const Cli csv = cli(std::string(c.args) + " --format csv --totals --files");
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(masked(testkit::readFile(base + ".out")), masked(menuOut));
    EXPECT_EQ(testkit::readFile(base + ".ouu"), menuOuu);

    std::vector<Lines> rows;
    Lines sum;
    reportRows(report.out, rows, sum);
    ASSERT_FALSE(rows.empty() || sum.empty()) << report.out;
    const Lines csvLines = split(csv.out, "\n");
    ASSERT_EQ(csvLines.size(), rows.size() + 2) << csv.out;
    const Lines titles = csvFields(csvLines[0]);
    const nlohmann::json json =
        nlohmann::json::parse(cli(std::string(c.args) + " --format json").out);
    ASSERT_EQ(json["players"].size(), rows.size());
    for (std::size_t r = 0; r <= rows.size(); ++r) {
      const Lines f = csvFields(csvLines[r + 1]);
      ASSERT_EQ(f.size(), titles.size()) << csvLines[r + 1];
      const Lines& shown = r < rows.size() ? rows[r] : sum;
      const std::size_t first = r < rows.size() ? 3 : 0;  // the sum line has values only
      for (std::size_t k = 4; k < f.size() && first + k - 4 < shown.size(); ++k) {
        expectShown(shown[first + k - 4], f[k], csvLines[r + 1]);
        const nlohmann::json& j = r < rows.size() ? json["players"][r] : json["sum_of_all"];
        if (!f[k].empty()) {
          EXPECT_EQ(j[titles[k]].get<double>(), std::strtod(f[k].c_str(), nullptr));
        }
      }
      if (r == rows.size()) break;
      EXPECT_EQ(f[0] + " " + f[1] + " " + f[3], rows[r][0] + " " + rows[r][1] + " " + rows[r][2]);
      EXPECT_EQ(json["players"][r]["name"], f[2]);
    }
    if (base == "game" && csvLines.size() > 2) {
      EXPECT_EQ(csvFields(csvLines[1])[2], "A");
      EXPECT_EQ(csvFields(csvLines[2])[2], "B, \"c\"");
    }
  }
}

TEST(CommandLine, RefusalsWriteNothingAndSayWhy) {
  std::string eleven;
  for (int i = 0; i < 11; ++i) eleven += " --winset 1,1";
  struct Case {
    std::string args;
    int status;
    std::string message;
  } cases[] = {
      {"shapley game --winset 9,1", 2, "...thresholds not allowed"},
      {"shapley game" + eleven, 2, "...threshold number not allowed"},
      {"shapley game --winset 4", 2, "vkx: --winset 4: 1 thresholds for 2 subgames"},
      {"banzhaf game --winset 4,x", 2, "\"x\" is not a whole number"},
      {"shapley game --winset 4,1 --overall 65536", 2, "65536 is not in 0..65535"},
      {"shapley ugame --winset 2,3 --isa 1,1,-1,1", 2, "-1 is not in 0..65535"},
      {"shapley game --winset 4,1 --overall-rule or", 2, "--overall-rule requires --system"},
      {"shapley game --winset 4,1 --system second", 2, "...unequal numbers of thresholds"},
      {"shapley ugame --winset 2,3 --overall 1", 2, "unweighted game has no such threshold"},
      {"publicgood game --winset 4,1 --isa 0,0,0,0", 2, "not expected"},
      {"banzhaf game --winset 4,1 --working-plan", 2, "not expected"},
      {"shapley game --winset 4,1 --format xml", 2, "xml not in"},
      {"shapley", 2, "GAME is required"},
      {"shapley nothere --winset 1", 3, "...system error on loading nothere.inp"},
      {"shapley big --winset 1", 3, "...number of players/subgames not allowed"},
      {"shapley game --winset 4,1 --isa 0,0,0,0", 3, "...error on input file format"},
      {"shapley ugame --winset 2,3 --positions pos", 3, "...error on input file format"},
      {"shapley game --winset 4,1 --positions nopos", 3, "...system error on loading nopos"},
      {"banzhaf game --winset 4,1 --system ugame --winset 1,1", 3,
       "...system error on loading ugame.inp"},
      {"shapley game --winset 4,1 --output nodir/x.csv", 3, " on saving nodir/x.csv"},
      {"shapley game --winset 4,1 --files --output x.csv", 3, " on saving game.out"},
      // A typo in a weight is no zero; control characters are shown escaped.
      {"banzhaf typo --winset 4", 3,
       "typo.inp:4: no whole number '1.5'\ntypo.inp:5: no whole number '7\\x09{x}'\n"
       "typo.inp:6: file ends ''\n"},
      {"shapley \"$(printf 'a\\033]0;T\\007')\" --winset 1", 3,
       "...system error on loading a\\x1b]0;T\\x07.inp\n"},
  };
  testkit::TempDir dir;
  writeGames();
  std::string big = "1\r\n1\r\n51\r\n";
  for (int i = 0; i < 51; ++i) big += "1\r\n";
  testkit::writeFile("big.inp", big);
  testkit::writeFile("typo.inp", "1\r\n1\r\n3\r\n1.5\r\n7\t{x}\r\n");
  std::filesystem::create_directory("game.out");  // a report file that cannot be appended to
  const auto before = testkit::folderFiles(".");
  for (const Case& c : cases) {
    const Cli r = cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
    EXPECT_EQ(r.err.find("usage: vkx") != std::string::npos, c.status == 2) << r.err;
    EXPECT_EQ(r.out, "") << c.args;
    EXPECT_EQ(testkit::folderFiles("."), before) << c.args;
  }
}

TEST(CommandLine, OutputFileHelpAndVersion) {
  testkit::TempDir dir;
  writeGames();
  const Cli plain = cli("banzhaf game --winset 4,1 --format json");
  EXPECT_EQ(cli("banzhaf game --winset 4,1 --format json --output r.json").out, "");
  // The two runs may fall in different seconds: compare without the times.
  auto untimed = [](const std::string& text) {
    nlohmann::json j = nlohmann::json::parse(text);
    j.erase("time1");
    j.erase("time2");
    return j;
  };
  EXPECT_EQ(untimed(testkit::readFile("r.json")), untimed(plain.out));
  for (const char* args : {"--help", "shapley --help", "publicgood --help", "--version"}) {
    const Cli r = cli(args);
    EXPECT_EQ(r.status, 0) << args;
    EXPECT_NE(r.out.find("vkx"), std::string::npos) << args;
  }
  EXPECT_NE(cli("--help").out.find("--keys FILE"), std::string::npos);
  EXPECT_NE(cli("banzhaf --help").out.find("--overall-rule"), std::string::npos);
}

TEST(CommandLine, CountsStayWholeAndLargeChambersStayFinite) {
  testkit::TempDir dir;
  // A weighted player's winning coalitions are a whole number in CSV.
  testkit::writeFile("w.inp", testkit::readFile(VKX_SOURCE_DIR "/examples/eu27-votes.inp"));
  const Cli csv = cli("shapley w --winset 255 --format csv --totals");
  ASSERT_EQ(csv.status, 0) << csv.err;
  const Lines lines = split(csv.out, "\n");
  const Lines titles = csvFields(lines[0]);
  ASSERT_EQ(titles.back(), "winsets");
  for (std::size_t r = 1; r + 1 < lines.size(); ++r)
    EXPECT_EQ(csvFields(lines[r]).back().find_first_not_of("0123456789"), std::string::npos)
        << lines[r];

  // 2^2999 coalitions win: the JSON count is the report's number in
  // scientific form, the decision probability a plain ratio.
  testkit::writeFile("big.inp", "0\r\n1\r\n3000\r\n");
  const Cli report = cli("shapley big --winset 1501");
  const nlohmann::json json =
      nlohmann::json::parse(cli("shapley big --winset 1501 --format json").out);
  const std::string digits = report.out.substr(report.out.find("winning coalitions:") + 19);
  const std::string count = json["winning_coalitions"].get<std::string>();
  EXPECT_EQ(count.substr(count.find('E')), "E+902");
  EXPECT_EQ(count[0], digits[digits.find_first_not_of(' ')]);
  EXPECT_NEAR(json["decision_probability"].get<double>(), 0.4927, 1e-4);
}

// A game whose counting table takes about 150 MB, run with a third of that:
// the counting goes on by another method and prints the same numbers,
// where the program used to end on std::bad_alloc.
TEST(CommandLine, ShortOfMemoryTheResultsAreTheSame) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#endif
  testkit::TempDir dir;
  std::string game = "1\r\n1\r\n20\r\n";
  for (int i = 0; i < 20; ++i)
    game += std::to_string((100000 + i * 7919 % 120000) * 5 + i) + "\r\n";
  testkit::writeFile("h.inp", game);
  for (const char* index : {"shapley", "publicgood"}) {
    const std::string args = std::string(index) + " h --winset 7840001 --format csv";
    const Cli free = cli(args);
    std::string limited;
    const int status = testkit::runCommand(
        "ulimit -v 50000; exec '" + std::string(VKX_BINARY) + "' " + args + " 2>&1", &limited);
    ASSERT_EQ(free.status, 0) << free.err;
    EXPECT_EQ(status, 0) << index << ": " << limited;
    EXPECT_EQ(limited, free.out) << index;
  }
}

}  // namespace

// Write faults of every kind on the command line: a file-size limit, a full
// standard output, a closed pipe. Each run ends with status 3 and a message,
// and every file stays as it was; --help and --version fail with status 1.
TEST(CommandLine, WriteFaultsLeaveEveryFileAsItWas) {
  testkit::TempDir dir;
  testkit::writeFile("w.inp", testkit::readFile(VKX_SOURCE_DIR "/examples/eu27-votes.inp"));
  const std::string prog = std::string("'") + VKX_BINARY + "'";
  const std::string run = prog + " shapley w --winset 255 --files";
  ASSERT_EQ(testkit::runCommand(run + " >/dev/null"), 0);
  const auto before = testkit::folderFiles(".");
  const char* cases[] = {
      "bash -c 'ulimit -f 1; exec RUN --format csv' >/dev/null",
      "bash -c 'ulimit -f 1; exec RUN --output big.txt'",
      "RUN >/dev/full",
      "(sleep 0.5; RUN; echo $? >status) | true",
  };
  for (std::string c : cases) {
    c.replace(c.find("RUN"), 3, run);
    const std::string cmd = "{ " + c + "; } 2>../err";
    const int status = testkit::runCommand(cmd);
    const std::string err = testkit::readFile("../err");
    if (testkit::readFile("status").empty())
      EXPECT_EQ(status, 3) << c;
    else
      EXPECT_EQ(testkit::readFile("status"), "3\n") << c;
    std::remove("status");
    EXPECT_NE(err.find("...system error"), std::string::npos) << c << ": " << err;
    EXPECT_EQ(testkit::folderFiles("."), before) << c;
  }
  for (const char* flag : {" --help", " --version"})
    EXPECT_EQ(testkit::runCommand(prog + flag + " >/dev/full 2>/dev/null"), 1) << flag;
}

// Many runs appending to one report file at once: every report is whole,
// also one of more than a buffer's 4096 bytes (fifty players, eight win sets).
TEST(CommandLine, ConcurrentAppendsStayWhole) {
  testkit::TempDir dir;
  std::string game = "1\r\n1\r\n50\r\n";
  for (int i = 0; i < 50; ++i) game += std::to_string(i % 7 + 1) + "\r\n";
  testkit::writeFile("w.inp", game);
  std::string run = std::string("'") + VKX_BINARY + "' shapley w --files";
  for (int t = 100; t < 108; ++t) run += " --winset " + std::to_string(t);
  ASSERT_EQ(testkit::runCommand(run + " >/dev/null"), 0);
  const std::string one = testkit::readFile("w.out");
  ASSERT_EQ(testkit::runCommand(run + " >/dev/null"), 0);
  const std::string report = testkit::readFile("w.out").substr(one.size());
  ASSERT_EQ(testkit::runCommand("for r in 1 2 3 4 5 6; do for i in $(seq 32); do " + run +
                                " >/dev/null & done; wait; done"),
            0);
  std::string expected = one;
  ASSERT_GT(report.size(), 4096u);
  for (int i = 0; i < 1 + 6 * 32; ++i) expected += report;
  EXPECT_EQ(masked(testkit::readFile("w.out")), masked(expected));
}

// Outputs that are not plain files: a descriptor's name is written where the
// descriptor stands, a loop of links is refused, a long new name is saved.
TEST(CommandLine, OutputsThatAreNotPlainFiles) {
  testkit::TempDir dir;
  writeGames();
  const std::string run = std::string("'") + VKX_BINARY + "' shapley game --winset 4,1";
  testkit::runCommand(run + " >plain");
  for (const char* name : {"/dev/stdout", "/proc/self/fd/1"}) {
    testkit::runCommand("{ echo header; " + run + " --output " + name + "; echo trailer; } >f");
    EXPECT_EQ(masked(testkit::readFile("f")),
              masked("header\n" + testkit::readFile("plain") + "trailer\n"))
        << name;
  }
  testkit::runCommand("ln -s loop1 loop2 && ln -s loop2 loop1");
  const Cli loop = cli("shapley game --winset 4,1 --output loop1");
  EXPECT_EQ(loop.status, 3);
  EXPECT_TRUE(std::filesystem::is_symlink("loop1"));
  for (std::size_t n : {249, 255}) {
    const std::string name(n, 'x');
    EXPECT_EQ(cli("shapley game --winset 4,1 --output " + name).status, 0) << n;
    EXPECT_EQ(masked(testkit::readFile(name)), masked(testkit::readFile("plain"))) << n;
  }
}

// Random argument vectors through the real program (a fixed seed, a bounded
// number of runs): every run ends with status 0, 2 or 3, a failure says why
// on standard error, and no failure changes a file.
TEST(CommandLine, RandomArgumentsEndInAnAnswer) {
  testkit::TempDir dir;
  writeGames();
  const char* words[] = {"shapley", "banzhaf",  "publicgood",  "game",     "ugame",
                         "second",  "nofile",   "--winset",    "4,1",      "1",
                         "0",       "-1",       "99999999999", "1,2,3",    "abc",
                         "",        "--files",  "--format",    "csv",      "json",
                         "text",    "--output", "o.txt",       "--system", "--positions",
                         "pos",     "--help",   "--",          "-x",       "--winset=2"};
  std::mt19937 random(20);
  for (int run = 0; run < 300; ++run) {
    std::string args;
    const int n = static_cast<int>(random() % 7);
    for (int i = 0; i < n || args.empty(); ++i)
      args += std::string(" '") + words[random() % std::size(words)] + "'";
    std::remove("o.txt");
    const auto before = testkit::folderFiles(".");
    const Cli r = cli(args);
    EXPECT_TRUE(r.status == 0 || r.status == 2 || r.status == 3) << args << ": " << r.status;
    if (r.status != 0) {
      EXPECT_NE(r.err, "") << args;
      EXPECT_EQ(testkit::folderFiles("."), before) << args;
    }
  }
}
