// The compiled half of the R package vkx: the library's values (api/vkx.h)
// from and to R lists. A count runs on a thread of its own while R's thread
// looks for an interrupt every 50 ms (through R_ToplevelExec, so that no
// jump crosses these frames); an interrupt sets the stop flag and the result
// says so once the count has ended. Failures come back as values (message,
// status, refused) for the R half to signal as conditions of their own class.
#include <R_ext/Rdynload.h>
#include <Rcpp.h>

#include <atomic>
#include <cmath>
#include <exception>

#include "api/vkx.h"

using namespace Rcpp;

namespace {

std::vector<std::string> strings(SEXP x) {
  if (Rf_isNull(x)) return {};
  return as<std::vector<std::string>>(x);
}

std::vector<std::vector<std::string>> lists(SEXP x) {
  std::vector<std::vector<std::string>> out;
  if (Rf_isNull(x)) return out;
  List l(x);
  for (R_xlen_t i = 0; i < l.size(); ++i) out.push_back(strings(l[i]));
  return out;
}

// An element of an R list, NULL where it is missing (R drops an element
// set to NULL).
SEXP field(const List& l, const char* name) {
  return l.containsElementNamed(name) ? static_cast<SEXP>(l[name]) : R_NilValue;
}

std::string text(const List& l, const char* name, const char* otherwise = "") {
  SEXP x = field(l, name);
  return Rf_isNull(x) ? otherwise : as<std::string>(x);
}

vkx::Game gameOf(const List& g) {
  vkx::Game game;
  game.weights = lists(field(g, "weights"));
  game.names = strings(field(g, "names"));
  game.members = strings(field(g, "members"));
  game.file = text(g, "file");
  if (!Rf_isNull(field(g, "text"))) game.text = text(g, "text");
  if (!Rf_isNull(field(g, "systems"))) {
    List systems(field(g, "systems"));
    for (R_xlen_t i = 0; i < systems.size(); ++i) game.systems.push_back(gameOf(systems[i]));
  }
  return game;
}

vkx::Rule ruleOf(const List& r) {
  vkx::Rule rule;
  rule.winsets = lists(field(r, "winsets"));
  if (!Rf_isNull(field(r, "systems"))) {
    List systems(field(r, "systems"));
    for (R_xlen_t i = 0; i < systems.size(); ++i) rule.systems.push_back(lists(systems[i]));
  }
  rule.overall = text(r, "overall");
  rule.combine = text(r, "combine", "and");
  rule.unit = text(r, "unit", "members");
  rule.blocking = text(r, "blocking");
  return rule;
}

List failure(const vkx::Error& e) {
  return List::create(_["error"] = std::string(e.what()), _["status"] = e.status,
                      _["refused"] = e.refused);
}

// The columns of ROWS as R vectors: character for the names and methods
// and where a field is text (the player "i" of a chamber, a count beyond a
// double), "" for an empty field; else numeric, NA for an empty field.
List columnsOf(const std::vector<std::string>& titles,
               const std::vector<std::vector<vkx::Cell>>& rows) {
  List out(titles.size());
  for (std::size_t c = 0; c < titles.size(); ++c) {
    const std::string& t = titles[c];
    bool numeric = t != "name" && !(t.size() > 7 && t.compare(t.size() - 7, 7, "_method") == 0);
    for (const auto& row : rows)
      numeric = numeric && (!std::isnan(row[c].value) || row[c].text.empty());
    if (numeric) {
      NumericVector v(rows.size());
      for (std::size_t r = 0; r < rows.size(); ++r)
        v[r] = std::isnan(rows[r][c].value) ? NA_REAL : rows[r][c].value;
      out[c] = v;
    } else {
      CharacterVector v(rows.size());
      for (std::size_t r = 0; r < rows.size(); ++r) v[r] = String(rows[r][c].text, CE_UTF8);
      out[c] = v;
    }
  }
  out.attr("names") = wrap(titles);
  return out;
}

void checkInterrupt(void*) { R_CheckUserInterrupt(); }
bool interruptPending() { return R_ToplevelExec(checkInterrupt, nullptr) == FALSE; }

}  // namespace

