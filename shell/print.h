// The list file and print file commands.
#pragma once

#include "platform/files.h"
#include "types/vkxdecl.h"

void MENUE_LISTFILE(SETTINGSTYP& S);
void MENUE_PRINTFILE(SETTINGSTYP& S);

// Pages through the open file IN, one line per key press, until Esc or the
// end of the file, then closes it. At the end (not after Esc) the last lines
// stay up until three more presses, so a held key does not skip past them.
// BREAKAFTERKEY: the cursor waits at the end of each line and the line break
// follows the press; otherwise the break comes first.
void PAGEFILE(plat::TextIn& IN, bool BREAKAFTERKEY);
