// UTF-8 decoding, the WinAnsi table and literal-string escaping.
#include "pdf/text.h"

namespace pdf {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one character starting at `pos` and advances `pos` past it.
// Ill-formed input yields U+FFFD for each maximal ill-formed run (the
// longest prefix of a sequence that could still have been valid, or one
// byte), the usual way of counting characters in broken UTF-8. Surrogate
// code points encoded as three bytes are accepted as one character: they
// show up when text from a UTF-16 source with a lone half was converted
// without checking.
char32_t next_char(std::string_view s, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char b0 = byte(pos);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  std::size_t need = 0;
  char32_t cp = 0;
  unsigned char lo = 0x80;
  unsigned char hi = 0xBF;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    need = 1;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    need = 2;
    cp = b0 & 0x0F;
    if (b0 == 0xE0) lo = 0xA0;  // no overlong forms
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    need = 3;
    cp = b0 & 0x07;
    if (b0 == 0xF0) lo = 0x90;  // no overlong forms
    if (b0 == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
  } else {
    ++pos;  // stray continuation byte, C0, C1, F5..FF
    return kReplacement;
  }
  std::size_t i = pos + 1;
  for (std::size_t k = 0; k < need; ++k, ++i) {
    if (i >= s.size()) {
      pos = i;
      return kReplacement;
    }
    const unsigned char b = byte(i);
    const unsigned char min = k == 0 ? lo : 0x80;
    const unsigned char max = k == 0 ? hi : 0xBF;
    if (b < min || b > max) {
      pos = i;
      return kReplacement;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  pos = i;
  return cp;
}

bool is_white_space(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
         c == 0x205F || c == 0x3000;
}

std::uint8_t win_ansi_byte(char32_t c) {
  constexpr std::uint8_t kUnknown = '?';
  if (c == '\n' || c == '\r') return static_cast<std::uint8_t>(c);
  if (c == '\t' || c == 0xA0) return ' ';
  if (c >= 0x20 && c <= 0x7E) return static_cast<std::uint8_t>(c);
  if (c >= 0xA1 && c <= 0xFF) return static_cast<std::uint8_t>(c);
  switch (c) {
    case 0x2013: return 0x96;  // en dash
    case 0x2014: return 0x97;  // em dash
    case 0x2018: return 0x91;  // left single quotation mark
    case 0x2019: return 0x92;  // right single quotation mark
    case 0x201C: return 0x93;  // left double quotation mark
    case 0x201D: return 0x94;  // right double quotation mark
    case 0x2022: return 0x95;  // bullet
    case 0x2026: return 0x85;  // horizontal ellipsis
    default: return kUnknown;
  }
}

}  // namespace

std::vector<std::uint8_t> encode_win_ansi(std::string_view text) {
  std::vector<std::uint8_t> out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) out.push_back(win_ansi_byte(next_char(text, pos)));
  return out;
}

std::vector<std::uint8_t> escape_pdf_string(std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (const std::uint8_t b : bytes) {
    switch (b) {
      case '\\':
      case '(':
      case ')':
        out.push_back('\\');
        out.push_back(b);
        break;
      case '\n':
        out.push_back('\\');
        out.push_back('n');
        break;
      case '\r':
        out.push_back('\\');
        out.push_back('r');
        break;
      default:
        out.push_back(b);
    }
  }
  return out;
}

bool is_blank(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    if (!is_white_space(next_char(text, pos))) return false;
  }
  return true;
}

}  // namespace pdf
