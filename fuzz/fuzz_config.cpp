// The configuration file, line by line: whatever the lines say, every
// setting keeps a value the program can use.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "data/vkxdecl.h"
#include "platform/files.h"
#include "shell/vkx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  RESET_SETTINGS();
  for (const std::string& line :
       plat::splitLines(std::string_view(reinterpret_cast<const char*>(data), size)))
    INILINE(line);
  if (OUTPUTTAB > 1 || PREC < 1 || PREC > 12) std::abort();
  if (BACKCOL1 > 15 || BACKCOL2 > 15 || TEXTCOL > 15 || INTERNAL > 1) std::abort();
  if (WEIGHTS != "integer" && WEIGHTS != "longinteger") std::abort();
  return 0;
}
