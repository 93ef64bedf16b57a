// The searchable PDF writer: each scanned page becomes one A4 page showing
// the scan, fitted within 18-point margins and centred, with the page's
// recognised text over it as an invisible text layer.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "pdf/compressor.h"

namespace pdf {

// One page handed to the writer.
struct PdfPage {
  std::vector<std::uint8_t> rgb;  // 3 bytes per pixel, rows from the top, no padding
  std::uint32_t width = 0;        // pixels per row
  std::uint32_t height = 0;       // rows
  std::string text;               // UTF-8, lines separated by line feeds; may be empty
};

struct WriterOptions {
  Compressor compressor = zlib_level6();
  // Most threads compressing pages at once, the calling thread included;
  // 0 means one per core. The output does not depend on it.
  unsigned max_threads = 0;
};

// Builds a complete PDF 1.7 file in memory and returns its bytes. Pages with
// a zero size or whose rgb length differs from width × height × 3 are left
// out silently (they still use up their position in the image names). Never
// fails except by running out of memory (std::bad_alloc).
std::vector<std::uint8_t> write_searchable_pdf(std::span<const PdfPage> pages);
std::vector<std::uint8_t> write_searchable_pdf(std::span<const PdfPage> pages, const WriterOptions& options);

}  // namespace pdf
