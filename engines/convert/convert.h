// From the described game to the game the counting methods read.
//
//   counting_game  WEIGHTEDCORE: a weighted GAMETYP and its RULETYP as the
//                  walk's weightedwalk::Game (players numbered across the
//                  subgames, every vote system's weights and thresholds, the
//                  overall threshold in members or votes, the blocking
//                  minority, the positions of the spatial version). Every
//                  weighted count runs through it.
//   vote_systems   the further vote systems of the multiple-weights
//                  version (their data files must fit the primary game),
//                  and the listing line of a coalition.
//
// The unweighted chambers' game (ISA_GAME) is made in engines/walk.
#pragma once

#include "engines/convert/counting_game.h"
#include "engines/convert/vote_systems.h"
