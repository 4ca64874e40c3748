#include "data/inline.h"

#include "platform/utf8.h"
#include "types/vkxdecl.h"

namespace {

std::vector<std::string> items(const std::string& list) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = list.find(',', start);
    out.push_back(
        list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) return out;
    start = comma + 1;
  }
}

// A name goes into a brace comment of its weight line: braces would end
// the comment early, control characters (C0, DEL, C1) would reach the
// terminal, and bytes that are not UTF-8 could not be shown.
const char* nameFault(std::string_view name) {
  for (std::size_t i = 0; i < name.size();) {
    char32_t cp = 0;
    const std::size_t n = utf8::character(name.substr(i), cp);
    if (n == 0) return "a name that is not UTF-8 in --weights";
    if (cp == '{' || cp == '}' || utf8::isControl(cp))
      return "a name with a brace or a control character in --weights";
    i += n;
  }
  return nullptr;
}

std::string whole(const std::string& text, const char* option) {
  int32_t value = 0;
  if (VALINT(text, value) != 0 || text.empty())
    return std::string("no whole number '") + text + "' in " + option;
  return "";
}

}  // namespace

std::string INLINEGAME(const std::vector<std::string>& WEIGHTS, const std::string& MEMBERS,
                       std::vector<std::string>& LINES) {
  LINES.clear();
  if (!WEIGHTS.empty() && !MEMBERS.empty()) return "--weights and --members exclude each other";
  if (WEIGHTS.empty() && MEMBERS.empty()) return "no players given";
  if (!MEMBERS.empty()) {
    const std::vector<std::string> sizes = items(MEMBERS);
    LINES = {"0  {datastructure unweighted}",
             std::to_string(sizes.size()) + "  {number of subgames}"};
    for (const std::string& n : sizes) {
      if (std::string why = whole(n, "--members"); !why.empty()) return why;
      LINES.push_back(n);
    }
    return "";
  }
  LINES = {"1  {datastructure weighted}",
           std::to_string(WEIGHTS.size()) + "  {number of subgames}"};
  for (const std::string& list : WEIGHTS) {
    const std::vector<std::string> players = items(list);
    LINES.push_back(std::to_string(players.size()));
    for (const std::string& item : players) {
      const std::size_t colon = item.rfind(':');
      const std::string weight = colon == std::string::npos ? item : item.substr(colon + 1);
      const std::string name = colon == std::string::npos ? "" : item.substr(0, colon);
      if (std::string why = whole(weight, "--weights"); !why.empty()) return why;
      if (const char* fault = nameFault(name)) return fault;
      LINES.push_back(weight + (name.empty() ? "" : "  {" + name + "}"));
    }
  }
  return "";
}
