// The files of a command line run, written together or not at all: the
// output (--output, through a temporary file), the report appended to
// GAME.out and the number block to GAME.ouu (--files) as the menu command
// appends them, the picture (--plot), and standard output.
#pragma once

#include <string>
#include <vector>

#include "api/load.h"
#include "api/output.h"
#include "cli/args.h"
#include "data/settings.h"

// Writes TEXT and PLOT to the outputs A names and, with --files, the
// reports of SETS beside the game; standard output first, while the files
// can still be rolled back. False with F set when anything fails, after
// which no file of this run has changed.
bool WRITEOUTPUTS(const ARGSTYP& A, const std::vector<CLISETTYP>& SETS, const SETTINGSTYP& S,
                  const std::string& TEXT, const std::string& PLOT, FAILTYP& F);
// An output (--output, --plot) must not replace a file the run reads.
bool OUTPUTFITS(const std::string& OPTION, const std::string& PATH, const LOADEDTYP& L, FAILTYP& F);
// --plot - writes the picture to standard output, which must then not get
// the table as well (--output FILE).
bool PLOTFITS(const ARGSTYP& A, FAILTYP& F);
// The outputs of one run (--output, the files of --files, --plot) name
// different files, also through links: else one would overwrite another.
// GAMENAME: the data file's name, beside which --files writes.
bool OUTPUTSAPART(const ARGSTYP& A, const SETTINGSTYP& S, const std::string& GAMENAME, FAILTYP& F);
