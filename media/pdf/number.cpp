// Shortest round-trip decimals through std::to_chars, which in fixed
// notation picks the fewest digits that still parse back to the same double.
#include "pdf/number.h"

#include <array>
#include <charconv>

namespace pdf {

void append_real(std::string& out, double value) {
  if (value == 0.0) value = 0.0;  // drops the sign of -0
  // Fixed notation of any double fits in 24 + 309 + 17 characters; the
  // coordinates written here need far fewer, but no value may be cut short.
  std::array<char, 400> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed);
  out.append(buf.data(), res.ptr);
}

void append_integer(std::string& out, std::uint64_t value) {
  std::array<char, 20> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value);
  out.append(buf.data(), res.ptr);
}

void append_padded(std::string& out, std::uint64_t value, int width) {
  std::array<char, 20> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value);
  const auto digits = static_cast<int>(res.ptr - buf.data());
  if (digits < width) out.append(static_cast<std::size_t>(width - digits), '0');
  out.append(buf.data(), res.ptr);
}

}  // namespace pdf
