// The public good report: its text, its number block and its columns.
#pragma once

#include <string>

#include "platform/clock.h"
#include "types/vkxdecl.h"
#include "types/vkxgame.h"

struct RUNTYP;
struct REPORTTYP;
struct REPORTKINDTYP;

void PUBLICGOODOUT1(RUNTYP& R, REPORTTYP& REP);
void PUBLICGOODOUT2(RUNTYP& R, REPORTTYP& REP);
// The columns PGI, MBP and DPI of a row (see REPORTKINDTYP::VALUES).
void PUBLICGOODVALUES(const RUNTYP& R, const REPORTTYP& REP, int I, int P, double* V);
// The report of this index for a front end without the console.
const REPORTKINDTYP& PUBLICGOODKIND();
// The report text of RES for GAME under RULE, as the ".out" file receives
// it, without the console.
std::string PUBLICGOODREPORT(const GAMETYP& GAME, const RULETYP& RULE, const PUBLICGOODRES& RES,
                             const plat::Stamp& TIME1, const plat::Stamp& TIME2);
