// The whole-text integer conversion: never reads outside its text, and every
// accepted text gives a value in range that reads back from its decimal form.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "types/vkxdecl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  int32_t v = 0;
  const int code = VALINT(text, v);
  if (code < 0 || static_cast<std::size_t>(code) > size + 1) std::abort();
  if (code == 0) {
    int32_t again = 1;
    if (VALINT(std::to_string(v), again) != 0 || again != v) std::abort();
  } else if (v != 0) {
    std::abort();  // a refused text leaves 0
  }
  uint16_t w = 0;
  const int wcode = VALWORD(text, w);
  if (wcode == 0) {
    // A word is an integer too, with the same value.
    int32_t asInt = -1;
    if (VALINT(text, asInt) != 0 || asInt != w) std::abort();
  } else if (w != 0) {
    std::abort();
  }
  return 0;
}
