// Players named on the command line (and in the other front ends' calls):
// a list of names, each a player's name from the data file's comments or
// from --weights NAME:W, or its number 1..N in the whole game.
#pragma once

#include <string>
#include <vector>

#include "api/load.h"

// The player ITEM names in the game of L (a name first, else a number
// 1..N), into P; false with a usage error of OPTION (TEXT as typed) for a
// name no player has, one that two players share, or a number out of
// range.
bool PLAYERNAMED(const std::string& OPTION, const std::string& TEXT, const std::string& ITEM,
                 const LOADEDTYP& L, int& P, FAILTYP& F);
// The players of the list TEXT, items separated by commas, each once.
bool PLAYERLIST(const std::string& OPTION, const std::string& TEXT, const LOADEDTYP& L,
                std::vector<int>& PLAYERS, FAILTYP& F);
// The name of player P (game-wide number) for the outputs: its name, else
// its number.
std::string PLAYERLABEL(const LOADEDTYP& L, int P);
