// Synthetic A4 300 dpi scans for the benchmark: what a scanner hands the
// writer, from an easy clean page to noise that barely compresses.
#pragma once

#include <cstdint>
#include <string_view>

#include "pdf/writer.h"

namespace pdf_bench {

enum class PageKind { CleanText, TurnedText, NoisyScan, Photo };

constexpr std::uint32_t kA4Width = 2480;   // 210 mm at 300 dpi
constexpr std::uint32_t kA4Height = 3508;  // 297 mm at 300 dpi

std::string_view kind_name(PageKind kind);

// One page of the given kind; `seed` varies the words and the noise so that
// no two pages are alike.
pdf::PdfPage render_page(PageKind kind, unsigned seed);

}  // namespace pdf_bench
