// The compiled half of the Python package vkx (vkx._vkx): the library's
// values (api/vkx.h) as Python classes, and a run that counts on a thread of
// its own while the calling thread, without the interpreter's lock, waits
// for it and for Ctrl-C. The package's Python half (vkx/__init__.py) turns
// lists, dicts, arrays and Series into these values and the table into
// lists, dicts or a DataFrame.
#include <pybind11/functional.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <exception>
#include <optional>

#include "api/vkx.h"

namespace py = pybind11;

namespace {

// Python's exception for a game refused as too large for the memory or the
// time; made once with the module.
PyObject* refusedType = nullptr;

// The kinds of column: whole numbers, texts (names, methods), and numbers.
enum class KIND { WHOLE, TEXT, NUMBER };

// A field as Python takes it: a number where the field holds one (an int in
// the columns of whole numbers), else its text (a name, a method, the player
// "i" of a chamber, a count beyond a double); an empty field is "" in a
// column of texts, else None.
py::object cellObject(const vkx::Cell& cell, KIND kind) {
  if (!std::isnan(cell.value)) {
    if (kind == KIND::WHOLE) return py::int_(static_cast<long long>(cell.value));
    return py::float_(cell.value);
  }
  if (cell.text.empty() && kind != KIND::TEXT) return py::none();
  return py::str(cell.text);
}

py::list rowsObject(const vkx::Result& r, const std::vector<std::vector<vkx::Cell>>& rows) {
  std::vector<KIND> kinds;
  for (const std::string& c : r.columns) {
    const bool method = c.size() > 7 && c.compare(c.size() - 7, 7, "_method") == 0;
    kinds.push_back(c == "quota" || c == "subgame" || c == "player" || c == "weight" ? KIND::WHOLE
                    : c == "name" || method                                          ? KIND::TEXT
                                            : KIND::NUMBER);
  }
  py::list out;
  for (const std::vector<vkx::Cell>& row : rows) {
    py::list cells;
    for (std::size_t c = 0; c < row.size(); ++c) cells.append(cellObject(row[c], kinds[c]));
    out.append(std::move(cells));
  }
  return out;
}

// Runs the count on a thread of its own and waits for it without the
// interpreter's lock, looking for signals every 50 ms: Ctrl-C sets the stop
// flag, the count ends at its next look at it (a walk only at its end), and
// the KeyboardInterrupt is raised once the thread is done, so that nothing
// of the run is left behind. PROGRESS is called with the lock taken, from
// the counting thread; an exception in it stops the count and is raised.
template <typename CALL>
auto interruptible(vkx::Options& options, const py::object& progress, CALL call) {
  using RESULT = decltype(call());
  std::atomic<bool> stop{false};
  options.stop = &stop;
  std::exception_ptr callbackError;
  if (!progress.is_none())
    options.progress = [&](double fraction, double seconds, const std::string& method) {
      py::gil_scoped_acquire gil;
      try {
        progress(fraction, seconds, method);
      } catch (...) {
        if (!callbackError) callbackError = std::current_exception();
        stop = true;
      }
    };
  vkx::Watched<RESULT> w;
  {
    py::gil_scoped_release release;
    // The KeyboardInterrupt stays set until the count has ended.
    w = vkx::watched(stop, call, [] {
      py::gil_scoped_acquire gil;
      return PyErr_CheckSignals() != 0;
    });
  }
  // The progress function, which held on to them, goes before the locals.
  options.progress = nullptr;
  if (w.interrupted) throw py::error_already_set();
  if (callbackError) std::rethrow_exception(callbackError);
  if (w.error) std::rethrow_exception(w.error);
  return std::move(*w.result);
}

vkx::Result runCall(const vkx::Game& game, const vkx::Rule& rule,
                    const std::vector<std::string>& indices, double estimate,
                    const std::string& memory, bool exhaustive, const py::object& progress) {
  vkx::Options options;
  options.estimate = estimate;
  options.memory = memory;
  options.exhaustive = exhaustive;
  return interruptible(options, progress, [&] { return vkx::run(game, rule, indices, options); });
}

vkx::Plan planCall(const vkx::Game& game, const vkx::Rule& rule,
                   const std::vector<std::string>& indices, double estimate,
                   const std::string& memory, bool exhaustive) {
  vkx::Options options;
  options.estimate = estimate;
  options.memory = memory;
  options.exhaustive = exhaustive;
  py::gil_scoped_release release;
  return vkx::plan(game, rule, indices, options);
}

}  // namespace

