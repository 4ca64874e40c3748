#include "shell/options.h"

#include <string>

#include "console/console.h"
#include "frame/window.h"
#include "platform/files.h"
#include "shell/print.h"
#include "types/vkxdecl.h"

namespace {

const char* const DATAFILEOUT = "\"data file\"";

}  // namespace

void MENUE_FILEPATH(SETTINGSTYP& S) {
  COMMANDFRAME(S, "file/path");
  con::write("standard output: ");
  con::writeLn(S.OUTPUTFILE ? std::string(DATAFILEOUT) + ".out" : S.NAMEOUT);
  con::write("input/output path: ");
  con::writeLn(plat::currentDir());

  con::gotoXY(18, 3);
  std::string name = con::readLine();
  name = name.substr(0, name.find('.'));
  if (!name.empty() && name[0] == ' ') name.clear();
  S.NAMEOUT = name;
  S.OUTPUTFILE = S.NAMEOUT.empty() || S.NAMEOUT == DATAFILEOUT;

  con::gotoXY(20, 4);
  const std::string folder = con::readLine();
  if (!folder.empty()) {
    if (int code = plat::changeDir(folder)) {
      con::clrEol();
      con::writeLn("...system error" + std::to_string(code) + " on changing path");
    }
  }
  MAINGROUND(S);
}

void MENUE_INFO(SETTINGSTYP& S) {
  COMMANDFRAME(S, "info/help");
  con::writeLn("Verkanix - VKX 2.0 R5/05");
  con::writeLn("An interactive calculator of a-priori voting power");
  con::writeLn("for weighted and composite voting games of up to 10 subgames");
  con::writeLn("and 50 players: Shapley-Shubik, Banzhaf and public good indices.");
  con::writeLn();
  con::writeLn("For updates and information, visit:");
  con::writeLn("the documentation and sources that came with this copy of VKX");
  con::writeLn("or contact:");
  con::writeLn("the people who maintain VKX at your site");
  con::writeLn();
  con::writeLn();
  con::writeLn();

  plat::TextIn in;
  if (in.open(S.VKXPATH + "vkx.hlp") != 0) {
    con::writeLn("...no help available");
    MAINGROUND(S);
    return;
  }
  // The help text keeps the cursor at the end of the line it waits on.
  PAGEFILE(in, true);
  MAINGROUND(S);
}
