#include "data/gamefile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "common/similarity.h"
#include "platform/files.h"

namespace {

// A data or positions line without its comment (from the first "{") and
// without trailing blanks.
std::string cleanLine(const std::string& line) {
  return TRIMRIGHT(std::string_view(line).substr(0, line.find('{')));
}

// The values of a data file are whole numbers; a line that is none reads
// as 0 and is noted in WARN (with its line number) when asked for.
struct noter {
  DATAWARNINGS* warn = nullptr;
  int32_t line = 0;  // number of the line last taken
  bool ended = false;
  void note(bool bad, bool missing, const std::string& text) {
    if (!warn || !bad || ended) return;
    warn->push_back({line, missing ? std::string() : text, missing});
    ended = missing;  // the file's end is noted once
  }
};

int32_t lineValue(const std::string& line, noter& n, bool missing) {
  int32_t v = 0;
  n.note(VALINT(cleanLine(line), v) != 0, missing, line);  // a failed conversion leaves 0
  return v;
}

// The reader of a data file, over any source of lines. NEXT(line) gives the
// next line and returns false at the end; missing lines read as 0. A file
// may declare counts that do not fit the tables: values are then read (so
// the following counts are found) but stored only where a table has room;
// once the lines run out, the missing values are 0 and only those that have
// a place in a table are still stored. With ANYSIZE the player rows grow to
// hold every weighted player up to MAXPLAYERS in all.
template <typename Next>
void parseData(Next&& next, int32_t& DATASTRUCTURE, uint16_t& N, uint16_t& MM, NNTYP& NN,
               GEWTYP& GEW, MEMTYP& MEM, DATAWARNINGS* warn, bool anysize) {
  const int64_t room = anysize ? MAXPLAYERS : MAXACTOR;  // players stored in all
  bool more = true;
  std::string line;
  noter n{warn};
  auto take = [&]() -> const std::string& {
    if (more && !next(line)) more = false;
    if (!more) line.clear();
    ++n.line;
    return line;
  };
  auto value = [&]() {
    const std::string& l = take();
    return lineValue(l, n, !more);
  };

  DATASTRUCTURE = value();
  uint16_t mm = 0;
  take();
  n.note(VALWORD(cleanLine(line), mm) != 0, !more, line);
  MM = mm;

  int64_t total = 0;  // players as the file declares them
  for (int s = 1; s <= mm; ++s) {
    if (!more && s > MAXCHAMB) break;  // every remaining count reads 0
    const int32_t nn = value();
    if (s <= MAXCHAMB) NN[s] = nn;
    if (DATASTRUCTURE == 1) {
      for (int64_t j = 1; j <= nn; ++j) {
        if (!more && j > MAXACTOR && total >= room) {
          total += nn - j + 1;  // nothing left to store: count the rest at once
          break;
        }
        const int32_t w = value();
        ++total;
        if (anysize && total <= room) {
          if (s <= MAXCHAMB && j >= static_cast<int64_t>(GEW[s].size())) GEW[s].fit(j);
          if (total >= static_cast<int64_t>(MEM.size())) MEM.fit(total);
        }
        if (s <= MAXCHAMB && j < static_cast<int64_t>(GEW[s].size())) GEW[s][j] = w;
        if (total < static_cast<int64_t>(MEM.size())) {
          MEM[total][0] = s;
          MEM[total][1] = static_cast<int32_t>(j);
        }
      }
    } else {
      total += nn;
    }
  }
  N = static_cast<uint16_t>(total);  // the declared total, as far as 16 bits carry it
}

// Reads a whole field as a decimal number in the C locale (sign, fraction
// and exponent allowed) into V; a missing field is 0. False for anything
// else and for a value that is not finite or too small to be kept.
bool fieldValue(std::string_view field, double& v) {
  v = 0.0;
  if (field.empty()) return true;
  if (field.front() == '+') {
    field.remove_prefix(1);
    if (field.empty() || field.front() == '-') return false;
  }
#ifndef __cpp_lib_to_chars
  // A standard library without from_chars of doubles (the web build's):
  // strtod, whose only locale there is C, on the same fields: no blanks,
  // no hexadecimal form.
  if (std::isspace(static_cast<unsigned char>(field.front())) ||
      field.find_first_of("xX") != std::string_view::npos)
    return false;
  const std::string text(field);
  char* stop = nullptr;
  errno = 0;
  v = std::strtod(text.c_str(), &stop);
  return stop == text.c_str() + text.size() && std::isfinite(v) && !(errno == ERANGE && v == 0.0);
#else
  const char* last = field.data() + field.size();
  auto [end, ec] = std::from_chars(field.data(), last, v);
  if (ec == std::errc::result_out_of_range) {
    // A subnormal value is kept (the wider type reads it); one that would
    // become 0 or infinite is not.
    long double wide = 0.0L;
    auto [wend, wec] = std::from_chars(field.data(), last, wide);
    v = static_cast<double>(wide);
    return wec == std::errc() && wend == last && std::isfinite(v) && v != 0.0;
  }
  return ec == std::errc() && end == last && std::isfinite(v);
#endif
}

}  // namespace

