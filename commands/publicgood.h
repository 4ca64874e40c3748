// The public good command.
#pragma once

#include "report/publicgood.h"
#include "types/vkxdecl.h"

void MENUE_PUBLICGOOD(SETTINGSTYP& S);
