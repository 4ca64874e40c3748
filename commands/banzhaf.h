// The banzhaf command.
#pragma once

#include "report/banzhaf.h"
#include "types/vkxdecl.h"

void MENUE_BANZHAF(SETTINGSTYP& S);
