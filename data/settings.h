// The session's settings from the configuration file "vkx.ini".
#pragma once

#include <string>

#include "types/vkxdecl.h"

// The folder of the running executable, set by the entry: the settings'
// help folder until "vkx.ini" names another.
extern std::string DEFAULTPATH;

// Applies one line of the configuration file to the settings S. Lines
// without "=", unknown keys and values that do not convert or are out of
// range change nothing.
void INILINE(SETTINGSTYP& S, const std::string& LINE);
// Where "vkx.ini" is found: the current folder first, then each folder of
// PATHVALUE (separated by ":", empty entries skipped). Only a regular file
// counts. Returns the file's name as it was found, or "" when there is none.
std::string INIFIND(const std::string& PATHVALUE);
// Looks the configuration file up along the environment's PATH, sets
// S.VKXPATH to its folder and applies its lines to S.
void INIDATA(SETTINGSTYP& S);
