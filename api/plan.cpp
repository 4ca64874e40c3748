#include "api/plan.h"

#include <cstdio>
#include <nlohmann/json.hpp>

namespace {

using json = nlohmann::json;

std::string secondsText(double seconds) {
  char text[32];
  if (seconds >= 90) return ABOUTTEXT(seconds).substr(6);  // "12 minutes"
  std::snprintf(text, sizeof text, seconds < 0.01 ? "%.3f s" : "%.2f s", seconds);
  return text;
}

std::string indicesOf(const RUNPLANTYP::ENTRY& e) {
  std::string text;
  for (const REPORTKINDTYP* kind : e.KINDS)
    text += (text.empty() ? "" : ", ") + std::string(kind->NAME);
  return text;
}

std::string costText(const COSTTYP& cost) {
  std::string text = BYTESTEXT(cost.BYTES) + ", " + secondsText(cost.SECONDS);
  if (cost.PASSES > 1) text += ", " + std::to_string(cost.PASSES) + " passes modulo primes";
  if (!cost.SURE) text += " at the most";
  return text;
}

}  // namespace

std::string PLANTEXT(const RUNSETTYP& RUN) {
  const RUNPLANTYP& plan = RUN.PLAN;
  std::string text;
  char error[64] = "";
  if (plan.ESTIMATE) std::snprintf(error, sizeof error, " (--estimate %g)", plan.ERROR);
  text += "plan: " + std::to_string(plan.STEPS.size()) +
          (plan.ESTIMATE ? (plan.STEPS.size() == 1 ? " estimate" : " estimates")
                         : (plan.STEPS.size() == 1 ? " count" : " counts")) +
          error + ", " + secondsText(plan.SECONDS) + " and at most " + BYTESTEXT(plan.BYTES) +
          " in all; budget " + BYTESTEXT(plan.BUDGET) + ", time limit " +
          (plan.LIMIT > 0 ? secondsText(plan.LIMIT) : std::string("none")) + "\n";
  for (const RUNPLANTYP::ENTRY& e : plan.STEPS) {
    const planner::STEPTYP& s = e.STEP;
    const CLISETTYP& set = RUN.SETS[e.SET];
    text += indicesOf(e);
    if (set.HASQUOTA) text += " at quota " + std::to_string(set.QUOTA);
    text += ": ";
    if (s.REFUSED && s.METHOD != METHODTYP::NONE) {
      text += std::string("refused; ") + METHODNAME(s.METHOD) + " would take " +
              BYTESTEXT(s.BYTES) + ", " + secondsText(s.SECONDS) +
              (s.METHOD == METHODTYP::SAMPLING ? " for " + std::to_string(s.SAMPLES) + " samples"
                                               : std::string()) +
              "\n";
    } else if (s.METHOD == METHODTYP::NONE) {
      text += "no method\n";
    } else {
      COSTTYP cost;
      cost.BYTES = s.BYTES;
      cost.SECONDS = s.SECONDS;
      cost.PASSES = s.PASSES;
      cost.SURE = s.SURE;
      text += std::string(METHODNAME(s.METHOD));
      if (s.METHOD == METHODTYP::SAMPLING) text += ", " + std::to_string(s.SAMPLES) + " samples";
      text += ", " + costText(cost);
      if (s.CAPPED) text += " (the sample budget: errors above the one asked)";
      text += "\n";
    }
    for (std::size_t i = 1; i < s.ORDER.size(); ++i)
      text += std::string(i == 1 ? "  then " : "  and then ") + METHODNAME(s.ORDER[i]) +
              " where it outgrows the memory\n";
    for (const planner::CANDIDATETYP& c : s.CANDIDATES) {
      bool ordered = false;
      for (const METHODTYP m : s.ORDER) ordered = ordered || m == c.METHOD;
      if (ordered || c.METHOD == s.METHOD) continue;
      text += "  not " + std::string(METHODNAME(c.METHOD)) + ": ";
      text += c.COST.APPLIES || c.METHOD == METHODTYP::WALK ? costText(c.COST) + "; " : "";
      text += c.WHY + "\n";
    }
    if (s.REFUSED) text += "  refused: " + s.REASON + "\n";
  }
  if (plan.REFUSED) text += "refused: " + plan.REASON + "\n";
  return text;
}

std::string PLANJSON(const RUNSETTYP& RUN) {
  const RUNPLANTYP& plan = RUN.PLAN;
  json out;
  json indices = json::array();
  for (const REPORTKINDTYP* kind : RUN.KINDS) indices.push_back(kind->NAME);
  out["indices"] = indices;
  out["estimate"] = plan.ESTIMATE;
  if (plan.ESTIMATE) out["estimate_error"] = plan.ERROR;
  out["seconds"] = plan.SECONDS;
  out["bytes"] = plan.BYTES;
  out["budget"] = plan.BUDGET;
  out["time_limit"] = plan.LIMIT;
  out["refused"] = plan.REFUSED;
  if (plan.REFUSED) out["reason"] = plan.REASON;
  out["notes"] = plan.NOTES;
  json steps = json::array();
  for (const RUNPLANTYP::ENTRY& e : plan.STEPS) {
    const planner::STEPTYP& s = e.STEP;
    json step;
    json served = json::array();
    for (const REPORTKINDTYP* kind : e.KINDS) served.push_back(kind->NAME);
    step["indices"] = served;
    const CLISETTYP& set = RUN.SETS[e.SET];
    if (set.HASQUOTA) step["quota"] = set.QUOTA;
    step["method"] = METHODNAME(s.METHOD);
    step["passes"] = s.PASSES;
    step["bytes"] = s.BYTES;
    step["seconds"] = s.SECONDS;
    step["sure"] = s.SURE;
    if (s.METHOD == METHODTYP::SAMPLING) {
      step["samples"] = s.SAMPLES;
      step["capped"] = s.CAPPED;
    }
    json then = json::array();
    for (std::size_t i = 1; i < s.ORDER.size(); ++i) then.push_back(METHODNAME(s.ORDER[i]));
    step["then"] = then;
    json candidates = json::array();
    for (const planner::CANDIDATETYP& c : s.CANDIDATES)
      candidates.push_back({{"method", METHODNAME(c.METHOD)},
                            {"applies", c.COST.APPLIES},
                            {"bytes", c.COST.BYTES},
                            {"seconds", c.COST.SECONDS},
                            {"passes", c.COST.PASSES},
                            {"why", c.WHY}});
    step["candidates"] = candidates;
    step["refused"] = s.REFUSED;
    if (s.REFUSED) step["reason"] = s.REASON;
    steps.push_back(step);
  }
  out["steps"] = steps;
  return out.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}
