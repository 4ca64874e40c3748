// The progress line of the command line.
#include "cli/cli.h"
#include "api/output.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLineProgress, BarShareAndTimeLeftFitTheWidth) {
  const struct {
    double fraction, seconds;
    int width;
    const char* text;
  } cases[] = {
      {0.5, 10, 40, "[###########...........]  50%  0:10 left"},
      {0.25, 30, 40, "[#####.................]  25%  1:30 left"},
      {0.0, 5, 40, "[.....................]   0%  --:-- left"},
      {0.001, 7, 30, "[..........]   0%  1:56:33 left"},
      {1.0, 9, 10, "[##########] 100%  0:00 left"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PROGRESSTEXT(c.fraction, c.seconds, c.width), c.text) << c.fraction;
}

}  // namespace

TEST(CommandLineText, ControlBytesAreShownEscaped) {
  struct Case {
    std::string raw, message, csv;
  } cases[] = {
      {"plain name", "plain name", "plain name"},
      {"a,b", "a,b", "\"a,b\""},
      {"\x1b]0;T\a\x1b[2J", "\\x1b]0;T\\x07\\x1b[2J", "\\u001b]0;T\\u0007\\u001b[2J"},
      {"tab\there\r\n\x7f", "tab\\x09here\\x0d\\x0a\\x7f", "tab\\u0009here\\u000d\\u000a\\u007f"},
      {"Gr\xc3\xbcne", "Gr\xc3\xbcne", "Gr\xc3\xbcne"},
      // C1 controls (the 8-bit CSI, as a byte and as UTF-8) and bytes that
      // are not UTF-8: a Latin-1 name, a lone 0xFF, a cut sequence.
      {"\x9b"
       "2J\xff",
       "\\x9b"
       "2J\\xff",
       "\\x9b"
       "2J\\xff"},
      {"a\xc2\x9b"
       "2J",
       "a\\xc2\\x9b"
       "2J",
       "a\\u009b"
       "2J"},
      {"\xd6sterreich", "\\xd6sterreich", "\\xd6sterreich"},
      {"x\xe2\x82", "x\\xe2\\x82", "x\\xe2\\x82"},
      {"\xef\xbf\xbd\xe2\x82\xac", "\xef\xbf\xbd\xe2\x82\xac", "\xef\xbf\xbd\xe2\x82\xac"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SHOWNTEXT(c.raw), c.message) << c.raw;
    EXPECT_EQ(CSVFIELD(c.raw), c.csv) << c.raw;
  }
}
