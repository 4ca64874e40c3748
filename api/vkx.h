// The calculation as a library: a game, a rule, the indices and the options
// as plain values in, a result with the command line's CSV table out, and
// the command line's own messages as exceptions. The Python and R packages
// and the web page call this and nothing else of the calculation; it keeps
// no state between calls, so that calls on different threads do not meet.
//
//   vkx::Game game = vkx::Game::weighted({3, 2, 1}, {"A", "B", "C"});
//   vkx::Result r = vkx::run(game, vkx::Rule::quota("4"), {"banzhaf"});
//   r.columns  // subgame, player, name, weight, NNBZ, NBZ, banzhaf_method
//   r.rows[0][5].value  // 0.6: A's normalised Banzhaf index
//
// Numbers of the game and the rule are kept as the command line reads them
// ("29", "$1D", "62%", "majority", a range "50%:80%:1%"), so that every
// front end gets the same checks and messages; Game::weighted and
// Rule::quota build them from whole numbers.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace vkx {

// A game, from exactly one source: the text of a data file (then FILE only
// names it in messages), a data file, unweighted chambers, or the weights
// of weighted subgames. NAMES, when given, name the players in order over
// the subgames (a name may hold any character), in place of a data file's.
struct Game {
  std::vector<std::vector<std::string>> weights;  // [subgame][player]
  std::vector<std::string> names;
  std::vector<std::string> members;  // unweighted: the size of each chamber
  std::string file;                  // a data file, with or without .inp
  std::optional<std::string> text;   // a data file's text
  // Further vote systems (multiple weights): the weights of the same
  // players in the same subgames, or a data file of them.
  std::vector<Game> systems;

  // One weighted subgame of these weights (and names).
  static Game weighted(const std::vector<int64_t>& weights, std::vector<std::string> names = {});
  // Unweighted chambers of these sizes.
  static Game chambers(const std::vector<int64_t>& sizes);
};

// The winning rule: win sets, each a threshold per subgame; the win sets of
// each further vote system (as many as the game's); the overall threshold
// and, with further vote systems, how it joins the win sets (COMBINE "and"
// or "or") and what it counts (UNIT "members" or "votes"), the blocking
// minority; the count-vector versions of unweighted chambers (ISA
// "T1,A1,T2,A2", WORKINGPLAN) and the spatial version (POSITIONS, a
// positions file).
struct Rule {
  std::vector<std::vector<std::string>> winsets;
  std::vector<std::vector<std::vector<std::string>>> systems;
  std::string overall;
  std::string combine = "and";
  std::string unit = "members";
  std::string blocking;
  std::string isa;
  bool working_plan = false;
  std::string positions;

  // One win set of one threshold per subgame.
  static Rule quota(const std::string& threshold);
};

// How to count: sampled to this standard error instead (0: exactly); the
// memory the counting may take ("4G", "512M", bytes; "": from the machine);
// the walk over every coalition however long it takes; PROGRESS, called
// from the counting thread with the share done, the seconds so far and the
// method, then once with (1, 0, "") when a count that reported is over; a
// flag another thread sets to stop the count (the run then fails with
// "...stopped").
struct Options {
  double estimate = 0;
  std::string memory;
  bool exhaustive = false;
  std::function<void(double fraction, double seconds, const std::string& method)> progress;
  const std::atomic<bool>* stop = nullptr;
};

// A field of the result's table: the text the CSV holds and the number it
// stands for (NaN for a name, a method, an empty field, a chamber's player
// "i", or a count beyond a double, whose text is kept).
struct Cell {
  std::string text;
  double value = 0;
};

struct State;

// A finished run: the command line's CSV as a table (the same columns and
// the same numbers to the last digit), the "sum of all" row of each rule,
// the method that counted each index (under the first rule; every row has
// its own in the index's "_method" column), the plan it was counted by, and
// the command line's outputs of the run.
struct Result {
  std::vector<std::string> indices;
  std::vector<std::string> methods;
  std::vector<std::string> columns;
  std::vector<std::vector<Cell>> rows;
  std::vector<std::vector<Cell>> totals;
  bool sweep = false;              // a range of quotas: rows lead with "quota"
  std::vector<std::string> notes;  // lines for the user (a budget held to a limit)

  // Every row as the CSV has them: with TOTALS each rule's rows end in its
  // "sum of all" row.
  std::vector<std::vector<Cell>> table(bool totals) const;
  std::string csv(bool totals = false) const;
  std::string json() const;
  std::string report() const;
  std::string svg() const;
  std::string plan() const;  // as JSON

  std::shared_ptr<const State> state;
};

// The plan of a run without counting it: refused or not and why, the CPU
// seconds and the peak bytes planned, and the whole plan as text and JSON
// (the command line's --plan).
struct Plan {
  bool refused = false;
  std::string reason;
  double seconds = 0;
  std::size_t bytes = 0;
  std::string text;
  std::string json;
};

// A failed run, with the command line's message and exit status (2 wrong
// usage, 3 a game that cannot be read or is refused); REFUSED: too large
// for the memory or the time (the message names both and the way out).
struct Error : std::runtime_error {
  int status;
  bool refused;
  Error(const std::string& message, int status, bool refused)
      : std::runtime_error(message), status(status), refused(refused) {}
};

// Every index of the game that is asked for: names of the registry
// ("shapley", "banzhaf", ...) or "all" for every index the game's version
// offers.
Result run(const Game& game, const Rule& rule, const std::vector<std::string>& indices,
           const Options& options = {});
Plan plan(const Game& game, const Rule& rule, const std::vector<std::string>& indices,
          const Options& options = {});
// The game of a data file (PATH as the command line takes it), read now:
// its text, and its weights or chambers and its players' names to look at.
Game load(const std::string& path);
// The names of every index, in the order of the command line's help.
std::vector<std::string> index_names();

// A count run on a thread of its own while the calling thread asks
// INTERRUPTED() every 50 ms (a host language's Ctrl-C): a true answer sets
// STOP, which the count watches, and the count is then waited for, so that
// nothing of it is left behind. The result or the count's exception comes
// back; interrupted says the host's interrupt stopped it.
template <class T>
struct Watched {
  std::optional<T> result;
  std::exception_ptr error;
  bool interrupted = false;
};

template <class CALL, class POLL>
Watched<std::invoke_result_t<CALL>> watched(std::atomic<bool>& stop, CALL call, POLL interrupted) {
  Watched<std::invoke_result_t<CALL>> w;
  std::mutex lock;
  std::condition_variable ended;
  bool done = false;
  std::thread worker([&] {
    try {
      w.result.emplace(call());
    } catch (...) {
      w.error = std::current_exception();
    }
    std::lock_guard<std::mutex> hold(lock);
    done = true;
    ended.notify_one();
  });
  {
    std::unique_lock<std::mutex> hold(lock);
    while (!done) {
      ended.wait_for(hold, std::chrono::milliseconds(50));
      if (done || w.interrupted) continue;
      hold.unlock();
      if (interrupted()) {
        w.interrupted = true;
        stop = true;
      }
      hold.lock();
    }
  }
  worker.join();
  return w;
}

}  // namespace vkx
