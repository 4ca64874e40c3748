#include "cli/args.h"

#include <algorithm>
#include <string_view>

#include "report/indices.h"

std::string USAGELINE(const std::string& INDEX) {
  return "usage: vkx " + INDEX + " GAME[.inp] [--winset T[,T...]] [options]";
}

namespace {

// A file, a size or a folder typed as an empty text names nothing: refused
// rather than read as the default.
const CLI::Validator NONEMPTY(
    [](const std::string& text) {
      return text.empty() ? std::string("an empty text names nothing") : std::string();
    },
    "", "NONEMPTY");

}  // namespace

// The options of one index; SHAPLEY and BANZHAF take the rule of the
// multiple-weights version, SHAPLEY alone the spatial and working-plan
// versions, and neither count-vector version is offered for the public good.
// `all` and lists of indices take every option. GAMEREQUIRED: no
// --weights or --members stands in for the game file.
void INDEXCOMMAND(CLI::App& app, const char* name, const std::string& title, INDEXTYP index,
                  bool gameRequired, ARGSTYP& a, COMMANDTYP& c) {
  CLI::App* sub = c.SUB = app.add_subcommand(name, title);
  sub->callback([&a, name] {
    if (a.KINDS.empty()) a.KINDS.push_back(INDEXNAMED(name));
    if (a.USAGE.empty()) a.USAGE = USAGELINE(name);
  });
  CLI::Option* game =
      sub->add_option("GAME", a.GAME,
                      "the data file, with or without .inp; - (or /dev/stdin, a pipe) reads "
                      "the data file from standard input")
          ->type_name("FILE");
  if (gameRequired) game->required();
  sub->add_option("--weights", a.WEIGHTS,
                  "instead of GAME: the weights of one subgame, each optionally named "
                  "(DE:29,FR:29,...); repeat for each further subgame")
      ->expected(1)
      ->take_all()
      ->type_name("[NAME:]W,...");
  sub->add_option("--members", a.MEMBERS,
                  "instead of GAME: the sizes of unweighted chambers, one per subgame")
      ->type_name("N,N...");
  c.WINSETOPT =
      sub->add_option("--winset", c.WINSETS,
                      "one win set: a threshold per subgame, comma-separated, each a whole "
                      "number, a share of the subgame's total (62%, majority) or, for one "
                      "threshold, a range LO:HI[:STEP] (50%:75%:1%) run quota by quota; "
                      "repeat for up to 10 win sets (after --system: that system's win sets); "
                      "without any, a weighted game takes a simple majority of each subgame's "
                      "total (majority,majority,...)")
          ->expected(1)
          ->take_all()
          ->type_name("T[,T...]");
  sub->add_option("--overall", a.OVERALL,
                  index == INDEXTYP::PUBLICGOOD
                      ? "overall threshold: a least number of players (weighted data)"
                      : "overall threshold (weighted data), 0..65535")
      ->type_name("N");
  c.SYSTEMOPT = sub->add_option("--system", c.SYSTEMS,
                                "a further vote system: a data file of the same players "
                                "(multiple weights, up to 3 times); the --winset options after "
                                "it are its win sets; - : standard input, when the game is not "
                                "read from there")
                    ->expected(1)
                    ->take_all()
                    ->check(NONEMPTY)
                    ->type_name("FILE");
  c.TYPEDOPT = sub->add_option("--system-weights", c.TYPED,
                               "a further vote system typed as its weights, the subgames "
                               "separated by / (1,2,3/4,5); like --system")
                   ->expected(1)
                   ->take_all()
                   ->type_name("W,.../W,...");
  CLI::Option* isa = nullptr;
  if (index != INDEXTYP::PUBLICGOOD) {
    sub->add_option("--overall-rule", a.RULE,
                    "multiple weights: a coalition below the overall threshold loses (and), "
                    "or one reaching it wins (or)")
        ->type_name("and|or")
        ->check(CLI::IsMember({"and", "or"}));
    sub->add_option("--overall-unit", a.UNIT,
                    "multiple weights: the overall threshold counts members or first-system "
                    "votes")
        ->type_name("members|votes")
        ->check(CLI::IsMember({"members", "votes"}));
    sub->add_option("--blocking", a.BLOCKING,
                    "multiple weights: a coalition loses when the players outside it hold more "
                    "than this in the second vote system, even without the smallest of them")
        ->type_name("T");
    isa = sub->add_option("--isa", a.ISA,
                          "unweighted chambers, count-vector version: overall thresholds T1 and "
                          "T2 over the first A1 and A2 chambers")
              ->type_name("T1,A1,T2,A2")
              ->excludes(c.SYSTEMOPT)
              ->excludes(c.TYPEDOPT);
  }
  if (index == INDEXTYP::SHAPLEY) {
    sub->add_flag("--working-plan", a.WORKINGPLAN,
                  "the count-vector version for working plans: T1 binds win set 1 only, T2 "
                  "win set 2 only")
        ->excludes(c.SYSTEMOPT)
        ->excludes(c.TYPEDOPT);
    sub->add_option("--positions", a.POSITIONS,
                    "spatial version: coalitions weighted by the similarity of the positions "
                    "in this file (.pos; - : standard input, when the game is not read from "
                    "there)")
        ->type_name("FILE")
        ->check(NONEMPTY)
        ->excludes(c.SYSTEMOPT)
        ->excludes(c.TYPEDOPT)
        ->excludes(isa)
        ->excludes("--working-plan");
  }
  if (std::string_view(name) == "shapley" || std::string_view(name) == "banzhaf")
    sub->add_option("--unions", a.UNIONS,
                    std::string(name) == "shapley"
                        ? "a priori unions (blocs), each union's players by name or number, the "
                          "unions separated by ; (the players not named stand alone): the Owen "
                          "value of each player (orders that keep each union together; Owen "
                          "1977) and each union's Shapley-Shubik value in the game of the unions"
                        : "a priori unions (blocs), each union's players by name or number, the "
                          "unions separated by ; (the players not named stand alone): the "
                          "Banzhaf-Owen value of each player (Owen 1982) and each union's Banzhaf "
                          "index in the game of the unions")
        ->type_name("A,B;C;D,E");
  sub->add_option("--format", a.FORMAT,
                  "report (the .out text, the default), csv (one row per player) or json")
      ->type_name("report|csv|json")
      ->check(CLI::IsMember({"report", "csv", "json"}));
  sub->add_flag("--totals", a.TOTALS, "csv: end each table in the report's \"sum of all\" row");
  sub->add_option("--output", a.OUTPUT,
                  "write to this file instead of standard output (- : standard output); "
                  "never one of the run's own input files")
      ->check(NONEMPTY)
      ->type_name("FILE");
  sub->add_option("--plot", a.PLOT,
                  "also draw the run as an SVG picture: each player's index beside its weight "
                  "share, or for a range each player's index against the quota (- : standard "
                  "output, when --output names a file)")
      ->check(NONEMPTY)
      ->type_name("FILE.svg");
  sub->add_option("--memory", a.MEMORY,
                  "the memory the counting may take (default: the memory available at the start, "
                  "within the process's limits); a game no exact method counts within it is "
                  "refused at once with the time its walk would take")
      ->check(NONEMPTY)
      ->type_name("SIZE");
  sub->add_flag("--plan", a.PLANONLY,
                "print the plan of the run without counting: per count the method, its passes, "
                "memory and time, and why the other methods were not taken (--format json: as "
                "JSON); exit status 3 where the run would be refused");
  CLI::Option* estimate =
      sub->add_option("--estimate", a.ESTIMATETEXT,
                      "sample instead of counting, the samples planned in advance for every "
                      "value's error to fall below ERROR (default 0.0001; the same command "
                      "prints the same numbers); an index counted exactly in under a second is "
                      "counted; the output gives each error beside its value")
          ->expected(0, 1)
          ->type_name("[ERROR]");
  sub->add_flag("--exhaustive", a.EXHAUSTIVE,
                "count exactly however long it takes: no time limit, and walk every coalition "
                "where no faster method fits the memory (not with --estimate)")
      ->excludes(estimate);
  sub->add_flag("--files", a.FILES,
                "also append the report to GAME.out (and the number block to GAME.ouu when "
                "vkx.ini says outputtab=1), as the menu command does");
  sub->footer(std::string("Examples:\n  vkx ") + name +
              " council --winset 255 --format csv\n  vkx " + name +
              " --weights DE:29,FR:29,PL:27,NL:13 --winset 62% --format csv\n  vkx " + name +
              " council --winset 50%:80%:1% --plot quota.svg --format csv");
}

