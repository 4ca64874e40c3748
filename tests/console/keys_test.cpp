#include "console/keys.h"

#include <gtest/gtest.h>

#include "console/console.h"

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
      // UTF-8: one key per character, U+FFFD for each ill-formed part.
      {"\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80", {0xE4, 0x20AC, 0x1F600}},
      {"de\xE4\x7f", {'d', 'e', 0xFFFD, 8}},
      {"\xE2\x82\x1b[A", {0xFFFD, E | 72}},  // an Esc cuts a character short
      {"\x1b\xC3\xA4", {27, 0xE4}},
      // A NUL byte (Ctrl-Space) is a key of its own, not half of another.
      {std::string("d\0e", 3), {'d', E | con::SCAN_NUL, 'e'}},
  };
  for (const Case& c : cases) EXPECT_EQ(keys::decodeAll(c.bytes), c.keys) << c.bytes;
}

TEST(KeyDecoder, LoneEscAndUnfinishedCharacterAreResolvedByTheTimeout) {
  struct Case {
    std::string bytes;
    int ms;
    std::vector<int> keys;
  } cases[] = {
      {"\x1b", 0, {}},          {"\x1b", 49, {}},         {"\x1b", 50, {27}},
      {"\x1b", 500, {27}},      {"\xE2\x82", 49, {}},     {"\xE2\x82", 50, {0xFFFD}},
      {"\x1b[", 50, {27, '['}}, {"\xC3\xA4", 49, {0xE4}},
  };
  for (const Case& c : cases) {
    keys::Decoder d;
    std::vector<int> out;
    for (unsigned char b : c.bytes) keys::feed(d, b, out);
    keys::elapsed(d, c.ms, out);
    EXPECT_EQ(out, c.keys) << c.bytes << " " << c.ms;
    EXPECT_FALSE(keys::waiting(d) && c.ms >= keys::ESC_TIMEOUT_MS) << c.bytes;
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
