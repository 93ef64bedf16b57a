// Page preparation before the engine sees it.
//
// Scanned pages arrive in colour, with soft contrast, and often turned by a
// degree or two on the glass. The engine reads straight, high-contrast grey
// text best, so the page is turned to grey, its contrast is raised through a
// lookup table, and its skew is measured and undone.
//
// Skew is measured by projection profiles: the dark pixels of a reduced copy
// (at most 1200 pixels along the longer side, enough to resolve 0.5°) are
// projected onto rows for each trial angle from -5° to +5° in 0.5° steps, and
// the angle whose row counts are most peaked (largest sum of squares) wins.
// Text lines that are level put all their ink into few rows, which maximises
// that sum. The dark pixels are listed once, so each of the 22 passes touches
// only them. A page that is nearly empty or nearly black, or whose best angle
// barely beats the unturned page (8 percent), is left alone: a wrong turn
// costs more than a small skew.
//
// The full-size page is then turned once, with bilinear interpolation walked
// along each row in 32.32 fixed point (exact to far below a pixel over any
// row) and 11-bit interpolation weights, which keeps every value within one
// grey level of the exact result.
#include "ocr/prepare.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace ocr {
namespace {

constexpr double degrees_to_radians = 0.017453292519943295;
constexpr int trial_steps = 10;                 // k = -10 ... 10
constexpr double trial_step_degrees = 0.5;
constexpr std::uint64_t required_gain_percent = 108;
constexpr std::uint8_t outside_fill = 255;

std::uint64_t saturating_add(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t sum = a + b;
    return sum < a ? std::numeric_limits<std::uint64_t>::max() : sum;
}

std::uint64_t saturating_mul(std::uint64_t a, std::uint64_t b) {
    std::uint64_t product = 0;
    return __builtin_mul_overflow(a, b, &product) ? std::numeric_limits<std::uint64_t>::max() : product;
}

// Nearest integer, halves away from zero, for values well inside int64.
std::int64_t round_half_away(double r) {
    auto i = static_cast<std::int64_t>(r);  // toward zero
    const double rest = r - static_cast<double>(i);
    if (rest >= 0.5) ++i;
    if (rest <= -0.5) --i;
    return i;
}

std::size_t bytes_per_pixel(PixelFormat format) {
    switch (format) {
    case PixelFormat::Gray8: return 1;
    case PixelFormat::Rgb8: return 3;
    case PixelFormat::Rgba8: return 4;
    }
    return 4;
}

std::array<std::uint8_t, 256> contrast_table() {
    std::array<std::uint8_t, 256> table{};
    const float factor = (100.0f + contrast_amount) / 100.0f;
    const float p = factor * factor;
    for (int v = 0; v < 256; ++v) {
        const float raised = ((static_cast<float>(v) / 255.0f - 0.5f) * p + 0.5f) * 255.0f;
        table[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(std::clamp(raised, 0.0f, 255.0f));
    }
    return table;
}

struct Point {
    std::uint16_t x;
    std::uint16_t y;
};

// Rotation geometry shared by scoring and turning.
struct Turn {
    double sin_a, cos_a, cx, cy;
    Turn(double degrees, std::uint32_t width, std::uint32_t height)
        : sin_a(std::sin(degrees * degrees_to_radians)),
          cos_a(std::cos(degrees * degrees_to_radians)),
          cx((static_cast<double>(width) - 1.0) * 0.5),
          cy((static_cast<double>(height) - 1.0) * 0.5) {}
};

// Row of each dark pixel at the turn, rounded half away from zero, counted
// into bins. The sum is evaluated in the order cy + sin·(x − cx) + cos·(y − cy)
// with both products taken from per-column and per-row tables, which gives
// the same doubles as computing it per pixel.
template <typename ForEachDark>
std::uint64_t score_dark_pixels(std::uint32_t width, std::uint32_t height, double degrees, ForEachDark&& for_each) {
    const Turn t(degrees, width, height);
    const auto margin = static_cast<std::int64_t>(std::ceil(std::fabs(t.sin_a) * width));
    const std::int64_t offset = margin + 2;
    std::vector<std::uint32_t> bins(static_cast<std::size_t>(height + 2 * offset), 0);
    const auto bin_count = static_cast<std::int64_t>(bins.size());
    std::vector<double> column_part(width);
    std::vector<double> row_part(height);
    for (std::uint32_t x = 0; x < width; ++x) column_part[x] = t.cy + t.sin_a * (x - t.cx);
    for (std::uint32_t y = 0; y < height; ++y) row_part[y] = t.cos_a * (y - t.cy);
    for_each([&](std::uint32_t x, std::uint32_t y) {
        const double r = column_part[x] + row_part[y];
        const std::int64_t bin = round_half_away(r) + offset;
        if (bin >= 0 && bin < bin_count) {
            auto& count = bins[static_cast<std::size_t>(bin)];
            if (count != std::numeric_limits<std::uint32_t>::max()) ++count;
        }
    });
    std::uint64_t score = 0;
    for (const std::uint32_t count : bins) score = saturating_add(score, std::uint64_t{count} * count);
    return score;
}

std::uint8_t otsu_threshold(const std::array<std::uint64_t, 256>& histogram) {
    std::uint64_t total_count = 0;
    std::uint64_t total_sum = 0;
    for (std::size_t v = 0; v < 256; ++v) {
        total_count += histogram[v];
        total_sum += histogram[v] * v;
    }
    std::uint64_t count_b = 0;
    std::uint64_t sum_b = 0;
    double best = 0.0;
    std::uint8_t threshold = 127;
    for (std::size_t t = 0; t < 256; ++t) {
        count_b += histogram[t];
        sum_b += histogram[t] * t;
        const std::uint64_t count_f = total_count - count_b;
        if (count_b == 0 || count_f == 0) continue;
        const double wb = static_cast<double>(count_b);
        const double wf = static_cast<double>(count_f);
        const double mb = static_cast<double>(sum_b) / wb;
        const double mf = static_cast<double>(total_sum - sum_b) / wf;
        const double variance = wb * wf * (mb - mf) * (mb - mf);
        if (variance > best) {
            best = variance;
            threshold = static_cast<std::uint8_t>(t);
        }
    }
    return threshold;
}

// Integer weights of a triangle filter along one axis, summing to 2^bits.
struct AxisWeights {
    std::vector<std::uint32_t> first;  // first source index per output
    std::vector<std::uint32_t> count;  // taps per output
    std::vector<std::int32_t> weights; // `stride` slots per output
    std::size_t stride = 0;
};

constexpr int weight_bits = 14;
constexpr int vertical_weight_bits = 8;

AxisWeights triangle_weights(std::uint32_t source, std::uint32_t target, int bits) {
    AxisWeights axis;
    const double ratio = static_cast<double>(source) / target;
    const double support = std::max(ratio, 1.0);
    axis.stride = static_cast<std::size_t>(std::ceil(support)) * 2 + 2;
    axis.first.resize(target);
    axis.count.resize(target);
    axis.weights.assign(axis.stride * target, 0);
    std::vector<double> raw(axis.stride);
    for (std::uint32_t i = 0; i < target; ++i) {
        const double centre = (i + 0.5) * ratio;
        const auto lo = static_cast<std::int64_t>(std::max(0.0, std::floor(centre - support)));
        const auto hi = static_cast<std::int64_t>(std::min<double>(source, std::ceil(centre + support)));
        double sum = 0.0;
        std::size_t n = 0;
        for (std::int64_t j = lo; j < hi && n < axis.stride; ++j, ++n) {
            raw[n] = std::max(0.0, 1.0 - std::fabs((j + 0.5 - centre) / support));
            sum += raw[n];
        }
        axis.first[i] = static_cast<std::uint32_t>(lo);
        axis.count[i] = static_cast<std::uint32_t>(n);
        std::int32_t* w = &axis.weights[axis.stride * i];
        if (sum <= 0.0) {  // cannot happen for sane sizes; keep the nearest pixel
            w[0] = 1 << bits;
            axis.count[i] = 1;
            axis.first[i] = std::min<std::uint32_t>(static_cast<std::uint32_t>(centre), source - 1);
            continue;
        }
        std::int32_t total = 0;
        std::size_t largest = 0;
        for (std::size_t k = 0; k < n; ++k) {
            w[k] = static_cast<std::int32_t>(std::lround(raw[k] / sum * (1 << bits)));
            total += w[k];
            if (w[k] > w[largest]) largest = k;
        }
        w[largest] += (1 << bits) - total;  // weights sum to exactly one
    }
    return axis;
}


// Source positions of the rotation in 32.32 fixed point.
constexpr int fraction_bits = 32;
constexpr double fixed_one = 4294967296.0;  // 2^32
constexpr int interpolation_bits = 11;

// Bilinear value from the four neighbours and the fractions of the position,
// rounded half up (all terms are non-negative).
inline std::uint8_t interpolate(std::uint32_t p00, std::uint32_t p10, std::uint32_t p01, std::uint32_t p11,
                                std::int64_t sx, std::int64_t sy) {
    constexpr int shift = fraction_bits - interpolation_bits;
    constexpr std::uint32_t one = 1u << interpolation_bits;
    const auto fx = static_cast<std::uint32_t>((sx >> shift) & (one - 1));
    const auto fy = static_cast<std::uint32_t>((sy >> shift) & (one - 1));
    const std::uint32_t top = (one - fx) * p00 + fx * p10;
    const std::uint32_t bottom = (one - fx) * p01 + fx * p11;
    const std::uint32_t value = ((one - fy) * top + fy * bottom + (1u << (2 * interpolation_bits - 1))) >>
                                (2 * interpolation_bits);
    return static_cast<std::uint8_t>(std::min(value, 255u));
}

struct Span {
    std::uint32_t lo, hi;
};

// The columns x in [0, n) with 0 <= start + x × step < limit; they form one
// run because the position is linear in x.
Span columns_within(std::int64_t start, std::int64_t step, std::int64_t limit, std::uint32_t n) {
    const auto clamp_n = [n](std::int64_t v) { return static_cast<std::uint32_t>(std::clamp<std::int64_t>(v, 0, n)); };
    if (step == 0) return (start >= 0 && start < limit) ? Span{0, n} : Span{0, 0};
    std::int64_t lo = 0, hi = 0;
    if (step > 0) {
        lo = start >= 0 ? 0 : (-start + step - 1) / step;
        hi = start >= limit ? 0 : (limit - start + step - 1) / step;
    } else {
        const std::int64_t down = -step;
        lo = start < limit ? 0 : (start - limit) / down + 1;
        hi = start < 0 ? 0 : start / down + 1;
    }
    const std::uint32_t a = clamp_n(lo), b = clamp_n(hi);
    return {a, std::max(a, b)};
}

}  // namespace

bool image_size_acceptable(std::uint32_t width, std::uint32_t height) {
    return width <= max_image_side && height <= max_image_side &&
           std::uint64_t{width} * height <= max_image_pixels;
}

bool image_buffer_complete(const ImageView& image) {
    if (image.width == 0 || image.height == 0) return true;
    const std::size_t row = std::size_t{image.width} * bytes_per_pixel(image.format);
    const std::size_t line = image.bytes_per_line == 0 ? row : image.bytes_per_line;
    if (line < row) return false;
    return image.pixels.size() >= line * (image.height - 1) + row;
}

GrayImage gray_with_contrast(const ImageView& image) {
    static const std::array<std::uint8_t, 256> contrast = contrast_table();
    GrayImage out{image.width, image.height, std::vector<std::uint8_t>(std::size_t{image.width} * image.height)};
    if (out.pixels.empty()) return out;
    const std::size_t bpp = bytes_per_pixel(image.format);
    const std::size_t line = image.bytes_per_line == 0 ? std::size_t{image.width} * bpp : image.bytes_per_line;
    for (std::uint32_t y = 0; y < image.height; ++y) {
        const std::uint8_t* src = image.pixels.data() + line * y;
        std::uint8_t* dst = out.pixels.data() + std::size_t{image.width} * y;
        if (image.format == PixelFormat::Gray8) {
            for (std::uint32_t x = 0; x < image.width; ++x) dst[x] = contrast[src[x]];
            continue;
        }
        // Rec. 601 luma in 8-bit fixed point; alpha is ignored.
        for (std::uint32_t x = 0; x < image.width; ++x, src += bpp) {
            const unsigned luma = (77u * src[0] + 150u * src[1] + 29u * src[2] + 128u) >> 8;
            dst[x] = contrast[luma];
        }
    }
    return out;
}

GrayImage resize_triangle(const GrayImage& image, std::uint32_t width, std::uint32_t height) {
    GrayImage out{width, height, std::vector<std::uint8_t>(std::size_t{width} * height)};
    if (out.pixels.empty() || image.pixels.empty()) return out;
    const AxisWeights rows = triangle_weights(image.height, height, vertical_weight_bits);
    const AxisWeights cols = triangle_weights(image.width, width, weight_bits);

    // Vertical pass first: it runs along whole rows, and with 8-bit weights
    // (summing to 256) a 16-bit accumulator holds 255 × 256 exactly, so the
    // compiler can work on eight or more pixels per instruction.
    std::vector<std::uint16_t> middle(std::size_t{image.width} * height);
    for (std::uint32_t i = 0; i < height; ++i) {
        std::uint16_t* __restrict acc = &middle[std::size_t{i} * image.width];
        std::fill_n(acc, image.width, std::uint16_t{0});
        const std::int32_t* w = &rows.weights[rows.stride * i];
        for (std::uint32_t k = 0; k < rows.count[i]; ++k) {
            const std::uint8_t* __restrict src = &image.pixels[std::size_t{rows.first[i] + k} * image.width];
            const auto weight = static_cast<std::uint16_t>(w[k]);
            for (std::uint32_t x = 0; x < image.width; ++x) {
                acc[x] = static_cast<std::uint16_t>(acc[x] + weight * src[x]);
            }
        }
    }
    // Horizontal pass on the 256-scaled intermediate: at most 65280 × 2^14 fits 31 bits.
    constexpr int shift = weight_bits + vertical_weight_bits;
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint16_t* src = &middle[std::size_t{y} * image.width];
        std::uint8_t* dst = &out.pixels[std::size_t{y} * width];
        for (std::uint32_t j = 0; j < width; ++j) {
            const std::int32_t* w = &cols.weights[cols.stride * j];
            const std::uint16_t* s = src + cols.first[j];
            std::int32_t sum = 0;
            for (std::uint32_t k = 0; k < cols.count[j]; ++k) sum += w[k] * s[k];
            dst[j] = static_cast<std::uint8_t>(std::clamp((sum + (1 << (shift - 1))) >> shift, 0, 255));
        }
    }
    return out;
}

