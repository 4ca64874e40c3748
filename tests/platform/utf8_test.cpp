#include "platform/utf8.h"

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr char32_t R = utf8::REPLACEMENT;

TEST(Utf8, EveryCodePointSurvivesEncodingAndDecoding) {
  for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    const std::u32string one(1, cp);
    const std::string bytes = utf8::encode(one);
    const auto at = static_cast<uint32_t>(cp);
    ASSERT_EQ(bytes.size(), cp < 0x80 ? 1u : cp < 0x800 ? 2u : cp < 0x10000 ? 3u : 4u) << at;
    ASSERT_EQ(utf8::decode(bytes), one) << at;
  }
  EXPECT_EQ(utf8::encode(U"\xD800"), "\xEF\xBF\xBD");  // a surrogate is no character
}

TEST(Utf8, IllFormedPartsBecomeOneReplacementEach) {
  struct Case {
    std::string bytes;
    std::u32string chars;
  } cases[] = {
      {"Bundesrat_\xC3\xA4", U"Bundesrat_\u00E4"},
      {"\xE2\x82\xAC\xF0\x9F\x98\x80", U"\u20AC\U0001F600"},
      {"de\xE4", {'d', 'e', R}},           // a Latin-1 byte
      {"\xC3", {R}},                       // cut short at the end
      {"\xC3(", {R, '('}},                 // cut short by an ASCII byte
      {"\xC3\xC3\xA4", {R, 0xE4}},         // a new start byte is read afresh
      {"\x80\xBF", {R, R}},                // lone continuation bytes
      {"\xC0\xAF\xC1\xBF", {R, R, R, R}},  // overlong two-byte forms
      {"\xE0\x80\xAF", {R, R, R}},         // overlong three-byte form
      {"\xED\xA0\x80", {R, R, R}},         // a surrogate
      {"\xF4\x90\x80\x80", {R, R, R, R}},  // beyond U+10FFFF
      {"\xF5\xFF\xFE", {R, R, R}},         // never in UTF-8
      {"\xF0\x9F\x98", {R}},               // one maximal part
      {"\xE1\x80\xE2\xF0\x91\x92\xF1\xBF\x41", {R, R, R, R, 'A'}},
      {"a\xF1\x80\x80\xE1\x80\xC2"
       "b\x80"
       "c\x80\xBF"
       "d",
       {'a', R, R, R, 'b', R, 'c', R, R, 'd'}},
  };
  for (const Case& c : cases) EXPECT_EQ(utf8::decode(c.bytes), c.chars) << c.bytes;
}

TEST(Utf8, DecodingAnyBytesGivesTextThatDecodesToItself) {
  std::mt19937 rng(14);
  std::uniform_int_distribution<int> byte(0, 255), len(0, 12);
  for (int i = 0; i < 20000; ++i) {
    std::string bytes;
    for (int n = len(rng); n > 0; --n) bytes += static_cast<char>(byte(rng));
    const std::u32string chars = utf8::decode(bytes);
    ASSERT_LE(chars.size(), bytes.size());
    ASSERT_EQ(utf8::decode(utf8::encode(chars)), chars);
    // Well-formed input comes back byte for byte.
    if (chars.find(R) == std::u32string::npos) {
      ASSERT_EQ(utf8::encode(chars), bytes);
    }
  }
}

}  // namespace
