#include "frame/window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/console.h"
#include "testkit.h"
#include "types/vkxdecl.h"

namespace {

using testkit::SETTINGS;

int background(int x, int y) { return (testkit::attr(x, y) >> 4) & 7; }
int foreground(int x, int y) { return testkit::attr(x, y) & 0x0F; }

// N characters of row Y from column X, as stored in the cells.
std::string cells(int x, int y, std::size_t n) {
  std::string s;
  for (std::size_t i = 0; i < n; ++i)
    s += static_cast<char>(con::cell(x + static_cast<int>(i), y).ch);
  return s;
}

bool fullScreenWindow() {
  return con::windMinX() == 1 && con::windMinY() == 1 && con::windMaxX() == 80 &&
         con::windMaxY() == 25;
}

// Colour sets where every colour differs, so a cell painted in the wrong one
// shows; background values above 7 show as their low three bits.
struct Colours {
  uint8_t back, menu, text;
} const COLOURS[] = {{1, 8, 15}, {3, 12, 14}, {6, 2, 9}};

void useColours(const Colours& c) {
  SETTINGS.BACKCOL1 = c.back;
  SETTINGS.BACKCOL2 = c.menu;
  SETTINGS.TEXTCOL = c.text;
  con::textBackground(SETTINGS.BACKCOL1);
  con::textColor(SETTINGS.TEXTCOL);
}

TEST(ScreenFrame, MenuBarMarkerCellAndVersionLabel) {
  for (const Colours& c : COLOURS) {
    testkit::start();
    useColours(c);
    con::clrScr();
    MAINMENUE(SETTINGS);
    const std::string at = " colours " + std::to_string(c.back) + "/" + std::to_string(c.menu) +
                           "/" + std::to_string(c.text);
    EXPECT_EQ(testkit::row(1),
              "data  compute  options                                                  VKX 2.0")
        << at;
    for (int x = 1; x <= 79; ++x) EXPECT_EQ(background(x, 1), c.menu & 7) << x << at;
    EXPECT_EQ(background(80, 1), c.text & 7) << at;
    for (int x = 73; x <= 79; ++x) EXPECT_EQ(foreground(x, 1), c.text & 7) << x << at;
    for (int x = 1; x <= 80; ++x) EXPECT_EQ(background(x, 2), c.back & 7) << x << at;
    EXPECT_TRUE(fullScreenWindow()) << at;
    EXPECT_EQ(con::cursorX(), 80) << at;  // after the label, in the marker cell
    EXPECT_EQ((con::textAttr() >> 4) & 7, c.back & 7) << "left in the work background" << at;

    // The command header: same row without the labels, whole screen cleared.
    con::gotoXY(5, 10);
    con::write("left over");
    MAINHEADER(SETTINGS);
    EXPECT_EQ(testkit::row(1),
              "                                                                        VKX 2.0")
        << at;
    EXPECT_EQ(testkit::row(10), "") << at;
    EXPECT_EQ(background(5, 10), c.back & 7) << at;
    EXPECT_EQ(background(1, 1), c.menu & 7) << at;
    EXPECT_EQ(background(80, 1), c.text & 7) << at;
    EXPECT_TRUE(fullScreenWindow()) << at;
  }
}

TEST(ScreenFrame, SubmenuBoxesReplaceEachOther) {
  struct Case {
    int key;
    int x1, y1, x2, y2;
    std::vector<std::string> entries;
  } const cases[] = {
      {1, 1, 2, 12, 7, {"edit data ", "list file ", "print file", "quit      "}},
      {2,
       7,
       2,
       31,
       6,
       {"1 shapley/inclusiveness", "2 banzhaf              ", "3 public good etc.     "}},
      {3, 16, 2, 26, 5, {"file/path", "info/help"}},
  };
  for (const Colours& c : COLOURS)
    for (const Case& k : cases) {
      testkit::start();
      useColours(c);
      MAINMENUE(SETTINGS);
      // another box is open first
      SUBMENUE(SETTINGS, k.key == 1 ? SUBMENUTYP::COMPUTE : SUBMENUTYP::DATA);
      MAINMENUE(SETTINGS);
      SUBMENUE(SETTINGS, static_cast<SUBMENUTYP>(k.key));
      const std::string at =
          " submenu " + std::to_string(k.key) + " menu colour " + std::to_string(c.menu);
      EXPECT_EQ(con::cell(k.x1, k.y1).ch, con::cp437(218)) << at;
      EXPECT_EQ(con::cell(k.x2, k.y1).ch, con::cp437(191)) << at;
      EXPECT_EQ(con::cell(k.x1, k.y2).ch, con::cp437(192)) << at;
      EXPECT_EQ(con::cell(k.x2, k.y2).ch, con::cp437(217)) << at;
      for (std::size_t i = 0; i < k.entries.size(); ++i) {
        const int y = k.y1 + 1 + static_cast<int>(i);
        EXPECT_EQ(testkit::row(y).substr(0, static_cast<std::size_t>(k.x1) - 1),
                  std::string(static_cast<std::size_t>(k.x1) - 1, ' '))
            << at;
        EXPECT_EQ(cells(k.x1 + 1, y, k.entries[i].size()), k.entries[i]) << at;
        EXPECT_EQ(testkit::attr(k.x1 + 1, y) & 0x08, 0x08) << "key letter bright" << at;
      }
      // Box in the menu colour, everything else of the work area cleared in
      // the work colour: no trace of the box opened before.
      int foreign = 0;
      for (int y = 2; y <= 25; ++y)
        for (int x = 1; x <= 80; ++x) {
          const bool inBox = x >= k.x1 && x <= k.x2 && y >= k.y1 && y <= k.y2;
          EXPECT_EQ(background(x, y), inBox ? c.menu & 7 : c.back & 7) << x << "," << y << at;
          if (!inBox && con::cell(x, y).ch != ' ') ++foreign;
        }
      EXPECT_EQ(foreign, 0) << at;
      EXPECT_TRUE(fullScreenWindow()) << at;
      EXPECT_EQ((con::textAttr() >> 4) & 7, c.menu & 7) << "left in the menu background" << at;
    }
}

TEST(ScreenFrame, PressAnyKeyParksTheCursorAndLeavesTheKey) {
  for (const Colours& c : COLOURS) {
    const std::string at = " menu colour " + std::to_string(c.menu);
    // While it waits: the bottom line in the menu colour, the cursor in the
    // marker cell.
    testkit::start();
    useColours(c);
    COMMANDFRAME(SETTINGS, "title");
    con::writeLn("text");
    EXPECT_THROW(MAINGROUND(SETTINGS), testkit::KeysExhausted);
    EXPECT_EQ(testkit::row(25), "press any key") << at;
    for (int x = 1; x <= 80; ++x) EXPECT_EQ(background(x, 25), c.menu & 7) << x << at;
    EXPECT_EQ(con::cursorX(), 80) << at;
    EXPECT_EQ(con::cursorY(), 1) << at;
    EXPECT_EQ(testkit::row(3), "│title" + std::string(73, ' ') + "│") << at;

    // After the key: the work area cleared in the work colour, the key still
    // there for the menu loop, the window the whole screen.
    testkit::start("x");
    useColours(c);
    COMMANDFRAME(SETTINGS, "title");
    MAINGROUND(SETTINGS);
    EXPECT_EQ(testkit::keysLeft(), 1u) << at;
    EXPECT_EQ(con::readKey(), 'x') << at;
    for (int y = 2; y <= 25; ++y) {
      EXPECT_EQ(testkit::row(y), "") << y << at;
      for (int x = 1; x <= 80; ++x) ASSERT_EQ(background(x, y), c.back & 7) << x << "," << y << at;
    }
    EXPECT_EQ(background(80, 1), c.text & 7) << at;
    EXPECT_TRUE(fullScreenWindow()) << at;
  }
}

TEST(ScreenFrame, CommandFrameWindowIsTheInsideOfTheBox) {
  testkit::start();
  useColours(COLOURS[1]);
  COMMANDFRAME(SETTINGS, "edit data");
  EXPECT_EQ(con::windMinX(), 2);
  EXPECT_EQ(con::windMinY(), 3);
  EXPECT_EQ(con::windMaxX(), 79);
  EXPECT_EQ(con::windMaxY(), 23);
  EXPECT_EQ(con::whereX(), 1);
  EXPECT_EQ(con::whereY(), 3);  // after the title and one empty line
  EXPECT_EQ(testkit::winLine(1), "edit data");
  EXPECT_EQ(testkit::winLine(2), "");
  EXPECT_EQ(con::cell(1, 2).ch, con::cp437(218));
  EXPECT_EQ(con::cell(80, 24).ch, con::cp437(217));
  EXPECT_EQ(background(1, 2), COLOURS[1].back & 7);
  EXPECT_EQ(background(40, 24), COLOURS[1].back & 7);
  EXPECT_EQ(testkit::row(25), "");
}

}  // namespace
