// The banzhaf command.
#pragma once

#include "report/banzhaf.h"
#include "types/vkxdecl.h"

void MENUE_BANZHAF(SETTINGSTYP& S);

// The report of one run: totals, screen copy, ".out" file, ".ouu" block.
void BANZHAFOUT(RUNTYP& R, const SETTINGSTYP& S);