std::uint64_t projection_score(const GrayImage& image, std::uint8_t threshold, double degrees) {
    return score_dark_pixels(image.width, image.height, degrees, [&](auto&& add) {
        for (std::uint32_t y = 0; y < image.height; ++y) {
            const std::uint8_t* row = &image.pixels[std::size_t{y} * image.width];
            for (std::uint32_t x = 0; x < image.width; ++x) {
                if (row[x] <= threshold) add(x, y);
            }
        }
    });
}

std::optional<double> estimate_skew(const GrayImage& full) {
    if (full.width < min_skew_side || full.height < min_skew_side) return std::nullopt;
    const std::uint32_t longer = std::max(full.width, full.height);
    GrayImage reduced;
    const GrayImage* image = &full;
    if (longer > skew_working_side) {
        const auto w = static_cast<std::uint32_t>(std::uint64_t{full.width} * skew_working_side / longer);
        const auto h = static_cast<std::uint32_t>(std::uint64_t{full.height} * skew_working_side / longer);
        if (w == 0 || h == 0) return std::nullopt;
        reduced = resize_triangle(full, w, h);
        image = &reduced;
    }

    std::array<std::uint64_t, 256> histogram{};
    for (const std::uint8_t v : image->pixels) ++histogram[v];
    const std::uint8_t threshold = otsu_threshold(histogram);

    const std::uint64_t n = image->pixels.size();
    std::uint64_t dark = 0;
    for (std::size_t v = 0; v <= threshold; ++v) dark += histogram[v];
    if (dark < n / 1000 || dark > 2 * n / 5) return std::nullopt;

    // At most 1200 × 1200 here, so coordinates fit 16 bits.
    std::vector<Point> points;
    points.reserve(static_cast<std::size_t>(dark));
    for (std::uint32_t y = 0; y < image->height; ++y) {
        const std::uint8_t* row = &image->pixels[std::size_t{y} * image->width];
        for (std::uint32_t x = 0; x < image->width; ++x) {
            if (row[x] <= threshold) points.push_back({static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y)});
        }
    }
    const auto score = [&](double degrees) {
        return score_dark_pixels(image->width, image->height, degrees, [&](auto&& add) {
            for (const Point p : points) add(p.x, p.y);
        });
    };

    const std::uint64_t base = score(0.0);
    double best_angle = 0.0;
    std::uint64_t best_score = base;
    for (int k = -trial_steps; k <= trial_steps; ++k) {
        const double angle = k * trial_step_degrees;
        const std::uint64_t s = score(angle);
        if (s > best_score) {
            best_score = s;
            best_angle = angle;
        }
    }
    if (std::fabs(best_angle) < min_corrected_angle) return std::nullopt;
    if (best_score <= saturating_mul(base, required_gain_percent) / 100) return std::nullopt;
    return best_angle;
}

