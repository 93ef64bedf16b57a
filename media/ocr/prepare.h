// Image preparation before recognition: grey, contrast, deskew.
#pragma once

#include "ocr/types.h"

#include <cstdint>
#include <optional>

namespace ocr {

inline constexpr std::uint32_t max_image_side = 10000;            // pixels
inline constexpr std::uint64_t max_image_pixels = 60'000'000;     // width × height
inline constexpr float contrast_amount = 22.0f;                   // percent
inline constexpr std::uint32_t min_skew_side = 32;                // pixels
inline constexpr std::uint32_t skew_working_side = 1200;          // pixels, longer side
inline constexpr double min_corrected_angle = 0.4;                // degrees

// Whether the image is within the size the recogniser accepts.
bool image_size_acceptable(std::uint32_t width, std::uint32_t height);

// Whether the view's pixel buffer really holds width × height pixels.
bool image_buffer_complete(const ImageView& image);

// 8-bit grey with the contrast raised by `contrast_amount`. The view must be
// within the size limits and complete.
GrayImage gray_with_contrast(const ImageView& image);

// The page's skew in degrees, found by projection profiles on a copy of at
// most `skew_working_side` pixels along its longer side; none when the page
// is too small, nearly blank or nearly black, or the evidence is weak.
std::optional<double> estimate_skew(const GrayImage& image);

// How sharply the dark pixels (value <= threshold) line up in rows once the
// page is turned by `degrees`: the sum of squared row counts.
std::uint64_t projection_score(const GrayImage& image, std::uint8_t threshold, double degrees);

// The page turned by `degrees` about its centre (the inverse of the turn used
// for scoring), same size, bilinear, white outside the source.
GrayImage rotate_gray(const GrayImage& image, double degrees);

// Resized with a triangle (linear) filter whose support widens when shrinking.
GrayImage resize_triangle(const GrayImage& image, std::uint32_t width, std::uint32_t height);

}  // namespace ocr
