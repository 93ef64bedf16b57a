// The image compressor the writer uses: the zlib format (RFC 1950).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace pdf {

// A whole-buffer compressor. Both functions are called from several threads
// at once and must not share mutable state.
struct Compressor {
  // Upper bound of the output size for an input of `input_size` bytes.
  std::function<std::size_t(std::size_t input_size)> bound;
  // Compresses `in` into `out`, which holds at least bound(in.size())
  // bytes. Returns the number of bytes written, or 0 on failure.
  std::function<std::size_t(std::span<const std::uint8_t> in, std::span<std::uint8_t> out)> compress;
};

// libdeflate's zlib-format compressor at level 6.
Compressor zlib_level6();

}  // namespace pdf
