// The public good index with the minimal blocking power and the
// Deegan-Packel index: the report text, the number block and the columns
// PGI, MBP and DPI. All three count the minimal winning coalitions M (those
// that lose as soon as any one member leaves):
//
//   PGI(i) = c(i) / (c(1) + ... + c(n)), c(i) the members of M containing i;
//   MBP(i) = c(i) / |M|;
//   DPI(i) = the sum of 1/|S| over the S in M that contain i, over |M|.
//
// The worked example of every unit: three players of weights 2, 1 and 1
// who win with 3 votes. The winning coalitions are {1,2}, {1,3} and
// {1,2,3}; player 1 is a swing in all three, players 2 and 3 in one each.
// M = {1,2}, {1,3}: PGI = 1/2, 1/4, 1/4; MBP = 1, 1/2, 1/2;
// DPI = 1/2, 1/4, 1/4.
#pragma once

struct RUNTYP;
struct REPORTTYP;
struct REPORTKINDTYP;

void PUBLICGOODOUT1(RUNTYP& R, REPORTTYP& REP);
void PUBLICGOODOUT2(RUNTYP& R, REPORTTYP& REP);
// The report of this index for a front end without the console.
const REPORTKINDTYP& PUBLICGOODKIND();
