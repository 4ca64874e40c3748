#include "commands/vkxmcomm.h"

#include <cerrno>

#include "common/mathe1.h"
#include "common/mathe2.h"
#include "data/vkxdos.h"
#include "data/vkxthres.h"
#include "engines/vkxshap1.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "shell/vkxunit.h"

void REPORTLINE(REPORTTYP& REP, const std::string& TEXT) {
  if (REP.SCREEN)
    con::writeLn(TEXT);
  else if (REP.TEXTFILE)
    REP.TEXTFILE->writeLine(TEXT);
}

void REPORTWAIT(REPORTTYP& REP) {
  if (!REP.SCREEN) return;
  con::readPress();
}

void REPORTEXTENDED(REPORTTYP& REP, const double* VALUES, int COUNT) {
  if (COUNT < 1) return;
  REPORTLINE(REP, "  (extended: " + SCISTR(VALUES[0], 26) + (COUNT == 1 ? ")" : ""));
  for (int i = 1; i < COUNT; ++i)
    REPORTLINE(REP, std::string(13, ' ') + SCISTR(VALUES[i], 26) + ")");
}

void REPORTGAME(RUNTYP& R, REPORTTYP& REP) {
  REPORTLINE(REP, "primary data file: " + NAME);
  for (int32_t i = 1; i <= R.THRES && i <= 10; ++i) {
    std::string line = "win set     " + std::to_string(i) + ": ";
    for (int j = 1; j <= R.MM; ++j) {
      line += '[';
      line += std::to_string(R.G[i][j][1]);
      line += ',';
      line += std::to_string(R.G[i][j][2]);
      line += "] ";
      if (j < R.MM) line += "* ";
    }
    REPORTLINE(REP, line);
  }
  const bool weighted = R.DATASTRUCTURE == 1;
  if ((R.GAME == 1 || R.GAME == 5) && weighted && R.T1 != 0)
    REPORTLINE(REP, "overall threshold: " + std::to_string(R.T1));
  if (R.GAME == 5 && weighted) REPORTLINE(REP, "note: results based on multiple weights");
  if (R.GAME == 3 || R.GAME == 4) {
    REPORTLINE(REP, "overall threshold 1:      " + std::to_string(R.T1));
    REPORTLINE(REP, "number of subgames for 1: " + std::to_string(R.T1ANZ));
    REPORTLINE(REP, "overall threshold 2:      " + std::to_string(R.T2));
    REPORTLINE(REP, "number of subgames for 2: " + std::to_string(R.T2ANZ));
  }
  if (R.GAME == 6) {
    REPORTLINE(REP, "coalitions weighted by similarity");
    REPORTLINE(REP, "policy data file: " + R.NAME1);
    REPORTLINE(REP, "number of dimensions: " + std::to_string(R.NTHEME));
  }
}

void REPORTHEAD(RUNTYP& R, REPORTTYP& REP, const std::string& COLUMNS) {
  REPORTGAME(R, REP);
  REPORTLINE(REP, "");
  REPORTLINE(REP, COLUMNS);
  REPORTLINE(REP, std::string(COLUMNS.size(), '-'));
}

std::string REPORTPLAYER(const RUNTYP& R, int I, int P) {
  if (P == 0) return INTSTR(I, 7) + "       i" + "       1";
  return INTSTR(I, 7) + INTSTR(P, 8) + INTSTR(R.GEW[I][P], 8);
}

void REPORTWINS(RUNTYP& R, REPORTTYP& REP) {
  REPORTLINE(REP, " ");
  REPORTLINE(REP, "winning coalitions:    " + FIXSTR(R.WINSETS, 10, 0));
  REPORTLINE(REP, "decision probability:  " + FIXSTR(R.WINSETS / POT(2, R.N), 10, 6));
}

void REPORTEND(RUNTYP& R, REPORTTYP& REP, bool SPACED) {
  REPORTLINE(REP, " ");
  REPORTLINE(REP, REPORTTIMES(R, SPACED));
  REPORTLINE(REP, "");
  REPORTLINE(REP, "");
}

std::string REPORTTIMES(const RUNTYP& R, bool SPACED) {
  auto stamp = [](uint16_t d, uint16_t mo, uint16_t y, uint16_t h, uint16_t mi, uint16_t s) {
    return std::to_string(d) + "/" + std::to_string(mo) + "/" + std::to_string(y) + " " +
           INTSTR(h, 2) + ":" + INTSTR(mi, 2) + ":" + INTSTR(s, 2);
  };
  return (SPACED ? "time 1: " : "time1: ") + stamp(R.DAY1, R.MONTH1, R.YEAR1, R.H1, R.M1, R.S1) +
         "    " + (SPACED ? "time 2: " : "time2: ") +
         stamp(R.DAY2, R.MONTH2, R.YEAR2, R.H2, R.M2, R.S2);
}

