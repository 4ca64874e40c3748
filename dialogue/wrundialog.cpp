#include "dialogue/wrundialog.h"

#include <algorithm>

#include "common/numbers.h"
#include "console/console.h"
#include "data/gamefile.h"
#include "data/winsets.h"
#include "dialogue/prompts.h"
#include "dialogue/winsetinput.h"
#include "engines/convert/vote_systems.h"

namespace wrun {

void REFUSE() {
  con::writeLn("...number of players/subgames not allowed");
  con::waitKey();
}

namespace {

// First character of an answer line; only this character counts.
char answer() {
  std::string line = con::readLine();
  return line.empty() ? '\0' : line[0];
}

void drawRow(void* ctx, const PERMTYP& perm) {
  Run& r = *static_cast<Run*>(ctx);
  char text[2 * MAXACTOR];
  for (int p = 1; p <= r.n; ++p) {
    text[2 * (p - 1)] = perm[p] ? '1' : '0';
    text[2 * (p - 1) + 1] = ' ';
  }
  con::gotoXY(r.x, r.y);
  con::write(std::string_view(text, 2 * static_cast<std::size_t>(r.n)));
  con::present();
}

void listLine(void* ctx, const PERMTYP& perm, double count) {
  Run& r = *static_cast<Run*>(ctx);
  const std::string line = LISTLINE(perm, r.n, *r.mem);
  con::write(INTSTR(static_cast<long long>(count), 6) + ": " + line);
  if (r.pause) {
    con::write(r.pauseText);
    con::readPress();
  }
  con::writeLn();
  r.file.writeLine(line);
  con::present();
}

void fileError(int code, const std::string& name) {
  con::writeLn("...system error" + std::to_string(code) + " on saving " + name);
}

}  // namespace

void START(Run& R, uint16_t N, const MEMTYP& MEM, const char* SECOND, const char* HEADER,
           const std::string& OUUNAME) {
  R.n = N;
  R.mem = &MEM;
  con::write("screen control (y/n): ");
  char mode = answer();
  if (mode == 'y') {
    con::write(SECOND);
    mode = answer() == 'y' ? 'w' : 'y';
  }
  R.mode = mode;
  con::clrScr();
  if (R.mode == 'w') {
    con::writeLn(HEADER);
    const std::string& name = R.ouuName = OUUNAME;
    int err = R.file.append(name);
    // Only a missing file is created: a file that exists but cannot be
    // appended to keeps the listings of earlier runs.
    if (err == ENOENT) err = R.file.create(name);
    if (err != 0) {
      fileError(err, name);
      R.mode = 'y';
    }
  } else {
    con::writeLn("...processing");
    if (R.mode != 'y') con::longRunStarts();  // quiet: nothing is drawn until the end
  }
  R.x = con::whereX();
  R.y = con::whereY();
}

const weightedwalk::Visitor* VISITOR(Run& R, weightedwalk::Visitor& storage) {
  storage = weightedwalk::Visitor{};
  storage.ctx = &R;
  if (R.mode == 'y') {
    storage.every = drawRow;
    return &storage;
  }
  if (R.mode == 'w') {
    storage.listed = listLine;
    return &storage;
  }
  return nullptr;
}

void FINISH(Run& R) {
  con::longRunEnds();
  if (R.mode == 'w') {
    R.file.writeLine("");
    // A listing that could not be written completely must not pass unnoticed;
    // it is rolled back like a report.
    if (int err = R.file.commit()) fileError(err, R.ouuName);
  }
  con::writeLn();
  con::writeLn();
}

namespace {

// Asks PROMPT for a further data file, loads it and, when it is a weighted
// game of the same shape, asks its win sets and stores weights and
// thresholds as vote system K. THRESK receives the number of win sets.
bool loadSystem(const char* prompt, int k, GAMETYP& game, RULETYP& rule, const SETTINGSTYP& s,
                int32_t& thresk) {
  con::write(prompt);
  game.NAME1 = NAMECUT(con::readLine());
  int32_t errorflag = 0, datastructure = 0;
  uint16_t n1 = 0, mm1 = 0;
  NNTYP nn1{};
  GEWTYP gew1{};
  MEMTYP mem1{};
  DATALOAD(game.NAME1, datastructure, n1, mm1, nn1, gew1, mem1, errorflag);
  con::writeLn();
  if (errorflag == 0 && !SYSTEMFITS(game, datastructure, n1, mm1, nn1)) errorflag = 100;
  if (errorflag != 0) {
    con::writeLn("...system error on loading " + game.NAME1 + ".inp");
    con::waitKey();
    return false;
  }
  GEWTYP m1{};
  GTYP g1{};
  thresk = 0;
  THRESHOLD_INPUT(s, thresk, m1, g1, datastructure, mm1, nn1, gew1);
  game.GEWX[k] = gew1;
  const int thres = std::clamp<int32_t>(thresk, 0, weightedwalk::MAXWINSET);
  rule.MX[k] = GEWTYP{};
  for (int t = 1; t <= thres; ++t)
    for (int sg = 1; sg <= game.MM; ++sg) rule.MX[k][sg][t] = m1[sg][t];
  return true;
}

}  // namespace

bool ASKSYSTEMS(GAMETYP& GAME, RULETYP& RULE, const SETTINGSTYP& S, bool SHAPLEY) {
  int32_t vs = 2;
  READINTLN("double/triple/quadruple vote sytem (2/3/4): ", vs);
  if (vs < 2 || vs > 4) vs = 2;
  GAME.VS = vs;
  static const char* const prompts[] = {
      "", "second data file: ", "third data file: ", "fourth data file: "};
  for (int k = 1; k < GAME.VS; ++k) {
    int32_t thresk = 0;
    if (!loadSystem(prompts[k], k, GAME, RULE, S, thresk)) return false;
    if (thresk == RULE.THRES) continue;
    if (SHAPLEY && k == 1) {
      con::writeLn("...unequal numbers of thresholds");
      con::waitKey();
    }
    return false;
  }
  RULE.BLOCK = false;
  RULE.BLOCKTHRES = 0;
  if (SHAPLEY && S.INTERNAL == 1) {
    int32_t art196 = 0, artthres = 0;
    READINTLN("blocking Art.III-196(3) EU Const.Treaty in second vote system (0/1): ", art196);
    if (art196 == 1) READINTLN("blocking threshold: ", artthres);
    RULE.BLOCK = art196 == 1;
    RULE.BLOCKTHRES = artthres;
  }
  return true;
}

}  // namespace wrun
