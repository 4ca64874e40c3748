// The banzhaf command.
#pragma once

void MENUE_BANZHAF();