GrayImage rotate_gray(const GrayImage& image, double degrees) {
    const std::uint32_t w = image.width;
    const std::uint32_t h = image.height;
    GrayImage out{w, h, std::vector<std::uint8_t>(std::size_t{w} * h, outside_fill)};
    if (out.pixels.empty()) return out;
    const Turn t(degrees, w, h);

    const std::int64_t limit_x = std::int64_t{w} << fraction_bits;
    const std::int64_t limit_y = std::int64_t{h} << fraction_bits;
    // Where x0 + 1 and y0 + 1 are inside too, no clamping is needed.
    const std::int64_t inner_x = std::int64_t{w - 1} << fraction_bits;
    const std::int64_t inner_y = std::int64_t{h - 1} << fraction_bits;
    const auto step_x = static_cast<std::int64_t>(std::llround(t.cos_a * fixed_one));
    const auto step_y = static_cast<std::int64_t>(std::llround(-t.sin_a * fixed_one));
    const std::uint8_t* src = image.pixels.data();
    const std::size_t stride = w;

    // Any source position, with the checks and clamps of the page's edges.
    const auto edge_pixel = [&](std::int64_t sx, std::int64_t sy) -> std::uint8_t {
        if (sx < 0 || sy < 0 || sx >= limit_x || sy >= limit_y) return outside_fill;
        const auto x0 = static_cast<std::uint32_t>(sx >> fraction_bits);
        const auto y0 = static_cast<std::uint32_t>(sy >> fraction_bits);
        const std::uint32_t x1 = std::min(x0 + 1, w - 1);
        const std::uint32_t y1 = std::min(y0 + 1, h - 1);
        return interpolate(src[stride * y0 + x0], src[stride * y0 + x1], src[stride * y1 + x0],
                           src[stride * y1 + x1], sx, sy);
    };

    for (std::uint32_t y = 0; y < h; ++y) {
        const double dy = y - t.cy;
        // Source position of column 0; later columns step along the row.
        const double sx0 = t.cx + (0.0 - t.cx) * t.cos_a + dy * t.sin_a;
        const double sy0 = t.cy + dy * t.cos_a - (0.0 - t.cx) * t.sin_a;
        const auto start_x = static_cast<std::int64_t>(std::llround(sx0 * fixed_one));
        const auto start_y = static_cast<std::int64_t>(std::llround(sy0 * fixed_one));
        const Span along_x = columns_within(start_x, step_x, inner_x, w);
        const Span along_y = columns_within(start_y, step_y, inner_y, w);
        const std::uint32_t lo = std::max(along_x.lo, along_y.lo);
        const std::uint32_t hi = std::max(lo, std::min(along_x.hi, along_y.hi));
        std::uint8_t* dst = &out.pixels[std::size_t{y} * w];

        for (std::uint32_t x = 0; x < lo; ++x) dst[x] = edge_pixel(start_x + step_x * x, start_y + step_y * x);
        std::int64_t sx = start_x + step_x * lo;
        std::int64_t sy = start_y + step_y * lo;
        for (std::uint32_t x = lo; x < hi; ++x, sx += step_x, sy += step_y) {
            const std::uint8_t* p = src + stride * static_cast<std::size_t>(sy >> fraction_bits) +
                                    static_cast<std::size_t>(sx >> fraction_bits);
            const std::uint8_t p00 = p[0], p10 = p[1], p01 = p[stride], p11 = p[stride + 1];
            // Most of a page is plain paper: four equal neighbours give exactly that value.
            dst[x] = (p00 == p10 && p00 == p01 && p00 == p11) ? p00 : interpolate(p00, p10, p01, p11, sx, sy);
        }
        for (std::uint32_t x = hi; x < w; ++x) dst[x] = edge_pixel(start_x + step_x * x, start_y + step_y * x);
    }
    return out;
}

}  // namespace ocr
