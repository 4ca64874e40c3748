#include "console/keys.h"

#include "console/console.h"

namespace keys {
namespace {

// Complete sequences after the Esc byte, and the scan codes they stand for.
struct Sequence {
  const char* tail;
  int scan;
};
const Sequence SEQUENCES[] = {
    {"[A", con::SCAN_UP},    {"[B", con::SCAN_DOWN},    {"[C", con::SCAN_RIGHT},
    {"[D", con::SCAN_LEFT},  {"OA", con::SCAN_UP},      {"OB", con::SCAN_DOWN},
    {"OC", con::SCAN_RIGHT}, {"OD", con::SCAN_LEFT},    {"[H", con::SCAN_HOME},
    {"OH", con::SCAN_HOME},  {"[1~", con::SCAN_HOME},   {"[7~", con::SCAN_HOME},
    {"[F", con::SCAN_END},   {"OF", con::SCAN_END},     {"[4~", con::SCAN_END},
    {"[8~", con::SCAN_END},  {"[3~", con::SCAN_DELETE},
};

// How a pending sequence (without its leading Esc) stands.
enum class Match { Partial, Complete, None };

Match classify(const std::string& tail, int& scan) {
  bool prefix = false;
  for (const Sequence& s : SEQUENCES) {
    std::string t = s.tail;
    if (t == tail) {
      scan = s.scan;
      return Match::Complete;
    }
    if (t.compare(0, tail.size(), tail) == 0) prefix = true;
  }
  return prefix ? Match::Partial : Match::None;
}

// A control sequence introducer followed by parameter bytes and not yet by
// its final byte: the terminal is still sending it.
bool unfinishedCsi(const std::string& tail) {
  if (tail.size() < 1 || tail[0] != '[') return false;
  for (std::size_t i = 1; i < tail.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(tail[i]);
    if (c >= 0x40 && c <= 0x7E) return false;
  }
  return true;
}

bool finishedCsi(const std::string& tail) {
  if (tail.size() < 2 || tail[0] != '[') return false;
  unsigned char last = static_cast<unsigned char>(tail.back());
  return last >= 0x40 && last <= 0x7E && unfinishedCsi(tail.substr(0, tail.size() - 1));
}

// One character outside an escape sequence.
void character(Decoder& d, char32_t c, std::vector<int>& out) {
  if (c == 0x1b) {
    d.pending.push_back('\x1b');
    d.lastCR = false;
    return;
  }
  if (c == '\n' && d.lastCR) {
    d.lastCR = false;
    return;
  }
  d.lastCR = c == '\r';
  if (c == '\r' || c == '\n')
    out.push_back(13);
  else if (c == 0x7f || c == 0x08)
    out.push_back(8);
  else if (c == 0)
    out.push_back(con::EXT | con::SCAN_NUL);
  else
    out.push_back(static_cast<int>(c));
}

// Resolves a pending Esc prefix that will not grow into a known sequence:
// the Esc is a key of its own and the bytes after it are read afresh.
void release(Decoder& d, std::vector<int>& out) {
  std::string tail = d.pending.substr(1);
  d.pending.clear();
  out.push_back(27);
  d.lastCR = false;
  for (unsigned char c : tail) feed(d, c, out);
}

}  // namespace

void feed(Decoder& d, unsigned char byte, std::vector<int>& out) {
  if (d.pending.empty()) {
    // An Esc ends an unfinished character too: it is always the last one.
    std::u32string chars;
    utf8::feed(d.text, byte, chars);
    for (char32_t c : chars) character(d, c, out);
    return;
  }
  if (byte == 0x1b && d.pending.size() == 1) {
    // Esc Esc: the first one was a lone Esc.
    out.push_back(27);
    return;
  }
  d.pending.push_back(static_cast<char>(byte));
  std::string tail = d.pending.substr(1);
  int scan = 0;
  switch (classify(tail, scan)) {
    case Match::Complete:
      d.pending.clear();
      out.push_back(con::EXT | scan);
      return;
    case Match::Partial:
      return;
    case Match::None:
      if (d.dropUnknown) {
        if (finishedCsi(tail) || (tail.size() == 2 && tail[0] == 'O')) {
          d.pending.clear();
          return;
        }
        if (unfinishedCsi(tail) && tail.size() < 32) return;
      }
      release(d, out);
  }
}

bool waiting(const Decoder& d) { return !d.pending.empty() || utf8::pending(d.text); }

void elapsed(Decoder& d, int ms, std::vector<int>& out) {
  if (ms >= ESC_TIMEOUT_MS) finish(d, out);
}

void finish(Decoder& d, std::vector<int>& out) {
  while (!d.pending.empty()) release(d, out);
  std::u32string rest;
  utf8::finish(d.text, rest);
  for (char32_t c : rest) character(d, c, out);
}

std::vector<int> decodeAll(const std::string& bytes) {
  Decoder d;
  std::vector<int> out;
  for (unsigned char b : bytes) feed(d, b, out);
  finish(d, out);
  return out;
}

}  // namespace keys
