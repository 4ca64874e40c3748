#include "shell/vkx.h"

#include <cstdio>
#include <cstdlib>

#include "commands/vkxmbanz.h"
#include "commands/vkxmpgi.h"
#include "commands/vkxmshap.h"
#include "data/vkxmedit.h"
#include "frame/vkxunit.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/program.h"
#include "platform/terminal.h"
#include "shell/vkxmopti.h"
#include "shell/vkxmprin.h"
#include "types/vkxdecl.h"

unsigned char KEY = 0;
uint8_t OLDKEY = 0;

namespace {

const char* const INIFILE = "vkx.ini";

const char* const TITLE = "                     VKX 2.0 - Verkanix V2.0 R5/05";

const char* const CREDITS[4] = {
    "an interactive calculator of a-priori voting power",
    "Shapley-Shubik, inclusiveness, Banzhaf and public good indices",
    "for weighted, composite and multiple-weight voting games",
    "exact counts over every coalition: up to 10 subgames, 50 players",
};

// A numeric setting: the value must convert and lie in LO..HI.
bool numeric(const std::string& value, int32_t lo, int32_t hi, uint8_t& setting) {
  int32_t n = 0;
  if (VALINT(value, n) != 0 || n < lo || n > hi) return false;
  setting = static_cast<uint8_t>(n);
  return true;
}

// The start screen's hold: two seconds, six when it begins in the last four
// seconds of a minute, ended when the clock's seconds reach the target. A
// process stopped over the target second (or a clock set back) would miss
// it, so the number of polls bounds the wait to a little over the longest
// hold.
void PAUSE() {
  if (plat::skipPauses) return;
  int s = plat::now().second;
  if (s >= 56) s -= 56;
  const int target = s + 2;
  constexpr int POLL_MS = 10, MAX_POLLS = 700;
  for (int polls = 0; polls < MAX_POLLS && plat::now().second != target; ++polls) {
    con::present();
    plat::sleepMs(POLL_MS);
  }
}

void OPENSUB(int k) {
  SUBMENUE(k);
  OLDKEY = static_cast<uint8_t>(k);
}

// Runs a command of the open submenu NEEDED; any other state ignores the key.
void RUNIN(int needed, void (*command)()) {
  if (OLDKEY != needed) return;
  command();
  OLDKEY = 0;
}

void USAGE(std::FILE* to) {
  std::fputs(
      "usage: vkx             run on this terminal (at least 80 x 25)\n"
      "       vkx --keys FILE run the keys in FILE (\"-\" for standard input) without a\n"
      "                       terminal and print the final screen\n",
      to);
}

}  // namespace