double RATIO(double A, double B) { return B == 0.0 ? 0.0 : A / B; }

int REPORTFILE(RUNTYP& R, REPORTTYP& REP, const std::string& PATH, const std::string& HEADER,
               REPORTPROC PROC) {
  plat::TextOut out;
  bool created = false;
  int code = out.append(PATH);
  // Only a file that is not there is created: any other refusal (a locked or
  // unreadable file, a folder of that name) must not cost the reports it
  // already holds.
  if (code == ENOENT) {
    code = out.create(PATH);
    created = code == 0;
  }
  if (code == 0) {
    REP.SCREEN = false;
    REP.TEXTFILE = &out;
    if (created && !HEADER.empty()) {
      out.writeLine(HEADER);
      out.writeLine("\r");
    }
    PROC(R, REP);
    REP.TEXTFILE = nullptr;
    // A full disk must not leave half a report behind: on a failure the file
    // goes back to what it was before this run (a file made by this run goes
    // away).
    code = out.commit();
  }
  if (code != 0) con::writeLn("...system error" + std::to_string(code) + " on saving " + PATH);
  return code;
}

void REPORTWRITE(RUNTYP& R, REPORTTYP& REP, REPORTPROC TEXT, REPORTPROC BLOCK) {
  REP.SCREEN = true;
  REP.TEXTFILE = nullptr;
  TEXT(R, REP);

  const std::string base = OUTPUTFILE ? NAME : NAMEOUT;
  const std::string header = "VKX 2.0" + std::string(48, ' ') + std::to_string(R.DAY2) + "/" +
                             std::to_string(R.MONTH2) + "/" + std::to_string(R.YEAR2);
  REPORTFILE(R, REP, base + ".out", header, TEXT);
  if (OUTPUTTAB == 1) REPORTFILE(R, REP, base + ".ouu", "", BLOCK);
}

void REPORTRUN(RUNTYP& R, bool PIVOTS, REPORTPROC TEXT, REPORTPROC BLOCK) {
  REPORTTYP REP;
  for (int i = 1; i <= R.MM; ++i) {
    // The engines leave an unweighted subgame's total in entry 0 already;
    // a weighted subgame's total is the sum of its players.
    if (R.DATASTRUCTURE == 1) {
      for (int p = 1; p <= R.NN[i]; ++p) {
        R.SHAP[i][0] += R.SHAP[i][p];
        if (PIVOTS) R.PIV[i][0] += R.PIV[i][p];
      }
    }
    REP.SUM += R.SHAP[i][0];
    if (PIVOTS) REP.PIVOT += R.PIV[i][0];
  }
  REPORTWRITE(R, REP, TEXT, BLOCK);
}

bool GAMESIZEOK(const RUNTYP& R) {
  if (R.MM < 1 || R.MM > MAXCHAMB) return false;
  int64_t total = 0;
  for (int s = 1; s <= R.MM; ++s) {
    const int64_t nn = R.NN[s];
    if (R.DATASTRUCTURE == 1) {
      if (nn < 0 || nn > MAXACTOR) return false;
    } else if (nn < 1) {
      return false;
    }
    total += nn;
  }
  if (R.DATASTRUCTURE == 1) return total >= 1 && total <= MAXACTOR;
  return total <= 65535;
}

bool RUNSTART(RUNTYP& R, const std::string& TITLE) {
  COMMANDFRAME(TITLE);
  con::write("primary data file: ");
  NAME = NAMECUT(con::readLine());
  if (OUTPUTFILE) NAMEOUT = NAME;
  DATALOAD(NAME, R.DATASTRUCTURE, R.N, R.MM, R.NN, R.GEW, R.MEM, R.ERRORFLAG);
  con::writeLn();
  if (R.ERRORFLAG != 0) {
    con::writeLn("...system error on loading " + NAME + ".inp");
    MAINGROUND();
    return false;
  }
  // Nothing may index the tables before the game is known to fit them.
  if (!GAMESIZEOK(R)) {
    con::writeLn("...number of players/subgames not allowed");
    MAINGROUND();
    return false;
  }
  for (int i = 1; i <= R.MM; ++i) {
    R.SHAP[i] = {};
    R.PIV[i] = {};
  }
  R.WINSETS = 0.0;
  R.GAME = 1;
  return true;
}

