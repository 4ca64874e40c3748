// The page's door into the calculation: one call that takes the body, the
// rule and the indices as JSON and gives back the table, the chart, the
// plan and the rule's thresholds as JSON, or the message of what is wrong
// and the field that holds it. It runs inside the page's Web Worker; the
// progress of a long count goes to the page through vkx_web_progress.
#include <emscripten.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "api/vkx.h"

using nlohmann::json;

// clang-format off
// Posts the share done, the seconds so far and the method to the page.
EM_JS(void, vkx_web_progress, (double fraction, double seconds, const char* method), {
  if (typeof postMessage === "function")
    postMessage({kind : "progress", fraction : fraction, seconds : seconds,
                 method : UTF8ToString(method)});
});

// Posts the plan of a count about to start to the page.
EM_JS(void, vkx_web_plan, (const char* text, double seconds), {
  if (typeof postMessage === "function")
    postMessage({kind : "plan", text : UTF8ToString(text), seconds : seconds});
});

// clang-format on

namespace {

std::vector<std::string> texts(const json& j) {
  std::vector<std::string> out;
  if (j.is_array())
    for (const json& t : j) out.push_back(t.is_string() ? t.get<std::string>() : t.dump());
  return out;
}

vkx::Game gameOf(const json& in) {
  vkx::Game game;
  if (in.contains("text") && in["text"].is_string()) {
    game.text = in["text"].get<std::string>();
    game.file = in.value("file", std::string("(page)"));
    return game;
  }
  game.members = texts(in.value("members", json::array()));
  if (!game.members.empty()) return game;
  game.names = texts(in.value("names", json::array()));
  game.weights.push_back(texts(in.value("weights", json::array())));
  for (const json& s : in.value("systems", json::array())) {
    vkx::Game system;
    system.weights.push_back(texts(s));
    game.systems.push_back(system);
  }
  return game;
}

// A threshold per subgame, comma separated ("51,218" for two chambers).
std::vector<std::string> perSubgame(const std::string& text) {
  std::vector<std::string> out;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(',', from)) != std::string::npos; from = at + 1)
    out.push_back(text.substr(from, at - from));
  out.push_back(text.substr(from));
  return out;
}

vkx::Rule ruleOf(const json& in, const std::string& quota) {
  vkx::Rule rule;
  rule.winsets.push_back(perSubgame(quota));
  for (const std::string& q : texts(in.value("systemQuotas", json::array())))
    rule.systems.push_back({perSubgame(q)});
  rule.overall = in.value("overall", std::string());
  return rule;
}

json cells(const std::vector<std::vector<vkx::Cell>>& rows) {
  json out = json::array();
  for (const auto& row : rows) {
    json r = json::array();
    for (const vkx::Cell& c : row) r.push_back(c.text);
    out.push_back(r);
  }
  return out;
}

json planOf(const vkx::Plan& p) {
  return {{"refused", p.refused},
          {"reason", p.reason},
          {"seconds", p.seconds},
          {"bytes", p.bytes},
          {"text", p.text}};
}

// The field a failed run's message belongs to: the body's when the body
// fails under a quota any body takes, else the rule's.
std::string fieldOf(const json& in, const vkx::Game& game) {
  try {
    vkx::Rule any = vkx::Rule::quota("1");
    for (std::size_t k = 0; k < game.systems.size(); ++k) any.systems.push_back({{"1"}});
    vkx::plan(game, any, {"banzhaf"});
  } catch (const vkx::Error&) {
    return "weights";
  }
  (void)in;
  return "quota";
}

json runOf(const json& in) {
  const vkx::Game game = gameOf(in);
  const std::string quota = in.value("quota", std::string());
  const std::vector<std::string> indices = texts(in.value("indices", json::array({"all"})));
  json planned = nullptr;
  try {
    const vkx::Rule rule = ruleOf(in, quota);
    vkx::Options estimate;
    estimate.estimate = in.value("estimate", 0.0);
    const vkx::Plan plan = vkx::plan(game, rule, indices, estimate);
    planned = planOf(plan);
    // A refused plan goes on to the run, whose message of the refusal is
    // the command line's, whole.
    if (in.value("planOnly", false) && !plan.refused) return {{"ok", true}, {"plan", planned}};
    vkx_web_plan(plan.text.c_str(), plan.seconds);
    vkx::Options options;
    options.estimate = in.value("estimate", 0.0);
    options.progress = [](double fraction, double seconds, const std::string& method) {
      vkx_web_progress(fraction, seconds, method.c_str());
    };
    const vkx::Result r = vkx::run(game, rule, indices, options);
    json out = {{"ok", true},
                {"columns", r.columns},
                {"rows", cells(r.rows)},
                {"totals", cells(r.totals)},
                {"indices", r.indices},
                {"methods", r.methods},
                {"notes", r.notes},
                {"csv", r.csv(true)},
                {"svg", r.svg()},
                {"plan", planOf(plan)}};
    // The resolved thresholds and each player's weights in every system,
    // for the coalition check.
    const json full = json::parse(r.json(), nullptr, false);
    const json& first = full.is_array() && !full.empty() ? full[0] : full;
    if (first.is_object()) {
      out["rule"] = first.value("rule", json::object());
      json players = json::array();
      for (const json& p : first.value("players", json::array()))
        players.push_back(
            {{"subgame", p.value("subgame", json())},
             {"name", p.value("name", json())},
             {"weights",
              p.contains("weights") ? p["weights"] : json::array({p.value("weight", json())})}});
      out["players"] = players;
    }
    return out;
  } catch (const vkx::Error& e) {
    return {{"ok", false},
            {"message", e.what()},
            {"refused", e.refused},
            {"plan", planned},
            {"field", e.refused ? "weights" : fieldOf(in, game)}};
  } catch (const std::exception& e) {
    return {{"ok", false}, {"message", e.what()}, {"field", ""}, {"refused", false}};
  }
}

}  // namespace

extern "C" {

// The answer to one request, as JSON; the caller frees it with free().
EMSCRIPTEN_KEEPALIVE char* vkx_web_run(const char* request) {
  const json in = json::parse(request, nullptr, false);
  const std::string out =
      (in.is_discarded() ? json{{"ok", false}, {"message", "bad request"}, {"field", ""}}
                         : runOf(in))
          .dump(-1, ' ', false, json::error_handler_t::replace);
  char* text = static_cast<char*>(std::malloc(out.size() + 1));
  std::memcpy(text, out.c_str(), out.size() + 1);
  return text;
}
}
