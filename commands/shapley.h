// The shapley/inclusiveness command.
#pragma once

#include "report/shapley.h"
#include "types/vkxdecl.h"

void MENUE_SHAPLEY(SETTINGSTYP& S);

// The report of one run: totals, screen copy, ".out" file, ".ouu" block.
void SHAPLEYOUT(RUNTYP& R, const SETTINGSTYP& S);
