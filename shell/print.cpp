#include "shell/print.h"

#include <string>

#include "console/console.h"
#include "frame/window.h"
#include "platform/files.h"
#include "platform/printer.h"
#include "types/vkxdecl.h"

namespace {

// "file: " until a name is given; the prompt stays in its place on the screen.
std::string READFILENAME() {
  const int x = con::whereX(), y = con::whereY();
  std::string name;
  do {
    con::gotoXY(x, y);
    con::write("file: ");
    name = con::readLine();
  } while (name.empty());
  con::writeLn();
  return name;
}

void LOADERROR(int code, const std::string& name) {
  con::writeLn("...system error " + std::to_string(code) + " on loading " + name);
}

}  // namespace

void PAGEFILE(plat::TextIn& IN, bool BREAKAFTERKEY) {
  bool esc = false;
  std::string line;
  do {
    IN.readLine(line);
    con::write(line);
    if (!BREAKAFTERKEY) con::writeLn();
    con::present();
    esc = con::readPress() == KEYESC;
    if (BREAKAFTERKEY) con::writeLn();
  } while (!esc && !IN.eof());
  IN.close();
  if (!esc)
    for (int i = 0; i < 3; ++i) con::readPress();
}

void MENUE_LISTFILE(SETTINGSTYP& S) {
  COMMANDFRAME(S, "list file");
  const std::string name = READFILENAME();
  plat::TextIn in;
  if (int code = in.open(name)) {
    LOADERROR(code, name);
    MAINGROUND(S);
    return;
  }
  PAGEFILE(in, false);
  MAINGROUND(S);
}

void MENUE_PRINTFILE(SETTINGSTYP& S) {
  COMMANDFRAME(S, "print file");
  const std::string name = READFILENAME();
  S.NAME = name;
  plat::TextIn in;
  if (int code = in.open(name)) {
    LOADERROR(code, name);
    MAINGROUND(S);
    return;
  }
  plat::PrintJob job;
  int code = job.open();
  // The bell probes the printer before any of the file is sent.
  if (code == 0) code = job.write("\a");
  if (code == 0) {
    std::string chunk;
    chunk.reserve(4096);
    for (int c = in.readChar(); c >= 0 && code == 0; c = in.readChar()) {
      chunk.push_back(static_cast<char>(c));
      if (chunk.size() == 4096) {
        code = job.write(chunk);
        chunk.clear();
      }
    }
    if (code == 0 && !chunk.empty()) code = job.write(chunk);
    if (code == 0) code = job.write("\f");
  }
  // The job's verdict: its first error, or the command's exit status, which
  // tells whether the job really got through.
  code = job.close();
  in.close();
  if (code != 0) con::writeLn("...system error " + std::to_string(code) + " on printing " + name);
  if (code == plat::COMMAND_NOT_FOUND)
    con::writeLn("...no printer command found; the environment variable VKX_PRINTER names one");
  MAINGROUND(S);
}
