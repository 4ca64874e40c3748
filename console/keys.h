// Decoding of the bytes a terminal sends into the program's key codes. The
// decoder is a pure state machine: it is fed bytes and told how much time
// has passed, so the lone-Esc timeout can be tested exactly. Text arrives as
// UTF-8: a character of several bytes is one key.
#pragma once

#include <string>
#include <vector>

#include "platform/utf8.h"

namespace keys {

// A lone Esc is told apart from the start of an escape sequence by this
// pause: terminals send a whole sequence in one write, while a person cannot
// press a second key within 50 ms of Esc.
constexpr int ESC_TIMEOUT_MS = 50;

struct Decoder {
  std::string pending;       // bytes of an escape sequence not yet complete
  utf8::Decoder text;        // a UTF-8 character not yet complete
  bool lastCR = false;       // the previous byte was CR (CR LF is one Enter)
  bool dropUnknown = false;  // drop unknown CSI sequences (terminal) instead of
                             // reading them as Esc plus characters (scripts)
};

// Feeds one byte; decoded keys are appended to OUT (characters as their code
// points, extended keys as con::EXT | scan code, a NUL byte as the key
// con::EXT | con::SCAN_NUL). Ill-formed UTF-8 gives the character U+FFFD.
void feed(Decoder& d, unsigned char byte, std::vector<int>& out);
// Something is pending: an Esc prefix or an unfinished UTF-8 character.
bool waiting(const Decoder& d);
// Tells the decoder that MS milliseconds passed since the last byte without
// another one; what is pending is resolved once MS reaches the timeout (a
// terminal sends a character or a sequence in one write).
void elapsed(Decoder& d, int ms, std::vector<int>& out);
// End of input: whatever is pending is resolved at once.
void finish(Decoder& d, std::vector<int>& out);
// Convenience for scripts and tests: decodes a whole byte string.
std::vector<int> decodeAll(const std::string& bytes);

}  // namespace keys
