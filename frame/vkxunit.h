// The fixed screen frame: menu bar, submenus, command box, closing prompt.
#pragma once

#include <string>

// Menu bar on row 1.
void MAINMENUE();
// Clears the current window and draws row 1 without labels.
void MAINHEADER();
// Clears rows 2..25 and draws submenu KEY (1 data, 2 compute, 3 options).
void SUBMENUE(int KEY);
// Fills the rectangle with the current background and frames it.
void BOXSET(int X1, int Y1, int X2, int Y2);
// Writes a label, its first character in high intensity.
void WRITELI(const std::string& TEXT);
// "press any key" on row 25, waits for a key (left unread), clears rows 2..25.
void MAINGROUND();
// The frame every command starts with: MAINHEADER, the box (1,2)-(80,24),
// the text window (2,3)-(79,23), the title line and an empty line.
void COMMANDFRAME(const std::string& TITLE);
