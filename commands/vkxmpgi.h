// The public good command.
#pragma once

struct RUNTYP;
struct REPORTTYP;

void MENUE_PUBLICGOOD();

// The report of one run: totals, screen copy, ".out" file, ".ouu" block.
void PUBLICGOODOUT(RUNTYP& R);
void PUBLICGOODOUT1(RUNTYP& R, REPORTTYP& REP);
void PUBLICGOODOUT2(RUNTYP& R, REPORTTYP& REP);
