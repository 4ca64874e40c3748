#include "console/terminal.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "platform/utf8.h"
#include "testkit.h"

namespace {

TEST(TerminalColours, ConsoleColoursInTerminalOrder) {
  struct Case {
    uint8_t attr;
    std::string expected;
  } cases[] = {
      {0x07, "\x1b[0;37;40m"},  // light grey on black
      {0x1F, "\x1b[0;97;44m"},  // white on blue
      {0x14, "\x1b[0;31;44m"},  // red on blue
      {0x4E, "\x1b[0;93;41m"},  // yellow on red
      {0x65, "\x1b[0;35;43m"},  // magenta on brown
      {0x32, "\x1b[0;32;46m"},  // green on cyan
      {0x78, "\x1b[0;90;47m"},  // dark grey on light grey
      {0x09, "\x1b[0;94;40m"},  // light blue
      {0x0C, "\x1b[0;91;40m"},  // light red
      {0x83, "\x1b[0;36;40m"},  // the blink bit is not shown
  };
  for (const Case& c : cases) EXPECT_EQ(term::sgr(c.attr), c.expected) << int(c.attr);
}

// A minimal terminal without automatic wrap: it understands what the painter
// sends (cursor addressing, colours, clearing, cursor visibility, UTF-8) and
// fails the test on anything else.
struct Emulator {
  std::string text[25][80];
  int fg[25][80], bg[25][80];
  int curFg = 37, curBg = 40, x = 1, y = 1;
  bool cursorShown = true;

  Emulator() { clear(); }
  void clear() {
    for (int r = 0; r < 25; ++r)
      for (int c = 0; c < 80; ++c) {
        text[r][c] = std::string(1, ' ');
        fg[r][c] = curFg;
        bg[r][c] = curBg;
      }
  }
  void feed(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
      unsigned char b = static_cast<unsigned char>(s[i]);
      if (b == 0x1b) {
        ASSERT_LT(i + 1, s.size());
        ASSERT_EQ(s[i + 1], '[');
        std::size_t j = i + 2;
        while (j < s.size() && !(s[j] >= 0x40 && s[j] <= 0x7e)) ++j;
        ASSERT_LT(j, s.size());
        control(s.substr(i + 2, j - i - 2), s[j]);
        i = j + 1;
        continue;
      }
      ASSERT_GE(b, 0x20) << "control byte " << int(b);
      std::size_t len = b < 0x80 ? 1 : b < 0xe0 ? 2 : b < 0xf0 ? 3 : 4;
      ASSERT_GE(x, 1);
      text[y - 1][x - 1] = s.substr(i, len);
      fg[y - 1][x - 1] = curFg;
      bg[y - 1][x - 1] = curBg;
      if (x < 80) ++x;
      i += len;
    }
  }
  void control(const std::string& params, char final) {
    std::vector<int> n;
    std::string cur;
    bool priv = !params.empty() && params[0] == '?';
    for (char c : params.substr(priv ? 1 : 0)) {
      if (c == ';') {
        n.push_back(cur.empty() ? 0 : std::stoi(cur));
        cur.clear();
      } else {
        cur += c;
      }
    }
    n.push_back(cur.empty() ? 0 : std::stoi(cur));
    if (priv) {
      ASSERT_EQ(n[0], 25) << params;
      cursorShown = final == 'h';
    } else if (final == 'H') {
      y = n[0];
      x = n.size() > 1 ? n[1] : 1;
      ASSERT_TRUE(x >= 1 && x <= 80 && y >= 1 && y <= 25) << params;
    } else if (final == 'J') {
      ASSERT_EQ(n[0], 2);
      clear();
    } else if (final == 'm') {
      for (int v : n) {
        if (v == 0) {
          curFg = 37;
          curBg = 40;
        } else if ((v >= 30 && v <= 37) || (v >= 90 && v <= 97)) {
          curFg = v;
        } else if (v >= 40 && v <= 47) {
          curBg = v;
        } else {
          FAIL() << "SGR " << v;
        }
      }
    } else {
      FAIL() << "unexpected sequence " << params << final;
    }
  }
};

