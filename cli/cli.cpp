#include "cli/cli.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string_view>
#include <vector>

#include "api/check.h"
#include "api/design.h"
#include "api/output.h"
#include "api/plan.h"
#include "api/plot.h"
#include "api/run.h"
#include "api/unions.h"
#include "cli/args.h"
#include "cli/files.h"
#include "common/numbers.h"
#include "data/settings.h"
#include "platform/process.h"
#include "platform/streams.h"
#include "report/indices.h"

namespace {

#ifndef VKX_VERSION
#define VKX_VERSION "unknown"  // set by the build from the VERSION file
#endif

// The package's version, then the program's own header line.
const char* const VERSIONTEXT = "vkx " VKX_VERSION " (VKX 2.0 - Verkanix V2.0 R5/05)";

// The progress bar of a long count on standard error, when that is a
// terminal: redrawn as the count reports its progress, taken away at its
// end.
void progressBar(void* data, double fraction, double seconds, const char* method) {
  const int columns = *static_cast<const int*>(data);
  if (method == nullptr) {
    std::fputs(("\r" + std::string(static_cast<std::size_t>(columns - 1), ' ') + "\r").c_str(),
               stderr);
    return;
  }
  // The method first, where the line has room for it beside the bar.
  const std::string name = columns >= 60 ? std::string(method) + " " : "";
  const int width = columns - 1 - static_cast<int>(name.size());
  std::fputs(("\r" + name + PROGRESSTEXT(fraction, seconds, width)).c_str(), stderr);
  std::fflush(stderr);
}

// The text of R as the format asked for: csv, json, or the report.
template <class R, class CSV, class JSON, class REPORT>
std::string inFormat(const std::string& format, const R& r, CSV csv, JSON json, REPORT report) {
  return format == "csv" ? csv(r) : format == "json" ? json(r) : report(r);
}

// A run with a priori unions (--unions): the Owen or Banzhaf-Owen values
// in the format asked for.
int runUnions(const ARGSTYP& a, const SETTINGSTYP& S, FAILTYP& F) {
  for (const auto& [given, option] : {std::pair{a.FILES, "--files"},
                                      {!a.PLOT.empty(), "--plot"},
                                      {a.PLANONLY, "--plan"},
                                      {a.TOTALS, "--totals"}})
    if (given) return (USAGE(F, std::string("--unions: not with ") + option), F.STATUS);
  UNIONRUNTYP u;
  if (!UNIONSRUN(a, u, F) || !OUTPUTFITS("--output", a.OUTPUT, u.LOADED, F)) return F.STATUS;
  const std::string text = inFormat(a.FORMAT, u, UNIONSCSV, UNIONSJSON, UNIONSREPORT);
  return WRITEOUTPUTS(a, {}, S, text, "", F) ? 0 : F.STATUS;
}

// vkx check: the coalition against the rule, in the format asked for.
int runCheck(ARGSTYP& a, FAILTYP& F) {
  SETTINGSTYP S;
  if (a.OUTPUT == "-") a.OUTPUT.clear();
  CHECKTYP c;
  if (!CHECKRUN(a, a.YES, c, F) || !OUTPUTFITS("--output", a.OUTPUT, c.LOADED, F)) return F.STATUS;
  const std::string text = inFormat(a.FORMAT, c, CHECKCSV, CHECKJSON, CHECKREPORT);
  return WRITEOUTPUTS(a, {}, S, text, "", F) ? 0 : F.STATUS;
}

// vkx design: the weights and quota, in the format asked for, and the
// picture of targets and index.
int runDesign(ARGSTYP& a, FAILTYP& F) {
  SETTINGSTYP S;
  if (a.OUTPUT == "-") a.OUTPUT.clear();
  if (!a.SECONDS.empty()) {
    char* end = nullptr;
    a.DESIGN.SECONDS = std::strtod(a.SECONDS.c_str(), &end);
    if (end == a.SECONDS.c_str() || *end != '\0' || !(a.DESIGN.SECONDS > 0) ||
        !std::isfinite(a.DESIGN.SECONDS))
      return (USAGE(F, "--seconds " + a.SECONDS + ": not a positive number"), F.STATUS);
  }
  if (!PLOTFITS(a, F)) return F.STATUS;
  DESIGNTYP d;
  if (!DESIGNRUN(a.DESIGN, d, F)) return F.STATUS;
  LOADEDTYP read;
  read.INPUTS = d.INPUTS;
  if (!OUTPUTFITS("--output", a.OUTPUT, read, F) || !OUTPUTFITS("--plot", a.PLOT, read, F) ||
      !OUTPUTSAPART(a, S, "", F))
    return F.STATUS;
  const std::string text = inFormat(a.FORMAT, d, DESIGNCSV, DESIGNJSON, DESIGNREPORT);
  return WRITEOUTPUTS(a, {}, S, text, a.PLOT.empty() ? "" : DESIGNSVG(d), F) ? 0 : F.STATUS;
}

int runArgs(ARGSTYP& a, FAILTYP& F) {
  SETTINGSTYP S;
  S.VKXPATH = DEFAULTPATH;
  INIDATA(S);
  if (a.OUTPUT == "-") a.OUTPUT.clear();
  if (!a.ESTIMATETEXT.empty()) {
    const std::string text = a.ESTIMATETEXT.back().empty() ? "0.0001" : a.ESTIMATETEXT.back();
    char* end = nullptr;
    a.ESTIMATE = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(a.ESTIMATE > 0 && a.ESTIMATE < 1))
      return (USAGE(F, "--estimate " + text + ": the standard error is a number between 0 and 1"),
              F.STATUS);
  }
  if (!a.MEMORY.empty()) {
    uint64_t bytes = 0;
    if (!PARSESIZE(a.MEMORY, bytes) || bytes == 0)
      return (USAGE(F, "--memory " + a.MEMORY + ": not a size (4G, 512M, 100000K)"), F.STATUS);
    a.BUDGET = static_cast<std::size_t>(bytes);
  }
  if (!a.UNIONS.empty()) return runUnions(a, S, F);
  if (!PLOTFITS(a, F)) return F.STATUS;
  int columns = 80;
  if (plat::stderrIsTerminal()) {
    columns = plat::stderrColumns();
    a.PROGRESS = progressBar;
    a.PROGRESSDATA = &columns;
  }
  RUNSETTYP run;
  if (!PREPARERUN(a, run, F) || !OUTPUTFITS("--output", a.OUTPUT, run.LOADED, F) ||
      !OUTPUTFITS("--plot", a.PLOT, run.LOADED, F))
    return F.STATUS;
  if (a.FILES && S.OUTPUTFILE && !run.LOADED.DATAFILE)
    return (USAGE(F, "--files: the game comes from no data file to write beside"), F.STATUS);
  if (!OUTPUTSAPART(a, S, run.LOADED.GAME.NAME, F)) return F.STATUS;
  if (a.ESTIMATE > 0 && a.FILES)
    return (USAGE(F, "--estimate: weighted games only, not the spatial version, nor --files"),
            F.STATUS);
  const bool planned = PLANRUN(a, run, F);
  for (const std::string& note : run.PLAN.NOTES) std::fprintf(stderr, "%s\n", note.c_str());
  if (a.PLANONLY) {
    const std::string text = a.FORMAT == "json" ? PLANJSON(run) : PLANTEXT(run);
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
      const int code = errno != 0 ? errno : EIO;
      if (code == EPIPE) plat::endByClosedPipe();
      return (FAIL(F, EXITREFUSED,
                   "...system error" + std::to_string(code) + " on saving standard output"),
              F.STATUS);
    }
    return planned ? 0 : F.STATUS;
  }
  if (!planned || !COUNTRUN(a, run, F)) return F.STATUS;
  for (const std::string& note : run.NOTES) std::fprintf(stderr, "%s\n", note.c_str());
  const std::vector<CLISETTYP>& sets = run.SETS;
  const bool sweep = run.SWEEP.SYSTEM >= 0;
  std::string text;
  if (a.FORMAT == "csv")
    text = CSVTEXT(sets, a.TOTALS);
  else if (a.FORMAT == "json")
    text = JSONTEXT(sets, sweep);
  else
    text = REPORTTEXT(sets);
  const std::string plot = a.PLOT.empty() ? "" : PLOTSVG(sets, sweep);
  if (!WRITEOUTPUTS(a, sets, S, text, plot, F)) return F.STATUS;
  return 0;
}

}  // namespace

