// The command line of the real program: every index and version against
// the menu command's report on the same game, CSV and JSON read back against
// the report's numbers, --files against the files the menu command writes,
// and the refusals with their exit status and message.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/utf8.h"
#include "testkit.h"

namespace {

using Lines = std::vector<std::string>;
using testkit::split;

using Cli = testkit::CliRun;
Cli cli(const std::string& args) { return testkit::runCli(args); }

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
    const Lines csvLines = split(testkit::withoutQuotas(csv.out), "\n");
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
      // Beyond 50 players only the fast methods count: not a negative
      // weight, in any version; beyond 65535 players nothing does.
      {"shapley big --winset 1", 3, "51 players: a game with a negative weight is counted only"},
      {"shapley big --winset 1 --positions pos", 3,
       "a game with a negative weight is counted only"},
      {"shapley huge --winset 1", 3, "...number of players/subgames not allowed"},
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
      // C1 controls and bytes that are not UTF-8 as well, in lines and names.
      {"banzhaf c1 --winset 4", 3,
       "c1.inp:4: no whole number '\\x9b"
       "2J\\xff'\n"},
      {"banzhaf --weights \"$(printf 'x\\302\\233:4')\" --winset 4", 2,
       "vkx: a name with a brace or a control character in --weights"},
      // Games typed or piped, shares, ranges and lists of indices.
      {"banzhaf --weights 4,x --winset 4", 2, "vkx: no whole number 'x' in --weights"},
      {"banzhaf game --weights 4 --winset 4", 2, "exclude each other"},
      {"banzhaf --members 3,4 --weights 4 --winset 4", 2, "exclude each other"},
      {"banzhaf --weights 4,4 --winset 4 --files", 2, "no data file to write beside"},
      {"banzhaf --weights 4,4 --winset 4 --system-weights 1 --winset 1", 3,
       "...system error on loading --system-weights 1"},
      {"banzhaf - --winset 4 </dev/null", 3, "-:1: file ends"},
      {"banzhaf game --winset 4,x%", 2, "\"x%\" is not a whole number"},
      {"banzhaf game --winset 4,101%", 2, "\"101%\" is not a whole number"},
      {"banzhaf game --winset 4,1 --output game.inp", 2, "the run reads this file"},
      {"shapley,nothing game --winset 4,1", 2, "no index named \"nothing\""},
      {"all ugame --winset 2,3 --positions pos", 3, "...error on input file format"},
      {"publicgood,shapley ugame --winset 2,3 --isa 4,2,0,0", 3, "...error on input file format"},
      // Arguments that would mean something else, and outputs on one file.
      {"shapley game --winset 4,1 --plot -", 2, "vkx: --plot -: standard output gets the table"},
      {"design banzhaf --target 1,2,3 --output - --plot -", 2, "vkx: --plot -: standard output"},
      {"shapley - --winset 4,1 --system - --winset 1,2 <game.inp", 2, "read once"},
      {"shapley /dev/stdin --winset 4,1 --positions - <game.inp", 2, "read once"},
      {"shapley game --winset 4,1 --memory ''", 2, "vkx: --memory: an empty text names nothing"},
      {"shapley game --winset 4,1 --output ''", 2, "vkx: --output: an empty text"},
      {"shapley game --winset 4,1 --plot ''", 2, "vkx: --plot: an empty text"},
      {"shapley game --winset 4,1 --system '' --winset 1,2", 2, "vkx: --system: an empty text"},
      {"check game --winset 4,1 --yes A --output ''", 2, "vkx: --output: an empty text"},
      {"shapley game --winset 4,1 --exhaustive --estimate", 2, "excludes --exhaustive"},
      {"shapley ugame --winset 2,3 --isa 5,99,0,0", 2, "chambers, of which the game has 2"},
      {"shapley ugame --winset 2,3 --isa 5,1,1,3", 2, "chambers, of which the game has 2"},
      {"shapley ugame", 2, "--winset is required: unweighted chambers have no default"},
      {"banzhaf game --winset 4,1 --files --plot game.out", 2, "--files writes game.out, the same"},
      {"banzhaf game --winset 4,1 --files --output ./game.ouu", 2, "writes ./game.ouu, the same"},
      {"banzhaf game --winset 4,1 --plot link.svg --output a.svg", 2, ", the same file"},
      {"banzhaf game --winset 4,1 --output x/../a.csv --plot a.csv", 2, ", the same file"},
  };
  testkit::TempDir dir;
  writeGames();
  std::string big = "1\r\n1\r\n51\r\n", huge = "1\r\n1\r\n65536\r\n";
  for (int i = 0; i < 50; ++i) big += "1\r\n";
  for (int i = 0; i < 65536; ++i) huge += "1\r\n";
  testkit::writeFile("big.inp", big + "-1\r\n");
  testkit::writeFile("huge.inp", huge);
  testkit::writeFile("typo.inp", "1\r\n1\r\n3\r\n1.5\r\n7\t{x}\r\n");
  testkit::writeFile("c1.inp",
                     "1\r\n1\r\n2\r\n\x9b"
                     "2J\xff\r\n1\r\n");
  std::filesystem::create_directory("game.out");  // a report file that cannot be appended to
  testkit::writeFile("vkx.ini", "outputtab=1\r\n");
  std::filesystem::create_symlink("a.svg", "link.svg");  // to a file not yet there
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

