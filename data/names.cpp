#include "data/names.h"

#include <algorithm>

#include "platform/files.h"

namespace {

std::string trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// "weight player 12", as the editor writes it beside every weight.
bool editorLabel(const std::string& text) {
  const std::string label = "weight player ";
  if (text.size() <= label.size() || text.compare(0, label.size(), label) != 0) return false;
  return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(label.size()), text.end(),
                     [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string COMMENTNAME(const std::string& LINE) {
  std::string name;
  for (std::size_t open = LINE.find('{'); open != std::string::npos;) {
    const std::size_t close = LINE.find('}', open + 1);
    const std::string text = trimmed(LINE.substr(open + 1, close - std::min(close, open + 1)));
    if (!text.empty() && !editorLabel(text)) name = text;
    if (close == std::string::npos) break;
    open = LINE.find('{', close + 1);
  }
  return name;
}

std::vector<std::string> PLAYERNAMES(const std::vector<std::string>& LINES, const GAMETYP& GAME) {
  if (GAME.DATASTRUCTURE != DATASTRUCT::WEIGHTED) return {""};
  std::vector<std::string> names(static_cast<std::size_t>(GAME.N) + 1);
  // Line 0 holds the structure, line 1 the subgame count; each subgame then
  // has its player count followed by one weight line per player.
  std::size_t line = 2;
  for (int s = 1; s <= GAME.MM && s <= MAXCHAMB; ++s) {
    ++line;
    for (int j = 1; j <= GAME.NN[s]; ++j, ++line) {
      const std::size_t p = line - 1 - static_cast<std::size_t>(s);
      if (p < names.size() && line < LINES.size()) names[p] = COMMENTNAME(LINES[line]);
    }
  }
  return names;
}

int FILELINES(const std::string& NAME, std::vector<std::string>& LINES) {
  LINES.clear();
  plat::TextIn in;
  const int flag = in.open(NAME + ".inp");
  if (flag != 0) return flag;
  std::string text;
  while (in.readLine(text)) LINES.push_back(text);
  return 0;
}

std::vector<std::string> NAMESLOAD(const std::string& NAME, const GAMETYP& GAME) {
  std::vector<std::string> lines;
  FILELINES(NAME, lines);
  return PLAYERNAMES(lines, GAME);
}
