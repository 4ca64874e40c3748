// The public good command.
#pragma once

void MENUE_PUBLICGOOD();
