// The dialogue side of the weighted engines: turning the game tables into a
// counting-core game, the run-mode questions, the coalition display and the
// winning-coalitions listing, and loading the additional vote systems.
#pragma once

#include <cstdint>
#include <string>

#include "engines/wcore.h"
#include "platform/files.h"
#include "types/vkxdecl.h"

namespace wrun {

// Fills G with the primary vote system. False when the game cannot be
// computed: no players or subgames, more than the tables hold, more than 10
// win sets, or a membership table that does not fit the subgames.
bool BUILD(wcore::Game& G, uint16_t N, uint16_t MM, const NNTYP& NN, const GEWTYP& GEW,
           const MEMTYP& MEM, int32_t THRES, const GEWTYP& M, uint16_t T1);
// The refusal of a game that cannot be computed: message and key wait.
void REFUSE();
// The start of a multiple-weights run: BUILD, or REFUSE and false, before
// any further file or threshold is asked (the dialogue of an oversized game
// could not be held in the tables); then the number of vote systems, 2 to 4
// (anything else counts as 2), goes into G.vs.
bool STARTDOUB(wcore::Game& G, uint16_t N, uint16_t MM, const NNTYP& NN, const GEWTYP& GEW,
               const MEMTYP& MEM, int32_t THRES, const GEWTYP& M, uint16_t T1);

// One engine run as the user chose it.
struct Run {
  char mode = 'q';  // 'y' screen control, 'w' report, anything else quiet
  plat::TextOut file;
  int x = 1, y = 1;  // where the coalition row is drawn
  uint16_t n = 0;
  const MEMTYP* mem = nullptr;
  // Report mode of the multiple-weights Shapley engine: after each listed
  // line show the overall-threshold settings and wait for a key.
  bool pause = false;
};

// Asks the run mode (SECOND is the report question), clears the screen, in
// report mode writes HEADER and opens NAMEOUT + ".ouu" (falling back to
// screen control when it cannot be opened), otherwise writes
// "...processing"; then remembers the cursor for the coalition row.
void START(Run& R, uint16_t N, const MEMTYP& MEM, const char* SECOND, const char* HEADER);
// The hooks that draw and list coalitions for this run; null in quiet mode.
const wcore::Visitor* VISITOR(Run& R, wcore::Visitor& storage);
// Ends the listing file with an empty line and closes it, then leaves two
// empty lines below the run on the screen.
void FINISH(Run& R);

// One listing line: for every player in order, "/" at the start of each
// subgame after the first, and "number/" for each member.
std::string LISTLINE(const PERMTYP& PERM, uint16_t N, const MEMTYP& MEM);

// Asks PROMPT for a further data file, loads it into NAME1 and, when it is a
// weighted game of the same shape, asks its win sets and stores weights and
// thresholds as vote system K of G. Returns false after the load message
// and key wait. THRESK receives the number of win sets entered.
bool LOADSYSTEM(const char* PROMPT, std::string& NAME1, int K, uint16_t N, uint16_t MM,
                const NNTYP& NN, const MEMTYP& MEM, wcore::Game& G, int32_t& THRESK);
// LOADSYSTEM for the vote systems FROM to G.vs - 1 ("second data file: "
// for 1, then "third", "fourth"). False as soon as one is not loaded or has
// another number of win sets than THRES: win sets are paired by number
// across the vote systems.
bool LOADSYSTEMS(int FROM, std::string& NAME1, uint16_t N, uint16_t MM, const NNTYP& NN,
                 const MEMTYP& MEM, int32_t THRES, wcore::Game& G);

}  // namespace wrun