void DATAPARSE(const std::vector<std::string>& LINES, int32_t& DATASTRUCTURE, uint16_t& N,
               uint16_t& MM, NNTYP& NN, GEWTYP& GEW, MEMTYP& MEM, DATAWARNINGS* WARNINGS,
               bool ANYSIZE) {
  if (WARNINGS) WARNINGS->clear();
  std::size_t i = 0;
  auto next = [&](std::string& line) {
    if (i >= LINES.size()) return false;
    line = LINES[i++];
    return true;
  };
  parseData(next, DATASTRUCTURE, N, MM, NN, GEW, MEM, WARNINGS, ANYSIZE);
}

std::string DATAWARNREASON(const DATAWARNTYP& W) {
  return W.MISSING ? "file ends" : "no whole number";
}

namespace {

// A weighted subgame whose weights sum below the smallest 32-bit threshold
// can be reached by no threshold at all: the win-set dialogue would refuse
// every entry for ever.
bool unreachable(int32_t DATASTRUCTURE, uint16_t MM, const NNTYP& NN, const GEWTYP& GEW) {
  if (DATASTRUCTURE != 1) return false;
  for (int s = 1; s <= std::min<int>(MM, MAXCHAMB); ++s) {
    int64_t sum = 0;
    const int32_t stored = static_cast<int32_t>(GEW[s].size()) - 1;
    for (int j = 1; j <= std::min<int32_t>(NN[s], stored); ++j) sum += GEW[s][j];
    if (sum < INT32_MIN) return true;
  }
  return false;
}

}  // namespace

void DATALOAD(const std::string& NAME, int32_t& DATASTRUCTURE, uint16_t& N, uint16_t& MM, NNTYP& NN,
              GEWTYP& GEW, MEMTYP& MEM, int32_t& FLAG, DATAWARNINGS* WARNINGS, bool ANYSIZE) {
  if (WARNINGS) WARNINGS->clear();
  plat::TextIn in;
  FLAG = in.open(NAME + ".inp");
  if (FLAG != 0) return;
  auto next = [&](std::string& line) { return in.readLine(line); };
  // Read into a copy: a refused game changes nothing.
  int32_t ds = 0;
  uint16_t n = 0, mm = 0;
  NNTYP nn = NN;
  GEWTYP gew = GEW;
  MEMTYP mem = MEM;
  DATAWARNINGS warn;
  parseData(next, ds, n, mm, nn, gew, mem, WARNINGS ? &warn : nullptr, ANYSIZE);
  in.close();
  if (unreachable(ds, mm, nn, gew)) {
    FLAG = ERANGE;
    return;
  }
  DATASTRUCTURE = ds;
  N = n;
  MM = mm;
  NN = nn;
  GEW = gew;
  MEM = mem;
  if (WARNINGS) *WARNINGS = std::move(warn);
}

