#include "platform/keys.h"

#include <gtest/gtest.h>

#include "platform/console.h"

namespace {

constexpr int E = con::EXT;

TEST(KeyDecoder, ScriptBytes) {
  struct Case {
    std::string bytes;
    std::vector<int> keys;
  } cases[] = {
      {"ab", {'a', 'b'}},
      {"\r\n\r\n", {13, 13}},
      {"\n\r", {13, 13}},
      {"\r\r", {13, 13}},
      {"\x7f\x08\t", {8, 8, 9}},
      {"\x1b[A\x1b[B\x1b[C\x1b[D", {E | 72, E | 80, E | 77, E | 75}},
      {"\x1bOA\x1bOD", {E | 72, E | 75}},
      {"\x1b[H\x1b[1~\x1b[F\x1b[4~\x1b[3~", {E | 71, E | 71, E | 79, E | 79, E | 83}},
      {"\x1b", {27}},
      {"\x1bq", {27, 'q'}},
      {"\x1b\x1b", {27, 27}},
      {"\x1b[Z", {27, '[', 'Z'}},
      {"\x1b[1x", {27, '[', '1', 'x'}},
  };
  for (const Case& c : cases) EXPECT_EQ(keys::decodeAll(c.bytes), c.keys) << c.bytes;
}

TEST(KeyDecoder, LoneEscIsResolvedByTheTimeout) {
  struct Case {
    int ms;
    std::vector<int> keys;
  } cases[] = {{0, {}}, {49, {}}, {50, {27}}, {500, {27}}};
  for (const Case& c : cases) {
    keys::Decoder d;
    std::vector<int> out;
    keys::feed(d, 0x1b, out);
    keys::elapsed(d, c.ms, out);
    EXPECT_EQ(out, c.keys) << c.ms;
  }
}

TEST(KeyDecoder, TerminalDropsUnknownSequences) {
  keys::Decoder d;
  d.dropUnknown = true;
  std::vector<int> out;
  for (unsigned char b : std::string("\x1b[15~x\x1b[1;5Cy\x1bOPz")) keys::feed(d, b, out);
  EXPECT_EQ(out, (std::vector<int>{'x', 'y', 'z'}));
}

}  // namespace
