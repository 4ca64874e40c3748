// The data files in the dialogue: what a load read as 0, and saving a game
// with the message of a failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/gamefile.h"
#include "types/vkxdecl.h"

// After a load: one "..." line per warning of FILE, at most three, then a
// line with how many more.
void DATAWARNWRITE(const std::string& FILE, const DATAWARNINGS& WARNINGS);
// DATAWRITE, and on failure "...system error on saving NAME.inp" on the
// screen; FLAG receives the code.
void DATASAVE(const std::string& NAME, int32_t DATASTRUCTURE, uint16_t MM, const NNTYP& NN,
              const GEWTYP& GEW, int32_t& FLAG,
              const std::vector<std::vector<std::string>>& NAMES = {});