PYBIND11_MODULE(_vkx, m) {
  m.doc() = "The compiled calculation of the vkx package; use the functions of vkx itself.";
  refusedType =
      PyErr_NewExceptionWithDoc("vkx.Refused",
                                "A game no method counts within the memory or the time; the "
                                "message says how long it would take and what would make it "
                                "run (estimate=..., exhaustive=True, memory=...).",
                                PyExc_RuntimeError, nullptr);
  m.attr("Refused") = py::handle(refusedType);
  // The command line's failures: a refusal as vkx.Refused, a data file that
  // cannot be read as OSError, everything else (usage, bad data) as
  // ValueError; the message is the command line's.
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const vkx::Error& e) {
      const std::string message = e.what();
      if (e.refused)
        PyErr_SetString(refusedType, e.what());
      else if (e.status == 3 && message.rfind("...system error", 0) == 0)
        PyErr_SetString(PyExc_OSError, e.what());
      else
        PyErr_SetString(PyExc_ValueError, e.what());
    }
  });

  py::class_<vkx::Game>(m, "Game")
      .def(py::init<>())
      .def_readwrite("weights", &vkx::Game::weights)
      .def_readwrite("names", &vkx::Game::names)
      .def_readwrite("members", &vkx::Game::members)
      .def_readwrite("file", &vkx::Game::file)
      .def_readwrite("text", &vkx::Game::text)
      .def_readwrite("systems", &vkx::Game::systems);

  py::class_<vkx::Rule>(m, "Rule")
      .def(py::init<>())
      .def_readwrite("winsets", &vkx::Rule::winsets)
      .def_readwrite("systems", &vkx::Rule::systems)
      .def_readwrite("overall", &vkx::Rule::overall)
      .def_readwrite("combine", &vkx::Rule::combine)
      .def_readwrite("unit", &vkx::Rule::unit)
      .def_readwrite("blocking", &vkx::Rule::blocking)
      .def_readwrite("isa", &vkx::Rule::isa)
      .def_readwrite("working_plan", &vkx::Rule::working_plan)
      .def_readwrite("positions", &vkx::Rule::positions);

  py::class_<vkx::Result>(m, "Result")
      .def_readonly("indices", &vkx::Result::indices)
      .def_readonly("methods", &vkx::Result::methods)
      .def_readonly("columns", &vkx::Result::columns)
      .def_readonly("sweep", &vkx::Result::sweep)
      .def_readonly("notes", &vkx::Result::notes)
      .def_property_readonly("rows", [](const vkx::Result& r) { return rowsObject(r, r.rows); })
      .def_property_readonly("totals", [](const vkx::Result& r) { return rowsObject(r, r.totals); })
      .def(
          "table", [](const vkx::Result& r, bool totals) { return rowsObject(r, r.table(totals)); },
          py::arg("totals") = false)
      .def("csv", &vkx::Result::csv, py::arg("totals") = false)
      .def("json", &vkx::Result::json)
      .def("report", &vkx::Result::report)
      .def("svg", &vkx::Result::svg)
      .def("plan", &vkx::Result::plan);

  py::class_<vkx::Plan>(m, "Plan")
      .def_readonly("refused", &vkx::Plan::refused)
      .def_readonly("reason", &vkx::Plan::reason)
      .def_readonly("seconds", &vkx::Plan::seconds)
      .def_readonly("bytes", &vkx::Plan::bytes)
      .def_readonly("text", &vkx::Plan::text)
      .def_readonly("json", &vkx::Plan::json);

  m.def("run", &runCall, py::arg("game"), py::arg("rule"), py::arg("indices"),
        py::arg("estimate") = 0.0, py::arg("memory") = "", py::arg("exhaustive") = false,
        py::arg("progress") = py::none());
  m.def("plan", &planCall, py::arg("game"), py::arg("rule"), py::arg("indices"),
        py::arg("estimate") = 0.0, py::arg("memory") = "", py::arg("exhaustive") = false);
  m.def("load", &vkx::load, py::arg("path"));
  m.def("index_names", &vkx::index_names);
}
