// PNG file layout: signature, IHDR, one IDAT with the zlib stream of all
// rows (each led by its filter byte, 0 = none), IEND; every chunk carries a
// CRC-32 of its type and data.
#include "os_actions/png_writer.h"

#include <zlib.h>

#include <array>
#include <limits>
#include <vector>

namespace os_actions::printing::png {
namespace {

// Level 1: several times faster than the default on full pages, and scans
// of paper compress nearly as well.
constexpr int kLevel = 1;

void put32(ImageBytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 24));
  out.push_back(static_cast<std::uint8_t>(v >> 16));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

// Writes the chunk header and reserves nothing: data is appended by the
// caller, then end_chunk fills in length and CRC.
std::size_t begin_chunk(ImageBytes& out, const char (&type)[5]) {
  const std::size_t at = out.size();
  put32(out, 0);
  out.insert(out.end(), type, type + 4);
  return at;
}

bool end_chunk(ImageBytes& out, std::size_t at) {
  const std::size_t length = out.size() - at - 8;
  if (length > 0x7fffffffu) return false;
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(length >> (24 - 8 * i));
  uLong crc = crc32(0, nullptr, 0);
  const std::uint8_t* p = out.data() + at + 4;
  std::size_t left = length + 4;
  while (left > 0) {
    const auto n = static_cast<uInt>(std::min<std::size_t>(left, std::numeric_limits<uInt>::max()));
    crc = crc32(crc, p, n);
    p += n;
    left -= n;
  }
  put32(out, static_cast<std::uint32_t>(crc));
  return true;
}

}  // namespace

std::size_t row_bytes(const Header& h) {
  const std::size_t channels = h.colour == Colour::Rgb ? 3 : 1;
  return (static_cast<std::size_t>(h.width) * channels * h.depth + 7) / 8;
}

Result<ImageBytes> encode(const Header& h, const std::function<void(std::uint32_t, std::uint8_t*)>& row) {
  const bool valid_depth = h.colour == Colour::Gray ? (h.depth == 1 || h.depth == 8 || h.depth == 16) : h.depth == 8;
  if (!valid_depth) return std::unexpected("PNG: unsupported sample depth");
  if (h.width == 0 || h.height == 0 || h.width > 0x7fffffffu || h.height > 0x7fffffffu)
    return std::unexpected("PNG: bad image size");

  ImageBytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  std::size_t at = begin_chunk(out, "IHDR");
  put32(out, h.width);
  put32(out, h.height);
  out.push_back(h.depth);
  out.push_back(static_cast<std::uint8_t>(h.colour));
  out.push_back(0);  // deflate
  out.push_back(0);  // adaptive filtering (each row says which filter)
  out.push_back(0);  // not interlaced
  end_chunk(out, at);

  z_stream z{};
  if (deflateInit(&z, kLevel) != Z_OK) return std::unexpected("PNG: cannot start compression");
  at = begin_chunk(out, "IDAT");
  std::vector<std::uint8_t> line(row_bytes(h) + 1);
  std::array<std::uint8_t, 1 << 16> buf{};
  bool ok = true;
  const auto pump = [&](int flush) {
    int rc = Z_OK;
    do {
      z.next_out = buf.data();
      z.avail_out = static_cast<uInt>(buf.size());
      rc = deflate(&z, flush);
      if (rc == Z_STREAM_ERROR) return false;
      out.insert(out.end(), buf.data(), buf.data() + (buf.size() - z.avail_out));
    } while (z.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
    return true;
  };
  for (std::uint32_t y = 0; y < h.height && ok; ++y) {
    line[0] = 0;  // filter: none
    row(y, line.data() + 1);
    z.next_in = line.data();
    z.avail_in = static_cast<uInt>(line.size());
    ok = pump(Z_NO_FLUSH);
  }
  ok = ok && pump(Z_FINISH);
  deflateEnd(&z);
  if (!ok || !end_chunk(out, at)) return std::unexpected("PNG: compression failed");
  at = begin_chunk(out, "IEND");
  end_chunk(out, at);
  return out;
}

}  // namespace os_actions::printing::png
