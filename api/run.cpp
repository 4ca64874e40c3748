#include "api/run.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>

#include "engines/plan/sampling.h"
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

// What the estimates of one index came to over the rules of a run, for the
// notes after it.
struct ESTIMATEDTYP {
  std::size_t counted = 0, missed = 0, none = 0, sets = 0;
  double largest = 0;
  uint64_t samples = 0;
  std::string method, unestimated;
};

// Each index of KINDS estimated by its planned STEPS: sampled with the
// samples planned, or counted exactly where that takes under a second;
// Coleman's indices are not estimated (left out of all). SUMMARY gathers
// each index's outcome for the notes.
bool estimate(const REQUESTTYP& a, const LOADEDTYP& L, const RULETYP& rule,
              const std::vector<const REPORTKINDTYP*>& kinds,
              const std::vector<const RUNPLANTYP::ENTRY*>& steps, CLISETTYP& set,
              std::vector<ESTIMATEDTYP>& summary, FAILTYP& F) {
  for (std::size_t k = 0; k < kinds.size(); ++k) {
    const REPORTKINDTYP* kind = kinds[k];
    if (kind->SAMPLED.VALUES == 0) continue;
    std::size_t family = 0;
    while (family < steps.size() &&
           std::find(steps[family]->KINDS.begin(), steps[family]->KINDS.end(), kind) ==
               steps[family]->KINDS.end())
      ++family;
    if (family == steps.size()) continue;  // left out of all by its plan
    const planner::STEPTYP& step = steps[family]->STEP;
    ESTIMATEDTYP& sum = summary[k];
    ++sum.sets;
    CLIRUNTYP run;
    if (step.METHOD != METHODTYP::SAMPLING) {
      CLISETTYP counted;
      if (!count(a, L, rule, {kind}, {steps[family]}, counted, F)) return false;
      run = std::move(counted.RUNS[0]);
      EXACTESTIMATE(*kind, a.ESTIMATE, run.R);
      run.KIND = &ESTIMATEKIND(kind->INDEX);
      ++sum.counted;
      sum.method = run.METHOD;
      set.RUNS.push_back(std::move(run));
      continue;
    }
    sampler::Options options;
    options.ERROR = a.ESTIMATE;
    options.SAMPLES = std::max<uint64_t>(1, step.SAMPLES);
    options.STOP = a.STOP;
    PROGRESSTYP progress;
    if (a.PROGRESS) {
      progress.report = a.PROGRESS;
      progress.data = a.PROGRESSDATA;
      progress.method = METHODNAME(METHODTYP::SAMPLING);
      options.PROGRESS = everyShare;
      options.DATA = &progress;
    }
    sampler::STATUS status = sampler::STATUS::NOTSUPPORTED;
    const bool done = RUNESTIMATE(kind->INDEX, L.GAME, rule, options, run.R, status);
    progress.end();
    if (status == sampler::STATUS::STOPPED) return FAIL(F, EXITREFUSED, "...stopped");
    if (!done) return FAIL(F, EXITREFUSED, "...number of players/subgames not allowed");
    run.KIND = &ESTIMATEKIND(kind->INDEX);
    run.NAMES = L.NAMES;
    run.SYSTEMS = L.SYSTEMNAMES;
    run.METHOD = METHODNAME(METHODTYP::SAMPLING);
    const std::string none = UNESTIMATED(run.R, kind->INDEX);
    if (!none.empty()) {
      ++sum.none;
      sum.unestimated = none;
    } else if (!run.R.SAMPLEREACHED) {
      ++sum.missed;
      sum.largest = std::max(sum.largest, run.R.SAMPLELARGEST);
    }
    sum.samples = std::max(sum.samples, run.R.SAMPLES);
    set.RUNS.push_back(std::move(run));
  }
  return true;
}

