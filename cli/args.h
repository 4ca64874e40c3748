// The command line's arguments: one subcommand per index of the registry
// and `all` (or a comma list of indices), their options through CLI11, and
// the request they make (api/request.h) with what only the command line
// has: the output format and files.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "api/design.h"
#include "api/request.h"

// What the arguments of one run say, as typed: the request, and the
// outputs.
struct ARGSTYP : REQUESTTYP {
  std::string USAGE;  // the usage line of the command
  std::string FORMAT = "report", OUTPUT, PLOT;
  bool FILES = false, TOTALS = false;
  bool PLANONLY = false;  // --plan: the plan, without counting
  // vkx check: the coalition (--yes); vkx design: its request, --seconds
  // as typed.
  std::string YES;
  DESIGNREQUESTTYP DESIGN;
  std::string SECONDS;
  // --memory and --estimate as typed.
  std::string MEMORY;
  std::vector<std::string> ESTIMATETEXT;
};

// The options of one command and what they take in, for the order in which
// --winset, --system and --system-weights were typed.
struct COMMANDTYP {
  CLI::App* SUB = nullptr;
  std::vector<std::string> WINSETS, SYSTEMS, TYPED;
  CLI::Option* WINSETOPT = nullptr;
  CLI::Option* SYSTEMOPT = nullptr;
  CLI::Option* TYPEDOPT = nullptr;
};

// "usage: vkx INDEX GAME[.inp] [--winset T[,T...]] [options]".
std::string USAGELINE(const std::string& INDEX);
// The options of one index into A; GAMEREQUIRED: no --weights or --members
// stands in for the game file.
void INDEXCOMMAND(CLI::App& APP, const char* NAME, const std::string& TITLE, INDEXTYP INDEX,
                  bool GAMEREQUIRED, ARGSTYP& A, COMMANDTYP& C);
// The usage lines of vkx check and vkx design.
std::string CHECKUSAGE();
std::string DESIGNUSAGE();
// vkx check: the game and rule options of an index (the standard and
// multiple-weights versions), the coalition --yes and the outputs.
void CHECKCOMMAND(CLI::App& APP, bool GAMEREQUIRED, ARGSTYP& A, COMMANDTYP& C);
// vkx design INDEX: the targets, the weights given, the distance, the
// search's budget and the outputs (with --plot).
CLI::App* DESIGNCOMMAND(CLI::App& APP, ARGSTYP& A);
// The --winset, --system and --system-weights values in the order typed:
// each further vote system opens the win sets of the next one.
bool ASSIGNWINSETS(const COMMANDTYP& C, ARGSTYP& A, FAILTYP& F);
// An index list typed as the command: "all", or names of the registry
// joined by commas ("shapley,banzhaf"). KINDS gets the indices, BAD the
// first name the registry does not know.
bool INDEXLIST(std::string_view FIRST, std::vector<const REPORTKINDTYP*>& KINDS, std::string& BAD);
