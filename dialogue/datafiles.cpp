#include "dialogue/datafiles.h"

#include <algorithm>

#include "console/console.h"

void DATAWARNWRITE(const std::string& FILE, const DATAWARNINGS& WARNINGS) {
  const std::size_t shown = std::min<std::size_t>(WARNINGS.size(), 3);
  for (std::size_t i = 0; i < shown; ++i) {
    const DATAWARNTYP& w = WARNINGS[i];
    std::string text = w.TEXT.substr(0, 30);
    for (char& c : text)
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    con::writeLn("..." + FILE + " line " + std::to_string(w.LINE) + ": " +
                 (w.MISSING ? std::string("file ends, read as 0") : "'" + text + "' read as 0"));
  }
  if (WARNINGS.size() > shown)
    con::writeLn("...and " + std::to_string(WARNINGS.size() - shown) + " more lines read as 0");
}

void DATASAVE(const std::string& NAME, int32_t DATASTRUCTURE, uint16_t MM, const NNTYP& NN,
              const GEWTYP& GEW, int32_t& FLAG,
              const std::vector<std::vector<std::string>>& NAMES) {
  FLAG = DATAWRITE(NAME, DATASTRUCTURE, MM, NN, GEW, NAMES);
  if (FLAG != 0) con::writeLn("...system error on saving " + NAME + ".inp");
}
