// The public good command.
#pragma once

#include "report/publicgood.h"
#include "types/vkxdecl.h"

void MENUE_PUBLICGOOD(SETTINGSTYP& S);

// The report of one run: totals, screen copy, ".out" file, ".ouu" block.
void PUBLICGOODOUT(RUNTYP& R, const SETTINGSTYP& S);
