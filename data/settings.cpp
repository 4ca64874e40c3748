#include "data/settings.h"

#include <cstdlib>

#include "platform/files.h"

std::string DEFAULTPATH;

namespace {

const char* const INIFILE = "vkx.ini";

// A numeric setting: the value must convert and lie in LO..HI.
bool numeric(const std::string& value, int32_t lo, int32_t hi, uint8_t& setting) {
  int32_t n = 0;
  if (VALINT(value, n) != 0 || n < lo || n > hi) return false;
  setting = static_cast<uint8_t>(n);
  return true;
}

}  // namespace

void INILINE(SETTINGSTYP& S, const std::string& LINE) {
  const std::size_t eq = LINE.find('=');
  if (eq == std::string::npos) return;
  const std::string key = LINE.substr(0, eq);
  const std::string value = TRIMRIGHT(std::string_view(LINE).substr(eq + 1));
  if (key == "vkxpath") {
    S.VKXPATH = value;
  } else if (key == "outputtab") {
    numeric(value, 0, 1, S.OUTPUTTAB);
  } else if (key == "precision") {
    numeric(value, 1, 12, S.PREC);
  } else if (key == "backcol") {
    numeric(value, 0, 15, S.BACKCOL1);
  } else if (key == "menuecol") {
    numeric(value, 0, 15, S.BACKCOL2);
  } else if (key == "textcol") {
    numeric(value, 0, 15, S.TEXTCOL);
  } else if (key == "version") {
    if (value == "internal") S.INTERNAL = 1;
  } else if (key == "weights") {
    if (value == "longinteger") S.WEIGHTS = "longinteger";
  }
}

std::string INIFIND(const std::string& PATHVALUE) {
  if (plat::isRegularFile(INIFILE)) return INIFILE;
  std::size_t start = 0;
  while (start <= PATHVALUE.size()) {
    std::size_t end = PATHVALUE.find(':', start);
    if (end == std::string::npos) end = PATHVALUE.size();
    std::string dir = PATHVALUE.substr(start, end - start);
    start = end + 1;
    if (dir.empty()) continue;
    if (dir.back() != '/') dir += '/';
    if (plat::isRegularFile(dir + INIFILE)) return dir + INIFILE;
  }
  return "";
}

void INIDATA(SETTINGSTYP& S) {
  const char* path = std::getenv("PATH");
  const std::string found = INIFIND(path ? path : "");
  if (found.empty()) return;
  S.VKXPATH = found.substr(0, found.size() - std::string(INIFILE).size());
  plat::TextIn in;
  if (in.open(found) != 0) return;
  std::string line;
  while (in.readLine(line)) INILINE(S, line);
  in.close();
}
