// The command line: indices computed for a game and rule given as
// arguments, without the menus, printed as the report, as CSV or as JSON,
// and drawn as SVG. The game comes from a data file, standard input or the
// options; a threshold may be a share or a range of quotas.
//
//   vkx INDEX GAME[.inp] [--winset T[,T...]] [options]   (an index of the registry)
//   vkx all|INDEX,INDEX... GAME|- --winset T[,T...] [options]
#pragma once

#include <string>

// Whether the arguments ask for the command line rather than the
// interactive program: an index name, "all", a comma list of index names,
// --help, -h or --version comes first.
bool CLIWANTED(int ARGC, char** ARGV);
// Runs the command line. Returns the exit status: 0 done, 2 wrong usage
// (the reason and the usage line on standard error), 3 a file that cannot
// be read or written or a game that is refused (the program's own "..."
// message on standard error). Nothing is written on failure.
int CLIMAIN(int ARGC, char** ARGV);

// The help's list of the indices with the names they go by in the
// literature, each with its definition and a reference, from the registry.
std::string INDEXNAMES();
// The progress line of a long run: a bar of WIDTH columns in all with the
// share FRACTION done and, from SECONDS elapsed, the time left.
std::string PROGRESSTEXT(double FRACTION, double SECONDS, int WIDTH);
