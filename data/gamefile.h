// Game data files (".inp") and positions files (".pos").
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "types/vkxdecl.h"
#include "types/vkxgame.h"

// A value line of a data file that reads as 0 although it is no whole
// number (a typo such as "1.5", a tab before the comment, an empty line) or
// that is missing because the file ends early: its line number (from 1)
// and its text.
struct DATAWARNTYP {
  int32_t LINE = 0;
  std::string TEXT;
  bool MISSING = false;  // the file ends before this line
};
using DATAWARNINGS = std::vector<DATAWARNTYP>;

// Reads NAME + ".inp". FLAG = 0 on success, else the error code of the
// failed open (and nothing else changes). Never stores beyond a table, but
// returns MM and N as the file declares them. ANYSIZE: the player rows
// (GEW[s], MEM) grow to hold up to MAXPLAYERS weighted players, for the
// command line; the interactive program's tables keep 50.
void DATALOAD(const std::string& NAME, int32_t& DATASTRUCTURE, uint16_t& N, uint16_t& MM, NNTYP& NN,
              GEWTYP& GEW, MEMTYP& MEM, int32_t& FLAG, DATAWARNINGS* WARNINGS = nullptr,
              bool ANYSIZE = false);
// DATALOAD into a game record: its name, data structure and tables.
// Returns 0 or the error code of the failed open.
int GAMELOAD(const std::string& NAME, GAMETYP& GAME, DATAWARNINGS* WARNINGS = nullptr,
             bool ANYSIZE = false);
// The same from lines already read (pure; used by DATALOAD and by tests).
void DATAPARSE(const std::vector<std::string>& LINES, int32_t& DATASTRUCTURE, uint16_t& N,
               uint16_t& MM, NNTYP& NN, GEWTYP& GEW, MEMTYP& MEM, DATAWARNINGS* WARNINGS = nullptr,
               bool ANYSIZE = false);
// The same from the lines NEXT gives one by one (false at the end), as
// DATAPARSE reads them with ANYSIZE, for a source that may never end: no
// line is asked for after the game's last value, nor after a count that
// puts the game beyond what is counted (more than MAXCHAMB subgames, a
// negative count, more than MAXPLAYERS players). The counts read so far
// then stay as declared, for the callers' refusal, and nothing more is
// noted in WARNINGS.
void DATASTREAM(const std::function<bool(std::string&)>& NEXT, int32_t& DATASTRUCTURE, uint16_t& N,
                uint16_t& MM, NNTYP& NN, GEWTYP& GEW, MEMTYP& MEM,
                DATAWARNINGS* WARNINGS = nullptr);
// The reason of a warning, for messages: "no whole number" or "file ends".
std::string DATAWARNREASON(const DATAWARNTYP& W);
// Writes NAME + ".inp" through a temporary file; the old file survives any
// failure. Returns 0 or the error code. NAMES[s][j], where present and not
// empty, is written as the name comment of player j of subgame s
// ("29  {weight player 1} {DE}").
int DATAWRITE(const std::string& NAME, int32_t DATASTRUCTURE, uint16_t MM, const NNTYP& NN,
              const GEWTYP& GEW, const std::vector<std::vector<std::string>>& NAMES = {});
// The lines DATAWRITE writes (without line ends).
std::vector<std::string> DATATEXT(int32_t DATASTRUCTURE, uint16_t MM, const NNTYP& NN,
                                  const GEWTYP& GEW,
                                  const std::vector<std::vector<std::string>>& NAMES = {});

// Reads NAME + ".pos": NTHEME and the positions of players 1..N (the rows
// grown to hold them beyond 50, for the command line's games).
void POSITIONLOAD(const std::string& NAME, uint16_t& NTHEME, uint16_t N, POSTYP& POSITION,
                  int32_t& FLAG);
// The same from lines already read (pure). Returns 0 or a non-zero code for
// a file it refuses (themes outside 1..10, positions whose distances
// exceed the largest double).
int POSITIONPARSE(const std::vector<std::string>& LINES, uint16_t& NTHEME, uint16_t N,
                  POSTYP& POSITION);
