// Synthetic pages for the preparation tests: rows of word-like dark blocks,
// drawn turned by a chosen angle, without fonts or a display.
#pragma once

#include "ocr/types.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace ocr_test {

// A light-grey page with text-like lines (dark blocks separated by gaps),
// turned by `degrees` about its centre: a pixel's colour is that of the level
// page at the pixel's position turned back.
inline ocr::GrayImage text_page(std::uint32_t width, std::uint32_t height, double degrees,
                                std::uint8_t paper = 235, std::uint8_t ink = 30) {
    ocr::GrayImage page{width, height, std::vector<std::uint8_t>(std::size_t{width} * height, paper)};
    const double a = degrees * 3.14159265358979323846 / 180.0;
    const double s = std::sin(a), c = std::cos(a);
    const double cx = (width - 1) * 0.5, cy = (height - 1) * 0.5;
    const double line_pitch = height / 40.0, glyph_height = line_pitch * 0.45;
    const double margin = width * 0.1;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const double dx = x - cx, dy = y - cy;
            const double u = cx + dx * c + dy * s;  // level-page position
            const double v = cy - dx * s + dy * c;
            if (u < margin || u > width - margin || v < height * 0.08 || v > height * 0.92) continue;
            const double in_line = std::fmod(v, line_pitch);
            if (in_line > glyph_height) continue;
            // Words of varying length with gaps; strokes inside each word.
            const auto line = static_cast<int>(v / line_pitch);
            const double word_pos = std::fmod(u + line * 37.0, width / 9.0);
            if (word_pos > width / 12.0) continue;
            if (std::fmod(u, 7.0) < 3.0) page.pixels[std::size_t{y} * width + x] = ink;
        }
    }
    return page;
}

inline ocr::ImageView view(const ocr::GrayImage& image) {
    return {image.width, image.height, ocr::PixelFormat::Gray8, image.pixels, 0};
}

}  // namespace ocr_test
