// Prompted numbers: a prompt and an entry field edited in place.
#pragma once

#include <cstdint>
#include <string>

#include "types/vkxdecl.h"

// Prompt, the current value as default, an entry field edited in place.
void READINT(const std::string& OUTPUT, int32_t& INTEG);
void READINTLN(const std::string& OUTPUT, int32_t& INTEG);
void READLONGINT(const std::string& OUTPUT, int32_t& INTEG);
void READLONGINTLN(const std::string& OUTPUT, int32_t& INTEG);
// Weights and thresholds: READLONGINTLN when the settings ask for long
// weights, READINTLN otherwise.
void READWEIGHTLN(const SETTINGSTYP& S, const std::string& OUTPUT, int32_t& INTEG);
