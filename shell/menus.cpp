#include "shell/menus.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "api/output.h"
#include "commands/banzhaf.h"
#include "commands/publicgood.h"
#include "commands/shapley.h"
#include "console/console.h"
#include "console/program.h"
#include "console/terminal.h"
#include "data/settings.h"
#include "dialogue/editor.h"
#include "frame/window.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "shell/options.h"
#include "shell/print.h"
#include "types/vkxdecl.h"

SUBMENUTYP OLDKEY = SUBMENUTYP::NONE;

namespace {

const char* const TITLE = "                     VKX 2.0 - Verkanix V2.0 R5/05";

const char* const CREDITS[4] = {
    "an interactive calculator of a-priori voting power",
    "Shapley-Shubik, inclusiveness, Banzhaf and public good indices",
    "for weighted, composite and multiple-weight voting games",
    "exact counts over every coalition: up to 10 subgames, 50 players",
};

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

void OPENSUB(const SETTINGSTYP& s, SUBMENUTYP k) {
  SUBMENUE(s, k);
  OLDKEY = k;
}

// The submenu beside the open one, to the left (-1) or right (+1), round.
SUBMENUTYP neighbour(SUBMENUTYP open, int step) {
  const int k = (static_cast<int>(open) - 1 + step + 3) % 3 + 1;
  return static_cast<SUBMENUTYP>(k);
}

// Runs a command of the open submenu NEEDED; any other state ignores the key.
void RUNIN(SETTINGSTYP& s, SUBMENUTYP needed, COMMANDPROC command) {
  if (OLDKEY != needed) return;
  command(s);
  OLDKEY = SUBMENUTYP::NONE;
}

void USAGE(std::FILE* to) {
  std::fputs(
      "usage: vkx             run on this terminal (at least 80 x 25)\n"
      "       vkx --keys FILE run the keys in FILE (\"-\" for standard input) without a\n"
      "                       terminal and print the final screen\n",
      to);
}

}  // namespace

void STARTPIC(const SETTINGSTYP& S) {
  con::clrScr();
  MAINMENUE(S);
  con::textBackground(S.BACKCOL1);
  con::textColor(S.TEXTCOL);
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
  con::textBackground(S.TEXTCOL);
  const int x = con::whereX(), y = con::whereY();
  con::window(x, y, x + 47, y);
  con::clrScr();
  con::window(x, y - 8, x + 47, y - 8);
  con::clrScr();
  PAUSE();
  con::waitKey();
  con::window(1, 1, 80, 20);
}

void MENULOOP(SETTINGSTYP& S) {
  for (;;) {
    MAINMENUE(S);
    // A character beyond one byte is none of the menu keys: the whole key
    // code is compared, never a byte of it.
    const int key = con::readKey();
    switch (key) {
      case 'd':
        OPENSUB(S, SUBMENUTYP::DATA);
        break;
      case 'c':
        OPENSUB(S, SUBMENUTYP::COMPUTE);
        break;
      case 'o':
        OPENSUB(S, SUBMENUTYP::OPTIONS);
        break;
      case 'e':
        RUNIN(S, SUBMENUTYP::DATA, MENUE_EDITDATA);
        break;
      case 'l':
        RUNIN(S, SUBMENUTYP::DATA, MENUE_LISTFILE);
        break;
      case 'p':
        RUNIN(S, SUBMENUTYP::DATA, MENUE_PRINTFILE);
        break;
      case '1':
        RUNIN(S, SUBMENUTYP::COMPUTE, MENUE_SHAPLEY);
        break;
      case '2':
        RUNIN(S, SUBMENUTYP::COMPUTE, MENUE_BANZHAF);
        break;
      case '3':
        RUNIN(S, SUBMENUTYP::COMPUTE, MENUE_PUBLICGOOD);
        break;
      case 'f':
        RUNIN(S, SUBMENUTYP::OPTIONS, MENUE_FILEPATH);
        break;
      case 'i':
        RUNIN(S, SUBMENUTYP::OPTIONS, MENUE_INFO);
        break;
      case 'q':
        if (OLDKEY != SUBMENUTYP::DATA) break;
        con::textBackground(0);
        con::textColor(7);
        con::window(1, 1, 80, 25);
        con::clrScr();
        return;
      case KEYESC:
        con::window(1, 2, 80, 25);
        con::clrScr();
        con::window(1, 1, 80, 25);
        OLDKEY = SUBMENUTYP::NONE;
        break;
      case KEYEXTENDED: {
        const int scan = con::readKey();
        if (OLDKEY == SUBMENUTYP::NONE) break;
        if (scan == con::SCAN_LEFT) OPENSUB(S, neighbour(OLDKEY, -1));
        if (scan == con::SCAN_RIGHT) OPENSUB(S, neighbour(OLDKEY, +1));
        break;
      }
      default:
        break;
    }
  }
}

void VKX(SETTINGSTYP& S) {
  con::reset();
  S = SETTINGSTYP{};
  S.VKXPATH = DEFAULTPATH;
  INIDATA(S);
  con::textBackground(S.BACKCOL1);
  con::textColor(S.TEXTCOL);
  STARTPIC(S);
  con::window(1, 2, 80, 25);
  con::textBackground(S.BACKCOL1);
  con::clrScr();
  con::window(1, 1, 80, 25);
  OLDKEY = SUBMENUTYP::NONE;
  MENULOOP(S);
}

int VKX_MAIN(int argc, char** argv) {
  bool scripted = false;
  std::string keyFile;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--keys" && i + 1 < argc && !scripted) {
      scripted = true;
      keyFile = argv[++i];
    } else if (arg == "--keys" && !scripted) {
      std::fputs("vkx: --keys needs a file name (or - for standard input)\n", stderr);
      USAGE(stderr);
      return 2;
    } else if (arg == "--help" || arg == "-h") {
      USAGE(stdout);
      return 0;
    } else {
      std::fprintf(stderr, "vkx: unexpected argument \"%s\"\n", SHOWNTEXT(arg).c_str());
      USAGE(stderr);
      return 2;
    }
  }
  std::string error;
  if (scripted) {
    if (!plat::startScript(keyFile, error)) {
      std::fprintf(stderr, "vkx: %s\n", SHOWNTEXT(error).c_str());
      return 2;
    }
    SETTINGSTYP settings;
    VKX(settings);
    plat::printScreen();
    return 0;
  }
  if (!term::start(error)) {
    std::fprintf(stderr, "vkx: %s\n", SHOWNTEXT(error).c_str());
    return 1;
  }
  SETTINGSTYP settings;
  VKX(settings);
  term::stop();
  return 0;
}
