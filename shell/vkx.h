// The program entry: start-up, the configuration file "vkx.ini", the start
// screen and the menu loop that dispatches to the commands.
#pragma once

#include <cstdint>
#include <string>

#include "frame/vkxunit.h"
#include "types/vkxdecl.h"

// The submenu that is open.
extern SUBMENUTYP OLDKEY;
// The folder of the running executable, set by the entry: the settings'
// help folder until "vkx.ini" names another.
extern std::string DEFAULTPATH;

// A command of the menus; it may change the session's settings.
using COMMANDPROC = void (*)(SETTINGSTYP& S);

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
// The start screen; returns when a key is waiting (the key stays unread).
void STARTPIC(const SETTINGSTYP& S);
// Reads keys and runs commands with the session's settings S until "q" is
// chosen from the data submenu; returns after clearing the screen in light
// grey on black.
void MENULOOP(SETTINGSTYP& S);
// The whole interactive program on the console as it is set up: the
// session's settings S (its one record, kept from command to command) set
// to their defaults and read from the configuration, start screen, menu
// loop. Returns when the user quits.
void VKX(SETTINGSTYP& S);
// The process entry: chooses the terminal or a key script and runs VKX().
// Returns the exit status.
int VKX_MAIN(int argc, char** argv);
