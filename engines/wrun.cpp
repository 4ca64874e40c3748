#include "engines/wrun.h"

#include "common/mathe1.h"
#include "common/mathe2.h"
#include "data/vkxdos.h"
#include "data/vkxthres.h"
#include "platform/console.h"

namespace wrun {

bool BUILD(wcore::Game& G, uint16_t N, uint16_t MM, const NNTYP& NN, const GEWTYP& GEW,
           const MEMTYP& MEM, int32_t THRES, const GEWTYP& M, uint16_t T1) {
  if (N < 1 || N > MAXACTOR || MM < 1 || MM > MAXCHAMB) return false;
  if (THRES > wcore::MAXWINSET) return false;
  for (int s = 1; s <= MM; ++s)
    if (NN[s] < 0 || NN[s] > MAXACTOR) return false;
  G = wcore::Game{};
  G.n = N;
  G.mm = MM;
  G.thres = THRES < 0 ? 0 : THRES;
  G.vs = 1;
  for (int p = 1; p <= N; ++p) {
    const int s = MEM[p][0], j = MEM[p][1];
    if (s < 1 || s > MM || j < 1 || j > NN[s]) return false;
    G.sub[p] = s;
    G.w[0][p] = GEW[s][j];
  }
  for (int t = 1; t <= G.thres; ++t)
    for (int s = 1; s <= MM; ++s) G.m[0][t][s] = M[s][t];
  G.overall = 1;
  G.overt = 0;
  G.t1 = T1;
  return true;
}

void REFUSE() {
  con::writeLn("...number of players/subgames not allowed");
  con::waitKey();
}

bool STARTDOUB(wcore::Game& G, uint16_t N, uint16_t MM, const NNTYP& NN, const GEWTYP& GEW,
               const MEMTYP& MEM, int32_t THRES, const GEWTYP& M, uint16_t T1) {
  if (!BUILD(G, N, MM, NN, GEW, MEM, THRES, M, T1)) {
    REFUSE();
    return false;
  }
  int32_t vs = 2;
  READINTLN("double/triple/quadruple vote sytem (2/3/4): ", vs);
  if (vs < 2 || vs > 4) vs = 2;
  G.vs = vs;
  return true;
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
    con::write("    " + std::to_string(OVERALL) + " " + std::to_string(OVERT));
    con::readPress();
  }
  con::writeLn();
  r.file.writeLine(line);
  con::present();
}

std::string ouuName() { return NAMEOUT + ".ouu"; }

void fileError(int code) {
  con::writeLn("...system error" + std::to_string(code) + " on saving " + ouuName());
}

}  // namespace

void START(Run& R, uint16_t N, const MEMTYP& MEM, const char* SECOND, const char* HEADER) {
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
    const std::string name = ouuName();
    int err = R.file.append(name);
    // Only a missing file is created: a file that exists but cannot be
    // appended to keeps the listings of earlier runs.
    if (err == ENOENT) err = R.file.create(name);
    if (err != 0) {
      fileError(err);
      R.mode = 'y';
    }
  } else {
    con::writeLn("...processing");
    if (R.mode != 'y') con::longRunStarts();  // quiet: nothing is drawn until the end
  }
  R.x = con::whereX();
  R.y = con::whereY();
}

const wcore::Visitor* VISITOR(Run& R, wcore::Visitor& storage) {
  storage = wcore::Visitor{};
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
    if (int err = R.file.commit()) fileError(err);
  }
  con::writeLn();
  con::writeLn();
}

std::string LISTLINE(const PERMTYP& PERM, uint16_t N, const MEMTYP& MEM) {
  std::string line;
  for (int p = 1; p <= N; ++p) {
    if (MEM[p][1] == 1 && MEM[p][0] > 1) line += '/';
    if (PERM[p]) {
      line += std::to_string(MEM[p][1]);
      line += '/';
    }
  }
  return line;
}

bool LOADSYSTEM(const char* PROMPT, std::string& NAME1, int K, uint16_t N, uint16_t MM,
                const NNTYP& NN, const MEMTYP& MEM, wcore::Game& G, int32_t& THRESK) {
  con::write(PROMPT);
  NAME1 = NAMECUT(con::readLine());
  int32_t errorflag = 0, datastructure = 0;
  uint16_t n1 = 0, mm1 = 0;
  NNTYP nn1{};
  GEWTYP gew1{};
  MEMTYP mem1{};
  DATALOAD(NAME1, datastructure, n1, mm1, nn1, gew1, mem1, errorflag);
  con::writeLn();
  if (errorflag == 0) {
    // A file of another shape, or without weights, cannot be a further vote
    // system of this game.
    if (n1 != N || mm1 != MM) errorflag += 100;
    for (int s = 1; s <= MM; ++s)
      if (nn1[s] != NN[s]) errorflag += 100;
    if (datastructure != 1) errorflag += 100;
  }
  if (errorflag != 0) {
    con::writeLn("...system error on loading " + NAME1 + ".inp");
    con::waitKey();
    return false;
  }
  GEWTYP m1{};
  GTYP g1{};
  THRESK = 0;
  THRESHOLD_INPUT(THRESK, m1, g1, datastructure, mm1, nn1, gew1);
  for (int p = 1; p <= N; ++p) G.w[K][p] = gew1[MEM[p][0]][MEM[p][1]];
  const int thres = THRESK < 0 ? 0 : (THRESK > wcore::MAXWINSET ? wcore::MAXWINSET : THRESK);
  for (int t = 1; t <= thres; ++t)
    for (int s = 1; s <= MM; ++s) G.m[K][t][s] = m1[s][t];
  return true;
}

bool LOADSYSTEMS(int FROM, std::string& NAME1, uint16_t N, uint16_t MM, const NNTYP& NN,
                 const MEMTYP& MEM, int32_t THRES, wcore::Game& G) {
  static const char* const prompts[] = {
      "", "second data file: ", "third data file: ", "fourth data file: "};
  for (int k = FROM; k < G.vs; ++k) {
    int32_t thresk = 0;
    if (!LOADSYSTEM(prompts[k], NAME1, k, N, MM, NN, MEM, G, thresk)) return false;
    if (thresk != THRES) return false;
  }
  return true;
}

}  // namespace wrun
