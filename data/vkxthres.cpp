#include "data/vkxthres.h"

#include <algorithm>
#include <string>

#include "common/mathe2.h"
#include "platform/console.h"

const char* const THRESNUMBERMSG = "...threshold number not allowed";
const char* const THRESMSG = "...thresholds not allowed";

int64_t CUMULATEDWEIGHT(int32_t DATASTRUCTURE, const NNTYP& NN, const GEWTYP& GEW, int D) {
  if (DATASTRUCTOF(DATASTRUCTURE) != DATASTRUCT::WEIGHTED) return NN[D];
  // Summed in 64 bits, so many large weights cannot wrap into a small or
  // negative total.
  const int players = std::min<int32_t>(NN[D], MAXACTOR);
  int64_t sum = 0;
  for (int j = 1; j <= players; ++j) sum += GEW[D][j];
  return sum;
}

namespace {

// A 32-bit box bound for a cumulated weight beyond the 32-bit range: no
// threshold can lie beyond it, so the clamped bound decides alike.
int32_t boundOf(int64_t w) {
  return static_cast<int32_t>(std::clamp<int64_t>(w, INT32_MIN, INT32_MAX));
}

}  // namespace

bool WINSETCOUNTOK(int32_t THRES) { return THRES >= 1 && THRES <= 10; }

bool WINSETCOMPLETE(int I, GEWTYP& M, GTYP& G, int32_t DATASTRUCTURE, uint16_t MM, const NNTYP& NN,
                    const GEWTYP& GEW) {
  const int mm = std::min<int>(MM, MAXCHAMB);
  bool valid = true;
  for (int d = 1; d <= mm; ++d) {
    M[d][I] = G[I][d][1];
    const int64_t top = CUMULATEDWEIGHT(DATASTRUCTURE, NN, GEW, d);
    if (G[I][d][1] > top) valid = false;
    G[I][d][2] = boundOf(top);
  }
  return valid;
}

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
