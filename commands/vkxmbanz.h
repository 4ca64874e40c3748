// The banzhaf command.
#pragma once

struct RUNTYP;
struct REPORTTYP;

void MENUE_BANZHAF();

// Swing counts from the weighted engines' inclusiveness results: the winning
// coalitions with the player less those without, 2 x (PIV - 0.5) x WINSETS.
void BANZHAFSWINGS(RUNTYP& R);
// The report of one run: totals, screen copy, ".out" file, ".ouu" block.
void BANZHAFOUT(RUNTYP& R);
void BANZHAFOUT1(RUNTYP& R, REPORTTYP& REP);
void BANZHAFOUT2(RUNTYP& R, REPORTTYP& REP);
