#include "dialogue/prompts.h"

#include <algorithm>
#include <cmath>

#include "console/console.h"

namespace {

constexpr std::size_t MAXINP = 40;  // characters of an entry that count

// Redraws the field at (X, Y) with VALUE and leaves the cursor at its start.
void redrawField(int X, int Y, int32_t VALUE) {
  con::gotoXY(X, Y);
  con::clrEol();
  con::writeInt(VALUE);
  con::gotoXY(X, Y);
}

// Width of the current window: the echo of a field stops short of its right
// edge, so typing never wraps or scrolls the field away from (X, Y).
int windowWidth() { return con::windMaxX() - con::windMinX() + 1; }

}  // namespace

void READINT(const std::string& OUTPUT, int32_t& INTEG) {
  con::write(OUTPUT);
  const int X = con::whereX();
  const int Y = con::whereY();
  for (;;) {
    redrawField(X, Y, INTEG);
    std::string INP;
    int XX = X;
    const int YY = Y;
    for (;;) {
      int KEY = con::readKey();
      if (KEY == KEYENTER) break;
      if (KEY == KEYEXTENDED) {
        con::readKey();  // scan code of an arrow or function key
        continue;
      }
      if (KEY == KEYBACKSPACE) {
        if (INP.empty()) continue;
        --XX;
        if (XX < windowWidth()) {
          con::gotoXY(XX, YY);
          con::writeChar(' ');
          con::gotoXY(XX, YY);
        }
        INP.pop_back();
        continue;
      }
      if (KEY == KEYESC) {
        // Esc clears the field to the end of the row and what was typed.
        con::gotoXY(X, YY);
        con::clrEol();
        INP.clear();
        XX = X;
        continue;
      }
      if (KEY < 29 || KEY > 126) continue;
      if (XX < windowWidth()) con::writeChar(static_cast<char>(KEY));
      if (INP.size() < MAXINP) INP.push_back(static_cast<char>(KEY));
      ++XX;
    }
    INP = TRIMRIGHT(INP);
    if (INP.empty()) break;  // the old value stands
    int32_t NUMBER = 0;
    int CONTROL = VALINT(INP, NUMBER);
    if (CONTROL == 0) {
      INTEG = NUMBER;
      break;
    }
  }
  con::gotoXY(X, Y);
  con::clrEol();
  con::writeInt(INTEG);
}

void READINTLN(const std::string& OUTPUT, int32_t& INTEG) {
  READINT(OUTPUT, INTEG);
  con::writeLn();
}

void READLONGINT(const std::string& OUTPUT, int32_t& INTEG) {
  con::write(OUTPUT);
  const int X = con::whereX();
  int Y = con::whereY();
  for (;;) {
    redrawField(X, Y, INTEG);
    const long before = con::scrollCount();
    std::string text = con::readNumber();
    // The line input ends with a line break, which may have scrolled the
    // window: the field then sits that many rows higher.
    Y = std::max(1L, Y - (con::scrollCount() - before));
    int32_t NUMBER = 0;
    if (VALINT(text, NUMBER) == 0) {
      INTEG = NUMBER;
      break;
    }
  }
  con::gotoXY(X, Y);
  con::clrEol();
  con::writeInt(INTEG);
}

void READLONGINTLN(const std::string& OUTPUT, int32_t& INTEG) {
  READLONGINT(OUTPUT, INTEG);
  con::writeLn();
}

void READWEIGHTLN(const SETTINGSTYP& S, const std::string& OUTPUT, int32_t& INTEG) {
  if (S.LONGWEIGHTS())
    READLONGINTLN(OUTPUT, INTEG);
  else
    READINTLN(OUTPUT, INTEG);
}
