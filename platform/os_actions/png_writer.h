// A small PNG writer for scanned frames: greyscale (1, 8 or 16 bits) and RGB
// (8 bits), no interlacing, each row unfiltered, one zlib stream at a fast
// level. Plain zlib rather than an image library, so encoding is safe on any
// worker thread.
#pragma once

#include <cstdint>
#include <functional>

#include "os_actions/printing.h"

namespace os_actions::printing::png {

enum class Colour : std::uint8_t { Gray = 0, Rgb = 2 };

struct Header {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint8_t depth = 8;  // bits per sample: 1, 8 or 16 (16 for Gray only)
  Colour colour = Colour::Gray;
};

// Bytes in one row of samples as PNG stores them.
std::size_t row_bytes(const Header& header);

// `row(y, out)` fills `out` (row_bytes long) with row y in PNG's own sample
// order: most significant bit first, 16-bit samples big-endian, 1 = white.
Result<ImageBytes> encode(const Header& header,
                          const std::function<void(std::uint32_t y, std::uint8_t* out)>& row);

}  // namespace os_actions::printing::png
