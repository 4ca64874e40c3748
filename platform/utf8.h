// UTF-8 text: decoding bytes into characters (code points) and encoding them
// back. The decoder is pure and incremental, so the key decoder can feed it
// one byte at a time and anything else can decode a whole byte string.
#pragma once

#include <string>
#include <string_view>

namespace utf8 {

// Stands for every byte sequence that is not well-formed UTF-8.
constexpr char32_t REPLACEMENT = 0xFFFD;

// The state between bytes of one character.
struct Decoder {
  char32_t cp = 0;          // bits gathered so far
  int need = 0;             // continuation bytes still to come
  unsigned char lo = 0x80;  // range of the next continuation byte: narrower
  unsigned char hi = 0xBF;  // after E0, ED, F0 and F4 (no overlong forms,
                            // surrogates or values beyond U+10FFFF)
};

// Feeds one byte and appends the characters it completes to OUT. A byte that
// cannot continue or start a character gives one REPLACEMENT for the
// ill-formed part before it (a byte that may start one is then read afresh),
// as the Unicode standard's "maximal subpart" practice has it.
void feed(Decoder& d, unsigned char byte, std::u32string& out);
// A character has begun and is not complete.
bool pending(const Decoder& d);
// End of the bytes: an unfinished character becomes one REPLACEMENT.
void finish(Decoder& d, std::u32string& out);

// The characters of BYTES, ill-formed parts replaced.
std::u32string decode(std::string_view bytes);
// Appends the UTF-8 bytes of CP (REPLACEMENT for a surrogate or a value
// beyond U+10FFFF).
void append(std::string& out, char32_t cp);
std::string encode(std::u32string_view text);

// The length of the well-formed character BYTES begins with, its code point
// in CP; 0 when the first byte begins none (an ill-formed part, taken a
// byte at a time by the callers below).
std::size_t character(std::string_view bytes, char32_t& cp);
// A control character: C0 (below U+0020), DEL or C1 (U+0080..U+009F), the
// characters that drive a terminal ("\x1b[2J", the 8-bit CSI U+009B).
bool isControl(char32_t cp);
// BYTES for a terminal or a text file: each control character and each
// byte of an ill-formed part written by ESCAPE (CP the character, or with
// BYTE true the byte's value), everything else as it is.
std::string escaped(std::string_view bytes, std::string (*escape)(char32_t cp, bool byte));

}  // namespace utf8
