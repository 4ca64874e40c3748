// The configuration file, line by line: whatever the lines say, every
// setting keeps a value the program can use.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "data/settings.h"
#include "platform/files.h"
#include "shell/menus.h"
#include "types/vkxdecl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  SETTINGSTYP s;
  for (const std::string& line :
       plat::splitLines(std::string_view(reinterpret_cast<const char*>(data), size)))
    INILINE(s, line);
  if (s.OUTPUTTAB > 1 || s.PREC < 1 || s.PREC > 12) std::abort();
  if (s.BACKCOL1 > 15 || s.BACKCOL2 > 15 || s.TEXTCOL > 15 || s.INTERNAL > 1) std::abort();
  if (s.WEIGHTS != "integer" && s.WEIGHTS != "longinteger") std::abort();
  return 0;
}