std::vector<std::string> DATATEXT(int32_t DATASTRUCTURE, uint16_t MM, const NNTYP& NN,
                                  const GEWTYP& GEW,
                                  const std::vector<std::vector<std::string>>& NAMES) {
  // The tables hold 10 subgames and, in a weighted game, 50 players per
  // subgame; larger counts are written as what the tables hold so that the
  // file always reads back as the game written.
  const int mm = std::min<int>(MM, MAXCHAMB);
  std::vector<std::string> lines;
  std::string first = std::to_string(DATASTRUCTURE);
  if (DATASTRUCTURE == 0) first += "  {datastructure unweighted}";
  if (DATASTRUCTURE == 1) first += "  {datastructure weighted}";
  lines.push_back(first + " ");
  lines.push_back(std::to_string(mm) + "  {number of subgames}");
  for (int s = 1; s <= mm; ++s) {
    int32_t nn = NN[s];
    if (DATASTRUCTURE == 1) nn = std::min<int32_t>(nn, MAXACTOR);
    lines.push_back(std::to_string(nn) + "  {number of players subgame " + std::to_string(s) + "}");
    if (DATASTRUCTURE != 1) continue;
    for (int j = 1; j <= nn; ++j) {
      std::string line = std::to_string(GEW[s][j]) + "  {weight player " + std::to_string(j) + "}";
      const auto us = static_cast<std::size_t>(s), uj = static_cast<std::size_t>(j);
      if (us < NAMES.size() && uj < NAMES[us].size() && !NAMES[us][uj].empty())
        line += " {" + NAMES[us][uj] + "}";
      lines.push_back(line);
    }
  }
  return lines;
}

int DATAWRITE(const std::string& NAME, int32_t DATASTRUCTURE, uint16_t MM, const NNTYP& NN,
              const GEWTYP& GEW, const std::vector<std::vector<std::string>>& NAMES) {
  // Written beside the old file and renamed over it only when complete, so
  // a failed save leaves the previous game intact.
  plat::TextOut out;
  int code = out.replace(NAME + ".inp");
  if (code == 0) {
    for (const std::string& line : DATATEXT(DATASTRUCTURE, MM, NN, GEW, NAMES)) out.writeLine(line);
    code = out.commit();
  }
  return code;
}

int POSITIONPARSE(const std::vector<std::string>& LINES, uint16_t& NTHEME, uint16_t N,
                  POSTYP& POSITION) {
  uint16_t themes = 0;
  if (!LINES.empty()) VALWORD(cleanLine(LINES[0]), themes);
  if (themes < 1 || themes > MAXCHAMB) return EINVAL;

  // Read into a copy: a refused file changes nothing.
  POSTYP read = POSITION;
  for (int t = 1; t <= MAXCHAMB; ++t) read[t].fit(N);
  for (int i = 1; i <= N; ++i) {
    std::string rest = static_cast<std::size_t>(i) < LINES.size() ? cleanLine(LINES[i]) : "";
    std::string_view view(rest);
    for (int t = 1; t <= themes; ++t) {
      std::string_view field = view;
      if (t < themes) {
        std::size_t blank = view.find(' ');
        field = view.substr(0, blank);
        view = blank == std::string_view::npos ? std::string_view() : view.substr(blank);
        view.remove_prefix(std::min(view.find_first_not_of(' '), view.size()));
      }
      if (!fieldValue(field, read[t][i])) return EINVAL;
    }
  }
  // Positions so far apart that their distance exceeds the largest double
  // would turn every similarity into NAN.
  if (!std::isfinite(DIST_MAX(read, N, themes))) return ERANGE;
  NTHEME = themes;
  POSITION = read;
  return 0;
}

void POSITIONLOAD(const std::string& NAME, uint16_t& NTHEME, uint16_t N, POSTYP& POSITION,
                  int32_t& FLAG) {
  plat::TextIn in;
  FLAG = in.open(NAME + ".pos");
  if (FLAG != 0) return;
  std::vector<std::string> lines;
  std::string line;
  while (lines.size() < static_cast<std::size_t>(N) + 1 && in.readLine(line)) lines.push_back(line);
  in.close();
  FLAG = POSITIONPARSE(lines, NTHEME, N, POSITION);
}

int GAMELOAD(const std::string& NAME, GAMETYP& GAME, DATAWARNINGS* WARNINGS, bool ANYSIZE) {
  int32_t flag = 0, datastructure = 0;
  GAME.NAME = NAME;
  DATALOAD(NAME, datastructure, GAME.N, GAME.MM, GAME.NN, GAME.GEW, GAME.MEM, flag, WARNINGS,
           ANYSIZE);
  GAME.DATASTRUCTURE = DATASTRUCTOF(datastructure);
  return flag;
}
