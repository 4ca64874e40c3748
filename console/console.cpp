#include "console/console.h"

#include <locale.h>
#include <wchar.h>

#include <cstdlib>
#include <deque>

#include "platform/utf8.h"

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

// The characters of code page 437, in which the program writes its own
// single-byte text and box frames.
// clang-format off
const char32_t CP437[256] = {
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,
    0x0020, 0x0021, 0x0022, 0x0023, 0x0024, 0x0025, 0x0026, 0x0027,
    0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F,
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,
    0x0040, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047,
    0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F,
    0x0050, 0x0051, 0x0052, 0x0053, 0x0054, 0x0055, 0x0056, 0x0057,
    0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F,
    0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067,
    0x0068, 0x0069, 0x006A, 0x006B, 0x006C, 0x006D, 0x006E, 0x006F,
    0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077,
    0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x2302,
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
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

void store(char32_t ch) {
  at(cx, cy) = Cell{ch, attr};
  if (++cx > wx2) {
    cx = wx1;
    lineFeed();
  }
}

// A byte of the program's own text: a few control codes act, every other
// byte is its character of code page 437.
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
      store(CP437[c]);
  }
}

// Whether CP takes exactly one column on a terminal. Control characters,
// combining marks, zero-width and double-width characters would shift the
// rest of a row against the 80 x 25 grid. Widths are those of the C library
// for UTF-8; without that locale every printable character counts as one.
bool oneColumn(char32_t cp) {
  if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) return false;
  static const locale_t utf8Locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  if (!utf8Locale) return true;
  const locale_t previous = uselocale(utf8Locale);
  const int width = wcwidth(static_cast<wchar_t>(cp));
  uselocale(previous);
  return width == 1;
}

// A character of UTF-8 text: ASCII as the program's own bytes (so control
// codes act alike), anything else in one cell, as the replacement
// character when it would not fit one column.
void putCode(char32_t cp) {
  if (cp < 0x80)
    putChar(static_cast<unsigned char>(cp));
  else
    store(oneColumn(cp) ? cp : utf8::REPLACEMENT);
}

// The text of an entered line: the characters that arrived as ill-formed
// bytes (shown as the replacement character) are left out, so a name never
// carries them into a file name.
std::string lineText(const std::u32string& line) {
  std::string text;
  for (char32_t c : line)
    if (c != utf8::REPLACEMENT) utf8::append(text, c);
  return text;
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
  utf8::Decoder d;
  std::u32string chars;
  for (char c : text) {
    utf8::feed(d, static_cast<unsigned char>(c), chars);
    for (char32_t cp : chars) putCode(cp);
    chars.clear();
  }
  utf8::finish(d, chars);
  for (char32_t cp : chars) putCode(cp);
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
  std::u32string buf;
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
      return lineText(buf);
    }
    if (k == 27) {
      // The field is cleared to the end of its row, so that a value shown
      // there before (longer than what is typed next) does not stay on the
      // screen behind the new one.
      for (std::size_t p = 0; p < buf.size(); ++p)
        if (place(p)) putChar(' ');
      buf.clear();
      pos = 0;
      if (place(0)) clrEol();
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
    if (k < 32 || k == 127 || (k >= 0x80 && k < 0xA0)) continue;  // control characters
    const char32_t c = static_cast<char32_t>(k);
    if (pos == buf.size()) {
      if (buf.size() >= 254) continue;
      buf.push_back(c);
    } else {
      buf[pos] = c;
    }
    if (place(pos)) putCode(c);
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

char32_t cp437(unsigned char ch) { return CP437[ch]; }

std::string glyph(unsigned char ch) { return utf8::encode(std::u32string(1, CP437[ch])); }

std::string rowText(int y) {
  std::string s;
  for (int x = 1; x <= COLS; ++x) utf8::append(s, at(x, y).ch);
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
