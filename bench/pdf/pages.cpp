// Page rendering for the benchmark, in plain pixels: lines of blocky
// pseudo-glyphs stand in for text (they compress like printed text: flat
// paper with sharp dark strokes), turned, soiled with grey paper and sensor
// noise, or replaced by a smooth colour gradient with noise.
#include "pages.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>

namespace pdf_bench {
namespace {

constexpr int kGlyphCols = 5;  // glyph bitmaps are 5 × 7 cells
constexpr int kGlyphRows = 7;
constexpr int kCell = 5;       // pixels per cell: 25 × 35 px, about 10 pt at 300 dpi
constexpr int kAdvance = kGlyphCols * kCell + 6;
constexpr int kLineHeight = kGlyphRows * kCell + 25;
constexpr int kMargin = 240;   // about 20 mm
constexpr double kNoiseSigma = 3;

using Glyph = std::array<std::uint8_t, kGlyphCols * kGlyphRows>;

const std::array<Glyph, 40>& glyphs() {
  static const auto table = [] {
    std::array<Glyph, 40> t{};
    std::mt19937 rng(1234);
    for (Glyph& g : t) {
      // A vertical stem plus random strokes looks more like letters than
      // uniform random cells.
      for (int r = 0; r < kGlyphRows; ++r) g[r * kGlyphCols + (rng() % 2 ? 0 : 4)] = 1;
      for (int k = 0; k < 7; ++k) g[rng() % g.size()] = 1;
    }
    return t;
  }();
  return table;
}

struct Canvas {
  std::uint32_t width, height;
  std::vector<std::uint8_t> rgb;
  void fill(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
      rgb[i] = r;
      rgb[i + 1] = g;
      rgb[i + 2] = b;
    }
  }
};

// Lines of words from the top margin to the bottom one.
void draw_text(Canvas& c, unsigned seed, std::uint8_t ink) {
  std::mt19937 rng(seed);
  const auto& table = glyphs();
  for (int y = kMargin; y + kLineHeight < static_cast<int>(c.height) - kMargin; y += kLineHeight) {
    int x = kMargin;
    while (true) {
      const int letters = 2 + static_cast<int>(rng() % 9);
      if (x + letters * kAdvance > static_cast<int>(c.width) - kMargin) break;
      for (int l = 0; l < letters; ++l, x += kAdvance) {
        const Glyph& g = table[rng() % table.size()];
        for (int gy = 0; gy < kGlyphRows * kCell; ++gy)
          for (int gx = 0; gx < kGlyphCols * kCell; ++gx)
            if (g[(gy / kCell) * kGlyphCols + gx / kCell]) {
              std::uint8_t* p = &c.rgb[((static_cast<std::size_t>(y) + gy) * c.width + x + gx) * 3];
              p[0] = p[1] = p[2] = ink;
            }
      }
      x += kAdvance;  // the space between words
    }
  }
}

// Turns the page about its centre by `degrees`, bilinear, white outside.
Canvas turned(const Canvas& src, double degrees) {
  Canvas dst{src.width, src.height, std::vector<std::uint8_t>(src.rgb.size(), 255)};
  const double a = degrees * std::numbers::pi / 180;
  const double cs = std::cos(a), sn = std::sin(a);
  const double cx = src.width / 2.0, cy = src.height / 2.0;
  for (std::uint32_t y = 0; y < dst.height; ++y) {
    for (std::uint32_t x = 0; x < dst.width; ++x) {
      const double dx = x - cx, dy = y - cy;
      const double sx = cs * dx + sn * dy + cx, sy = -sn * dx + cs * dy + cy;
      const auto x0 = static_cast<long>(std::floor(sx)), y0 = static_cast<long>(std::floor(sy));
      if (x0 < 0 || y0 < 0 || x0 + 1 >= static_cast<long>(src.width) || y0 + 1 >= static_cast<long>(src.height)) continue;
      const double fx = sx - x0, fy = sy - y0;
      for (int ch = 0; ch < 3; ++ch) {
        const auto at = [&](long xx, long yy) { return src.rgb[(static_cast<std::size_t>(yy) * src.width + xx) * 3 + ch]; };
        const double v = (at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx) * (1 - fy) +
                         (at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx) * fy;
        dst.rgb[(static_cast<std::size_t>(y) * dst.width + x) * 3 + ch] = static_cast<std::uint8_t>(std::lround(v));
      }
    }
  }
  return dst;
}

void add_noise(Canvas& c, unsigned seed) {
  std::mt19937 rng(seed);
  std::normal_distribution<double> noise(0, kNoiseSigma);
  for (std::uint8_t& v : c.rgb) v = static_cast<std::uint8_t>(std::clamp<long>(std::lround(v + noise(rng)), 0, 255));
}

void draw_gradient(Canvas& c, unsigned seed) {
  const double phase = seed * 0.7;
  for (std::uint32_t y = 0; y < c.height; ++y) {
    for (std::uint32_t x = 0; x < c.width; ++x) {
      const double u = static_cast<double>(x) / c.width, v = static_cast<double>(y) / c.height;
      std::uint8_t* p = &c.rgb[(static_cast<std::size_t>(y) * c.width + x) * 3];
      p[0] = static_cast<std::uint8_t>(40 + 180 * u);
      p[1] = static_cast<std::uint8_t>(60 + 150 * v);
      p[2] = static_cast<std::uint8_t>(128 + 100 * std::sin(6 * u + 4 * v + phase));
    }
  }
}

}  // namespace

std::string_view kind_name(PageKind kind) {
  switch (kind) {
    case PageKind::CleanText: return "clean text";
    case PageKind::TurnedText: return "text turned 2 deg";
    case PageKind::NoisyScan: return "noisy scan";
    case PageKind::Photo: return "photo gradient";
  }
  return "?";
}

pdf::PdfPage render_page(PageKind kind, unsigned seed) {
  Canvas c{kA4Width, kA4Height, std::vector<std::uint8_t>(std::size_t{kA4Width} * kA4Height * 3)};
  switch (kind) {
    case PageKind::CleanText:
      c.fill(255, 255, 255);
      draw_text(c, seed, 0);
      break;
    case PageKind::TurnedText:
      c.fill(255, 255, 255);
      draw_text(c, seed, 0);
      c = turned(c, 2);
      break;
    case PageKind::NoisyScan:
      c.fill(232, 229, 221);  // grey recycled paper
      draw_text(c, seed, 45);
      add_noise(c, seed);
      break;
    case PageKind::Photo:
      draw_gradient(c, seed);
      add_noise(c, seed);
      break;
  }
  return pdf::PdfPage{std::move(c.rgb), c.width, c.height, "Benchmark page " + std::to_string(seed)};
}

}  // namespace pdf_bench
