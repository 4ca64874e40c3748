#include "platform/console.h"

#include <cstdlib>
#include <deque>

namespace con {
namespace {

Cell screen[ROWS][COLS];
int wx1 = 1, wy1 = 1, wx2 = COLS, wy2 = ROWS;  // window, screen coordinates
int cx = 1, cy = 1;                            // cursor, screen coordinates
uint8_t attr = 0x07;
long scrolls = 0;
KeySource* source = nullptr;
Renderer* renderer = nullptr;
std::deque<int> ahead;  // keys taken from the source but not yet read
void (*exhausted)() = nullptr;

// clang-format off
const char* const CP437[256] = {
    " ", "\xe2\x98\xba", "\xe2\x98\xbb", "\xe2\x99\xa5", "\xe2\x99\xa6", "\xe2\x99\xa3", "\xe2\x99\xa0", "\xe2\x80\xa2",
    "\xe2\x97\x98", "\xe2\x97\x8b", "\xe2\x97\x99", "\xe2\x99\x82", "\xe2\x99\x80", "\xe2\x99\xaa", "\xe2\x99\xab", "\xe2\x98\xbc",
    "\xe2\x96\xba", "\xe2\x97\x84", "\xe2\x86\x95", "\xe2\x80\xbc", "\xc2\xb6", "\xc2\xa7", "\xe2\x96\xac", "\xe2\x86\xa8",
    "\xe2\x86\x91", "\xe2\x86\x93", "\xe2\x86\x92", "\xe2\x86\x90", "\xe2\x88\x9f", "\xe2\x86\x94", "\xe2\x96\xb2", "\xe2\x96\xbc",
    " ", "!", "\x22", "#", "$", "%", "&", "'",
    "(", ")", "*", "+", ",", "-", ".", "/",
    "0", "1", "2", "3", "4", "5", "6", "7",
    "8", "9", ":", ";", "<", "=", ">", "\x3f",
    "@", "A", "B", "C", "D", "E", "F", "G",
    "H", "I", "J", "K", "L", "M", "N", "O",
    "P", "Q", "R", "S", "T", "U", "V", "W",
    "X", "Y", "Z", "[", "\x5c", "]", "^", "_",
    "`", "a", "b", "c", "d", "e", "f", "g",
    "h", "i", "j", "k", "l", "m", "n", "o",
    "p", "q", "r", "s", "t", "u", "v", "w",
    "x", "y", "z", "{", "|", "}", "~", "\xe2\x8c\x82",
    "\xc3\x87", "\xc3\xbc", "\xc3\xa9", "\xc3\xa2", "\xc3\xa4", "\xc3\xa0", "\xc3\xa5", "\xc3\xa7",
    "\xc3\xaa", "\xc3\xab", "\xc3\xa8", "\xc3\xaf", "\xc3\xae", "\xc3\xac", "\xc3\x84", "\xc3\x85",
    "\xc3\x89", "\xc3\xa6", "\xc3\x86", "\xc3\xb4", "\xc3\xb6", "\xc3\xb2", "\xc3\xbb", "\xc3\xb9",
    "\xc3\xbf", "\xc3\x96", "\xc3\x9c", "\xc2\xa2", "\xc2\xa3", "\xc2\xa5", "\xe2\x82\xa7", "\xc6\x92",
    "\xc3\xa1", "\xc3\xad", "\xc3\xb3", "\xc3\xba", "\xc3\xb1", "\xc3\x91", "\xc2\xaa", "\xc2\xba",
    "\xc2\xbf", "\xe2\x8c\x90", "\xc2\xac", "\xc2\xbd", "\xc2\xbc", "\xc2\xa1", "\xc2\xab", "\xc2\xbb",
    "\xe2\x96\x91", "\xe2\x96\x92", "\xe2\x96\x93", "\xe2\x94\x82", "\xe2\x94\xa4", "\xe2\x95\xa1", "\xe2\x95\xa2", "\xe2\x95\x96",
    "\xe2\x95\x95", "\xe2\x95\xa3", "\xe2\x95\x91", "\xe2\x95\x97", "\xe2\x95\x9d", "\xe2\x95\x9c", "\xe2\x95\x9b", "\xe2\x94\x90",
    "\xe2\x94\x94", "\xe2\x94\xb4", "\xe2\x94\xac", "\xe2\x94\x9c", "\xe2\x94\x80", "\xe2\x94\xbc", "\xe2\x95\x9e", "\xe2\x95\x9f",
    "\xe2\x95\x9a", "\xe2\x95\x94", "\xe2\x95\xa9", "\xe2\x95\xa6", "\xe2\x95\xa0", "\xe2\x95\x90", "\xe2\x95\xac", "\xe2\x95\xa7",
    "\xe2\x95\xa8", "\xe2\x95\xa4", "\xe2\x95\xa5", "\xe2\x95\x99", "\xe2\x95\x98", "\xe2\x95\x92", "\xe2\x95\x93", "\xe2\x95\xab",
    "\xe2\x95\xaa", "\xe2\x94\x98", "\xe2\x94\x8c", "\xe2\x96\x88", "\xe2\x96\x84", "\xe2\x96\x8c", "\xe2\x96\x90", "\xe2\x96\x80",
    "\xce\xb1", "\xc3\x9f", "\xce\x93", "\xcf\x80", "\xce\xa3", "\xcf\x83", "\xc2\xb5", "\xcf\x84",
    "\xce\xa6", "\xce\x98", "\xce\xa9", "\xce\xb4", "\xe2\x88\x9e", "\xcf\x86", "\xce\xb5", "\xe2\x88\xa9",
    "\xe2\x89\xa1", "\xc2\xb1", "\xe2\x89\xa5", "\xe2\x89\xa4", "\xe2\x8c\xa0", "\xe2\x8c\xa1", "\xc3\xb7", "\xe2\x89\x88",
    "\xc2\xb0", "\xe2\x88\x99", "\xc2\xb7", "\xe2\x88\x9a", "\xe2\x81\xbf", "\xc2\xb2", "\xe2\x96\xa0", "\xc2\xa0",
};
// clang-format on

Cell& at(int x, int y) { return screen[y - 1][x - 1]; }

void scrollUp() {
  for (int y = wy1; y < wy2; ++y)
    for (int x = wx1; x <= wx2; ++x) at(x, y) = at(x, y + 1);
  for (int x = wx1; x <= wx2; ++x) at(x, wy2) = Cell{' ', attr};
  ++scrolls;
}

void lineFeed() {
  if (cy < wy2)
    ++cy;
  else
    scrollUp();
}

void putChar(unsigned char c) {
  switch (c) {
    case 7:
      return;
    case 8:
      if (cx > wx1) --cx;
      return;
    case 10:
      lineFeed();
      return;
    case 13:
      cx = wx1;
      return;
    default:
      at(cx, cy) = Cell{c, attr};
      if (++cx > wx2) {
        cx = wx1;
        lineFeed();
      }
  }
}

[[noreturn]] void noMoreKeys() {
  if (exhausted) exhausted();
  std::exit(0);
}

// Takes the next key event from the pushback queue or the source.
int nextEvent() {
  if (!ahead.empty()) {
    int k = ahead.front();
    ahead.pop_front();
    return k;
  }
  if (renderer) renderer->paint(true);
  int k = source ? source->next() : -1;
  if (k < 0) noMoreKeys();
  return k;
}

}  // namespace

void reset() {
  for (auto& row : screen)
    for (auto& c : row) c = Cell{' ', 0x07};
  wx1 = wy1 = 1;
  wx2 = COLS;
  wy2 = ROWS;
  cx = cy = 1;
  attr = 0x07;
  scrolls = 0;
  ahead.clear();
}

void setKeySource(KeySource* s) {
  source = s;
  ahead.clear();
}
void setRenderer(Renderer* r) { renderer = r; }
void setExhaustedHandler(void (*handler)()) { exhausted = handler; }

void window(int x1, int y1, int x2, int y2) {
  if (x1 < 1 || y1 < 1 || x2 > COLS || y2 > ROWS || x1 > x2 || y1 > y2) return;
  wx1 = x1;
  wy1 = y1;
  wx2 = x2;
  wy2 = y2;
  cx = wx1;
  cy = wy1;
}

void clrScr() {
  for (int y = wy1; y <= wy2; ++y)
    for (int x = wx1; x <= wx2; ++x) at(x, y) = Cell{' ', attr};
  cx = wx1;
  cy = wy1;
}

void clrEol() {
  for (int x = cx; x <= wx2; ++x) at(x, cy) = Cell{' ', attr};
}

void gotoXY(int x, int y) {
  int ax = wx1 + x - 1, ay = wy1 + y - 1;
  if (x < 1 || y < 1 || ax > wx2 || ay > wy2) return;
  cx = ax;
  cy = ay;
}

int whereX() { return cx - wx1 + 1; }
int whereY() { return cy - wy1 + 1; }
int windMinX() { return wx1; }
int windMinY() { return wy1; }
int windMaxX() { return wx2; }
int windMaxY() { return wy2; }
int cursorX() { return cx; }
int cursorY() { return cy; }

void textColor(int c) { attr = static_cast<uint8_t>((c & 0x8F) | (attr & 0x70)); }
void textBackground(int c) { attr = static_cast<uint8_t>(((c * 16) & 0x70) | (attr & 0x8F)); }
void highVideo() { textColor(attr | 0x08); }
void lowVideo() { textColor(attr & 0x77); }
uint8_t textAttr() { return attr; }
void setTextAttr(uint8_t a) { attr = a; }

void write(std::string_view text) {
  for (char c : text) putChar(static_cast<unsigned char>(c));
}

void writeChar(char c) { putChar(static_cast<unsigned char>(c)); }

void writeInt(long long value, int width) {
  std::string digits = std::to_string(value);
  for (int i = static_cast<int>(digits.size()); i < width; ++i) putChar(' ');
  write(digits);
}

void writeLn(std::string_view text) {
  write(text);
  putChar(13);
  putChar(10);
}

long scrollCount() { return scrolls; }

int readKey() {
  int k = nextEvent();
  if (k & EXT) {
    ahead.push_front(k & 0xFF);
    return 0;
  }
  return k;
}

int readPress() {
  int k = readKey();
  if (k == 0) readKey();
  return k;
}

bool keyPressed() { return !ahead.empty() || (source && source->available()); }

void waitKey() {
  if (!ahead.empty()) return;
  if (source && source->available()) return;
  ahead.push_back(nextEvent());
}

std::string readLine() {
  // The echo is addressed by the offset of a character in the line: the line
  // starts at the cursor and wraps at the window's edge, and every scroll of
  // the window moves it up one row.
  const int sx = cx, sy = cy;
  const long s0 = scrolls;
  const int width = wx2 - wx1 + 1;
  auto place = [&](std::size_t p) {
    long lin = (sx - wx1) + static_cast<long>(p);
    long row = sy - (scrolls - s0) + lin / width;
    if (row < wy1 || row > wy2) return false;
    cx = wx1 + static_cast<int>(lin % width);
    cy = static_cast<int>(row);
    return true;
  };
  std::string buf;
  std::size_t pos = 0;
  for (;;) {
    int k = nextEvent();
    if (k & EXT) {
      int scan = k & 0xFF;
      if (scan == SCAN_LEFT && pos > 0)
        --pos;
      else if (scan == SCAN_RIGHT && pos < buf.size())
        ++pos;
      else if (scan == SCAN_HOME)
        pos = 0;
      else if (scan == SCAN_END)
        pos = buf.size();
      place(pos);
      continue;
    }
    if (k == 13) {
      place(buf.size());
      writeLn();
      return buf;
    }
    if (k == 27) {
      for (std::size_t p = 0; p < buf.size(); ++p)
        if (place(p)) putChar(' ');
      buf.clear();
      pos = 0;
      place(0);
      continue;
    }
    if (k == 8) {
      if (!buf.empty() && pos == buf.size()) {
        buf.pop_back();
        pos = buf.size();
        if (place(pos)) putChar(' ');
        place(pos);
      }
      continue;
    }
    if (k < 32 || k == 127) continue;
    if (pos == buf.size()) {
      if (buf.size() >= 254) continue;
      buf.push_back(static_cast<char>(k));
    } else {
      buf[pos] = static_cast<char>(k);
    }
    if (place(pos)) putChar(static_cast<unsigned char>(k));
    ++pos;
    place(pos);
  }
}

std::string readNumber() {
  for (;;) {
    std::string line = readLine();
    std::size_t b = line.find_first_not_of(" \t");
    if (b == std::string::npos) continue;
    std::size_t e = line.find_first_of(" \t", b);
    return line.substr(b, e == std::string::npos ? std::string::npos : e - b);
  }
}

void present() {
  if (renderer) renderer->paint(false);
}

void longRunStarts() {
  if (renderer) renderer->hold(true);
}

void longRunEnds() {
  if (renderer) renderer->hold(false);
}

Cell cell(int x, int y) { return at(x, y); }

const char* glyph(unsigned char ch) { return CP437[ch]; }

std::string rowText(int y) {
  std::string s;
  for (int x = 1; x <= COLS; ++x) s += CP437[at(x, y).ch];
  return s;
}

std::string dump() {
  std::string out;
  for (int y = 1; y <= ROWS; ++y) {
    std::string row = rowText(y);
    std::size_t n = row.size();
    while (n > 0 && row[n - 1] == ' ') --n;
    out.append(row, 0, n);
    out += '\n';
  }
  return out;
}

}  // namespace con
