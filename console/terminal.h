// The real terminal as the console's backend: it paints the virtual 80 x 25
// screen with escape sequences and reads keys from the keyboard in raw mode.
// Whatever way the program ends (quit, end of input, a terminating or fatal
// signal), the terminal is given back as it was found.
#pragma once

#include <cstdint>
#include <string>

#include "console/console.h"

namespace term {

// Takes over the terminal on standard input and output: raw mode (Ctrl-C
// still interrupts), the alternate screen, signal handlers; installs itself
// as the console's renderer and key source. Refuses (false, with a one-line
// reason in ERROR) when standard input or output is not a terminal or the
// terminal is smaller than 80 x 25.
bool start(std::string& error);
// Gives the terminal back. Safe to call more than once.
void stop();

// What the terminal is known to show, so that a paint sends only the cells
// that changed since the last one.
struct Painter {
  con::Cell shown[con::ROWS][con::COLS];
  bool known = false;            // false: the terminal's contents are unknown
  int attr = -1;                 // attribute of the colours in effect, -1 unknown
  int cursorX = 0, cursorY = 0;  // where the visible cursor was left
};

// Select Graphic Rendition for a console attribute: foreground and background
// in the terminal's colour order (red and blue swapped against the console's),
// bright foregrounds as 90..97. The blink bit is not shown.
std::string sgr(uint8_t attr);
// Appends to OUT the bytes that bring the terminal from what P knows to the
// console's current screen, and leaves the cursor shown at the console's
// cursor. Nothing is appended when nothing changed.
void render(Painter& p, std::string& out);

}  // namespace term
