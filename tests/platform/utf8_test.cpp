#include "platform/utf8.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

constexpr char32_t R = utf8::REPLACEMENT;

TEST(Utf8, EveryCodePointSurvivesEncodingAndDecoding) {
  for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    const std::string bytes = utf8::encode(std::u32string(1, cp));
    ASSERT_EQ(bytes.size(), cp < 0x80 ? 1u : cp < 0x800 ? 2u : cp < 0x10000 ? 3u : 4u);
    ASSERT_EQ(utf8::decode(bytes), std::u32string(1, cp)) << static_cast<uint32_t>(cp);
  }
  EXPECT_EQ(utf8::encode(U"\xD800"), "\xEF\xBF\xBD");  // a surrogate is no character
}

TEST(Utf8, IllFormedPartsBecomeOneReplacementEach) {
  struct Case {
    std::string bytes;
    std::u32string chars;
  } cases[] = {
      {"de\xE4", {'d', 'e', R}},                                // a Latin-1 byte
      {"\xC3\xC3\xA4", {R, 0xE4}},                              // a new start byte is read afresh
      {"\xC0\xAF\xE0\x80\xAF", {R, R, R, R, R}},                // overlong forms
      {"\xED\xA0\x80\xF4\x90\x80\x80", {R, R, R, R, R, R, R}},  // surrogate, beyond U+10FFFF
      {"\xF0\x9F\x98", {R}},                                    // cut short at the end
      {std::string("a\xF1\x80\x80\xE1\x80\xC2") + "b\x80" + "c\x80\xBF" + "d",
       {'a', R, R, R, 'b', R, 'c', R, R, 'd'}},
  };
  for (const Case& c : cases) EXPECT_EQ(utf8::decode(c.bytes), c.chars) << c.bytes;
}

}  // namespace

// Random bytes, mostly high ones: each character taken whole, each byte of an
// ill-formed part on its own, so that writing them back gives the bytes, and
// escaping every control character and ill-formed byte leaves well-formed
// UTF-8 without a control character.
TEST(Utf8, EscapedTextIsWellFormedAndWithoutControls) {
  std::mt19937 random(31);
  const auto back = [](char32_t cp, bool byte) {
    std::string out;
    if (byte) return std::string(1, static_cast<char>(cp));
    utf8::append(out, cp);
    return out;
  };
  const auto mark = [](char32_t, bool) { return std::string("?"); };
  for (int round = 0; round < 20000; ++round) {
    std::string bytes(random() % 12, '\0');
    for (char& c : bytes) c = static_cast<char>(random() % 3 == 0 ? random() % 0x80 : random());
    EXPECT_EQ(utf8::escaped(bytes, back), bytes);
    const std::string safe = utf8::escaped(bytes, mark);
    const std::u32string chars = utf8::decode(safe);
    EXPECT_EQ(utf8::encode(chars), safe);
    for (const char32_t cp : chars) EXPECT_FALSE(utf8::isControl(cp)) << safe;
  }
}
