// The fixed screen frame: menu bar, submenus, command box, closing prompt,
// in the colours of the session's settings.
#pragma once

#include <string>

#include "types/vkxdecl.h"

// Box-drawing characters of the console's code page.
constexpr unsigned char BOXHORIZONTAL = 196, BOXVERTICAL = 179;
constexpr unsigned char BOXTOPLEFT = 218, BOXTOPRIGHT = 191;
constexpr unsigned char BOXBOTTOMLEFT = 192, BOXBOTTOMRIGHT = 217;

// The submenus, numbered as the menu loop keeps the open one.
enum class SUBMENUTYP : uint8_t { NONE = 0, DATA = 1, COMPUTE = 2, OPTIONS = 3 };

// Menu bar on row 1.
void MAINMENUE(const SETTINGSTYP& S);
// Clears the current window and draws row 1 without labels.
void MAINHEADER(const SETTINGSTYP& S);
// Clears rows 2..25 and draws submenu KEY (data, compute or options).
void SUBMENUE(const SETTINGSTYP& S, SUBMENUTYP KEY);
// Fills the rectangle with the current background and frames it.
void BOXSET(int X1, int Y1, int X2, int Y2);
// Writes a label, its first character in high intensity.
void WRITELI(const std::string& TEXT);
// "press any key" on row 25, waits for a key (left unread), clears rows 2..25.
void MAINGROUND(const SETTINGSTYP& S);
// The frame every command starts with: MAINHEADER, the box (1,2)-(80,24),
// the text window (2,3)-(79,23), the title line and an empty line.
void COMMANDFRAME(const SETTINGSTYP& S, const std::string& TITLE);