void INILINE(const std::string& LINE) {
  const std::size_t eq = LINE.find('=');
  if (eq == std::string::npos) return;
  const std::string key = LINE.substr(0, eq);
  const std::string value = TRIMRIGHT(std::string_view(LINE).substr(eq + 1));
  if (key == "vkxpath") {
    VKXPATH = value;
  } else if (key == "outputtab") {
    numeric(value, 0, 1, OUTPUTTAB);
  } else if (key == "precision") {
    numeric(value, 1, 12, PREC);
  } else if (key == "backcol") {
    numeric(value, 0, 15, BACKCOL1);
  } else if (key == "menuecol") {
    numeric(value, 0, 15, BACKCOL2);
  } else if (key == "textcol") {
    numeric(value, 0, 15, TEXTCOL);
  } else if (key == "version") {
    if (value == "internal") INTERNAL = 1;
  } else if (key == "weights") {
    if (value == "longinteger") WEIGHTS = "longinteger";
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

void INIDATA() {
  const char* path = std::getenv("PATH");
  const std::string found = INIFIND(path ? path : "");
  if (found.empty()) return;
  VKXPATH = found.substr(0, found.size() - std::string(INIFILE).size());
  plat::TextIn in;
  if (in.open(found) != 0) return;
  std::string line;
  while (in.readLine(line)) INILINE(line);
  in.close();
}

void STARTPIC() {
  con::clrScr();
  MAINMENUE();
  con::textBackground(BACKCOL1);
  con::textColor(TEXTCOL);
  con::lowVideo();
  con::gotoXY(1, 7);
  con::writeLn(TITLE);
  for (const char* credit : CREDITS) {
    const int len = static_cast<int>(std::string_view(credit).size());
    con::write(std::string(static_cast<std::size_t>((con::COLS - len) / 2), ' '));
    con::writeLn(credit);
  }
  con::writeLn();
  con::write(std::string(16, ' '));
  con::textBackground(TEXTCOL);
  const int x = con::whereX(), y = con::whereY();
  con::window(x, y, x + 47, y);
  con::clrScr();
  con::window(x, y - 8, x + 47, y - 8);
  con::clrScr();
  PAUSE();
  con::waitKey();
  con::window(1, 1, 80, 20);
}

void MENULOOP() {
  for (;;) {
    MAINMENUE();
    KEY = static_cast<unsigned char>(con::readKey());
    switch (KEY) {
      case 'd':
        OPENSUB(1);
        break;
      case 'c':
        OPENSUB(2);
        break;
      case 'o':
        OPENSUB(3);
        break;
      case 'e':
        RUNIN(1, MENUE_EDITDATA);
        break;
      case 'l':
        RUNIN(1, MENUE_LISTFILE);
        break;
      case 'p':
        RUNIN(1, MENUE_PRINTFILE);
        break;
      case '1':
        RUNIN(2, MENUE_SHAPLEY);
        break;
      case '2':
        RUNIN(2, MENUE_BANZHAF);
        break;
      case '3':
        RUNIN(2, MENUE_PUBLICGOOD);
        break;
      case 'f':
        RUNIN(3, MENUE_FILEPATH);
        break;
      case 'i':
        RUNIN(3, MENUE_INFO);
        break;
      case 'q':
        if (OLDKEY != 1) break;
        con::textBackground(0);
        con::textColor(7);
        con::window(1, 1, 80, 25);
        con::clrScr();
        return;
      case 27:
        con::window(1, 2, 80, 25);
        con::clrScr();
        con::window(1, 1, 80, 25);
        OLDKEY = 0;
        break;
      case 0: {
        // An extended key: its scan code follows.
        const int scan = con::readKey();
        if (OLDKEY < 1 || OLDKEY > 3) break;
        if (scan == con::SCAN_LEFT) OPENSUB(OLDKEY == 1 ? 3 : OLDKEY - 1);
        if (scan == con::SCAN_RIGHT) OPENSUB(OLDKEY == 3 ? 1 : OLDKEY + 1);
        break;
      }
      default:
        break;
    }
  }
}

void VKX() {
  con::reset();
  RESET_SETTINGS();
  INIDATA();
  con::textBackground(BACKCOL1);
  con::textColor(TEXTCOL);
  STARTPIC();
  con::window(1, 2, 80, 25);
  con::textBackground(BACKCOL1);
  con::clrScr();
  con::window(1, 1, 80, 25);
  OLDKEY = 0;
  MENULOOP();
}

int VKX_MAIN(int argc, char** argv) {
  bool scripted = false;
  std::string keyFile;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--keys" && i + 1 < argc && !scripted) {
      scripted = true;
      keyFile = argv[++i];
    } else if (arg == "--help" || arg == "-h") {
      USAGE(stdout);
      return 0;
    } else {
      std::fprintf(stderr, "vkx: unexpected argument \"%s\"\n", arg.c_str());
      USAGE(stderr);
      return 2;
    }
  }
  std::string error;
  if (scripted) {
    if (!plat::startScript(keyFile, error)) {
      std::fprintf(stderr, "vkx: %s\n", error.c_str());
      return 2;
    }
    VKX();
    plat::printScreen();
    return 0;
  }
  if (!term::start(error)) {
    std::fprintf(stderr, "vkx: %s\n", error.c_str());
    return 1;
  }
  VKX();
  term::stop();
  return 0;
}
