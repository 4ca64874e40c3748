// The three index commands driven through their whole dialogue with
// scripted keys: data kinds against versions, overall thresholds, positions
// and further vote systems, file naming, refused games; the report files are
// checked, not only the screen.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "commands/banzhaf.h"
#include "commands/publicgood.h"
#include "commands/shapley.h"
#include "testkit.h"
#include "types/vkxdecl.h"

namespace {

using testkit::SETTINGS;

using Lines = std::vector<std::string>;

using testkit::answers;

void writeGames() {
  // Weights 3, 2, 1 in one subgame; a second vote system of the same shape.
  testkit::writeFile("w321.inp", "1\r\n1\r\n3\r\n3\r\n2\r\n1\r\n");
  testkit::writeFile("w111.inp", "1\r\n1\r\n3\r\n1\r\n1\r\n1\r\n");
  testkit::writeFile("default.inp", "1\r\n1\r\n3\r\n3\r\n2\r\n1\r\n");
  // One unweighted subgame of 5 players.
  testkit::writeFile("u5.inp", "0\r\n1\r\n5\r\n");
  testkit::writeFile("pos.pos", "2 {themes}\r\n0 0\r\n3 4\r\n1 1\r\n");
  // Games the tables cannot hold, or that have nobody in a subgame.
  testkit::writeFile("mm11.inp",
                     "0\r\n11\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n");
  std::string w51 = "1\r\n1\r\n51\r\n";
  for (int i = 0; i < 51; ++i) w51 += "1\r\n";
  testkit::writeFile("w51.inp", w51);
  testkit::writeFile("w0.inp", "1\r\n1\r\n0\r\n");
  testkit::writeFile("u30.inp", "0\r\n2\r\n3\r\n0\r\n");
  testkit::writeFile("ubig.inp", "0\r\n2\r\n65535\r\n1\r\n");
  // A weighted game whose second subgame is empty: still a game.
  testkit::writeFile("w3210.inp", "1\r\n2\r\n3\r\n3\r\n2\r\n1\r\n0\r\n");
}

struct Case {
  const char* label;
  void (*command)(SETTINGSTYP&);
  uint8_t internal;
  std::string keys;
  bool waits;           // the run ends at a key wait (where the script ends)
  std::string outFile;  // the report file written, "" = none at all
  Lines outLines;       // lines of the report file, in this order
  Lines screen;         // texts on the screen at the end
  void (*setup)() = nullptr;
  Lines absent = {};  // texts that must not be on the screen
};

// The rows of the weights 3, 2, 1 game with quota 4.
const std::string SS1 = "      1       1       3  0.666667  1.000000     3.00000000000000E+000";
const std::string SS3 = "      1       3       1  0.166667  0.666667     2.00000000000000E+000";
const std::string BZ1 = "      1       1       3  0.750000  0.600000";
const std::string BZ2 = "      1       2       2  0.250000  0.200000";
const std::string BZ0 = "      1       1       3  0.000000  0.000000";
const std::string PG1 = "      1       1       3  0.500000  1.000000  0.500000";
const std::string MULTI = "note: results based on multiple weights";

std::vector<std::string> reportFiles() {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator("."))
    if (e.path().extension() == ".out") names.push_back(e.path().filename().string());
  return names;
}

void runCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    testkit::TempDir dir;
    writeGames();
    testkit::start(c.keys);
    SETTINGS.INTERNAL = c.internal;
    if (c.setup) c.setup();
    bool waited = false;
    try {
      c.command(SETTINGS);
    } catch (const testkit::KeysExhausted&) {
      waited = true;
    }
    std::string screen = testkit::screen();
    EXPECT_EQ(waited, c.waits) << screen;
    EXPECT_EQ(testkit::keysLeft(), 0u) << screen;
    for (const std::string& text : c.screen)
      EXPECT_NE(screen.find(text), std::string::npos) << "missing on screen: " << text << "\n"
                                                      << screen;
    for (const std::string& text : c.absent)
      EXPECT_EQ(screen.find(text), std::string::npos) << "on screen: " << text << "\n" << screen;
    if (c.outFile.empty()) {
      EXPECT_EQ(reportFiles(), std::vector<std::string>{});
      continue;
    }
    EXPECT_EQ(reportFiles(), std::vector<std::string>{c.outFile});
    std::string report = testkit::readFile(c.outFile);
    std::size_t at = 0;
    for (const std::string& line : c.outLines) {
      std::size_t found = report.find("\r\n" + line + "\r\n", at);
      EXPECT_NE(found, std::string::npos) << "missing in " << c.outFile << ": " << line << "\n"
                                          << report;
      if (found != std::string::npos) at = found + 1;
    }
  }
}

