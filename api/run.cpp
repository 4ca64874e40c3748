#include "api/run.h"

#include <chrono>
#include <cmath>
#include <memory>

#include "engines/run/compute.h"
#include "platform/process.h"
#include "report/coleman.h"
#include "report/estimate.h"
#include "report/indices.h"

namespace {

// The progress of a walk for the request's PROGRESS: the engines call back
// once per coalition or count vector; every few thousand calls the clock is
// read, and from about a second on the front end hears of it five times a
// second.
struct PROGRESSTYP {
  using CLOCK = std::chrono::steady_clock;
  PROGRESSFN report = nullptr;
  void* data = nullptr;
  double total = 1.0;  // coalitions or count vectors the walk visits
  uint64_t done = 0;
  CLOCK::time_point start = CLOCK::now(), next = start + std::chrono::seconds(1);
  bool shown = false;

  void tick() {
    if ((++done & 0xFFF) != 0) return;
    const CLOCK::time_point now = CLOCK::now();
    if (now < next) return;
    next = now + std::chrono::milliseconds(200);
    const double seconds = std::chrono::duration<double>(now - start).count();
    report(data, static_cast<double>(done) / total, seconds, "walk");
    shown = true;
  }
  // The count is over: the front end takes its progress line away.
  void end() const {
    if (shown) report(data, 1, 0, nullptr);
  }
};

void everyCoalition(void* ctx, const PERMTYP&) { static_cast<PROGRESSTYP*>(ctx)->tick(); }
void everyVector(int32_t, const POINT&, uint16_t, void* data) {
  static_cast<PROGRESSTYP*>(data)->tick();
}

// The count vectors the walk of an unweighted game visits: those of every
// box from its lower corner (never below 0) to the chambers' sizes.
double vectorsOf(const GAMETYP& game, const RULETYP& rule) {
  double all = 0;
  for (int w = 1; w <= rule.THRES && w <= 10; ++w) {
    double box = 1;
    for (int d = 1; d <= game.MM; ++d)
      box *= std::max(0, game.NN[d] - std::max(0, rule.G[w][d][1]) + 1);
    all += box;
  }
  return all;
}

// A walk planned to take at most QUICKWALK seconds is made without a word
// when no fast method counts the game within the budget; a count planned
// beyond LONGRUN seconds is not started unless --exhaustive asks for it.
constexpr double QUICKWALK = 10, LONGRUN = 600;

}  // namespace

std::string ABOUTTEXT(double seconds) {
  char text[64];
  const double hours = seconds / 3600;
  if (hours >= 1e9)
    std::snprintf(text, sizeof text, "about %.1e hours", hours);
  else if (hours >= 1.5)
    std::snprintf(text, sizeof text, "about %.0f hours", hours);
  else if (seconds >= 90)
    std::snprintf(text, sizeof text, "about %.0f minutes", seconds / 60);
  else
    std::snprintf(text, sizeof text, "about %.0f seconds", seconds);
  return text;
}

