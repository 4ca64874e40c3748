// The data editor.
#pragma once

void MENUE_EDITDATA();