std::string CHECKUSAGE() {
  return "usage: vkx check GAME[.inp] [--winset T[,T...]] --yes NAME,NAME,... [options]";
}
std::string DESIGNUSAGE() {
  return "usage: vkx design banzhaf|shapley --target NAME:VALUE,...|--target-file FILE [options]";
}

namespace {

// --format and --output of check and design.
void outputOptions(CLI::App* sub, ARGSTYP& a) {
  sub->add_option("--format", a.FORMAT, "report (the default), csv or json")
      ->type_name("report|csv|json")
      ->check(CLI::IsMember({"report", "csv", "json"}));
  sub->add_option("--output", a.OUTPUT,
                  "write to this file instead of standard output (- : standard output)")
      ->check(NONEMPTY)
      ->type_name("FILE");
}

}  // namespace

void CHECKCOMMAND(CLI::App& app, bool gameRequired, ARGSTYP& a, COMMANDTYP& c) {
  CLI::App* sub = c.SUB = app.add_subcommand(
      "check",
      "whether a coalition wins: each threshold's total against its quota, its critical "
      "members, and a smallest set of absent players whose joining makes it win");
  sub->callback([&a] { a.USAGE = CHECKUSAGE(); });
  CLI::Option* game =
      sub->add_option("GAME", a.GAME, "the data file (- : standard input)")->type_name("FILE");
  if (gameRequired) game->required();
  sub->add_option("--weights", a.WEIGHTS,
                  "instead of GAME: the weights of one subgame ([NAME:]W,...); repeat per subgame")
      ->expected(1)
      ->take_all()
      ->type_name("[NAME:]W,...");
  c.WINSETOPT = sub->add_option("--winset", c.WINSETS,
                                "one win set: a threshold per subgame (a whole number, 62% or "
                                "majority); repeat for up to 10 (after --system: its win sets); "
                                "default for weighted games: majority in each subgame")
                    ->expected(1)
                    ->take_all()
                    ->type_name("T[,T...]");
  sub->add_option("--overall", a.OVERALL, "the overall threshold, 0..65535")->type_name("N");
  c.SYSTEMOPT = sub->add_option("--system", c.SYSTEMS,
                                "a further vote system: a data file of the same players")
                    ->expected(1)
                    ->take_all()
                    ->check(NONEMPTY)
                    ->type_name("FILE");
  c.TYPEDOPT = sub->add_option("--system-weights", c.TYPED,
                               "a further vote system typed as its weights (subgames split by /)")
                   ->expected(1)
                   ->take_all()
                   ->type_name("W,.../W,...");
  sub->add_option("--overall-rule", a.RULE, "multiple weights: and (the default) or or")
      ->type_name("and|or")
      ->check(CLI::IsMember({"and", "or"}));
  sub->add_option("--overall-unit", a.UNIT, "multiple weights: members (the default) or votes")
      ->type_name("members|votes")
      ->check(CLI::IsMember({"members", "votes"}));
  sub->add_option("--blocking", a.BLOCKING, "multiple weights: the blocking minority")
      ->type_name("T");
  sub->add_option("--yes", a.YES,
                  "the coalition: the players voting yes, by name (from the data file or "
                  "--weights NAME:W) or number, comma-separated")
      ->required()
      ->type_name("NAME,NAME,...");
  outputOptions(sub, a);
  sub->footer(
      "Example:\n  vkx check council --winset 255 --system states --winset 14 --system pop "
      "--winset 62% --yes DE,FR,IT,ES,PL");
}