// The terminal colour codes of the console's 16 colours, in console order.
const int FG[16] = {30, 34, 32, 36, 31, 35, 33, 37, 90, 94, 92, 96, 91, 95, 93, 97};

void expectSame(const Emulator& e, const std::string& when) {
  int wrong = 0;
  for (int y = 1; y <= 25 && wrong < 3; ++y)
    for (int x = 1; x <= 80 && wrong < 3; ++x) {
      con::Cell c = con::cell(x, y);
      std::string want = utf8::encode(std::u32string(1, c.ch));
      bool same = e.text[y - 1][x - 1] == want && e.fg[y - 1][x - 1] == FG[c.attr & 15] &&
                  e.bg[y - 1][x - 1] == 40 + (FG[(c.attr >> 4) & 7] - 30);
      if (!same) {
        ++wrong;
        ADD_FAILURE() << when << ": cell " << x << "," << y << " shows '" << e.text[y - 1][x - 1]
                      << "' " << e.fg[y - 1][x - 1] << "/" << e.bg[y - 1][x - 1];
      }
    }
  EXPECT_EQ(e.x, con::cursorX()) << when;
  EXPECT_EQ(e.y, con::cursorY()) << when;
  EXPECT_TRUE(e.cursorShown) << when;
}

TEST(TerminalPainter, RepeatedPaintsKeepTheTerminalEqualToTheScreen) {
  testkit::start();
  term::Painter p;
  Emulator e;
  // Random drawing: windows, colours, text with wraps and scrolls, box
  // characters, the last cell of the screen; painted after every step.
  std::mt19937 rng(7);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int step = 0; step < 300; ++step) {
    switch (pick(0, 5)) {
      case 0: {
        int x1 = pick(1, 80), y1 = pick(1, 25);
        con::window(x1, y1, pick(x1, 80), pick(y1, 25));
        break;
      }
      case 1:
        con::textColor(pick(0, 15));
        con::textBackground(pick(0, 15));
        break;
      case 2: {
        std::string s;
        // Bytes of any kind and whole UTF-8 characters, one or more columns wide.
        const char* const chars[] = {"\xC3\xA4", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xCC\x88"};
        for (int n = pick(1, 90); n > 0; --n)
          s += pick(0, 2) ? std::string(1, static_cast<char>(pick(32, 255))) : chars[pick(0, 3)];
        con::write(s);
        break;
      }
      case 3:
        con::window(1, 1, 80, 25);
        con::gotoXY(80, 25);
        con::writeChar(static_cast<char>(pick(176, 223)));
        break;
      case 4:
        con::clrScr();
        break;
      case 5:
        con::gotoXY(pick(1, 80), pick(1, 25));
        break;
    }
    std::string out;
    term::render(p, out);
    e.feed(out);
    if (HasFailure()) return;
    expectSame(e, "step " + std::to_string(step));
    if (HasFailure()) return;
  }
}

TEST(TerminalPainter, SendsOnlyWhatChanged) {
  testkit::start();
  term::Painter p;
  std::string out;
  term::render(p, out);
  EXPECT_EQ(out.rfind("\x1b[?25l\x1b[0m\x1b[2J", 0), 0u);  // first paint: everything

  out.clear();
  term::render(p, out);
  EXPECT_EQ(out, "");  // nothing changed, nothing sent

  con::gotoXY(10, 5);
  con::textColor(14);
  con::writeChar('X');
  out.clear();
  term::render(p, out);
  EXPECT_EQ(out, "\x1b[?25l\x1b[5;10H\x1b[0;93;40mX\x1b[5;11H\x1b[?25h");

  con::gotoXY(1, 1);
  out.clear();
  term::render(p, out);
  EXPECT_EQ(out, "\x1b[1;1H\x1b[?25h");  // only the cursor moved

  p.known = false;  // e.g. after a resize: everything again
  out.clear();
  term::render(p, out);
  EXPECT_GT(out.size(), 2000u);
}

}  // namespace