// The notes of a run's estimates: an index without any event drawn, one
// that missed the error asked ("at 3 of 41 quotas" in a range).
void estimateNotes(const std::vector<const REPORTKINDTYP*>& kinds,
                   const std::vector<ESTIMATEDTYP>& summary, double error,
                   std::vector<std::string>& notes) {
  char text[320];
  for (std::size_t k = 0; k < kinds.size(); ++k) {
    const ESTIMATEDTYP& s = summary[k];
    if (s.sets == 0) continue;
    const SAMPLEDTYP& sampled = kinds[k]->SAMPLED;
    auto at = [&](std::size_t some) {
      return s.sets > 1
                 ? " at " + std::to_string(some) + " of " + std::to_string(s.sets) + " quotas"
                 : std::string();
    };
    if (s.none > 0) {
      std::snprintf(text, sizeof text, "vkx: %s: no %s among %llu %s%s: no estimate of %s",
                    kinds[k]->NAME, sampled.EVENT, static_cast<unsigned long long>(s.samples),
                    sampled.DRAWN, at(s.none).c_str(), s.unestimated.c_str());
      notes.push_back(text);
    }
    if (s.missed > 0) {
      std::snprintf(text, sizeof text,
                    "vkx: %s: errors up to %g%s, above the %g asked: the sample budget of %llu %s "
                    "ran out",
                    kinds[k]->NAME, s.largest, at(s.missed).c_str(), error,
                    static_cast<unsigned long long>(s.samples), sampled.DRAWN);
      notes.push_back(text);
    }
  }
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
  const bool sampling = plan.ESTIMATE && (step == nullptr || step->METHOD == METHODTYP::SAMPLING);
  const std::string how = sampling ? "sampling"
                          : step != nullptr && step->METHOD == METHODTYP::WALK
                              ? "exhaustive counting"
                              : "exact counting";
  if (sampling && step != nullptr && step->BYTES > plan.BUDGET)
    return "...sampling needs " + bytesText(step->BYTES) + " of memory; use --memory " +
           bytesText(step->BYTES);
  if (step != nullptr && step->METHOD == METHODTYP::NONE)
    return "...no exact method counts this game within " + bytesText(plan.BUDGET) +
           " of memory; use --estimate for a sampled value or --memory for a larger budget";
  const double seconds = step != nullptr ? step->SECONDS : plan.SECONDS;
  const std::size_t bytes = step != nullptr ? step->BYTES : plan.BYTES;
  std::string text = "..." + ABOUTTEXT(seconds);
  if (step == nullptr && quotas > 1) text += " for " + std::to_string(quotas) + " quotas";
  if (sampling)
    return text + " by sampling; use a larger --estimate error, or --exhaustive to sample anyway";
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
  plan.ERROR = A.ESTIMATE;
  if (plan.ESTIMATE && !A.ALL)
    for (const REPORTKINDTYP* kind : RUN.KINDS)
      if (kind->SAMPLED.VALUES == 0)
        return USAGE(F, std::string("--estimate: ") + kind->NAME + " is not estimated");
  sampler::Options sampling;
  sampling.ERROR = A.ESTIMATE;
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
    // Each index family once, for every index of the run it serves.
    for (const REPORTKINDTYP* kind : RUN.KINDS) {
      if (plan.ESTIMATE && kind->SAMPLED.VALUES == 0) continue;
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
      e.STEP = plan.ESTIMATE ? planner::PLANSAMPLED(game, own, kind->INDEX, sampling, policy)
               : kind->PLAN  ? kind->PLAN(game, own, policy)
                             : planner::PLANGAME(game, own, kind->INDEX, policy);
      if (plan.ESTIMATE && e.STEP.METHOD != METHODTYP::SAMPLING && !e.STEP.REFUSED) {
        const std::string note = std::string("vkx: ") + kind->NAME + ": counted exactly by " +
                                 METHODNAME(e.STEP.METHOD) + " in under a second, not sampled";
        if (std::find(plan.NOTES.begin(), plan.NOTES.end(), note) == plan.NOTES.end())
          plan.NOTES.push_back(note);
      }
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
  RUN.NOTES.clear();
  std::vector<ESTIMATEDTYP> summary(RUN.KINDS.size());
  for (std::size_t i = 0; i < RUN.RULES.size(); ++i) {
    std::vector<const RUNPLANTYP::ENTRY*> steps;
    for (const RUNPLANTYP::ENTRY& e : RUN.PLAN.STEPS)
      if (e.SET == i) steps.push_back(&e);
    if (RUN.PLAN.ESTIMATE) {
      if (!estimate(A, RUN.LOADED, RUN.RULES[i], RUN.KINDS, steps, RUN.SETS[i], summary, F))
        return false;
      continue;
    }
    REQUESTTYP a = A;
    if (!count(a, RUN.LOADED, RUN.RULES[i], RUN.KINDS, steps, RUN.SETS[i], F)) return false;
  }
  if (RUN.PLAN.ESTIMATE) estimateNotes(RUN.KINDS, summary, A.ESTIMATE, RUN.NOTES);
  return true;
}