extern "C" SEXP vkx_run(SEXP gameS, SEXP ruleS, SEXP indicesS, SEXP estimateS, SEXP memoryS,
                        SEXP exhaustiveS) {
  BEGIN_RCPP
  const vkx::Game game = gameOf(List(gameS));
  const vkx::Rule rule = ruleOf(List(ruleS));
  const std::vector<std::string> indices = strings(indicesS);
  vkx::Options options;
  options.estimate = as<double>(estimateS);
  options.memory = as<std::string>(memoryS);
  options.exhaustive = as<bool>(exhaustiveS);
  std::atomic<bool> stop{false};
  options.stop = &stop;
  const vkx::Watched<vkx::Result> w = vkx::watched(
      stop, [&] { return vkx::run(game, rule, indices, options); },
      [] { return interruptPending(); });
  if (w.interrupted) return List::create(_["interrupted"] = true);
  if (w.error) {
    try {
      std::rethrow_exception(w.error);
    } catch (const vkx::Error& e) {
      return failure(e);
    }
  }
  const vkx::Result& r = *w.result;
  return List::create(_["columns"] = columnsOf(r.columns, r.rows),
                      _["table"] = columnsOf(r.columns, r.table(true)),
                      _["indices"] = wrap(r.indices), _["methods"] = wrap(r.methods),
                      _["sweep"] = r.sweep, _["csv"] = r.csv(false), _["csv_totals"] = r.csv(true));
  END_RCPP
}

extern "C" SEXP vkx_plan_run(SEXP gameS, SEXP ruleS, SEXP indicesS, SEXP estimateS, SEXP memoryS,
                             SEXP exhaustiveS) {
  BEGIN_RCPP
  vkx::Options options;
  options.estimate = as<double>(estimateS);
  options.memory = as<std::string>(memoryS);
  options.exhaustive = as<bool>(exhaustiveS);
  try {
    const vkx::Plan p =
        vkx::plan(gameOf(List(gameS)), ruleOf(List(ruleS)), strings(indicesS), options);
    return List::create(_["refused"] = p.refused, _["reason"] = p.reason, _["seconds"] = p.seconds,
                        _["bytes"] = static_cast<double>(p.bytes), _["text"] = p.text,
                        _["json"] = p.json);
  } catch (const vkx::Error& e) {
    return failure(e);
  }
  END_RCPP
}

extern "C" SEXP vkx_read(SEXP pathS) {
  BEGIN_RCPP
  try {
    const vkx::Game g = vkx::load(as<std::string>(pathS));
    List weights;
    for (const auto& subgame : g.weights) weights.push_back(wrap(subgame));
    CharacterVector names(g.names.size());
    for (std::size_t i = 0; i < g.names.size(); ++i) names[i] = String(g.names[i], CE_UTF8);
    return List::create(_["weights"] = weights, _["names"] = names, _["members"] = wrap(g.members),
                        _["file"] = g.file, _["text"] = g.text ? wrap(*g.text) : R_NilValue);
  } catch (const vkx::Error& e) {
    return failure(e);
  }
  END_RCPP
}

extern "C" void R_init_vkx(DllInfo* dll) {
  static const R_CallMethodDef calls[] = {
      {"vkx_run", reinterpret_cast<DL_FUNC>(&vkx_run), 6},
      {"vkx_plan_run", reinterpret_cast<DL_FUNC>(&vkx_plan_run), 6},
      {"vkx_read", reinterpret_cast<DL_FUNC>(&vkx_read), 1},
      {nullptr, nullptr, 0}};
  R_registerRoutines(dll, nullptr, calls, nullptr, nullptr);
  R_useDynamicSymbols(dll, FALSE);
}
