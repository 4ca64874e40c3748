// The win-set boxes in the dialogue: a box asked bound by bound, a box shown.
#pragma once

#include <cstdint>

#include "types/vkxdecl.h"

// Box II of A in dimensions 1..N: both bounds set to 0, the lower asked.
void READQUADLN1(const SETTINGSTYP& S, GTYP& A, uint8_t II, uint16_t N);
// "[lo,up] * [lo,up]" for dimensions 1..N, then a line end.
void WRITEQUADLN(const QUADER& A, uint8_t N);
