// The program entry: start-up, the configuration file "vkx.ini", the start
// screen and the menu loop that dispatches to the commands.
#pragma once

#include <cstdint>
#include <string>

// The last key read by the menu loop.
extern unsigned char KEY;
// The submenu that is open: 0 none, 1 data, 2 compute, 3 options.
extern uint8_t OLDKEY;

// Applies one line of the configuration file to the settings. Lines without
// "=", unknown keys and values that do not convert or are out of range
// change nothing.
void INILINE(const std::string& LINE);
// Where "vkx.ini" is found: the current folder first, then each folder of
// PATHVALUE (separated by ":", empty entries skipped). Only a regular file
// counts. Returns the file's name as it was found, or "" when there is none.
std::string INIFIND(const std::string& PATHVALUE);
// Looks the configuration file up along the environment's PATH, sets VKXPATH
// to its folder and applies its lines.
void INIDATA();
// The start screen; returns when a key is waiting (the key stays unread).
void STARTPIC();
// Reads keys and runs commands until "q" is chosen from the data submenu;
// returns after clearing the screen in light grey on black.
void MENULOOP();
// The whole interactive program on the console as it is set up: settings,
// configuration, start screen, menu loop. Returns when the user quits.
void VKX();
// The process entry: chooses the terminal or a key script and runs VKX().
// Returns the exit status.
int VKX_MAIN(int argc, char** argv);
