// A game typed on the command line instead of read from a data file: the
// weights of each subgame ("DE:29,FR:29,PL:27") or the sizes of unweighted
// chambers ("100,50"), turned into the lines of a data file so that the
// game passes the same reader, checks and messages as a file.
#pragma once

#include <string>
#include <vector>

// The data file lines of a weighted game with one subgame per entry of
// WEIGHTS (each "W,W,..." whose items may carry a name, "NAME:W"), or of an
// unweighted game whose chambers have the sizes listed in MEMBERS (one
// entry "N,N,..."). Returns "" with LINES filled, else the reason: an item
// that is no whole number, a name with a brace or a control character,
// an empty list, or both kinds given.
std::string INLINEGAME(const std::vector<std::string>& WEIGHTS, const std::string& MEMBERS,
                       std::vector<std::string>& LINES);