CLI::App* DESIGNCOMMAND(CLI::App& app, ARGSTYP& a) {
  CLI::App* sub = app.add_subcommand(
      "design",
      "weights and a quota whose index comes closest to target shares (the exact optimum up to "
      "6 players), or the best quota for weights given");
  sub->callback([&a] { a.USAGE = DESIGNUSAGE(); });
  DESIGNREQUESTTYP& d = a.DESIGN;
  sub->add_option("INDEX", d.INDEX, "banzhaf (the Banzhaf index normalised) or shapley")
      ->required()
      ->check(CLI::IsMember({"banzhaf", "shapley"}))
      ->type_name("banzhaf|shapley");
  sub->add_option("--target", d.TARGET,
                  "the targets, any positive numbers, normalised to shares: NAME:VALUE,... (or "
                  "VALUE,... in the players' order)")
      ->type_name("NAME:VALUE,...");
  sub->add_option("--target-file", d.TARGETFILE,
                  "the targets from a data file: its weights (e.g. populations), its players' "
                  "names from the comments")
      ->check(NONEMPTY)
      ->type_name("FILE");
  sub->add_option("--root", d.ROOT,
                  "raise the targets to this power first (0.5: the square-root rule)")
      ->type_name("R");
  sub->add_option("--weights", d.WEIGHTS,
                  "the weights given ([NAME:]W,..., one subgame): search only the quota")
      ->expected(1)
      ->take_all()
      ->type_name("[NAME:]W,...");
  sub->add_option("--distance", d.DISTANCE,
                  "what is minimised: sumsq (the sum of squared deviations, the default) or "
                  "maxabs (the largest deviation)")
      ->type_name("sumsq|maxabs")
      ->check(CLI::IsMember({"sumsq", "maxabs"}));
  sub->add_option("--seconds", a.SECONDS,
                  "beyond 6 players: the search's budget in planned CPU seconds (default 10); "
                  "the same budget gives the same answer")
      ->type_name("S");
  outputOptions(sub, a);
  sub->add_option("--plot", a.PLOT,
                  "also draw each player's target beside its index as SVG (- : standard output, "
                  "when --output names a file)")
      ->check(NONEMPTY)
      ->type_name("FILE.svg");
  sub->footer(
      "Examples:\n  vkx design banzhaf --target-file population --root 0.5\n  vkx design "
      "shapley --target A:40,B:30,C:20,D:10 --format json\n  vkx design banzhaf --target "
      "DE:9,FR:8,IT:8,ES:7 --weights DE:29,FR:29,IT:29,ES:27");
  return sub;
}

