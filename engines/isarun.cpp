#include "engines/isarun.h"

#include <algorithm>
#include <string>

#include "platform/console.h"

namespace {

struct PROGRESSLINE {
  int x, y;         // where the line starts, remembered after "...processing"
  const char* sep;  // between the box number and the vector
};

void drawProgress(int32_t I, const POINT& P, uint16_t MM, void* DATA) {
  const PROGRESSLINE& line = *static_cast<const PROGRESSLINE*>(DATA);
  con::gotoXY(line.x, line.y);
  con::writeInt(I);
  con::write(line.sep);
  for (int d = 1; d <= MM; ++d) {
    con::writeInt(P[d]);
    con::write(" ");
  }
  con::writeLn();
  con::present();
}

}  // namespace

void ISA_SCREEN_RUN(ISAKIND KIND, const ISAGAME& GAME, SHAPTYP& SHAP, SHAPTYP& PIV,
                    double& WINSETS) {
  if (KIND == ISAKIND::WORKINGPLAN) {
    con::writeLn("procedure for working plans of the ISBA");
    con::writeLn("overall thresholds are only for the first two win sets !!");
    con::writeLn("you shall define at least 3 win sets");
    con::writeLn(" ");
  }
  con::write("screen control (y/n): ");
  std::string answer = con::readLine();
  bool screen = !answer.empty() && answer[0] == 'y';
  con::clrScr();
  con::writeLn(KIND == ISAKIND::PUBLICGOOD ? "...processing public good" : "...processing");
  PROGRESSLINE line{con::whereX(), con::whereY(), KIND == ISAKIND::PUBLICGOOD ? ".  " : ". "};

  ISATOTALS sums = ISA_SUMS(KIND, GAME, screen ? drawProgress : nullptr, &line);

  // The sums join whatever the caller's tables hold, and the scaling applies
  // to the joined values.
  int mm = std::min<int>(GAME.MM, MAXCHAMB);
  ISATOTALS t;
  for (int d = 1; d <= mm; ++d) {
    t.SHAP[d] = SHAP[d][0] + sums.SHAP[d];
    t.PIV0[d] = PIV[d][0] + sums.PIV0[d];
    t.PIV1[d] = PIV[d][1] + sums.PIV1[d];
  }
  t.WINSETS = WINSETS + sums.WINSETS;
  ISA_SCALE(KIND, GAME, t);
  for (int d = 1; d <= mm; ++d) {
    SHAP[d][0] = t.SHAP[d];
    PIV[d][0] = t.PIV0[d];
    if (KIND == ISAKIND::SHAPLEY) PIV[d][1] = t.PIV1[d];
  }
  WINSETS = t.WINSETS;

  con::writeLn();
  if (KIND == ISAKIND::BANZHAF) con::writeLn();
}
