#include "dialogue/boxes.h"

#include <algorithm>
#include <string>

#include "console/console.h"
#include "dialogue/prompts.h"

void READQUADLN1(const SETTINGSTYP& S, GTYP& A, uint8_t II, uint16_t N) {
  if (II > MAXCHAMB) return;  // the table holds 10 win sets
  const int dims = std::min<int>(N, MAXCHAMB);
  for (int I = 1; I <= dims; ++I) {
    A[II][I][1] = 0;
    A[II][I][2] = 0;
    std::string prompt = "threshold subgame ";
    prompt += std::to_string(I);
    prompt += ":    ";
    READWEIGHTLN(S, prompt, A[II][I][1]);
  }
}

void WRITEQUADLN(const QUADER& A, uint8_t N) {
  const int dims = std::min<int>(N, MAXCHAMB);
  for (int I = 1; I <= dims; ++I) {
    con::write("[");
    con::writeInt(A[I][1]);
    con::write(",");
    con::writeInt(A[I][2]);
    con::write("]");
    if (I < dims) con::write(" * ");
  }
  con::writeLn();
}