void ASKWINSETS(RUNTYP& R) {
  THRESHOLD_INPUT(R.THRES, R.M, R.G, R.DATASTRUCTURE, R.MM, R.NN, R.GEW);
}

void ASKVERSION12(RUNTYP& R) {
  READINTLN("version: standard(1), multiple weights(2) (1/2): ", R.GAME);
  if (R.GAME != 1 && R.GAME != 2) R.GAME = 0;
  if (R.GAME == 2) R.GAME = 5;
}

void READTHRESHOLD16(const std::string& PROMPT, int32_t& VALUE, bool WEIGHTPROMPT) {
  const int32_t previous = VALUE;
  for (;;) {
    if (WEIGHTPROMPT)
      READWEIGHTLN(PROMPT, VALUE);
    else
      READINTLN(PROMPT, VALUE);
    if (VALUE >= 0 && VALUE <= 65535) return;
    VALUE = previous;
  }
}

void THRESHOLD_INPUT3(RUNTYP& R) {
  R.T1 = 0;
  R.T1ANZ = 0;
  R.T2 = 0;
  R.T2ANZ = 0;
  con::write("datastructure: ");
  if (R.DATASTRUCTURE == 0) con::write("unweighted");
  if (R.DATASTRUCTURE == 1) con::write("weighted");
  con::writeLn();
  READTHRESHOLD16("overall threshold 1: ", R.T1, false);
  READTHRESHOLD16("number of subgames for threshold 1: ", R.T1ANZ, false);
  READTHRESHOLD16("overall threshold 2: ", R.T2, false);
  READTHRESHOLD16("number of subgames for threshold 2: ", R.T2ANZ, false);
  con::writeLn();
}

namespace {

void stamp(uint16_t& h, uint16_t& mi, uint16_t& s, uint16_t& hun, uint16_t& y, uint16_t& mo,
           uint16_t& d, uint16_t& dayname) {
  const plat::Stamp t = plat::now();
  h = static_cast<uint16_t>(t.hour);
  mi = static_cast<uint16_t>(t.minute);
  s = static_cast<uint16_t>(t.second);
  hun = static_cast<uint16_t>(t.hundredths);
  y = static_cast<uint16_t>(t.year);
  mo = static_cast<uint16_t>(t.month);
  d = static_cast<uint16_t>(t.day);
  dayname = static_cast<uint16_t>(t.dayOfWeek);
}

}  // namespace

void STAMPSTART(RUNTYP& R) { stamp(R.H1, R.M1, R.S1, R.HUN, R.YEAR1, R.MONTH1, R.DAY1, R.DAYNAME); }

void STAMPEND(RUNTYP& R) { stamp(R.H2, R.M2, R.S2, R.HUN, R.YEAR2, R.MONTH2, R.DAY2, R.DAYNAME); }

void RUNUNWEIGHTED(RUNTYP& R, UNWEIGHTEDPROC ENGINE, bool ISA) {
  if (!ISA) {
    ENGINE(R.N, R.MM, R.NN, R.THRES, R.G, 0, 0, 1, 1, R.SHAP, R.PIV, R.WINSETS);
    return;
  }
  ENGINE(R.N, R.MM, R.NN, R.THRES, R.G, static_cast<uint16_t>(R.T1), static_cast<uint16_t>(R.T2),
         static_cast<uint16_t>(R.T1ANZ), static_cast<uint16_t>(R.T2ANZ), R.SHAP, R.PIV, R.WINSETS);
}

void RUNSHAPLEYWEIGHTED(RUNTYP& R, uint8_t SPATIAL) {
  SHAPLEY_WEIGHTED(R.N, R.MM, R.NN, R.GEW, R.MEM, R.THRES, R.M, static_cast<uint16_t>(R.T1), R.SHAP,
                   R.PIV, R.WINSETS, SPATIAL, R.POSITION, R.NTHEME);
}

void RUNSHAPLEYDOUB(RUNTYP& R) {
  R.NAME1 = "default";
  SHAPLEY_WEIGHTED_DOUB(R.N, R.MM, R.NN, R.GEW, R.MEM, R.THRES, R.M, static_cast<uint16_t>(R.T1),
                        R.SHAP, R.PIV, R.WINSETS, R.NAME1);
}

void RUNFINISH(RUNTYP& R, void (*OUT)(RUNTYP& R)) {
  STAMPEND(R);
  OUT(R);
  MAINGROUND();
}

void FORMATERROR() { con::writeLn("...error on input file format"); }
