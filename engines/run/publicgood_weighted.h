// Weighted public good engine: minimal winning coalitions.
#pragma once

#include "engines/walk/weighted_walk.h"
#include "types/vkxgame.h"

// Per player the minimal winning coalitions that contain it and their
// size-weighted shares, and the number of minimal winning coalitions, of
// the standard or multiple-weights version, from the COUNTS of the public
// good core on CORE (engines/convert/counting_game.h: WEIGHTEDCORE).
PUBLICGOODRES PUBLICGOOD_WEIGHTED(const GAMETYP& GAME, const weightedwalk::Game& CORE,
                                  const weightedwalk::MinimalCounts& COUNTS);
