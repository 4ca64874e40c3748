// The game of a run, loaded and checked once for all its rules: the
// primary game from a data file, standard input, a pipe or typed lists,
// the further vote systems of the multiple-weights version, the positions
// of the spatial version, and the player names from the data file's
// comments; with the reader's messages ("FILE:LINE: reason") and the
// program's own ("...system error on loading NAME.inp").
#pragma once

#include <string>
#include <vector>

#include "api/request.h"
#include "types/vkxgame.h"

// The game of a run: the game, its player names, the names of its further
// vote systems, and the files it reads, which no output of the run may
// replace.
struct LOADEDTYP {
  GAMETYP GAME;
  std::vector<std::string> NAMES;
  std::vector<std::string> SYSTEMNAMES;
  std::vector<std::string> INPUTS;
  bool DATAFILE = false;  // read from NAME.inp, beside which --files writes
};

// The version the request's options choose.
VERSION VERSIONOF(const REQUESTTYP& A);
// A data file name as typed: the extension of its last path component is
// cut as the dialogue cuts a typed name ("a.b" is "a", an empty name
// "default"), while dots in the folders are kept.
std::string DATANAME(const std::string& TYPED);
// Loads the game of A for VERSION into L; false with F set when it cannot
// be read, does not fit, or is beyond what the version counts.
bool LOADGAME(const REQUESTTYP& A, VERSION VERSION, LOADEDTYP& L, FAILTYP& F);
// The indices of the run: those asked for, each of which must have an
// engine for the version, or with ALL every index of the registry that has
// one.
bool CHOOSEKINDS(const REQUESTTYP& A, const GAMETYP& GAME, VERSION VERSION,
                 std::vector<const REPORTKINDTYP*>& KINDS, FAILTYP& F);
// A comma-separated list of whole numbers of OPTION, each converted as the
// prompts convert them ("17", "$1F", "%101", "&17").
bool NUMBERLIST(const std::string& OPTION, const std::string& TEXT, std::vector<int32_t>& VALUES,
                FAILTYP& F);