// "-" is standard input for a further vote system or the positions, and
// standard output for the picture beside a table in a file, each the same as
// the file named (the refusals where it cannot be are in the table above).
TEST(CommandLine, DashIsStandardInputOrOutputWhereItCanBe) {
  testkit::TempDir dir;
  writeGames();
  ASSERT_EQ(cli("banzhaf game --winset 4,1 --output t.csv --plot p.svg").status, 0);
  EXPECT_EQ(cli("banzhaf game --winset 4,1 --output t.csv --plot -").out,
            testkit::readFile("p.svg"));
  const std::pair<const char*, const char*> read[] = {
      {"--system - --winset 1,2 <second.inp", "--system second --winset 1,2"},
      {"--positions - <pos.pos", "--positions pos"}};
  for (const auto& [dash, named] : read) {
    const std::string run = "shapley game --winset 4,1 --format csv ";
    const Cli r = cli(run + dash);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, cli(run + named).out) << dash;
  }
  EXPECT_FALSE(std::filesystem::exists("-"));
}

// Without --winset a weighted game is counted at a simple majority of each
// subgame, every output the same as with "majority" typed.
TEST(CommandLine, DefaultQuotaIsTheMajorityOfEachSubgame) {
  testkit::TempDir dir;
  writeGames();
  // The game, the majority typed, and what follows it (a vote system).
  const std::string games[][3] = {
      {"game", "majority,majority", ""},
      {"--weights 5,3,2,1,1", "majority", ""},
      {"--weights 7,1,1 --weights 2,2,2", "majority,majority",
       " --system-weights 1,1,1/3,2,1 --winset majority,majority"},
  };
  for (const auto& [game, majority, system] : games) {
    for (const std::string run :
         {"all * --format csv", "banzhaf * --format json", "check * --yes 1"}) {
      if (run[0] == 'c' && !system.empty()) continue;
      const std::size_t at = run.find('*');
      const std::string head = run.substr(0, at) + game, tail = run.substr(at + 1);
      const Cli plain = cli(head + (system.empty() ? "" : " --system-weights 1,1,1/3,2,1") + tail);
      const Cli typed = cli(head + " --winset " + majority + system + tail);
      ASSERT_EQ(plain.status, 0) << game << " " << run << ": " << plain.err;
      // JSON ends in the time stamps, which may differ by a second.
      EXPECT_EQ(plain.out.substr(0, plain.out.find("time1")),
                typed.out.substr(0, typed.out.find("time1")))
          << game << " " << run;
    }
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
  ASSERT_EQ(titles[titles.size() - 2], "winsets");
  ASSERT_EQ(titles.back(), "shapley_method");
  for (std::size_t r = 1; r + 1 < lines.size(); ++r) {
    const Lines f = csvFields(lines[r]);
    EXPECT_EQ(f[f.size() - 2].find_first_not_of("0123456789"), std::string::npos) << lines[r];
  }

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

// Endless or huge input under a memory limit: the game is read as a stream
// up to its last value (a pipe that goes on after it is refused), a source
// beyond any game's size or a count beyond the tables stops the reading at once.
TEST(CommandLine, EndlessInputIsReadOnlyAsFarAsAGame) {
#if defined(__SANITIZE_ADDRESS__)
  const std::string limit;  // the sanitizer reserves more address space than a limit allows
#else
  const std::string limit = "ulimit -v 200000; ";
#endif
  testkit::TempDir dir;
  const std::string prog = std::string("'") + VKX_BINARY + "'";
  const struct {
    const char* source;  // piped in, or a GAME argument
    int status;
    const char* text;  // on standard output (status 0) or error
  } cases[] = {
      {"printf '1\\n1\\n1\\n5\\n\\n' |", 0, "1,1,,5,1,1,1,"},
      {"yes 1 |", 3, "-:5: more after the game's last value '1'\n"},
      {"/dev/zero", 3, "/dev/zero:1: beyond 32 MB, more than any game takes\n"},
      {"cat /dev/urandom | tr -d '\\n\\r' |", 3, "-:1: beyond 32 MB"},
      {"yes x |", 3, "-:1: no whole number 'x'\n-:2: no whole number 'x'\n"},
      {"yes 65535 |", 3, "...number of players/subgames not allowed\n"},
      {"(printf '1\\n10\\n'; yes 2147483647) |", 3, "...number of players/subgames not allowed\n"},
      {"(printf '1\\n2\\n40000\\n'; yes 1) |", 3,
       "-:40006: more after the game's last value '1'\n"},
  };
  for (const auto& c : cases) {
    const bool piped = std::string(c.source).back() == '|';
    const std::string command = "(" + limit + (piped ? c.source : "") + " " + prog + " shapley " +
                                (piped ? "-" : c.source) + " --winset 1 --format csv 2>err)";
    std::string out;
    EXPECT_EQ(testkit::runCommand(command, &out), c.status) << command;
    const std::string shown = c.status == 0 ? out : testkit::readFile("err");
    EXPECT_NE(shown.find(c.text), std::string::npos) << command << "\n" << shown;
  }
}

// Write faults of every kind on the command line: a file-size limit, a full
// standard output. Each run ends with status 3 and a message, and every file
// stays as it was; --help and --version fail with status 1. A closed pipe
// (a reader such as head that has had enough) ends the run quietly by
// SIGPIPE, its files as they were, as the standard tools end.
TEST(CommandLine, WriteFaultsLeaveEveryFileAsItWas) {
  testkit::TempDir dir;
  testkit::writeFile("w.inp", testkit::readFile(VKX_SOURCE_DIR "/examples/eu27-votes.inp"));
  const std::string prog = std::string("'") + VKX_BINARY + "'";
  const std::string run = prog + " shapley w --winset 255 --files";
  ASSERT_EQ(testkit::runCommand(run + " >/dev/null"), 0);
  const auto before = testkit::folderFiles(".");
  const std::string out = testkit::readFile("w.out");
  const struct {
    const char* command;
    const char* status;  // as the shell gives it
    bool message;
  } cases[] = {
      {"bash -c 'ulimit -f 1; exec RUN --format csv' >/dev/null", "3", true},
      {"bash -c 'ulimit -f 1; exec RUN --output big.txt'", "3", true},
      {"RUN >/dev/full", "3", true},
      {"(sleep 0.5; RUN; echo $? >status) | true", "141", false},
      {"(sleep 0.5; RUN --plot p.svg --format csv; echo $? >status) | true", "141", false},
      {"(sleep 0.5; RUN --plan; echo $? >status) | true", "141", false},
      {"(sleep 0.5; RUN --help; echo $? >status) | true", "141", false},
  };
  for (const auto& c : cases) {
    std::string command = c.command;
    command.replace(command.find("RUN"), 3, run);
    const int status = testkit::runCommand("{ " + command + "; } 2>../err");
    const std::string err = testkit::readFile("../err");
    if (testkit::readFile("status").empty())
      EXPECT_EQ(std::to_string(status), c.status) << command;
    else
      EXPECT_EQ(testkit::readFile("status"), c.status + std::string("\n")) << command;
    std::remove("status");
    EXPECT_EQ(err.find("...system error") != std::string::npos, c.message)
        << command << ": " << err;
    if (!c.message) {
      EXPECT_EQ(err, "") << command;
    }
    EXPECT_EQ(testkit::folderFiles("."), before) << command;
    EXPECT_EQ(testkit::readFile("w.out"), out) << command;
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

namespace {

// A run's output with what differs between runs of the same game blanked:
// the time stamps, the report's data file line, the JSON's file names.
std::string same(const std::string& text) {
  std::string out, last;
  for (std::string line : split(text, "\n")) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    for (const char* key : {"time1: ", "time 1: ", "primary data file: ", "  \"time1\": ",
                            "  \"time2\": ", "    \"file\": "})
      if (line.rfind(key, 0) == 0) line = key;
    if (last == "    \"systems\": [") line = "(system)";
    last = line;
    out += line + "\n";
  }
  return out;
}

void writeCouncil() {
  testkit::writeFile("c.inp",
                     "1\r\n1\r\n5\r\n29 {DE}\r\n29 {FR}\r\n27 {PL}\r\n13 {NL}\r\n4 {MT}\r\n");
  testkit::writeFile("s.inp", "1\r\n1\r\n5\r\n1\r\n1\r\n1\r\n1\r\n1\r\n");
  testkit::writeFile("ugame.inp", "0\r\n2\r\n3\r\n4\r\n");
}

}  // namespace

// The same game from a file, typed as options, on standard input, through
// /dev/stdin and a process substitution gives the same output.
TEST(CommandLineScripts, TypedAndPipedGamesAreTheFileGame) {
  testkit::TempDir dir;
  writeCouncil();
  const std::string prog = std::string("'") + VKX_BINARY + "' ";
  const struct {
    const char* file;   // the run on the data file
    const char* other;  // the same game another way
  } cases[] = {
      {"shapley c --winset 60", "shapley --weights DE:29,FR:29,PL:27,NL:13,MT:4 --winset 60"},
      {"banzhaf c --winset 60", "banzhaf - --winset 60 <c.inp"},
      {"publicgood c --winset 60", "publicgood /dev/stdin --winset 60 <c.inp"},
      {"all c --winset 60", "all --weights DE:29,FR:29,PL:27,NL:13,MT:4 --winset 60"},
      {"shapley ugame --winset 2,3", "shapley --members 3,4 --winset 2,3"},
      {"banzhaf c --winset 60 --system s --winset 3",
       "banzhaf --weights DE:29,FR:29,PL:27,NL:13,MT:4 --winset 60 --system-weights 1,1,1,1,1 "
       "--winset 3"},
  };
  for (const auto& c : cases)
    for (const char* format : {" --format csv", " --format json", ""}) {
      SCOPED_TRACE(std::string(c.other) + format);
      const Cli file = cli(c.file + std::string(format));
      const Cli other = cli(c.other + std::string(format));
      ASSERT_EQ(file.status, 0) << file.err;
      EXPECT_EQ(other.status, 0) << other.err;
      EXPECT_EQ(same(other.out), same(file.out));
    }
  std::string substituted;
  testkit::runCommand("bash -c \"" + prog + "banzhaf <(cat c.inp) --winset 60 --format csv\"",
                      &substituted);
  EXPECT_EQ(substituted, cli("banzhaf c --winset 60 --format csv").out);
  // "-" as --output is standard output; an output over an input is refused.
  EXPECT_EQ(cli("banzhaf c --winset 60 --output -").status, 0);
  const std::string before = testkit::readFile("c.inp");
  for (const char* args : {"banzhaf c --winset 60 --output c.inp",
                           "banzhaf c --winset 60 --system s --winset 3 --plot s.inp"}) {
    const Cli r = cli(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_NE(r.err.find("the run reads this file"), std::string::npos) << r.err;
  }
  EXPECT_EQ(testkit::readFile("c.inp"), before);
}

// A share stands for the smallest whole number that reaches it: the run is
// the run of that number, and the CSV and JSON say which number it was.
TEST(CommandLineScripts, SharesAreTheirWholeNumbers) {
  testkit::TempDir dir;
  writeCouncil();  // 102 votes; chambers of 3 and 4 members
  const struct {
    const char *share, *whole, *quota;
  } cases[] = {
      {"shapley c --winset 62%", "shapley c --winset 64", "64"},
      {"banzhaf c --winset majority", "banzhaf c --winset 52", "52"},
      {"publicgood c --winset 50.5%", "publicgood c --winset 52", "52"},
      {"banzhaf c --winset 100%", "banzhaf c --winset 102", "102"},
      {"shapley ugame --winset majority,75%", "shapley ugame --winset 2,3", "2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.share);
    EXPECT_EQ(same(cli(c.share).out), same(cli(c.whole).out));
    const Cli csv = cli(c.share + std::string(" --format csv"));
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out, cli(c.whole + std::string(" --format csv")).out);
    EXPECT_EQ(csvFields(split(csv.out, "\n")[1])[0], c.quota);
    const nlohmann::json json =
        nlohmann::json::parse(cli(c.share + std::string(" --format json")).out);
    EXPECT_EQ(json["quota"].dump(), c.quota);
  }
}

// One schema whatever form the quota takes: a whole number, a share, the
// default majority or a range give the same columns, one quota column per
// subgame holding the whole numbers counted with.
TEST(CommandLineScripts, CsvColumnsDoNotDependOnTheQuotasForm) {
  testkit::TempDir dir;
  writeCouncil();  // c: 102 votes in one subgame; ugame: chambers of 3 and 4
  writeGames();    // game: totals 5 and 2
  const struct {
    const char* game;
    std::vector<const char*> forms;  // the win sets; the first as whole numbers
    const char* quotas;
  } cases[] = {
      {"c", {"--winset 52", "--winset 50.5%", "--winset majority", "", "--winset 52:52"}, "52,"},
      {"game", {"--winset 3,2", "--winset 60%,majority", "", "--winset 3,2:2"}, "3,2,"},
      {"ugame", {"--winset 2,3", "--winset majority,75%", "--winset 2,3:3"}, "2,3,"},
  };
  for (const auto& c : cases)
    for (const char* index : {"banzhaf", "all"}) {
      const std::string first =
          cli(std::string(index) + " " + c.game + " " + c.forms[0] + " --format csv").out;
      const std::size_t titles = first.find('\n') + 1;
      EXPECT_EQ(first.substr(titles, std::strlen(c.quotas)), c.quotas) << c.game;
      EXPECT_EQ(first.rfind(std::string(c.game) == "c" ? "quota,subgame," : "quota1,quota2,sub", 0),
                0U)
          << first;
      for (const char* form : c.forms)
        EXPECT_EQ(cli(std::string(index) + " " + c.game + " " + form + " --format csv").out, first)
            << index << " " << c.game << " " << form;
    }
}

// `all` and a list of indices give each index's own numbers, columns side
// by side; the reports come one after another.
TEST(CommandLineScripts, AllIsEachIndexAlone) {
  testkit::TempDir dir;
  writeCouncil();
  // The quota column aside, which each of them leads with.
  auto table = [](const std::string& args) {
    return split(testkit::withoutQuotas(cli(args + " c --winset 60 --format csv").out), "\n");
  };
  const Lines all = table("all"), pair = table("banzhaf,shapley");
  std::vector<Lines> alone;
  for (const char* index : {"shapley", "banzhaf", "publicgood", "coleman", "rae", "johnston"})
    alone.push_back(table(index));
  ASSERT_EQ(all.size(), alone[0].size());
  for (std::size_t r = 0; r < all.size(); ++r) {
    std::string joined = alone[0][r];
    for (std::size_t k = 1; k < alone.size(); ++k) {  // from the fourth comma on
      std::size_t at = 0;
      for (int f = 0; f < 4; ++f) at = alone[k][r].find(',', at) + 1;
      joined += alone[k][r].substr(at - 1);
    }
    EXPECT_EQ(all[r], joined);
    const Lines b = csvFields(alone[1][r]), s = csvFields(alone[0][r]), p = csvFields(pair[r]);
    EXPECT_EQ(Lines(p.begin() + 4, p.end()), Lines({b[4], b[5], b[6], s[4], s[5], s[6], s[7]}));
  }
  const std::string reports = cli("shapley c --winset 60").out + cli("banzhaf c --winset 60").out +
                              cli("publicgood c --winset 60").out + cli("rae c --winset 60").out +
                              cli("johnston c --winset 60").out;
  EXPECT_EQ(same(cli("all c --winset 60").out), same(reports));
  const nlohmann::json json = nlohmann::json::parse(cli("all c --winset 60 --format json").out);
  EXPECT_EQ(json["indices"].size(), 6u);
  EXPECT_EQ(json["columns"].size(), 13u);
  EXPECT_EQ(
      json["players"][2]["DPI"].get<double>(),
      nlohmann::json::parse(cli("publicgood c --winset 60 --format json").out)["players"][2]["DPI"]
          .get<double>());
}

// A sweep is the single runs at each of its quotas, in one table (the quota
// first, as in each single run), an array of JSON runs, or one report per
// quota.
TEST(CommandLineScripts, SweepIsEachQuotaAlone) {
  testkit::TempDir dir;
  testkit::writeFile("w.inp", testkit::readFile(VKX_SOURCE_DIR "/examples/eu27-votes.inp"));
  const struct {
    const char* range;
    std::vector<int> quotas;
  } cases[] = {
      {"250:260:5", {250, 255, 260}},
      {"173:175", {173, 174, 175}},
      {"70%:72%:1%", {242, 245, 249}},  // of 345 votes: 241.5, 244.95, 248.4
      {"majority:174", {173, 174}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.range);
    const Cli sweep = cli(std::string("banzhaf w --format csv --winset ") + c.range);
    ASSERT_EQ(sweep.status, 0) << sweep.err;
    const Lines lines = split(sweep.out, "\n");
    ASSERT_EQ(lines.size(), 1 + 27 * c.quotas.size());
    EXPECT_EQ(lines[0], "quota,subgame,player,name,weight,NNBZ,NBZ,banzhaf_method");
    std::string reports;
    for (std::size_t q = 0; q < c.quotas.size(); ++q) {
      const std::string at = "banzhaf w --winset " + std::to_string(c.quotas[q]);
      const Lines one = split(cli(at + " --format csv").out, "\n");
      for (std::size_t r = 1; r < one.size(); ++r) EXPECT_EQ(lines[q * 27 + r], one[r]);
      reports += cli(at).out;
    }
    EXPECT_EQ(same(cli(std::string("banzhaf w --winset ") + c.range).out), same(reports));
    const nlohmann::json json =
        nlohmann::json::parse(cli(std::string("banzhaf w --format json --winset ") + c.range).out);
    ASSERT_EQ(json.size(), c.quotas.size());
    EXPECT_EQ(json.back()["quota"], c.quotas.back());
  }
  for (const char* bad : {"260:250", "1:2:0", "1:99999", "1:2,1", "1:2 --winset 3:4"}) {
    const Cli r = cli(std::string("banzhaf w --winset ") + bad);
    EXPECT_EQ(r.status, 2) << bad << ": " << r.err;
  }
}

// Names of an older Latin-1 file, a 0xFF byte, C0 and C1 controls.
void writeOddNames() {
  testkit::writeFile("n.inp",
                     "1\n1\n4\n3 {\xd6sterreich}\n2 {\xff}\n2 {a\x01\x1b[2Jb}\n1 {x\xc2\x9by&<}\n");
}

// The CSV reads back with Python's csv module into whole numbers and
// numbers, one row per player and no other.
TEST(CommandLineScripts, CsvReadsBackTyped) {
  testkit::TempDir dir;
  writeCouncil();
  testkit::writeFile("check.py",
                     "import csv, sys\n"
                     "rows = list(csv.DictReader(sys.stdin))\n"
                     "ints = ['quota', 'subgame', 'player', 'weight', 'winsets']\n"
                     "for row in rows:\n"
                     "    for key, value in row.items():\n"
                     "        if key == 'name' or key.endswith('_method'): continue\n"
                     "        (int if key in ints else float)(value)\n"
                     "print(len(rows), sorted({r['name'] for r in rows}))\n");
  const std::string prog = std::string("'") + VKX_BINARY + "' ";
  for (const char* args : {"all c --winset 60", "all c --winset 50:60:5"}) {
    std::string out;
    EXPECT_EQ(testkit::runCommand(prog + args + " --format csv | python3 check.py 2>&1", &out), 0)
        << out;
    const std::string count = std::string(args).find(':') != std::string::npos ? "15" : "5";
    EXPECT_EQ(out, count + " ['DE', 'FR', 'MT', 'NL', 'PL']\n") << args;
  }
  // Odd names come out escaped, the CSV well-formed UTF-8 without controls.
  writeOddNames();
  const std::string csv = cli("banzhaf n --winset 5 --format csv").out;
  const std::u32string chars = utf8::decode(csv);
  EXPECT_EQ(utf8::encode(chars), csv);
  for (const char32_t c : chars) EXPECT_TRUE(c == '\n' || !utf8::isControl(c)) << csv;
  for (const char* name : {",\\xd6sterreich,", ",\\xff,", ",a\\u0001\\u001b[2Jb,", ",x\\u009by&<,"})
    EXPECT_NE(csv.find(name), std::string::npos) << name << "\n" << csv;
}

// A picture is SVG that parses as XML: a bar per player and index beside
// its weight share, or a line per player against the quota, the rest of
// a large body grouped in one line.
TEST(CommandLineScripts, PlotsAreSvgWithOneMarkPerPlayer) {
  testkit::TempDir dir;
  writeCouncil();
  testkit::writeFile("w.inp", testkit::readFile(VKX_SOURCE_DIR "/examples/eu27-votes.inp"));
  testkit::writeFile(
      "marks.py",
      "import sys, xml.etree.ElementTree as ET\n"
      "svg = ET.parse(sys.argv[1]).getroot()\n"
      "marks = [e for e in svg.iter() if e.get('class') in ('bar', 'line')]\n"
      "shares = [e for e in svg.iter() if e.get('class') == 'share']\n"
      "labels = [e for e in svg.iter() if e.get('class') == 'label']\n"
      "print(len(marks), len(shares), len({e.get('data-player') for e in marks}), len(labels))\n");
  writeOddNames();
  std::string body = "banzhaf --weights 1";
  for (int p = 2; p <= 200; ++p) (body += ',') += std::to_string(p % 7 + 1);
  const struct {
    std::string args;
    const char* marks;  // marks, weight-share bars, players marked, players named
  } cases[] = {
      {"banzhaf c --winset 60", "5 5 5 5\n"},
      {"all c --winset 60", "20 5 5 5\n"},  // coleman and rae have no share to draw
      {"shapley c --winset 50:70", "5 0 5 0\n"},
      {body + " --winset majority", "40 40 40 40\n"},  // the largest 39, "others (161)"
      {"banzhaf w --winset 50%:80%:1%", "10 0 10 0\n"},
      {"all n --winset 5", "16 4 4 4\n"},
      {"shapley n --winset 4:8", "4 0 4 0\n"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(cli(c.args + std::string(" --plot p.svg")).status, 0) << c.args;
    std::string out;
    testkit::runCommand("python3 marks.py p.svg 2>&1", &out);
    EXPECT_EQ(out, c.marks) << c.args;
    if (c.args[c.args.size() - 1] != '8') continue;
    EXPECT_NE(testkit::readFile("p.svg").find("\xef\xbf\xbdsterreich"), std::string::npos);
  }
  cli("banzhaf w --winset 50%:80%:1% --plot p.svg");
  EXPECT_NE(testkit::readFile("p.svg").find("others (mean of 18)"), std::string::npos);
  // The quota axis in the range's own unit, its ticks where those quotas are.
  testkit::writeFile("ticks.py",
                     "import sys, xml.etree.ElementTree as ET\n"
                     "svg = ET.parse(sys.argv[1]).getroot()\n"
                     "ticks = [e for e in svg.iter() if e.get('class') == 'tick']\n"
                     "x = [float(e.get('x')) for e in ticks]\n"
                     "steps = {round(b - a, 1) for a, b in zip(x, x[1:])}\n"
                     "print(' '.join(e.text for e in ticks), len(steps))\n");
  for (const auto& [range, ticks] :
       {std::pair<std::string, std::string>{"50%:80%:1%", "55% 60% 65% 70% 75% 80% 1\n"},
        {"170:270:10", "170 180 190 200 210 220 230 240 250 260 270 1\n"}}) {
    cli("banzhaf w --winset " + range + " --plot p.svg");
    std::string out;
    testkit::runCommand("python3 ticks.py p.svg 2>&1", &out);
    EXPECT_EQ(out, ticks) << range;
  }
  cli(body + " --winset majority --plot p.svg");
  EXPECT_NE(testkit::readFile("p.svg").find(">others (161)</text>"), std::string::npos);
}
