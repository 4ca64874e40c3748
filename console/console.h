// The virtual 80 x 25 console. Every screen operation of the program works on
// this model; a backend (the real terminal, or nothing in scripted mode)
// renders it. Coordinates are 1-based, column first, and relative to the
// current window unless a routine says otherwise.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace con {

constexpr int COLS = 80;
constexpr int ROWS = 25;

// One character cell. The program writes its own text as bytes of code page
// 437 (ASCII and the box-drawing characters) and shows UTF-8 text from names
// and files; a cell holds either as a Unicode character, one column wide.
struct Cell {
  char32_t ch;         // the character (code point)
  unsigned char attr;  // bits 0..3 foreground, 4..6 background, 7 blink
};

// Keys are characters (ASCII and beyond, as code points) or extended keys,
// which arrive from a key source as EXT | scan code; readKey() hands them to
// the program as 0 followed by the scan code. EXT lies beyond every code point.
constexpr int EXT = 0x200000;
constexpr int SCAN_UP = 72, SCAN_DOWN = 80, SCAN_LEFT = 75, SCAN_RIGHT = 77;
constexpr int SCAN_HOME = 71, SCAN_END = 79, SCAN_DELETE = 83;
// A NUL byte from the terminal (Ctrl-Space, Ctrl-@) is a key of its own, the
// one a PC keyboard gives for Ctrl-@: 0 and scan code 3. Nothing acts on it.
constexpr int SCAN_NUL = 3;

// Where keys come from: the terminal, a script file, or a test.
struct KeySource {
  virtual ~KeySource() = default;
  // A key is waiting (without consuming it).
  virtual bool available() = 0;
  // Waits for the next key; returns -1 when no key will ever come.
  virtual int next() = 0;
};

// The backend that shows the model. paint(true) must bring the terminal up
// to date now; paint(false) may skip the work when it painted very recently.
struct Renderer {
  virtual ~Renderer() = default;
  virtual void paint(bool force) = 0;
  // ON: shows the screen now and keeps it shown by itself (after a resume
  // or a resize) while the program computes without touching the console;
  // OFF: the program takes over again.
  virtual void hold(bool on) { (void)on; }
};

// Puts the model back to its power-on state: blank screen in attribute 7,
// window (1,1)-(80,25), cursor (1,1), no pending key.
void reset();

void setKeySource(KeySource* source);
void setRenderer(Renderer* renderer);
// Called when the program needs a key and none will come. The scripted mode
// prints the screen and exits; tests throw. It must not return.
void setExhaustedHandler(void (*handler)());

// Window and cursor.
void window(int x1, int y1, int x2, int y2);
void clrScr();
void clrEol();
void gotoXY(int x, int y);
int whereX();
int whereY();
// The window as set, in screen coordinates.
int windMinX();
int windMinY();
int windMaxX();
int windMaxY();

// Colours and attributes.
void textColor(int c);
void textBackground(int c);
void highVideo();
void lowVideo();
uint8_t textAttr();
void setTextAttr(uint8_t attr);

// Output at the cursor. Text is UTF-8 (the program's own ASCII included):
// each character takes one cell, and ill-formed bytes and characters that
// are not one column wide show as the replacement character U+FFFD.
// writeChar writes one byte of code page 437 (a box-drawing character).
void write(std::string_view text);
void writeChar(char c);
void writeInt(long long value, int width = 0);
void writeLn(std::string_view text = {});
// Number of times a window has scrolled up since reset (line input uses it
// to follow its echo when the window scrolls under it).
long scrollCount();

// Keyboard.
int readKey();  // waits; a character's code, extended keys as 0 then scan code
// Waits for one key press and returns its character; an extended key (0 and
// its scan code) is one press and returns 0.
int readPress();
bool keyPressed();  // a key is waiting
void waitKey();     // waits until a key is waiting, without consuming it
// Line input with echo and editing, at most 254 characters, returned as
// UTF-8; a character that arrived as ill-formed bytes shows as U+FFFD and is
// left out of the text.
std::string readLine();
std::string readNumber();  // next blank-separated token, skipping blank lines;
                           // the rest of its line is discarded

// Lets the backend show the model during long runs; cheap when called often.
void present();
// A long computation that writes nothing to the console starts (the model
// must not change until longRunEnds()): the screen is shown now, and the
// backend repaints it by itself after a resume or a resize meanwhile.
void longRunStarts();
void longRunEnds();

// Inspection (screen coordinates).
Cell cell(int x, int y);
// One row as UTF-8 text, all 80 columns.
std::string rowText(int y);
// The whole screen: 25 lines, trailing blanks removed, each ended by "\n".
std::string dump();
// A code page 437 byte as a character, and as UTF-8 text.
char32_t cp437(unsigned char ch);
std::string glyph(unsigned char ch);
// Absolute cursor position (screen coordinates).
int cursorX();
int cursorY();

}  // namespace con
