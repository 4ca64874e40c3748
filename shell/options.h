// The file/path and info/help commands.
#pragma once

#include "types/vkxdecl.h"

void MENUE_FILEPATH(SETTINGSTYP& S);
void MENUE_INFO(SETTINGSTYP& S);
