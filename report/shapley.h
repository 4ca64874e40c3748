// The shapley/inclusiveness report: its text, its number block and its columns.
#pragma once

#include <string>

#include "platform/clock.h"
#include "types/vkxdecl.h"
#include "types/vkxgame.h"

struct RUNTYP;
struct REPORTTYP;
struct REPORTKINDTYP;

// The report text, to the screen, a file or a string.
void SHAPLEYOUT1(RUNTYP& R, REPORTTYP& REP);
// The number block of the ".ouu" file.
void SHAPLEYOUT2(RUNTYP& R, REPORTTYP& REP);
// The columns SS, II and winsets of a row (see REPORTKINDTYP::VALUES).
void SHAPLEYVALUES(const RUNTYP& R, const REPORTTYP& REP, int I, int P, double* V);
// The report of this index for a front end without the console.
const REPORTKINDTYP& SHAPLEYKIND();
// The report text of RES for GAME under RULE, run from TIME1 to TIME2, as
// the ".out" file receives it, without the console.
std::string SHAPLEYREPORT(const GAMETYP& GAME, const RULETYP& RULE, const SHAPLEYRES& RES,
                          const plat::Stamp& TIME1, const plat::Stamp& TIME2);
