#include "platform/utf8.h"

namespace utf8 {

void feed(Decoder& d, unsigned char b, std::u32string& out) {
  if (d.need > 0) {
    if (b >= d.lo && b <= d.hi) {
      d.cp = (d.cp << 6) | (b & 0x3Fu);
      d.lo = 0x80;
      d.hi = 0xBF;
      if (--d.need == 0) {
        out.push_back(d.cp);
        d = Decoder{};
      }
      return;
    }
    d = Decoder{};
    out.push_back(REPLACEMENT);
  }
  if (b < 0x80) {
    out.push_back(b);
  } else if (b >= 0xC2 && b <= 0xDF) {
    d.need = 1;
    d.cp = b & 0x1Fu;
  } else if (b >= 0xE0 && b <= 0xEF) {
    d.need = 2;
    d.cp = b & 0x0Fu;
    if (b == 0xE0) d.lo = 0xA0;  // below: an overlong form
    if (b == 0xED) d.hi = 0x9F;  // above: a surrogate
  } else if (b >= 0xF0 && b <= 0xF4) {
    d.need = 3;
    d.cp = b & 0x07u;
    if (b == 0xF0) d.lo = 0x90;  // below: an overlong form
    if (b == 0xF4) d.hi = 0x8F;  // above: beyond U+10FFFF
  } else {
    out.push_back(REPLACEMENT);  // a lone continuation byte, C0, C1, F5..FF
  }
}

bool pending(const Decoder& d) { return d.need > 0; }

void finish(Decoder& d, std::u32string& out) {
  if (d.need > 0) out.push_back(REPLACEMENT);
  d = Decoder{};
}

std::u32string decode(std::string_view bytes) {
  Decoder d;
  std::u32string out;
  out.reserve(bytes.size());
  for (char c : bytes) feed(d, static_cast<unsigned char>(c), out);
  finish(d, out);
  return out;
}

void append(std::string& out, char32_t cp) {
  if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = REPLACEMENT;
  auto put = [&](char32_t bits) { out.push_back(static_cast<char>(bits)); };
  if (cp < 0x80) {
    put(cp);
  } else if (cp < 0x800) {
    put(0xC0 | (cp >> 6));
    put(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    put(0xE0 | (cp >> 12));
    put(0x80 | ((cp >> 6) & 0x3F));
    put(0x80 | (cp & 0x3F));
  } else {
    put(0xF0 | (cp >> 18));
    put(0x80 | ((cp >> 12) & 0x3F));
    put(0x80 | ((cp >> 6) & 0x3F));
    put(0x80 | (cp & 0x3F));
  }
}

std::string encode(std::u32string_view text) {
  std::string out;
  for (char32_t cp : text) append(out, cp);
  return out;
}

std::size_t character(std::string_view bytes, char32_t& cp) {
  Decoder d;
  std::u32string out;
  for (std::size_t i = 0; i < bytes.size() && i < 4; ++i) {
    feed(d, static_cast<unsigned char>(bytes[i]), out);
    if (out.empty()) continue;
    // A character completed alone, and not the replacement of a first byte
    // that begins none: otherwise the decoder met an ill-formed part.
    if (out.size() != 1 || pending(d) || (i == 0 && out[0] == REPLACEMENT)) return 0;
    cp = out[0];
    return i + 1;
  }
  return 0;
}

bool isControl(char32_t cp) { return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F); }

std::string escaped(std::string_view bytes, std::string (*escape)(char32_t cp, bool byte)) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t cp = 0;
    const std::size_t n = character(bytes.substr(i), cp);
    if (n == 0) {
      out += escape(static_cast<unsigned char>(bytes[i]), true);
      ++i;
      continue;
    }
    if (isControl(cp))
      out += escape(cp, false);
    else
      out.append(bytes.substr(i, n));
    i += n;
  }
  return out;
}

}  // namespace utf8
