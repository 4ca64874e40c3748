// The key decoder on any byte stream, with pauses: byte 0xFE followed by a
// byte K tells it that K milliseconds passed. The first byte chooses the
// terminal's way (unknown sequences dropped) or the scripts' way. Every key
// is a character (a Unicode scalar value) or a known extended key, a pending sequence stays short,
// and the end of input leaves nothing pending. Without pauses the scripts'
// way decodes exactly as a whole string does.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/keys.h"

namespace {

bool known(int key) {
  // A character: any Unicode scalar value (ill-formed UTF-8 arrives as the
  // replacement character); or an extended key.
  if (key >= 0 && key <= 0x10FFFF) return key < 0xD800 || key > 0xDFFF;
  for (int scan : {con::SCAN_NUL, con::SCAN_UP, con::SCAN_DOWN, con::SCAN_LEFT, con::SCAN_RIGHT,
                   con::SCAN_HOME, con::SCAN_END, con::SCAN_DELETE})
    if (key == (con::EXT | scan)) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  keys::Decoder d;
  d.dropUnknown = data[0] & 1;
  std::vector<int> out;
  std::string fed;
  bool paused = false;
  for (std::size_t i = 1; i < size; ++i) {
    if (data[i] == 0xFE && i + 1 < size) {
      keys::elapsed(d, data[++i], out);
      paused = true;
    } else {
      keys::feed(d, data[i], out);
      fed.push_back(static_cast<char>(data[i]));
    }
    if (d.pending.size() > 40) std::abort();
  }
  keys::finish(d, out);
  if (keys::waiting(d)) std::abort();
  for (int k : out)
    if (!known(k)) std::abort();
  if (!d.dropUnknown && !paused && out != keys::decodeAll(fed)) std::abort();
  return 0;
}
