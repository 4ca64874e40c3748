// A run as it is asked for, in the words of its user: the indices, the
// game (a data file, standard input, or typed lists of weights or member
// counts), the winning rule as typed ("255", "62%", "majority", a range
// "50%:75%:1%"), and how the counting may go (memory, exhaustive walk,
// sampling). Every front end fills one: the command line from its
// arguments, the Python and R packages and the web page from their calls.
// The texts keep the command line's forms, so that every front end checks
// them alike and reports the same messages.
#pragma once

#include <atomic>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "report/report.h"

// Exit statuses of the command line, and the kinds of failure the other
// front ends tell apart: wrong usage, or a game that cannot be read or is
// refused.
constexpr int EXITUSAGE = 2;
constexpr int EXITREFUSED = 3;

// A further vote system as typed: a data file (--system) or its weights
// (--system-weights, the subgames' lists separated by "/").
struct SYSTEMARG {
  std::string TEXT;
  bool TYPED = false;
};

// Called now and then during a long count, from the counting thread:
// the share done (0..1, negative when unknown), the seconds so far, and the
// method counting. A front end draws a bar or moves a progress element.
using PROGRESSFN = void (*)(void* DATA, double FRACTION, double SECONDS, const char* METHOD);

struct REQUESTTYP {
  std::vector<const REPORTKINDTYP*> KINDS;  // the indices asked for
  bool ALL = false;                         // every index the version offers
  // The game: a data file (with or without .inp; "-" standard input, or a
  // pipe or device as typed), or the typed lists of --weights (one per
  // subgame, "[NAME:]W,...") or --members ("N,N...").
  std::string GAME;
  // Or the text of a data file, handed over in memory (the packages, the
  // page): read as the file would be, GAME (when given) naming it.
  std::optional<std::string> GAMETEXT;
  std::vector<std::string> WEIGHTS;
  std::string MEMBERS;
  // The --winset texts of each vote system: those of the primary game, then
  // those of each further system in turn.
  std::vector<std::string> WINSETS[MAXSYSTEMS];
  std::vector<SYSTEMARG> SYSTEMS;
  std::string OVERALL, RULE = "and", UNIT = "members", BLOCKING, ISA, POSITIONS;
  bool WORKINGPLAN = false;
  // A priori unions (api/unions.h): "A,B;C;D,E", each union's players by
  // name or number, the players not named each a union of their own.
  std::string UNIONS;
  // The memory the counting may take (0: from the machine), whether a count
  // beyond it or beyond the time limit is walked anyway, and the standard
  // error asked of a sampled estimate (0: count exactly).
  std::size_t BUDGET = 0;
  bool EXHAUSTIVE = false;
  double ESTIMATE = 0;
  // Progress of long counts (null: none), and a flag another thread sets to
  // stop the count (null: none): the run then fails with "...stopped".
  PROGRESSFN PROGRESS = nullptr;
  void* PROGRESSDATA = nullptr;
  const std::atomic<bool>* STOP = nullptr;
};

// Why a run stops: the exit status, the message (the program's own "..."
// text, a reader's "FILE:LINE: reason", or "vkx: " and the reason), and
// whether the game was refused as too large for the budget or the time
// (the front ends offer --estimate or more memory then).
struct FAILTYP {
  int STATUS = 0;
  std::string MESSAGE;
  bool REFUSED = false;
};

// F set to STATUS and MESSAGE; false, for returning at once.
bool FAIL(FAILTYP& F, int STATUS, const std::string& MESSAGE);
// A usage error: the dialogue's own "..." message as it is, any other
// reason after "vkx: ".
bool USAGE(FAILTYP& F, const std::string& MESSAGE);
// The items of TEXT between the separators SEP.
std::vector<std::string> SPLIT(const std::string& TEXT, char SEP);