// The quiet runs of the weights 3, 2, 1 game with quota 4 (the second
// system w111 with quota 2, no blocking) and of u5 with quota 3.
const std::string W321 = answers({"w321", "1", "1", "4", "0", "n"}, "abc");
const std::string W321_W111 =
    answers({"w321", "2", "1", "4", "0", "2", "w111", "1", "2", "0", "n"}, "abc");
const std::string U5 = answers({"u5", "1", "3", "n"}, "a");
const std::string FORMAT = "...error on input file format";
const std::string NOT_ALLOWED = "...number of players/subgames not allowed";

TEST(ShapleyDialogue, VersionsAgainstDataKinds) {
  // clang-format off
  runCases({
      {"weighted, standard", MENUE_SHAPLEY, 0, W321, true, "w321.out",
       {"primary data file: w321", "win set     1: [4,6] ", "", SS1, SS3,
        "subgame         1:       1.000000", "winning coalitions:             3"},
       {"press any key"}},
      {"unweighted, no version question, thresholds that never bind", MENUE_SHAPLEY, 0, U5, true,
       "u5.out", {"      1       i       1  0.200000  0.687500     1.10000000000000E+001",
                  "subgame         1:       1.000000", "winning coalitions:            16"}, {}},
      {"weighted, answer 3 without the internal list: no thresholds", MENUE_SHAPLEY, 0,
       answers({"w321", "3"}), false, "", {}, {FORMAT}},
      {"weighted, ISA: its questions, then the format error", MENUE_SHAPLEY, 1,
       answers({"w321", "3", "1", "4", "0", "0", "0", "0"}), false, "", {},
       {"ISA-WP(4), spatial(5) (1/2/3/4/5): 3", "datastructure: weighted",
        "number of subgames for threshold 2: 0", FORMAT}},
      {"unweighted, ISA: the overall threshold binds", MENUE_SHAPLEY, 1,
       answers({"u5", "3", "1", "1", "3", "1", "0", "0", "n"}, "a"), true, "u5.out",
       {"overall threshold 1:      3", "number of subgames for 1: 1", "overall threshold 2:      0",
        "number of subgames for 2: 0", "winning coalitions:            16"}, {}},
      {"unweighted, ISA-WP: thresholds for the first two win sets only", MENUE_SHAPLEY, 1,
       answers({"u5", "4", "3", "1", "1", "5", "3", "1", "5", "1", "n"}, "a"), true, "u5.out",
       {"win set     3: [5,5] ", "overall threshold 2:      5", "winning coalitions:            16"},
       {}},
      {"unweighted, multiple weights: thresholds asked, then the format error", MENUE_SHAPLEY, 1,
       answers({"u5", "2", "1", "3"}), false, "", {}, {FORMAT}},
      {"version outside the list", MENUE_SHAPLEY, 1, answers({"w321", "7"}), false, "", {},
       {FORMAT}},
      {"weighted, spatial", MENUE_SHAPLEY, 1,
       answers({"w321", "5", "pos", "1", "4", "0", "n"}, "abc"), true, "w321.out",
       {"coalitions weighted by similarity", "policy data file: pos", "number of dimensions: 2",
        "", "subgame  player  weight        SS        II                   winsets"}, {}},
      {"spatial, positions file missing: key wait without the closing line", MENUE_SHAPLEY, 1,
       answers({"w321", "5", "nopos.x"}), true, "", {}, {"...system error on loading nopos"},
       nullptr, {"press any key", "loading nopos."}},
      {"unweighted, spatial: positions asked, then the format error", MENUE_SHAPLEY, 1,
       answers({"u5", "5", "pos", "1", "3"}), false, "", {}, {FORMAT}},
      {"weighted, multiple weights with the blocking question", MENUE_SHAPLEY, 1, W321_W111, true,
       "w321.out", {MULTI, "", SS1, SS3, "sum of all:              1.000000          "}, {}},
      {"weighted, multiple weights without the internal list", MENUE_SHAPLEY, 0,
       answers({"w321", "2", "1", "4", "0", "2", "w111", "1", "2", "n"}, "abc"), true,
       "w321.out", {MULTI, SS1}, {}},
  });
  // clang-format on
}

