// The progress line of the command line.
#include "shell/vkxcli.h"

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
