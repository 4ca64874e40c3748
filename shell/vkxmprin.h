// The list file and print file commands.
#pragma once

void MENUE_LISTFILE();
void MENUE_PRINTFILE();