TEST(ShapleyDialogue, NamesThresholdsAndRefusedGames) {
  // clang-format off
  runCases({
      {"name cut at the first dot", MENUE_SHAPLEY, 0,
       answers({"w321.b.c", "1", "1", "4", "0", "n"}, "abc"), true, "w321.out",
       {"primary data file: w321"}, {}},
      {"empty name is default", MENUE_SHAPLEY, 0, answers({"", "1", "1", "4", "0", "n"}, "abc"),
       true, "default.out", {"primary data file: default"}, {}},
      {"reports named after SETTINGS.NAMEOUT", MENUE_SHAPLEY, 0, W321, true, "collect.out",
       {"primary data file: w321"}, {},
       [] { SETTINGS.OUTPUTFILE = false; SETTINGS.NAMEOUT = "collect"; }},
      {"overall threshold outside 16 bits is asked again", MENUE_SHAPLEY, 0,
       answers({"w321", "1", "1", "4", "70000", "-1", "3", "n"}, "abc"), true, "w321.out",
       {"overall threshold: 3",
        "      1       1       3  0.333333  1.000000     1.00000000000000E+000",
        "winning coalitions:             1"}, {}},
      {"the same with long-integer entry", MENUE_SHAPLEY, 0,
       answers({"w321", "1", "1", "4", "70000", "3", "n"}, "abc"), true, "w321.out",
       {"overall threshold: 3"}, {}, [] { SETTINGS.WEIGHTS = "longinteger"; }},
      {"ISA thresholds outside 16 bits are asked again", MENUE_SHAPLEY, 1,
       answers({"u5", "3", "1", "1", "65536", "3", "1", "0", "0", "n"}, "a"), true, "u5.out",
       {"overall threshold 1:      3", "winning coalitions:            16"}, {}},
      {"data file missing", MENUE_SHAPLEY, 0, answers({"nofile"}), true, "", {},
       {"...system error on loading nofile.inp", "press any key"}},
      {"eleven subgames", MENUE_SHAPLEY, 0, answers({"mm11"}), true, "", {},
       {NOT_ALLOWED, "press any key"}},
      {"51 weighted players", MENUE_SHAPLEY, 0, answers({"w51"}), true, "", {},
       {NOT_ALLOWED, "   the command line takes it: vkx shapley w51 --winset T"}},
      {"weighted game without players", MENUE_SHAPLEY, 0, answers({"w0"}), true, "", {},
       {NOT_ALLOWED}},
      {"unweighted subgame without players", MENUE_SHAPLEY, 0, answers({"u30"}), true, "", {},
       {NOT_ALLOWED}},
      {"more than 65535 unweighted players", MENUE_SHAPLEY, 0, answers({"ubig"}), true, "", {},
       {NOT_ALLOWED}},
      {"weighted game with an empty subgame", MENUE_SHAPLEY, 0,
       answers({"w3210", "1", "1", "4", "0", "0", "n"}, "abc"), true, "w3210.out",
       {SS1, "subgame         2:       0.000000", "winning coalitions:             3"}, {}},
  });
  // clang-format on
}

TEST(BanzhafDialogue, VersionsAndOverallThreshold) {
  // clang-format off
  runCases({
      {"51 weighted players: the command line's own index", MENUE_BANZHAF, 0, answers({"w51"}),
       true, "", {}, {NOT_ALLOWED, "   the command line takes it: vkx banzhaf w51 --winset T"}},
      {"weighted, no overall threshold", MENUE_BANZHAF, 0, W321, true, "w321.out",
       {BZ1, BZ2, "sum of subgame  1:       1.250000  1.000000",
        "mean:                    0.416667  0.333333"}, {}},
      {"AND, number of players", MENUE_BANZHAF, 0,
       answers({"w321", "1", "1", "4", "1", "0", "3", "n"}, "abc"), true, "w321.out",
       {"overall threshold: 3", "      1       1       3  0.250000  0.333333",
        "winning coalitions:             1"}, {}},
      {"unweighted, standard", MENUE_BANZHAF, 0, U5, true, "u5.out",
       {"      1       i       1  0.375000  0.200000", "winning coalitions:            16"}, {}},
      {"unweighted, ISA", MENUE_BANZHAF, 1,
       answers({"u5", "3", "1", "1", "3", "1", "0", "0", "n"}, "a"), true, "u5.out",
       {"overall threshold 1:      3", "      1       i       1  0.375000  0.200000"}, {}},
      {"ISA-WP has no engine here", MENUE_BANZHAF, 1,
       answers({"u5", "4", "1", "1", "0", "0", "0", "0"}), false, "", {},
       {"ISA-WP(4) (1/2/3/4): 4", "number of subgames for threshold 2: 0", FORMAT}},
      {"weighted, ISA", MENUE_BANZHAF, 1, answers({"w321", "3", "1", "4", "0", "0", "0", "0"}),
       false, "", {}, {FORMAT}},
      {"weighted, multiple weights", MENUE_BANZHAF, 1, W321_W111, true, "w321.out",
       {MULTI, BZ1, BZ2}, {}},
      {"unweighted, multiple weights", MENUE_BANZHAF, 1, answers({"u5", "2", "1", "3"}), false,
       "", {}, {FORMAT}},
      // Every threshold 0: the empty coalition wins too, so nobody ever
      // swings, and both versions show the zeros exactly.
      {"every threshold 0, standard", MENUE_BANZHAF, 0,
       answers({"w321", "1", "1", "0", "0", "n"}, "abc"), true, "w321.out",
       {BZ0, "sum of all:              0.000000  0.000000", "winning coalitions:             7"},
       {}},
      {"every threshold 0, multiple weights", MENUE_BANZHAF, 0,
       answers({"w321", "2", "1", "0", "0", "2", "w321", "1", "0", "n"}, "abc"), true, "w321.out",
       {MULTI, BZ0, "sum of all:              0.000000  0.000000",
        "winning coalitions:             7"}, {}},
  });
  // clang-format on
}

