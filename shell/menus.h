// The program entry: start-up, the configuration file "vkx.ini", the start
// screen and the menu loop that dispatches to the commands.
#pragma once

#include <cstdint>
#include <string>

#include "data/settings.h"
#include "frame/window.h"
#include "types/vkxdecl.h"

// The submenu that is open.
extern SUBMENUTYP OLDKEY;
// A command of the menus; it may change the session's settings.
using COMMANDPROC = void (*)(SETTINGSTYP& S);

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
