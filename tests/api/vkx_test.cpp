// The library's facade against the command line: the same games and rules
// give the same CSV to the last digit, names of any characters come back as
// given, and every failure carries the command line's message and status.
#include "api/vkx.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <thread>

#include "testkit.h"

namespace {

const std::string EXAMPLES = VKX_SOURCE_DIR "/examples/";

struct SameCase {
  vkx::Game game;
  vkx::Rule rule;
  std::vector<std::string> indices;
  std::string args;  // the command line's
};

vkx::Game file(const std::string& name) {
  vkx::Game g;
  g.file = EXAMPLES + name;
  return g;
}

vkx::Rule rule(std::vector<std::vector<std::string>> winsets) {
  vkx::Rule r;
  r.winsets = std::move(winsets);
  return r;
}

std::vector<SameCase> sameCases() {
  std::vector<SameCase> cases;
  cases.push_back({file("eu27-votes"),
                   vkx::Rule::quota("255"),
                   {"all"},
                   "all " + EXAMPLES + "eu27-votes --winset 255"});
  cases.push_back({file("us-electoral-college-2020"),
                   vkx::Rule::quota("270"),
                   {"shapley", "banzhaf"},
                   "shapley,banzhaf " + EXAMPLES + "us-electoral-college-2020 --winset 270"});
  vkx::Rule isa = rule({{"51", "218"}});
  isa.isa = "300,2,0,0";
  cases.push_back({file("congress"),
                   isa,
                   {"shapley"},
                   "shapley " + EXAMPLES + "congress --winset 51,218 --isa 300,2,0,0"});
  vkx::Game triple = file("eu27-votes");
  triple.systems = {file("eu27-states"), file("eu27-pop")};
  vkx::Rule triples = vkx::Rule::quota("255");
  triples.systems = {{{"14"}}, {{"62%"}}};
  cases.push_back({triple,
                   triples,
                   {"shapley", "banzhaf"},
                   "shapley,banzhaf " + EXAMPLES + "eu27-votes --winset 255 --system " + EXAMPLES +
                       "eu27-states --winset 14 --system " + EXAMPLES + "eu27-pop --winset 62%"});
  cases.push_back({vkx::Game::weighted({29, 29, 29, 27, 27, 13, 12},
                                       {"DE", "FR", "IT", "ES", "PL", "NL", "BE"}),
                   vkx::Rule::quota("62%"),
                   {},
                   "all --weights DE:29,FR:29,IT:29,ES:27,PL:27,NL:13,BE:12 --winset 62%"});
  cases.push_back({file("eu27-votes"),
                   vkx::Rule::quota("50%:80%:5%"),
                   {"banzhaf"},
                   "banzhaf " + EXAMPLES + "eu27-votes --winset 50%:80%:5%"});
  vkx::Game two;
  two.weights = {{"5", "3", "2"}, {"1", "$1"}};
  vkx::Rule both = rule({{"6", "2"}, {"9", "1"}});
  both.overall = "5";
  cases.push_back({two,
                   both,
                   {"publicgood", "shapley"},
                   "publicgood,shapley --weights 5,3,2 --weights 1,1 --winset 6,2 --winset 9,1 "
                   "--overall 5"});
  vkx::Game text;
  text.text = testkit::readFile(EXAMPLES + "eu27-votes.inp");
  cases.push_back({text,
                   vkx::Rule::quota("majority"),
                   {"coleman"},
                   "coleman " + EXAMPLES + "eu27-votes --winset majority"});
  cases.push_back({vkx::load(EXAMPLES + "eu27-pop"),
                   vkx::Rule::quota("62%"),
                   {"banzhaf"},
                   "banzhaf " + EXAMPLES + "eu27-pop --winset 62%"});
  return cases;
}

TEST(Facade, GivesTheCommandLinesCsvToTheLastDigit) {
  for (const SameCase& c : sameCases()) {
    SCOPED_TRACE(c.args);
    const vkx::Result r = vkx::run(c.game, c.rule, c.indices);
    const testkit::CliRun cli = testkit::runCli(c.args + " --format csv --totals");
    ASSERT_EQ(cli.status, 0) << cli.err;
    EXPECT_EQ(r.csv(true), cli.out);
    // The table is the CSV's: its header, one row per line, the totals
    // apart, and every number the double its text reads as.
    const std::vector<std::string> lines = testkit::split(cli.out, "\n");
    ASSERT_EQ(lines.size(), 1 + r.rows.size() + r.totals.size());
    std::string header;
    for (const std::string& column : r.columns) header += (header.empty() ? "" : ",") + column;
    EXPECT_EQ(lines[0], header);
    for (const auto* rows : {&r.rows, &r.totals})
      for (const std::vector<vkx::Cell>& row : *rows) {
        ASSERT_EQ(row.size(), r.columns.size());
        for (const vkx::Cell& cell : row) {
          char* end = nullptr;
          const double read = std::strtod(cell.text.c_str(), &end);
          if (!cell.text.empty() && *end == '\0')
            EXPECT_EQ(cell.value, read) << cell.text;
          else
            EXPECT_TRUE(std::isnan(cell.value)) << cell.text;
        }
      }
    // The rows in the CSV's order, each rule's totals after its rows.
    const std::vector<std::vector<vkx::Cell>> table = r.table(true);
    ASSERT_EQ(table.size(), lines.size() - 1);
    for (std::size_t i = 0; i < table.size(); ++i) {
      std::string line;
      for (std::size_t c = 0; c < table[i].size(); ++c) line += (c ? "," : "") + table[i][c].text;
      EXPECT_EQ(line, lines[i + 1]);
    }
    EXPECT_EQ(r.sweep, c.args.find("%:") != std::string::npos);
    EXPECT_EQ(r.indices.size(), r.methods.size());
    for (const std::string& method : r.methods) EXPECT_FALSE(method.empty());
  }
}

// Names are carried beside the weights, never through the command line's
// "NAME:W" lists or the data file's braces, so any text comes back as given.
TEST(Facade, NamesOfAnyCharactersComeBackAsGiven) {
  const std::vector<std::string> names = {"Baden, Württemberg", "a:b", "{x}", "say \"hi\"", ""};
  const vkx::Result r =
      vkx::run(vkx::Game::weighted({4, 3, 2, 1, 1}, names), vkx::Rule::quota("6"), {"banzhaf"});
  ASSERT_EQ(r.rows.size(), names.size());
  for (std::size_t p = 0; p < names.size(); ++p) EXPECT_EQ(r.rows[p][2].text, names[p]);
  EXPECT_NE(r.csv().find("\"Baden, Württemberg\""), std::string::npos);
  EXPECT_NE(r.csv().find("\"say \"\"hi\"\"\""), std::string::npos);
  // A loaded game keeps its file's names, and names given replace them.
  vkx::Game eu = vkx::load(EXAMPLES + "eu27-votes");
  ASSERT_EQ(eu.names.size(), 27u);
  EXPECT_EQ(eu.names[0], "DE");
  eu.names[0] = "Deutschland, BRD";
  EXPECT_EQ(vkx::run(eu, vkx::Rule::quota("255"), {"shapley"}).rows[0][2].text, eu.names[0]);
}

// CASE fails with MESSAGE (the refusal: any message naming the hours, and
// the plan refused alike), and as the command line's ARGS fail.
void fails(const char* what, const vkx::Game& game, const std::string& quota,
           const std::vector<std::string>& indices, const vkx::Options& options,
           const std::string& args, const std::string& message) {
  SCOPED_TRACE(what);
  try {
    vkx::run(game, vkx::Rule::quota(quota), indices, options);
    ADD_FAILURE() << "no error";
  } catch (const vkx::Error& e) {
    EXPECT_EQ(e.refused, message.empty());
    if (message.empty()) {
      EXPECT_NE(std::string(e.what()).find("hours"), std::string::npos) << e.what();
      const vkx::Plan p = vkx::plan(game, vkx::Rule::quota(quota), indices, options);
      EXPECT_TRUE(p.refused);
      EXPECT_EQ(p.reason, e.what());
    } else {
      EXPECT_EQ(e.what(), message);
    }
    if (args.empty()) {
      EXPECT_EQ(e.status, 2);
      return;
    }
    const testkit::CliRun cli = testkit::runCli(args + " --format csv");
    EXPECT_EQ(cli.status, e.status);
    EXPECT_EQ(cli.err.substr(0, cli.err.find('\n')), e.what());
  }
}

TEST(Facade, FailsWithTheCommandLinesMessages) {
  const vkx::Game abc = vkx::Game::weighted({3, 2, 1});
  vkx::Game half;
  half.weights = {{"3", "1.5", "1"}};
  vkx::Game split = half;
  split.weights[0][1] = "1,5";
  vkx::Game misnamed = abc;
  misnamed.names = {"A", "B"};
  vkx::Game missing;
  missing.file = "no/such/game";
  vkx::Options estimate, memory, small;
  estimate.estimate = 2;
  memory.memory = "lots";
  small.memory = "1M";
  const std::vector<std::string> b = {"banzhaf"};
  fails("a weight not whole", half, "4", b, {}, "banzhaf --weights 3,1.5,1 --winset 4",
        "vkx: no whole number '1.5' in --weights");
  fails("a weight that would split the list", split, "4", b, {}, "",
        "vkx: no whole number '1,5' in --weights");
  fails("a quota above the total", abc, "7", b, {}, "banzhaf --weights 3,2,1 --winset 7",
        "...thresholds not allowed");
  fails("a quota of no form", abc, "4.5", b, {}, "banzhaf --weights 3,2,1 --winset 4.5",
        "vkx: --winset 4.5: \"4.5\" is not a whole number, a share (62%, majority) or a range");
  fails("names and weights of different lengths", misnamed, "4", b, {}, "",
        "vkx: 2 names for 3 players");
  fails("an index of no name", abc, "4", {"banzhaf", "power"}, {},
        "banzhaf,power --weights 3,2,1 --winset 4",
        "vkx: no index named \"power\" in banzhaf,power");
  fails("a standard error of 2", abc, "4", b, estimate,
        "banzhaf --weights 3,2,1 --winset 4 --estimate 2",
        "vkx: --estimate 2: the standard error is a number between 0 and 1");
  fails("a memory of no size", abc, "4", b, memory,
        "banzhaf --weights 3,2,1 --winset 4 --memory lots",
        "vkx: --memory lots: not a size (4G, 512M, 100000K)");
  fails("a data file that is not there", missing, "4", b, {}, "banzhaf no/such/game --winset 4",
        "...system error on loading no/such/game.inp");
  // Not monotone with a weight of -1: only the walk counts it.
  vkx::Game wide = vkx::Game::weighted(std::vector<int64_t>(40, 1));
  wide.weights[0][0] = "-1";
  std::string ones;
  for (int p = 1; p < 40; ++p) ones += ",1";
  fails("a walk beyond the time", wide, "20", {"shapley"}, small,
        "shapley --weights -1" + ones + " --winset 20 --memory 1M", "");
}

// No state is shared between calls: runs on several threads at once give
// what each gives alone, and a stop flag set ends a run with "...stopped".
TEST(Facade, RunsOnThreadsAloneAndStopsWhenAsked) {
  const vkx::Game eu = vkx::load(EXAMPLES + "eu27-votes");
  const std::string alone = vkx::run(eu, vkx::Rule::quota("50%:80%:10%"), {"all"}).csv();
  std::vector<std::string> texts(4);
  std::vector<std::thread> threads;
  for (std::string& text : texts)
    threads.emplace_back(
        [&] { text = vkx::run(eu, vkx::Rule::quota("50%:80%:10%"), {"all"}).csv(); });
  for (std::thread& t : threads) t.join();
  for (const std::string& text : texts) EXPECT_EQ(text, alone);

  std::atomic<bool> stop{true};
  vkx::Options options;
  options.stop = &stop;
  options.exhaustive = true;
  try {
    vkx::run(vkx::Game::weighted(std::vector<int64_t>(30, 1)), vkx::Rule::quota("16"), {"shapley"},
             options);
    ADD_FAILURE() << "not stopped";
  } catch (const vkx::Error& e) {
    EXPECT_EQ(std::string(e.what()), "...stopped");
  }
}

}  // namespace
