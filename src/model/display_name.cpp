// Printer display names: the queue name with separators turned into spaces.
#include "model/display_name.h"

#include <cstdint>

namespace pagora {

namespace {

// Length of the white-space character starting at s[i] (Unicode White_Space,
// UTF-8 encoded), or 0 when s[i] does not start one.
std::size_t white_space_length(std::string_view s, std::size_t i) {
  const auto b = [&](std::size_t k) { return static_cast<std::uint8_t>(s[i + k]); };
  const std::size_t left = s.size() - i;
  const std::uint8_t c = b(0);
  if (c == ' ' || (c >= 0x09 && c <= 0x0d)) return 1;
  if (left >= 2 && c == 0xc2 && (b(1) == 0x85 || b(1) == 0xa0)) return 2;
  if (left >= 3 && c == 0xe1 && b(1) == 0x9a && b(2) == 0x80) return 3;  // U+1680
  if (left >= 3 && c == 0xe2 && b(1) == 0x80) {
    const std::uint8_t t = b(2);
    if ((t >= 0x80 && t <= 0x8a) || t == 0xa8 || t == 0xa9 || t == 0xaf) return 3;  // U+2000..200A, 2028, 2029, 202F
  }
  if (left >= 3 && c == 0xe2 && b(1) == 0x81 && b(2) == 0x9f) return 3;  // U+205F
  if (left >= 3 && c == 0xe3 && b(1) == 0x80 && b(2) == 0x80) return 3;  // U+3000
  return 0;
}

}  // namespace

std::string printer_display_name(std::string_view queue_name) {
  std::string out;
  out.reserve(queue_name.size());
  bool pending_space = false;
  std::size_t i = 0;
  while (i < queue_name.size()) {
    const char c = queue_name[i];
    std::size_t skip = (c == '_' || c == '-') ? 1 : white_space_length(queue_name, i);
    if (skip > 0) {
      pending_space = !out.empty();
      i += skip;
      continue;
    }
    if (pending_space) out.push_back(' ');
    pending_space = false;
    out.push_back(c);
    ++i;
  }
  return out;
}

}  // namespace pagora
