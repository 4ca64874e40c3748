#include "console/console.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "testkit.h"

namespace {

TEST(ConsoleAttributes, ColourArithmeticFollowsTheAttributeByte) {
  struct Case {
    uint8_t start;
    void (*op)();
    uint8_t expected;
  } cases[] = {
      {0x1F, [] { con::textColor(4); }, 0x14},       {0x1F, [] { con::textColor(0x8C); }, 0x9C},
      {0x07, [] { con::textBackground(8); }, 0x07},  // 8 shows as black
      {0x07, [] { con::textBackground(12); }, 0x47}, {0x17, [] { con::highVideo(); }, 0x1F},
      {0x9F, [] { con::lowVideo(); }, 0x17},
  };
  for (const Case& c : cases) {
    testkit::start();
    con::setTextAttr(c.start);
    c.op();
    EXPECT_EQ(con::textAttr(), c.expected) << "start " << int(c.start);
  }
}

TEST(ConsoleWindow, WritingWrapsAndScrollsInsideTheWindow) {
  testkit::start();
  con::window(2, 3, 5, 4);  // 4 x 2 cells
  con::write("abcdefghij");
  // "abcd" scrolled away, "efgh" moved up, "ij" on the last row.
  EXPECT_EQ(testkit::row(3), " efgh");
  EXPECT_EQ(testkit::row(4), " ij");
  EXPECT_EQ(con::whereX(), 3);
  EXPECT_EQ(con::whereY(), 2);
  EXPECT_EQ(con::scrollCount(), 1);
}

TEST(ConsoleWindow, InvalidWindowsAndPositionsAreIgnored) {
  testkit::start();
  con::window(10, 5, 20, 8);
  con::window(0, 1, 5, 5);
  con::window(5, 5, 4, 5);
  con::window(1, 1, 81, 25);
  EXPECT_EQ(con::windMinX(), 10);
  EXPECT_EQ(con::windMaxY(), 8);
  con::gotoXY(3, 2);
  con::gotoXY(12, 1);  // beyond the window's 11 columns
  EXPECT_EQ(con::whereX(), 3);
  EXPECT_EQ(con::whereY(), 2);
}

TEST(ConsoleWrite, ControlCharactersAndNumbers) {
  testkit::start();
  con::write("ab\bX");  // backspace moves left without erasing
  con::write("\x07");
  con::writeLn();
  con::writeInt(-42);
  con::writeInt(7, 4);
  con::write("\rZ");
  EXPECT_EQ(testkit::row(1), "aX");
  EXPECT_EQ(testkit::row(2), "Z42   7");
}

TEST(ConsoleWrite, ClearToEndOfLineKeepsTheCursor) {
  testkit::start();
  con::write("abcdef");
  con::gotoXY(3, 1);
  con::clrEol();
  EXPECT_EQ(testkit::row(1), "ab");
  EXPECT_EQ(con::whereX(), 3);
}

TEST(ConsoleKeys, ExtendedKeysArriveAsZeroThenScanCode) {
  testkit::start("a\x1b[D\x1b");
  EXPECT_TRUE(con::keyPressed());
  EXPECT_EQ(con::readKey(), 'a');
  EXPECT_EQ(con::readKey(), 0);
  EXPECT_EQ(con::readKey(), 75);
  con::waitKey();
  EXPECT_EQ(con::readKey(), 27);
  EXPECT_FALSE(con::keyPressed());
  EXPECT_THROW(con::readKey(), testkit::KeysExhausted);
}

TEST(ConsoleLineInput, EditingKeys) {
  struct Case {
    const char* keys;
    const char* text;
  } cases[] = {
      {"hello\r", "hello"},
      {"help\bo\r", "helo"},
      {"abc\x1b[D\x1b[DX\r", "aXc"},     // overwrite at the cursor
      {"abc\x1b[D\b\r", "abc"},          // Backspace only at the end
      {"abc\x1b[Hxy\x1b[Fz\r", "xycz"},  // Home, End
      {"abc\x1b\x1bq\r", "q"},           // Esc clears the line
      {"\t\x03ok\r", "ok"},              // control characters are ignored
      {"\r", ""},
      // A UTF-8 character is one character of the line; ill-formed bytes
      // and C1 control characters stay out of it.
      {"de\xC3\xA4\b\xE6\x97\xA5\r", "de\xE6\x97\xA5"},
      {"\xC3\xA4\xE2\x82\xAC\x1b[D\x1b[Dx\r", "x\xE2\x82\xAC"},
      {"d\xE4\bx\xE4\xC2\x9B\r", "dx"},
  };
  for (const Case& c : cases) {
    testkit::start(c.keys);
    EXPECT_EQ(con::readLine(), c.text) << c.keys;
  }
}

TEST(ConsoleLineInput, EchoShowsTheLineAndEnterEndsIt) {
  testkit::start("abc\x1b[D\x1b[DX\r");
  con::write("> ");
  con::readLine();
  EXPECT_EQ(testkit::row(1), "> aXc");
  EXPECT_EQ(con::whereX(), 1);
  EXPECT_EQ(con::whereY(), 2);
}

TEST(ConsoleLineInput, EchoShowsOneCellPerCharacter) {
  testkit::start("Bundesrat_\xC3\xA4\xE4!\r");
  con::write("> ");
  EXPECT_EQ(con::readLine(), "Bundesrat_\xC3\xA4!");
  EXPECT_EQ(testkit::row(1), "> Bundesrat_\u00E4\uFFFD!");
}

TEST(ConsoleLineInput, AtMost254Characters) {
  testkit::start(std::string(300, 'x') + "\r");
  EXPECT_EQ(con::readLine().size(), 254u);
}

TEST(ConsoleLineInput, ReadNumberSkipsBlankLinesAndDropsTheRest) {
  testkit::start("\r   \r  12 34\r56\r");
  EXPECT_EQ(con::readNumber(), "12");
  EXPECT_EQ(con::readNumber(), "56");
}

TEST(ConsoleWrite, Utf8TextTakesOneCellPerCharacter) {
  struct Case {
    std::string text;
    std::string shown;  // row 1, UTF-8
    int cursorX;
  } cases[] = {
      {"\xE2\x82\xAC \xC3\x9F \xE2\x94\x8C", "\u20AC \u00DF \u250C", 6},
      {"de\xE4.\xC3", "de\uFFFD.\uFFFD", 6},            // ill-formed, cut short at the end
      {"\xC2\x9B[2J", "\uFFFD[2J", 5},                  // a C1 control never reaches the terminal
      {"a\xCC\x88\xE6\x97\xA5|", "a\uFFFD\uFFFD|", 5},  // no column, two columns
      {"\t\x7f", "\u25CB\u2302", 3},                    // other bytes: code page 437 as before
  };
  for (const Case& c : cases) {
    testkit::start();
    con::write(c.text);
    EXPECT_EQ(testkit::row(1), c.shown) << c.text;
    EXPECT_EQ(con::whereX(), c.cursorX) << c.text;
  }
}

TEST(ConsoleDump, BoxCharactersAsUtf8AndTrailingBlanksRemoved) {
  testkit::start();
  con::writeChar(static_cast<char>(218));
  con::writeChar(static_cast<char>(196));
  con::write("x  ");
  std::string d = con::dump();
  EXPECT_EQ(d.substr(0, d.find('\n')), "\u250c\u2500x");
  EXPECT_EQ(std::count(d.begin(), d.end(), '\n'), 25);
}

}  // namespace
