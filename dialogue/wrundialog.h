// The dialogue side of the weighted engines: the run-mode questions, the
// coalition display and the winning-coalitions listing, and loading the
// further vote systems of the multiple-weights version.
#pragma once

#include <cstdint>
#include <string>

#include "engines/convert/vote_systems.h"
#include "engines/walk/weighted_walk.h"
#include "platform/files.h"
#include "types/vkxdecl.h"
#include "types/vkxgame.h"

namespace wrun {

// The refusal of a game that cannot be computed: message and key wait.
void REFUSE();

// The further vote systems of a multiple-weights run, asked before anything
// else once the game is known to fit (WEIGHTEDCORE): their number, 2 to 4
// (anything else counts as 2), into GAME.VS; then per further system its
// data file (whose name goes into GAME.NAME1), which must be a weighted game
// of the same shape, into GAME.GEWX, and its win sets into RULE.MX. With
// SHAPLEY, a second system with another number of win sets than RULE.THRES
// is reported as such, and on the internal version list the blocking rule
// is asked into RULE. False as soon as a system is not taken (after the
// load message and key wait, or silently for another number of win sets:
// win sets are paired by number across the vote systems).
bool ASKSYSTEMS(GAMETYP& GAME, RULETYP& RULE, const SETTINGSTYP& S, bool SHAPLEY);
// One engine run as the user chose it.
struct Run {
  char mode = 'q';  // 'y' screen control, 'w' report, anything else quiet
  plat::TextOut file;
  std::string ouuName;  // the listing file in report mode
  int x = 1, y = 1;     // where the coalition row is drawn
  uint16_t n = 0;
  const MEMTYP* mem = nullptr;
  // Report mode of the multiple-weights Shapley engine: after each listed
  // line show PAUSETEXT and wait for a key.
  bool pause = false;
  std::string pauseText;
};

// Asks the run mode (SECOND is the report question), clears the screen, in
// report mode writes HEADER and opens OUUNAME (falling back to screen
// control when it cannot be opened), otherwise writes "...processing"; then
// remembers the cursor for the coalition row.
void START(Run& R, uint16_t N, const MEMTYP& MEM, const char* SECOND, const char* HEADER,
           const std::string& OUUNAME);
// The hooks that draw and list coalitions for this run; null in quiet mode.
const weightedwalk::Visitor* VISITOR(Run& R, weightedwalk::Visitor& storage);
// Ends the listing file with an empty line and closes it, then leaves two
// empty lines below the run on the screen.
void FINISH(Run& R);

}  // namespace wrun
