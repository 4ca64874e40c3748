#include "commands/shapley.h"

#include <cmath>

#include "commands/runs.h"
#include "common/numbers.h"
#include "console/console.h"
#include "data/gamefile.h"
#include "dialogue/prompts.h"
#include "frame/window.h"

void MENUE_SHAPLEY(SETTINGSTYP& S) {
  RUNTYP R;
  if (!RUNSTART(R, S, "shapley/inclusiveness", "shapley")) return;
  const bool weighted = R.DATASTRUCTURE == DATASTRUCT::WEIGHTED;

  if (S.INTERNAL == 1) {
    con::writeLn("version: standard(1), multiple weights(2), ISA(3),");
    int32_t answer = 1;
    READINTLN("ISA-WP(4), spatial(5) (1/2/3/4/5): ", answer);
    R.GAME = VERSIONOF(answer, true);
  } else if (weighted) {
    ASKVERSION12(R);
  }
  con::writeLn(" ");

  if (R.GAME == VERSION::SPATIAL) {
    con::write("policy data file: ");
    R.NAME1 = NAMECUT(con::readLine());
    POSITIONLOAD(R.NAME1, R.NTHEME, R.N, R.POSITION, R.ERRORFLAG);
    if (R.ERRORFLAG != 0) {
      con::writeLn("...system error on loading " + R.NAME1);
      con::waitKey();
      return;
    }
  }

  if (R.GAME == VERSION::STANDARD || R.GAME == VERSION::MULTIPLE || R.GAME == VERSION::SPATIAL) {
    ASKWINSETS(R, S);
    if (weighted) {
      R.T1 = 0;
      READTHRESHOLD16(S, "overall threshold (number/weight of players): ", R.T1, true);
      con::writeLn();
    }
  } else if (R.GAME == VERSION::ISA || R.GAME == VERSION::ISAWP) {
    ASKWINSETS(R, S);
    THRESHOLD_INPUT3(R, S);
  }

  STAMPSTART(R);
  if (!RUNINDEX(R, S, SHAPLEYKIND())) return;
  RUNFINISH(R, S, SHAPLEYKIND());
}
