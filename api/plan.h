// The plan of a run as the user reads it (vkx INDEX GAME ... --plan): per
// count the indices it serves, the quota, the method planned with its
// passes, memory and time, the methods that follow it, and every candidate
// weighed with why it was not taken; the totals against the budget and the
// time limit. As text or as JSON.
#pragma once

#include <string>

#include "api/run.h"

std::string PLANTEXT(const RUNSETTYP& RUN);
std::string PLANJSON(const RUNSETTYP& RUN);
