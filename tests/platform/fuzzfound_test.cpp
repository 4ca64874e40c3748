// Faults the fuzzers of fuzz/ found, each kept as a case of its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/console.h"
#include "console/keys.h"

namespace {

TEST(FuzzFound, KeyDecoderLeavesNothingPendingAfterAPauseOrTheEnd) {
  // An unfinished terminal sequence holding an Esc: read afresh when it is
  // released, its last Esc was left pending and lost at the end of input.
  struct Case {
    const char* bytes;
    std::vector<int> keys;
  } cases[] = {
      {"\x1b[\x1b+;\x1b", {27, '[', 27, '+', ';', 27}},
      {"\x1b[\x1b", {27, '[', 27}},
  };
  for (const Case& c : cases) {
    for (bool pause : {false, true}) {
      keys::Decoder d;
      d.dropUnknown = true;
      std::vector<int> out;
      for (const char* b = c.bytes; *b; ++b) keys::feed(d, static_cast<unsigned char>(*b), out);
      if (pause)
        keys::elapsed(d, keys::ESC_TIMEOUT_MS, out);
      else
        keys::finish(d, out);
      EXPECT_EQ(out, c.keys) << c.bytes << (pause ? " paused" : " ended");
      EXPECT_TRUE(d.pending.empty());
    }
  }
}

}  // namespace
