// The data editor.
#pragma once

#include "types/vkxdecl.h"

void MENUE_EDITDATA(SETTINGSTYP& S);
