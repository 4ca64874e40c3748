// The file/path and info/help commands.
#pragma once

void MENUE_FILEPATH();
void MENUE_INFO();
