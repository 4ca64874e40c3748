// The shapley/inclusiveness command.
#pragma once

#include <string>

#include "platform/clock.h"
#include "types/vkxdecl.h"
#include "types/vkxgame.h"

struct RUNTYP;
struct REPORTTYP;

void MENUE_SHAPLEY(SETTINGSTYP& S);

// The report of one run: totals, screen copy, ".out" file, ".ouu" block.
void SHAPLEYOUT(RUNTYP& R, const SETTINGSTYP& S);
// The report text, to the screen, a file or a string.
void SHAPLEYOUT1(RUNTYP& R, REPORTTYP& REP);
// The number block of the ".ouu" file.
void SHAPLEYOUT2(RUNTYP& R, REPORTTYP& REP);
// The report text of RES for GAME under RULE, run from TIME1 to TIME2, as
// the ".out" file receives it, without the console.
std::string SHAPLEYREPORT(const GAMETYP& GAME, const RULETYP& RULE, const SHAPLEYRES& RES,
                          const plat::Stamp& TIME1, const plat::Stamp& TIME2);