TEST(BanzhafDialogue, OverallThresholdQuestionsAndKeptSettings) {
  struct Case {
    std::string keys;
    const char* prompt;  // the last question asked
    int32_t overall, overt;
  } cases[] = {
      {"1\r7\r", "overall threshold (number of players): ", 1, 0},
      {"2\r1\r", "overall threshold (votes): ", 2, 1},
      {"2\r\r", "overall threshold (number of players): ", 2, 0},
  };
  for (const Case& c : cases) {
    testkit::TempDir dir;
    writeGames();
    testkit::start("w321\r1\r1\r4\r" + c.keys);
    EXPECT_THROW(MENUE_BANZHAF(SETTINGS), testkit::KeysExhausted);
    const std::string screen = testkit::screen();
    EXPECT_NE(screen.find(c.prompt), std::string::npos) << screen;
    // Both earlier questions stay on the screen with the answers given.
    const std::string unit = c.keys.substr(2, c.keys.find('\r', 2) - 2);
    EXPECT_NE(screen.find("overall threshold: no/AND/OR (0/1/2): " + c.keys.substr(0, 1)),
              std::string::npos)
        << screen;
    EXPECT_NE(screen.find("number of players/votes (0/1): " + (unit.empty() ? "0" : unit)),
              std::string::npos)
        << screen;
    EXPECT_EQ(SETTINGS.OVERALL, c.overall);
    EXPECT_EQ(SETTINGS.OVERT, c.overt);
  }
  // Answered 0, the question is skipped; SETTINGS.OVERALL stays 0 for later runs.
  testkit::TempDir dir;
  writeGames();
  testkit::start("w321\r1\r1\r4\r0\rn\rabc");
  SETTINGS.OVERT = 1;
  EXPECT_THROW(MENUE_BANZHAF(SETTINGS), testkit::KeysExhausted);
  EXPECT_EQ(SETTINGS.OVERALL, 0);
  EXPECT_EQ(SETTINGS.OVERT, 1);
}

TEST(PublicGoodDialogue, VersionsAndThresholds) {
  // clang-format off
  runCases({
      {"weighted, standard", MENUE_PUBLICGOOD, 0, W321, true, "w321.out",
       {PG1, "sum of all:              1.000000  2.000000  1.000000",
        "minimal winning coalitions:               2"}, {}},
      {"overall threshold above the players is lowered to their number", MENUE_PUBLICGOOD, 0,
       answers({"w321", "1", "1", "4", "60", "n"}, "abc"), true, "w321.out",
       {"overall threshold: 3", "      1       1       3  0.333333  1.000000  0.333333",
        "minimal winning coalitions:               1"}, {}},
      {"unweighted", MENUE_PUBLICGOOD, 0, U5, true, "u5.out",
       {"      1       i       1  0.200000  0.600000  0.200000",
        "minimal winning coalitions:              10"}, {}},
      {"internal list: no options, standard version", MENUE_PUBLICGOOD, 1,
       answers({"w321", "1", "4", "0", "n"}, "abc"), true, "w321.out", {PG1}, {}},
      {"weighted, multiple weights", MENUE_PUBLICGOOD, 0, "w321\r2\r1\r4\r0\r2\rw111\r1\r2\rn\rabc",
       true, "w321.out", {MULTI, PG1}, {}},
      {"weighted, answer 3", MENUE_PUBLICGOOD, 0, answers({"w321", "3"}), false, "", {}, {FORMAT}},
  });
  // clang-format on
}

TEST(PublicGoodDialogue, NoOptionsIsFollowedOnTheSameLine) {
  testkit::TempDir dir;
  writeGames();
  testkit::start("w321\r");
  SETTINGS.INTERNAL = 1;
  EXPECT_THROW(MENUE_PUBLICGOOD(SETTINGS), testkit::KeysExhausted);
  EXPECT_NE(testkit::screen().find("│no options!datastructure:          weighted"),
            std::string::npos)
      << testkit::screen();
}

}  // namespace
