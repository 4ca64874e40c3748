// UTF-8 text as the program takes it: the decoder on any bytes, and a prompt
// typed with them. Decoding gives Unicode scalar values only, byte by byte
// exactly as at once, and gives back the bytes of well-formed text; the
// line a prompt returns is well-formed UTF-8 without the replacement
// character (so ill-formed bytes never reach a file name) and without
// control characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "console/console.h"
#include "console/program.h"
#include "platform/utf8.h"

namespace {

bool scalar(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

void exhausted() { std::abort(); }  // the prompt must end at the Enter we add

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::u32string text = utf8::decode(bytes);

  utf8::Decoder d;
  std::u32string stepwise;
  for (unsigned char b : bytes) utf8::feed(d, b, stepwise);
  utf8::finish(d, stepwise);
  if (stepwise != text) std::abort();
  if (text.size() > size) std::abort();
  bool wellFormed = true;
  for (char32_t c : text) {
    if (!scalar(c)) std::abort();
    if (c == utf8::REPLACEMENT) wellFormed = false;
  }
  if (wellFormed && utf8::encode(text) != bytes) std::abort();
  if (utf8::decode(utf8::encode(text)) != text) std::abort();

  // The bytes typed at a prompt (control bytes dropped, so that they cannot
  // end or edit the line), then Enter.
  std::string typed;
  for (unsigned char b : bytes)
    if (b >= 0x20 && b != 0x7F) typed.push_back(static_cast<char>(b));
  static plat::ScriptKeys keys;
  keys.keys.clear();
  keys.add(typed + "\r");
  con::reset();
  con::setKeySource(&keys);
  con::setExhaustedHandler(exhausted);
  const std::string line = con::readLine();
  const std::u32string chars = utf8::decode(line);
  if (utf8::encode(chars) != line) std::abort();
  for (char32_t c : chars)
    if (c == utf8::REPLACEMENT || c < 0x20 || (c >= 0x7F && c < 0xA0)) std::abort();
  return 0;
}