namespace {

std::string overBudget(double seconds, const char* how) {
  return "..." + ABOUTTEXT(seconds) + " by " + how + "; use --estimate for a sampled value";
}

// A game refused as too large for the budget or the time.
bool refuse(FAILTYP& F, const std::string& message) {
  FAIL(F, EXITREFUSED, message);
  F.REFUSED = true;
  return false;
}

// What the count of a weighted game will take, decided before it starts:
// the fast methods within the budget when they fit and end in time, else
// the walk over every coalition when it is quick or --exhaustive asks for
// it; otherwise the run ends at once with the estimate. HOOKS get the
// budget and whether the walk may follow a fast method that outgrows it.
bool planned(const REQUESTTYP& a, const GAMETYP& game, const RULETYP& rule, INDEXTYP index,
             HOOKSTYP& hooks, FAILTYP& F) {
  hooks.BUDGET = a.BUDGET;
  if (game.DATASTRUCTURE != DATASTRUCT::WEIGHTED) return true;
  fastcount::Plan plan;
  weightedwalk::Game core;
  if (!PLANRUN(game, rule, index, a.BUDGET, plan, core)) return true;  // refused by the engine
  const bool walkable = game.N <= MAXACTOR;
  hooks.WALKS = walkable && (a.EXHAUSTIVE || plan.walkSeconds <= QUICKWALK);
  const bool fast =
      plan.method != fastcount::Method::EXHAUSTIVE && plan.method != fastcount::Method::NONE;
  if (a.EXHAUSTIVE || hooks.WALKS || (fast && plan.seconds <= LONGRUN)) return true;
  if (fast && (!walkable || plan.seconds <= plan.walkSeconds))
    return refuse(F, overBudget(plan.seconds, "exact counting"));
  return refuse(F, overBudget(plan.walkSeconds, "exhaustive counting"));
}

// The seconds a sampled estimate runs at the most.
constexpr double ESTIMATESECONDS = 60;

// Each index of KINDS sampled (--estimate) instead of counted; Coleman's
// indices are not estimated.
bool estimate(const REQUESTTYP& a, const LOADEDTYP& L, const RULETYP& rule,
              const std::vector<const REPORTKINDTYP*>& kinds, CLISETTYP& set, FAILTYP& F) {
  for (const REPORTKINDTYP* kind : kinds) {
    if (kind == &COLEMANKIND()) {
      if (a.ALL) continue;
      return USAGE(F, "--estimate: coleman is not estimated");
    }
    CLIRUNTYP run;
    run.KIND = &ESTIMATEKIND(kind->INDEX);
    if (!RUNESTIMATE(kind->INDEX, L.GAME, rule, a.ESTIMATE, ESTIMATESECONDS, run.R))
      return FAIL(F, EXITREFUSED, "...number of players/subgames not allowed");
    run.NAMES = L.NAMES;
    run.SYSTEMS = L.SYSTEMNAMES;
    set.RUNS.push_back(std::move(run));
  }
  return true;
}

// Runs the engine of each index of KINDS once (indices of one engine share
// its run), with the progress hooks when the request asks for progress, and
// adds the runs the outputs read to SET.
bool compute(const REQUESTTYP& a, const LOADEDTYP& L, const RULETYP& rule,
             const std::vector<const REPORTKINDTYP*>& kinds, CLISETTYP& set, FAILTYP& F) {
  if (a.ESTIMATE > 0) return estimate(a, L, rule, kinds, set, F);
  const GAMETYP& game = L.GAME;
  std::unique_ptr<RUNTYP> done[3];
  for (const REPORTKINDTYP* kind : kinds) {
    std::unique_ptr<RUNTYP>& r = done[static_cast<std::size_t>(kind->INDEX)];
    if (!r) {
      PROGRESSTYP progress;
      weightedwalk::Visitor visitor;
      HOOKSTYP hooks;
      if (a.PROGRESS) {
        progress.report = a.PROGRESS;
        progress.data = a.PROGRESSDATA;
        if (game.DATASTRUCTURE == DATASTRUCT::WEIGHTED) {
          progress.total = std::ldexp(1.0, game.N) - 1;
          visitor.ctx = &progress;
          visitor.every = everyCoalition;
          hooks.VISITOR = &visitor;
        } else {
          progress.total = vectorsOf(game, rule);
          hooks.PROGRESS = everyVector;
          hooks.DATA = &progress;
        }
      }
      RULETYP own = rule;
      // The public good dialogue lowers an overall threshold above the
      // number of players to it.
      if (kind->INDEX == INDEXTYP::PUBLICGOOD && own.T1 > game.N) own.T1 = game.N;
      if (!planned(a, game, own, kind->INDEX, hooks, F)) return false;
      STATUSTYP status = STATUSTYP::DONE;
      r = std::make_unique<RUNTYP>(RUNKIND(*kind, game, own, hooks, status));
      progress.end();
      if (status == STATUSTYP::NOENGINE)
        return FAIL(F, EXITREFUSED, "...error on input file format");
      if (status == STATUSTYP::OVERBUDGET) {
        fastcount::Plan plan;
        weightedwalk::Game core;
        PLANRUN(game, own, kind->INDEX, a.BUDGET, plan, core);
        return refuse(F, game.N <= MAXACTOR ? overBudget(plan.walkSeconds, "exhaustive counting")
                                            : "...no exact method counts this game within the "
                                              "memory; use --estimate for a sampled value");
      }
      if (status != STATUSTYP::DONE)
        return FAIL(F, EXITREFUSED, "...number of players/subgames not allowed");
    }
    if (kind->FITS && !kind->FITS(*r)) {
      if (a.ALL) continue;
      return FAIL(F, EXITREFUSED, kind->UNFIT);
    }
    CLIRUNTYP run;
    run.KIND = kind;
    run.R = *r;
    run.NAMES = L.NAMES;
    run.SYSTEMS = L.SYSTEMNAMES;
    set.RUNS.push_back(std::move(run));
  }
  return true;
}

}  // namespace

bool PREPARERUN(const REQUESTTYP& A, RUNSETTYP& RUN, FAILTYP& F) {
  RUN.GAMEVERSION = VERSIONOF(A);
  if (!LOADGAME(A, RUN.GAMEVERSION, RUN.LOADED, F) ||
      !CHOOSEKINDS(A, RUN.LOADED.GAME, RUN.GAMEVERSION, RUN.KINDS, F) ||
      !FINDSWEEP(A, RUN.LOADED.GAME, RUN.SWEEP, F))
    return false;
  if (A.ESTIMATE > 0 && (RUN.LOADED.GAME.DATASTRUCTURE != DATASTRUCT::WEIGHTED ||
                         RUN.GAMEVERSION == VERSION::SPATIAL))
    return USAGE(F, "--estimate: weighted games only, not the spatial version, nor --files");
  return true;
}

bool COUNTRUN(const REQUESTTYP& A, RUNSETTYP& RUN, FAILTYP& F) {
  REQUESTTYP a = A;
  // The counting leaves a quarter of the memory to the program and the
  // machine.
  if (a.BUDGET == 0) a.BUDGET = plat::PHYSICALMEMORY() / 4 * 3;
  // The game is loaded and checked once; each quota of a sweep is one rule.
  std::vector<int64_t> quotas = RUN.SWEEP.QUOTAS;
  if (quotas.empty()) quotas.push_back(0);
  RUN.SETS.clear();
  for (const int64_t quota : quotas) {
    RULETYP rule;
    CLISETTYP set;
    if (!RULEOF(a, RUN.LOADED.GAME, RUN.GAMEVERSION, RUN.SWEEP, quota, rule, set, F) ||
        !compute(a, RUN.LOADED, rule, RUN.KINDS, set, F))
      return false;
    RUN.SETS.push_back(std::move(set));
  }
  return true;
}
