// The banzhaf command.
#pragma once

struct RUNTYP;
struct REPORTTYP;

void MENUE_BANZHAF();

// Swing counts from the weighted engines' inclusiveness results: the winning
// coalitions with the player less those without, 2 x (PIV - 0.5) x WINSETS,
// less one more when the empty coalition wins (the engines do not visit it).
void BANZHAFSWINGS(RUNTYP& R, bool EMPTYWINS = false);
// Whether the empty coalition meets a win set of the standard weighted game:
// no overall threshold and a win set whose thresholds are all 0 or below.
bool EMPTYWINS(const RUNTYP& R);
// The report of one run: totals, screen copy, ".out" file, ".ouu" block.
void BANZHAFOUT(RUNTYP& R);
void BANZHAFOUT1(RUNTYP& R, REPORTTYP& REP);
void BANZHAFOUT2(RUNTYP& R, REPORTTYP& REP);
