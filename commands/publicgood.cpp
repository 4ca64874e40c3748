#include "commands/publicgood.h"

#include "commands/runs.h"
#include "common/numbers.h"
#include "console/console.h"
#include "dialogue/prompts.h"
#include "frame/window.h"

void MENUE_PUBLICGOOD(SETTINGSTYP& S) {
  RUNTYP R;
  if (!RUNSTART(R, S, "public good index", "publicgood")) return;
  const bool weighted = R.DATASTRUCTURE == DATASTRUCT::WEIGHTED;

  if (S.INTERNAL == 1) {
    // The extended versions have no public good engine; the answer is kept
    // on the line so the threshold dialogue follows right after it.
    con::write("no options!");
  } else if (weighted) {
    ASKVERSION12(R);
  }

  if (R.GAME == VERSION::STANDARD || R.GAME == VERSION::MULTIPLE) {
    ASKWINSETS(R, S);
    if (weighted) {
      R.T1 = 0;
      READTHRESHOLD16(S, "overall threshold (number of players): ", R.T1, true);
      if (R.T1 > R.N) R.T1 = R.N;
      con::writeLn();
    }
  }

  STAMPSTART(R);
  if (!RUNINDEX(R, S, PUBLICGOODKIND())) return;
  RUNFINISH(R, S, PUBLICGOODKIND());
}