std::string INDEXNAMES() {
  std::string text = "\n\nThe indices and the names they go by:";
  for (const REPORTKINDTYP* kind : INDICES())
    if (*kind->ABOUT != '\0') {
      const std::string name = kind->NAME;
      text +=
          "\n  " + name + std::string(name.size() < 11 ? 11 - name.size() : 1, ' ') + kind->ABOUT;
    }
  return text;
}

std::string PROGRESSTEXT(double FRACTION, double SECONDS, int WIDTH) {
  const double f = std::clamp(FRACTION, 0.0, 1.0);
  std::string left = "--:--";
  if (f > 0) {
    const long long s = std::llround(SECONDS * (1 - f) / f);
    char text[32];
    if (s >= 3600)
      std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    else
      std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
    left = text;
  }
  char percent[8];
  std::snprintf(percent, sizeof percent, "%3d%%", static_cast<int>(f * 100));
  const std::string tail = std::string(" ") + percent + "  " + left + " left";
  const int bar = std::max(10, WIDTH - static_cast<int>(tail.size()) - 2);
  const int full = static_cast<int>(f * bar);
  return "[" + std::string(static_cast<std::size_t>(full), '#') +
         std::string(static_cast<std::size_t>(bar - full), '.') + "]" + tail;
}

bool CLIWANTED(int ARGC, char** ARGV) {
  if (ARGC < 2) return false;
  const std::string_view first = ARGV[1];
  std::vector<const REPORTKINDTYP*> kinds;
  std::string bad;
  return INDEXNAMED(first) != nullptr || INDEXLIST(first, kinds, bad) || first == "--help" ||
         first == "-h" || first == "--version" || first == "check" || first == "design";
}

