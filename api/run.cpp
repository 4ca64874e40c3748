#include "api/run.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>

#include "engines/run/compute.h"
#include "platform/process.h"
#include "report/estimate.h"
#include "report/indices.h"

namespace {

// The progress of a count for the request's PROGRESS: the walks call back
// once per coalition or count vector, the fast methods with the share they
// have done; every few thousand calls of a walk the clock is read, and from
// about a second on the front end hears of it five times a second.
struct PROGRESSTYP {
  using CLOCK = std::chrono::steady_clock;
  PROGRESSFN report = nullptr;
  void* data = nullptr;
  const char* method = "walk";
  double total = 1.0;  // coalitions or count vectors the walk visits
  uint64_t done = 0;
  CLOCK::time_point start = CLOCK::now(), next = start + std::chrono::seconds(1);
  bool shown = false;

  void at(double fraction) {
    const CLOCK::time_point now = CLOCK::now();
    if (now < next) return;
    next = now + std::chrono::milliseconds(200);
    const double seconds = std::chrono::duration<double>(now - start).count();
    report(data, fraction, seconds, method);
    shown = true;
  }
  void tick() {
    if ((++done & 0xFFF) == 0) at(static_cast<double>(done) / total);
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
void everyShare(void* data, double fraction) { static_cast<PROGRESSTYP*>(data)->at(fraction); }

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

// A run planned beyond LONGRUN CPU seconds in all is not started unless
// --exhaustive asks for it.
constexpr double LONGRUN = 600;
// An index with a count of its own is left out of `all` beyond this many
// planned seconds, where the other counts take less.
constexpr double OWNCOUNTSECONDS = 2;
// The seconds a sampled estimate runs at the most.
constexpr double ESTIMATESECONDS = 60;
// Memory the program keeps for itself beside the counting's budget.
constexpr std::size_t OWNBYTES = std::size_t{64} << 20;

// A game refused as too large for the budget or the time.
bool refuse(FAILTYP& F, const std::string& message) {
  FAIL(F, EXITREFUSED, message);
  F.REFUSED = true;
  return false;
}

// The rule a family counts by: the public good dialogue lowers an overall
// threshold above the number of players to it.
RULETYP familyRule(const RULETYP& rule, INDEXTYP index, const GAMETYP& game) {
  RULETYP own = rule;
  if (index == INDEXTYP::PUBLICGOOD && own.T1 > game.N) own.T1 = game.N;
  return own;
}

// Each index of KINDS sampled (--estimate) instead of counted; the indices
// beside a family's own (coleman, rae, johnston) are not estimated.
bool estimate(const REQUESTTYP& a, const LOADEDTYP& L, const RULETYP& rule,
              const std::vector<const REPORTKINDTYP*>& kinds, CLISETTYP& set, FAILTYP& F) {
  for (const REPORTKINDTYP* kind : kinds) {
    // Only the indices whose units say how they are sampled.
    if (kind->SAMPLED.VALUES == 0) {
      if (a.ALL) continue;
      return USAGE(F, std::string("--estimate: ") + kind->NAME + " is not estimated");
    }
    CLIRUNTYP run;
    run.KIND = &ESTIMATEKIND(kind->INDEX);
    if (!RUNESTIMATE(kind->INDEX, L.GAME, rule, a.ESTIMATE, ESTIMATESECONDS, run.R))
      return FAIL(F, EXITREFUSED, "...number of players/subgames not allowed");
    run.R.METHOD = METHODTYP::SAMPLING;
    run.NAMES = L.NAMES;
    run.SYSTEMS = L.SYSTEMNAMES;
    run.METHOD = METHODNAME(METHODTYP::SAMPLING);
    set.RUNS.push_back(std::move(run));
  }
  return true;
}

// Counts each index family of one rule by its planned STEPS (each count
// once, for every index it serves), with the progress hooks when the
// request asks for progress, and adds the runs the outputs read to SET.
bool count(const REQUESTTYP& a, const LOADEDTYP& L, const RULETYP& rule,
           const std::vector<const REPORTKINDTYP*>& kinds,
           const std::vector<const RUNPLANTYP::ENTRY*>& steps, CLISETTYP& set, FAILTYP& F) {
  const GAMETYP& game = L.GAME;
  std::vector<std::unique_ptr<RUNTYP>> done(steps.size());
  for (const REPORTKINDTYP* kind : kinds) {
    std::size_t family = 0;
    while (std::find(steps[family]->KINDS.begin(), steps[family]->KINDS.end(), kind) ==
           steps[family]->KINDS.end())
      ++family;
    std::unique_ptr<RUNTYP>& r = done[family];
    if (!r) {
      const planner::STEPTYP& step = steps[family]->STEP;
      PROGRESSTYP progress;
      weightedwalk::Visitor visitor;
      HOOKSTYP hooks;
      hooks.STEP = &step;
      hooks.BUDGET = step.BUDGET;
      hooks.CONTROL.STOP = a.STOP;
      if (a.PROGRESS) {
        progress.report = a.PROGRESS;
        progress.data = a.PROGRESSDATA;
        progress.method = METHODNAME(step.METHOD);
        hooks.CONTROL.PROGRESS = everyShare;
        hooks.CONTROL.DATA = &progress;
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
      STATUSTYP status = STATUSTYP::DONE;
      r = std::make_unique<RUNTYP>(
          RUNKIND(*kind, game, familyRule(rule, kind->INDEX, game), hooks, status));
      progress.end();
      if (status == STATUSTYP::NOENGINE)
        return FAIL(F, EXITREFUSED, "...error on input file format");
      if (status == STATUSTYP::CANCELLED) return FAIL(F, EXITREFUSED, "...stopped");
      // The methods planned outgrew the memory as they counted (a diagram
      // is known only once built): what is left is the walk.
      if (status == STATUSTYP::OVERBUDGET)
        return refuse(F, game.N <= MAXACTOR
                             ? "..." + ABOUTTEXT(step.WALKSECONDS) +
                                   " by exhaustive counting; use --estimate for a sampled value, "
                                   "or --exhaustive to count anyway"
                             : "...no exact method counts this game within the memory; use "
                               "--estimate for a sampled value or --memory for a larger budget");
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
    run.METHOD = METHODNAME(r->METHOD);
    set.RUNS.push_back(std::move(run));
  }
  return true;
}

// "2.1 GB", "45 MB", "12 KB".
std::string bytesText(std::size_t bytes) {
  char text[32];
  const double b = static_cast<double>(bytes);
  if (b >= 1e9)
    std::snprintf(text, sizeof text, "%.1f GB", b / 1e9);
  else if (b >= 1e6)
    std::snprintf(text, sizeof text, "%.0f MB", b / 1e6);
  else
    std::snprintf(text, sizeof text, "%.0f KB", std::ceil(b / 1e3));
  return text;
}

// Why a plan is refused, in the program's words, with what would make it
// run.
std::string refusal(const RUNPLANTYP& plan, const planner::STEPTYP* step, std::size_t quotas) {
  const std::string how =
      step != nullptr && step->METHOD == METHODTYP::WALK ? "exhaustive counting" : "exact counting";
  if (step != nullptr && step->METHOD == METHODTYP::NONE)
    return "...no exact method counts this game within " + bytesText(plan.BUDGET) +
           " of memory; use --estimate for a sampled value or --memory for a larger budget";
  const double seconds = step != nullptr ? step->SECONDS : plan.SECONDS;
  const std::size_t bytes = step != nullptr ? step->BYTES : plan.BYTES;
  std::string text = "..." + ABOUTTEXT(seconds);
  if (step == nullptr && quotas > 1) text += " for " + std::to_string(quotas) + " quotas";
  text += " by " + how + "; use --estimate for a sampled value, or --exhaustive to count anyway";
  if (bytes > plan.BUDGET) text += " with --memory " + bytesText(bytes);
  return text;
}

}  // namespace

std::string BYTESTEXT(std::size_t BYTES) { return bytesText(BYTES); }

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

std::string ABOUTTEXT(double SECONDS) {
  char text[64];
  const double hours = SECONDS / 3600;
  if (hours >= 1e9)
    std::snprintf(text, sizeof text, "about %.1e hours", hours);
  else if (hours >= 1.5)
    std::snprintf(text, sizeof text, "about %.0f hours", hours);
  else if (SECONDS >= 90)
    std::snprintf(text, sizeof text, "about %.0f minutes", SECONDS / 60);
  else
    std::snprintf(text, sizeof text, "about %.0f seconds", SECONDS);
  return text;
}

bool PLANRUN(const REQUESTTYP& A, RUNSETTYP& RUN, FAILTYP& F) {
  RUNPLANTYP& plan = RUN.PLAN;
  plan = RUNPLANTYP();
  RUN.RULES.clear();
  RUN.SETS.clear();
  // The budget: what the machine has available now, within the process's
  // limits; a --memory beyond those limits is held to them.
  const std::size_t limit = plat::PROCESSLIMIT();
  if (A.BUDGET == 0) {
    const std::size_t available = plat::AVAILABLEMEMORY();
    plan.BUDGET = available > 2 * OWNBYTES ? available - OWNBYTES : available / 2;
  } else {
    plan.BUDGET = A.BUDGET;
    if (limit > 0 && A.BUDGET > limit) {
      plan.BUDGET = limit > 2 * OWNBYTES ? limit - OWNBYTES : limit / 2;
      plan.NOTES.push_back("vkx: --memory " + bytesText(A.BUDGET) +
                           " is beyond the process's limit: counting within " +
                           bytesText(plan.BUDGET));
    }
  }
  plan.LIMIT = A.EXHAUSTIVE ? 0 : LONGRUN;
  plan.ESTIMATE = A.ESTIMATE > 0;
  planner::POLICYTYP policy;
  policy.BUDGET = plan.BUDGET;
  policy.SECONDS = plan.LIMIT;
  policy.WALKS = A.EXHAUSTIVE;
  // The game is loaded and checked once; each quota of a sweep is one rule.
  std::vector<int64_t> quotas = RUN.SWEEP.QUOTAS;
  if (quotas.empty()) quotas.push_back(0);
  for (const int64_t quota : quotas) {
    RULETYP rule;
    CLISETTYP set;
    if (!RULEOF(A, RUN.LOADED.GAME, RUN.GAMEVERSION, RUN.SWEEP, quota, rule, set, F)) return false;
    const std::size_t index = RUN.RULES.size();
    RUN.RULES.push_back(rule);
    RUN.SETS.push_back(std::move(set));
    if (plan.ESTIMATE) continue;
    // Each index family once, for every index of the run it serves.
    for (const REPORTKINDTYP* kind : RUN.KINDS) {
      bool shared = false;
      for (RUNPLANTYP::ENTRY& e : plan.STEPS)
        if (e.SET == index && e.STEP.INDEX == kind->INDEX && SAMECOUNT(*e.KINDS[0], *kind)) {
          e.KINDS.push_back(kind);
          shared = true;
        }
      if (shared) continue;
      RUNPLANTYP::ENTRY e;
      e.SET = index;
      e.KINDS.push_back(kind);
      const GAMETYP& game = RUN.LOADED.GAME;
      const RULETYP own = familyRule(rule, kind->INDEX, game);
      e.STEP = kind->PLAN ? kind->PLAN(game, own, policy)
                          : planner::PLANGAME(game, own, kind->INDEX, policy);
      plan.SECONDS += e.STEP.SECONDS;
      plan.BYTES = std::max(plan.BYTES, e.STEP.BYTES);
      plan.STEPS.push_back(std::move(e));
    }
  }
  // `all` leaves out an index with a count of its own that no method of
  // its counts in this game (as it leaves out an index that does not fit),
  // or that would take longer than the other counts together and more than
  // OWNCOUNTSECONDS: the walk of a Johnston index over 2^30 coalitions is
  // not what `all` on a small body asks for.
  if (A.ALL) {
    double others = 0;
    for (const RUNPLANTYP::ENTRY& e : plan.STEPS)
      if (e.KINDS[0]->PLAN == nullptr) others += e.STEP.SECONDS;
    std::vector<const REPORTKINDTYP*> out;
    for (const RUNPLANTYP::ENTRY& e : plan.STEPS)
      if (e.KINDS[0]->PLAN != nullptr &&
          (e.STEP.REFUSED || e.STEP.SECONDS > std::max(others, OWNCOUNTSECONDS)))
        out.push_back(e.KINDS[0]);
    auto left = [&](const REPORTKINDTYP* k) {
      return std::find(out.begin(), out.end(), k) != out.end();
    };
    std::erase_if(RUN.KINDS, left);
    std::erase_if(plan.STEPS, [&](const RUNPLANTYP::ENTRY& e) { return left(e.KINDS[0]); });
    plan.SECONDS = 0;
    plan.BYTES = 0;
    for (const RUNPLANTYP::ENTRY& e : plan.STEPS) {
      plan.SECONDS += e.STEP.SECONDS;
      plan.BYTES = std::max(plan.BYTES, e.STEP.BYTES);
    }
  }
  // Refused where one count is, or where all of them together take beyond
  // the time limit.
  for (const RUNPLANTYP::ENTRY& e : plan.STEPS) {
    if (!e.STEP.REFUSED) continue;
    plan.REFUSED = true;
    plan.REASON = e.STEP.REASON.rfind("...", 0) == 0 ? e.STEP.REASON : refusal(plan, &e.STEP, 1);
    return refuse(F, plan.REASON);
  }
  if (plan.LIMIT > 0 && plan.SECONDS > plan.LIMIT) {
    plan.REFUSED = true;
    plan.REASON = refusal(plan, nullptr, quotas.size());
    return refuse(F, plan.REASON);
  }
  return true;
}

bool COUNTRUN(const REQUESTTYP& A, RUNSETTYP& RUN, FAILTYP& F) {
  if (RUN.RULES.empty() && !PLANRUN(A, RUN, F)) return false;
  if (RUN.PLAN.REFUSED) return refuse(F, RUN.PLAN.REASON);
  for (std::size_t i = 0; i < RUN.RULES.size(); ++i) {
    if (RUN.PLAN.ESTIMATE) {
      if (!estimate(A, RUN.LOADED, RUN.RULES[i], RUN.KINDS, RUN.SETS[i], F)) return false;
      continue;
    }
    std::vector<const RUNPLANTYP::ENTRY*> steps;
    for (const RUNPLANTYP::ENTRY& e : RUN.PLAN.STEPS)
      if (e.SET == i) steps.push_back(&e);
    REQUESTTYP a = A;
    if (!count(a, RUN.LOADED, RUN.RULES[i], RUN.KINDS, steps, RUN.SETS[i], F)) return false;
  }
  return true;
}
