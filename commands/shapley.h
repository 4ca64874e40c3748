// The shapley/inclusiveness command.
#pragma once

#include "report/shapley.h"
#include "types/vkxdecl.h"

void MENUE_SHAPLEY(SETTINGSTYP& S);
