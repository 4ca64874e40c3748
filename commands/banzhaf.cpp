#include "commands/banzhaf.h"

#include <cmath>

#include "commands/runs.h"
#include "common/numbers.h"
#include "console/console.h"
#include "dialogue/prompts.h"
#include "frame/window.h"

void MENUE_BANZHAF(SETTINGSTYP& S) {
  RUNTYP R;
  if (!RUNSTART(R, S, "banzhaf", "banzhaf")) return;
  const bool weighted = R.DATASTRUCTURE == DATASTRUCT::WEIGHTED;

  if (S.INTERNAL == 1) {
    con::writeLn("version: standard(1), multiple weights(2), ISA(3),");
    int32_t answer = 1;
    READINTLN("ISA-WP(4) (1/2/3/4): ", answer);
    R.GAME = VERSIONOF(answer, false);
  } else if (weighted) {
    ASKVERSION12(R);
  }

  if (R.GAME == VERSION::STANDARD || R.GAME == VERSION::MULTIPLE) {
    ASKWINSETS(R, S);
    if (weighted) {
      // The overall rule is a setting: kept for later runs, and applied by
      // the multiple-weights version (the standard version always counts
      // T1 as a least number of members).
      R.T1 = 0;
      S.OVERALL = 0;
      READINTLN("overall threshold: no/AND/OR (0/1/2): ", S.OVERALL);
      if (S.OVERALL == 1 || S.OVERALL == 2) {
        READINTLN("number of players/votes (0/1): ", S.OVERT);
        if (S.OVERT == 1) {
          READTHRESHOLD16(S, "overall threshold (votes): ", R.T1, true);
        } else {
          S.OVERT = 0;
          READTHRESHOLD16(S, "overall threshold (number of players): ", R.T1, true);
        }
      }
      con::writeLn();
    }
  } else if (R.GAME == VERSION::ISA || R.GAME == VERSION::ISAWP) {
    ASKWINSETS(R, S);
    THRESHOLD_INPUT3(R, S);
  }

  STAMPSTART(R);
  if (!RUNINDEX(R, S, BANZHAFKIND())) return;
  RUNFINISH(R, S, BANZHAFKIND());
}