// The --winset, --system and --system-weights values in the order typed:
// each further vote system opens the win sets of the next one.
bool ASSIGNWINSETS(const COMMANDTYP& c, ARGSTYP& a, FAILTYP& F) {
  if (c.SYSTEMS.size() + c.TYPED.size() >= MAXSYSTEMS)
    return USAGE(F,
                 "--system: at most " + std::to_string(MAXSYSTEMS - 1) + " further vote systems");
  std::size_t w = 0, k = 0, t = 0;
  for (const CLI::Option* o : c.SUB->parse_order()) {
    if (o == c.SYSTEMOPT) a.SYSTEMS.push_back({c.SYSTEMS[k++], false});
    if (o == c.TYPEDOPT) a.SYSTEMS.push_back({c.TYPED[t++], true});
    if (o == c.WINSETOPT && w < c.WINSETS.size())
      a.WINSETS[a.SYSTEMS.size()].push_back(c.WINSETS[w++]);
  }
  // The options of the multiple-weights version need a further vote system.
  if (a.SYSTEMS.empty())
    for (const char* name : {"--overall-rule", "--overall-unit", "--blocking"})
      if (c.SUB->get_option_no_throw(name) && c.SUB->get_option_no_throw(name)->count() > 0)
        return USAGE(F, std::string(name) + " requires --system");
  return true;
}

// An index list typed as the command: "all", or names of the registry
// joined by commas ("shapley,banzhaf"). NAMES gets the indices, BAD the
// first name the registry does not know.
bool INDEXLIST(std::string_view first, std::vector<const REPORTKINDTYP*>& kinds, std::string& bad) {
  if (first == "all") return true;
  if (first.find(',') == std::string_view::npos) return false;
  for (const std::string& name : SPLIT(std::string(first), ',')) {
    const REPORTKINDTYP* kind = INDEXNAMED(name);
    if (!kind && bad.empty()) bad = "\"" + name + "\"";
    if (kind && std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) kinds.push_back(kind);
  }
  return true;
}
