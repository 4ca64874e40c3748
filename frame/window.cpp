#include "frame/window.h"

#include "console/console.h"

namespace {

const char* const MAINMENUETEXT[3] = {"data  ", "compute  ", "options"};

const char* const MENUETEXT[3][4] = {
    {"edit data", "list file", "print file", "quit"},
    {"1 shapley/inclusiveness", "2 banzhaf", "3 public good etc.", ""},
    {"file/path", "info/help", "", ""},
};

// Per submenu: left column, top row, number of entries, width.
const int MPOS[3][4] = {{1, 2, 4, 11}, {7, 2, 3, 24}, {16, 2, 2, 10}};

// The top row without its labels: marker cell and version label.
void headerRow(const SETTINGSTYP& S, bool labels) {
  con::window(1, 1, 80, 1);
  con::textBackground(S.BACKCOL2);
  con::clrScr();
  if (labels)
    for (const char* label : MAINMENUETEXT) WRITELI(label);
  con::window(80, 1, 80, 1);
  con::textBackground(S.TEXTCOL);
  con::clrScr();
  con::textBackground(S.BACKCOL2);
  con::window(1, 1, 80, 25);
  con::gotoXY(73, 1);
  con::write("VKX 2.0");
  con::textBackground(S.BACKCOL1);
}

}  // namespace

void MAINMENUE(const SETTINGSTYP& S) { headerRow(S, true); }

void MAINHEADER(const SETTINGSTYP& S) {
  con::clrScr();
  headerRow(S, false);
}

void SUBMENUE(const SETTINGSTYP& S, SUBMENUTYP KEY) {
  const int k = static_cast<int>(KEY);
  if (k < 1 || k > 3) return;
  const int* pos = MPOS[k - 1];
  con::window(1, 2, 80, 25);
  con::clrScr();
  con::textBackground(S.BACKCOL2);
  BOXSET(pos[0], pos[1], pos[0] + pos[3], pos[1] + pos[2] + 1);
  for (int i = 1; i <= pos[2]; ++i) {
    con::gotoXY(pos[0] + 1, pos[1] + i);
    WRITELI(MENUETEXT[k - 1][i - 1]);
  }
}

void BOXSET(int X1, int Y1, int X2, int Y2) {
  con::window(X1, Y1, X2, Y2);
  con::clrScr();
  con::window(1, 1, 80, 25);
  auto put = [](int x, int y, unsigned char c) {
    con::gotoXY(x, y);
    con::writeChar(static_cast<char>(c));
  };
  for (int x = X1 + 1; x <= X2 - 1; ++x) {
    put(x, Y1, BOXHORIZONTAL);
    put(x, Y2, BOXHORIZONTAL);
  }
  for (int y = Y1 + 1; y <= Y2 - 1; ++y) {
    put(X1, y, BOXVERTICAL);
    put(X2, y, BOXVERTICAL);
  }
  put(X1, Y1, BOXTOPLEFT);
  put(X2, Y1, BOXTOPRIGHT);
  put(X1, Y2, BOXBOTTOMLEFT);
  put(X2, Y2, BOXBOTTOMRIGHT);
}

void WRITELI(const std::string& TEXT) {
  con::highVideo();
  if (!TEXT.empty()) con::writeChar(TEXT[0]);
  con::lowVideo();
  if (TEXT.size() > 1) con::write(std::string_view(TEXT).substr(1));
}

void MAINGROUND(const SETTINGSTYP& S) {
  con::window(1, 25, 80, 25);
  con::textBackground(S.BACKCOL2);
  con::clrScr();
  con::write("press any key");
  con::textBackground(S.BACKCOL1);
  con::window(80, 1, 80, 1);
  con::waitKey();
  con::window(1, 2, 80, 25);
  con::clrScr();
  con::window(1, 1, 80, 25);
}

void COMMANDFRAME(const SETTINGSTYP& S, const std::string& TITLE) {
  MAINHEADER(S);
  BOXSET(1, 2, 80, 24);
  con::window(2, 3, 79, 23);
  con::gotoXY(1, 1);
  con::writeLn(TITLE);
  con::writeLn();
}