int CLIMAIN(int ARGC, char** ARGV) {
  // A file-size limit or a closed pipe is a write error like any other, which
  // rolls the run's files back, rather than a signal that ends the run.
  plat::ignoreWriteSignals();
  CLI::App app("vkx: a calculator of a-priori voting power", "vkx");
  app.set_version_flag("--version", VERSIONTEXT);
  app.require_subcommand(1);
  app.footer(
      "Without arguments vkx starts the interactive program (a terminal of at least 80 x 25);\n"
      "vkx --keys FILE runs it with the keys in FILE and prints the final screen.\n"
      "vkx all GAME ... (or vkx shapley,banzhaf GAME ...) computes several indices in one run.\n"
      "Run vkx INDEX --help for the options of an index; man vkx for the whole manual." +
      INDEXNAMES() +
      "\n  shapley --unions  OWEN, the Owen value with a priori unions: the share of the orders "
      "that keep each union together in which the player turns the coalition into a winning "
      "one (Owen 1977)\n  banzhaf --unions  BZOWEN, the Banzhaf-Owen value: the same over the "
      "coalitions of whole other unions and some fellow members (Owen 1982)");
  ARGSTYP a;
  // An index list is the command `all` with the indices it names.
  std::vector<char*> argv(ARGV, ARGV + ARGC);
  std::string listed, bad;
  char allName[] = "all";
  if (ARGC > 1 && INDEXNAMED(ARGV[1]) == nullptr && INDEXLIST(ARGV[1], a.KINDS, bad)) {
    listed = ARGV[1];
    a.ALL = a.KINDS.empty() && bad.empty();
    a.USAGE = USAGELINE(listed);
    argv[1] = allName;
  }
  // The game file is required unless the game is typed as options.
  bool typedGame = false;
  for (int i = 2; i < ARGC; ++i) {
    const std::string_view arg = ARGV[i];
    if (arg == "--") break;
    for (const std::string_view option : {"--weights", "--members"})
      if (arg.substr(0, option.size()) == option &&
          (arg.size() == option.size() || arg[option.size()] == '='))
        typedGame = true;
  }
  std::vector<COMMANDTYP> commands(INDICES().size() + 1);
  for (std::size_t k = 0; k < INDICES().size(); ++k) {
    const REPORTKINDTYP& kind = *INDICES()[k];
    INDEXCOMMAND(app, kind.NAME, kind.HELP, kind.INDEX, !typedGame, a, commands[k]);
  }
  INDEXCOMMAND(app, "all",
               "every index the version offers, or those of a list (shapley,banzhaf), in one "
               "run",
               INDEXTYP::SHAPLEY, !typedGame, a, commands.back());
  COMMANDTYP check;
  CHECKCOMMAND(app, !typedGame, a, check);
  const CLI::App* design = DESIGNCOMMAND(app, a);
  FAILTYP F;
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) {  // --help, --version
      errno = 0;
      app.exit(e);
      std::cout.flush();
      if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int code = errno != 0 ? errno : EIO;
        if (code == EPIPE) plat::endByClosedPipe();
        std::fprintf(stderr, "vkx: cannot write standard output: %s\n", std::strerror(code));
        return 1;
      }
      return 0;
    }
    std::fprintf(stderr, "vkx: %s\n", SHOWNTEXT(e.what()).c_str());
    std::string index;
    for (const REPORTKINDTYP* kind : INDICES()) index += std::string(kind->NAME) + "|";
    index += "all";
    for (const COMMANDTYP& c : commands)
      if (c.SUB->parsed()) index = listed.empty() ? c.SUB->get_name() : listed;
    const std::string usage = check.SUB->parsed() ? CHECKUSAGE()
                              : design->parsed()  ? DESIGNUSAGE()
                                                  : USAGELINE(index);
    std::fprintf(stderr, "%s\n", SHOWNTEXT(usage).c_str());
    return EXITUSAGE;
  }
  int status = 0;
  const COMMANDTYP* parsed = &commands.back();
  for (const COMMANDTYP& c : commands)
    if (c.SUB->parsed()) parsed = &c;
  if (!bad.empty())
    status = (USAGE(F, "no index named " + bad + " in " + listed), F.STATUS);
  else if (design->parsed())
    status = runDesign(a, F);
  else if (check.SUB->parsed())
    status = ASSIGNWINSETS(check, a, F) ? runCheck(a, F) : F.STATUS;
  else if (!ASSIGNWINSETS(*parsed, a, F))
    status = F.STATUS;
  else
    status = runArgs(a, F);
  if (status != 0) {
    // Each line of the message on its own, its control characters escaped.
    for (std::size_t from = 0;;) {
      const std::size_t end = F.MESSAGE.find('\n', from);
      std::fprintf(stderr, "%s\n",
                   SHOWNTEXT(std::string_view(F.MESSAGE).substr(from, end - from)).c_str());
      if (end == std::string::npos) break;
      from = end + 1;
    }
    if (status == EXITUSAGE) std::fprintf(stderr, "%s\n", SHOWNTEXT(a.USAGE).c_str());
  }
  return status;
}
