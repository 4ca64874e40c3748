#include "types/vkxdecl.h"

namespace {

int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// Shared by both variants: parses TEXT into a magnitude no larger than LIMIT
// (for a negative number LIMIT + 1 when NEGLIMIT is set).
int convert(std::string_view text, bool allowMinus, int64_t maxPos, int64_t maxNeg,
            int64_t& value) {
  value = 0;
  if (text.empty()) return 1;
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool neg = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    neg = text[i] == '-';
    if (neg && !allowMinus) return static_cast<int>(i) + 1;
    ++i;
  }
  int base = 10;
  if (i < text.size()) {
    char c = text[i];
    if (c == '$' || c == 'x' || c == 'X') {
      base = 16;
      ++i;
    } else if (c == '%') {
      base = 2;
      ++i;
    } else if (c == '&') {
      base = 8;
      ++i;
    } else if (c == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
      base = 16;
      i += 2;
    }
  }
  if (i >= text.size()) return static_cast<int>(text.size()) + 1;
  const int64_t limit = neg ? maxNeg : maxPos;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    int d = digitValue(text[i]);
    if (d >= base) return static_cast<int>(i) + 1;
    v = v * base + d;
    if (v > limit) return static_cast<int>(i) + 1;
  }
  value = neg ? -v : v;
  return 0;
}

}  // namespace

int VALINT(std::string_view TEXT, int32_t& VALUE) {
  int64_t v = 0;
  int code = convert(TEXT, true, INT32_MAX, static_cast<int64_t>(INT32_MAX) + 1, v);
  VALUE = code == 0 ? static_cast<int32_t>(v) : 0;
  return code;
}

int VALWORD(std::string_view TEXT, uint16_t& VALUE) {
  int64_t v = 0;
  int code = convert(TEXT, false, UINT16_MAX, 0, v);
  VALUE = code == 0 ? static_cast<uint16_t>(v) : 0;
  return code;
}

std::string NAMECUT(std::string_view TEXT) {
  std::string name(TEXT.substr(0, TEXT.find('.')));
  if (name.empty()) name = "default";
  return name;
}

std::string TRIMRIGHT(std::string_view TEXT) {
  std::size_t n = TEXT.size();
  while (n > 0 && TEXT[n - 1] == ' ') --n;
  return std::string(TEXT.substr(0, n));
}
