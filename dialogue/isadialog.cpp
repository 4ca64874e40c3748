#include "dialogue/isadialog.h"

#include <string>

#include "console/console.h"

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

void ISA_SCREEN_RUN(ISAKIND KIND, const ISACOUNT& COUNT) {
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

  if (!screen) con::longRunStarts();  // quiet: nothing is drawn until the end
  COUNT(screen ? drawProgress : nullptr, &line);
  con::longRunEnds();

  con::writeLn();
  if (KIND == ISAKIND::BANZHAF) con::writeLn();
}

ISATOTALS ISA_SCREEN_RUN(ISAKIND KIND, const ISAGAME& GAME) {
  ISATOTALS t;
  ISA_SCREEN_RUN(KIND, [&](ISAPROGRESS progress, void* data) {
    t = ISA_SUMS(KIND, GAME, progress, data);
    ISA_SCALE(KIND, GAME, t);
  });
  return t;
}
