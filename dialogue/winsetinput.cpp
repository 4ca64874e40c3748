#include "dialogue/winsetinput.h"

#include <algorithm>
#include <string>

#include "console/console.h"
#include "data/winsets.h"
#include "dialogue/boxes.h"
#include "dialogue/prompts.h"

void THRESHOLD_INPUT(const SETTINGSTYP& S, int32_t& THRES, GEWTYP& M, GTYP& G,
                     int32_t DATASTRUCTURE, uint16_t MM, const NNTYP& NN, const GEWTYP& GEW) {
  const int mm = std::min<int>(MM, MAXCHAMB);  // the boxes have 10 dimensions
  THRES = 1;
  con::write("datastructure:          ");
  con::writeLn(DATASTRUCTOF(DATASTRUCTURE) == DATASTRUCT::WEIGHTED ? "weighted" : "unweighted");
  con::write("number of subgames:     ");
  con::writeInt(MM);
  con::writeLn();
  con::write("cumulated weights:      ");
  for (int d = 1; d <= mm; ++d) {
    con::writeInt(CUMULATEDWEIGHT(DATASTRUCTURE, NN, GEW, d));
    con::write(" ");
  }
  con::writeLn();
  con::writeLn();

  for (;;) {
    READINTLN("number of winsets:      ", THRES);
    if (WINSETCOUNTOK(THRES)) break;
    con::writeLn(THRESNUMBERMSG);
  }

  for (int I = 1; I <= THRES; ++I) {
    const std::string number = std::to_string(I);
    for (;;) {
      con::write("winset ");
      con::write(number);
      con::writeLn(":");
      READQUADLN1(S, G, static_cast<uint8_t>(I), static_cast<uint16_t>(mm));
      if (WINSETCOMPLETE(I, M, G, DATASTRUCTURE, MM, NN, GEW)) break;
      con::writeLn(THRESMSG);
    }
    con::write("winset ");
    con::write(number);
    con::write(":               ");
    WRITEQUADLN(G[I], static_cast<uint8_t>(mm));
  }
  con::writeLn();
}
