// Banzhaf engine for unweighted chambers with box win sets.
#pragma once

#include "engines/exact/chamber_program.h"
#include "types/vkxgame.h"

// Swing totals per chamber ([d][0]) and winning coalitions of the standard
// or ISA version, from TOTALS counted as ISAKIND::BANZHAF; both also in
// extended range (X).
BANZHAFRES BANZHAF_UNWEIGHTED_ISBA(const ISAGAME& GAME, const ISAXTOTALS& TOTALS);
