// Player names from the comments of a data file. The reader of the game
// (DATALOAD) ignores comments; the command line shows a player's name in
// its CSV and JSON output when the weight line names it, as in
// "29 {Germany}".
#pragma once

#include <string>
#include <vector>

#include "types/vkxgame.h"

// The name in the comment of one weight line: the text of its last brace
// group that is not the editor's own label "weight player N", blanks cut
// at both ends ("29  {weight player 1} {DE}" names DE); "" when there is
// none. A group without its closing brace runs to the end of the line.
std::string COMMENTNAME(const std::string& LINE);
// The names of the players 1..N of a weighted GAME read from the lines of
// its data file (entry 0 unused), found where DATALOAD reads their weights;
// a missing line names nobody. An unweighted game has no player lines: only
// entry 0.
std::vector<std::string> PLAYERNAMES(const std::vector<std::string>& LINES, const GAMETYP& GAME);
// The same from the file NAME + ".inp"; every name is "" when it cannot be
// read.
std::vector<std::string> NAMESLOAD(const std::string& NAME, const GAMETYP& GAME);
// The lines of the file NAME + ".inp" into LINES; 0 or the error code of
// the failed open (LINES then empty).
int FILELINES(const std::string& NAME, std::vector<std::string>& LINES);
