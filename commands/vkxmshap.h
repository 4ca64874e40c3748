// The shapley/inclusiveness command.
#pragma once

struct RUNTYP;
struct REPORTTYP;

void MENUE_SHAPLEY();

// The report of one run: totals, screen copy, ".out" file, ".ouu" block.
void SHAPLEYOUT(RUNTYP& R);
// The report text, to the screen or a file.
void SHAPLEYOUT1(RUNTYP& R, REPORTTYP& REP);
// The number block of the ".ouu" file.
void SHAPLEYOUT2(RUNTYP& R, REPORTTYP& REP);
