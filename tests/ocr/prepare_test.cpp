// Image preparation: size limits, grey and contrast, skew estimation,
// projection scores and the rotation.
#include "ocr/ocr.h"
#include "ocr/prepare.h"
#include "page_fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using ocr::GrayImage;
using ocr::ImageView;
using ocr::PixelFormat;
using ocr_test::text_page;

GrayImage uniform(std::uint32_t w, std::uint32_t h, std::uint8_t value) {
    return {w, h, std::vector<std::uint8_t>(std::size_t{w} * h, value)};
}

TEST(PrepareImage, SizeLimitsAreCheckedBeforeAnyPixel) {
    // The views below have no pixels at all: a refusal proves nothing was read.
    const struct {
        std::uint32_t w, h;
    } refused[] = {{10000, 6001}, {10001, 10}, {10, 10001}, {7746, 7746}, {4294967295u, 4294967295u}};
    for (const auto& c : refused) {
        const auto result = ocr::prepare_image(ImageView{c.w, c.h, PixelFormat::Rgba8, {}, 0});
        ASSERT_FALSE(result.has_value()) << c.w << "x" << c.h;
        EXPECT_EQ(result.error().kind, ocr::OcrError::Kind::ImageTooLarge) << c.w << "x" << c.h;
    }
    EXPECT_TRUE(ocr::image_size_acceptable(10000, 6000));
    EXPECT_TRUE(ocr::image_size_acceptable(6000, 10000));
    EXPECT_TRUE(ocr::image_size_acceptable(7745, 7746));
    EXPECT_FALSE(ocr::image_size_acceptable(7746, 7746));
}

TEST(PrepareImage, LargestAcceptedPageIsPrepared) {
    const GrayImage white = uniform(10000, 6000, 255);
    const auto result = ocr::prepare_image(ocr_test::view(white));
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->width, 10000u);
    EXPECT_EQ(result->height, 6000u);
    EXPECT_EQ(result->pixels.size(), 60'000'000u);
}

TEST(PrepareImage, ShortPixelBufferIsRefusedNotRead) {
    std::vector<std::uint8_t> pixels(4 * 10 * 10 - 1);
    const auto result = ocr::prepare_image(ImageView{10, 10, PixelFormat::Rgba8, pixels, 0});
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error().kind, ocr::OcrError::Kind::ImageEncoding);
    std::vector<std::uint8_t> padded(48 * 9 + 40);  // 10 RGBA pixels per 48-byte line
    EXPECT_TRUE(ocr::prepare_image(ImageView{10, 10, PixelFormat::Rgba8, padded, 48}).has_value());
    EXPECT_FALSE(ocr::prepare_image(ImageView{10, 10, PixelFormat::Rgba8, padded, 39}).has_value());
}

TEST(PrepareImage, GreyAndContrast) {
    // One pixel per row: black, white, mid grey, dark grey, light grey, pure red, and
    // a transparent white (alpha is ignored).
    const std::vector<std::uint8_t> rgba = {0, 0, 0, 255,       255, 255, 255, 255, 128, 128, 128, 255,
                                            100, 100, 100, 255, 200, 200, 200, 255, 255, 0, 0, 255,
                                            255, 255, 255, 0};
    const auto result = ocr::prepare_image(ImageView{1, 7, PixelFormat::Rgba8, rgba, 0});
    ASSERT_TRUE(result.has_value());
    // ((v / 255 - 0.5) * 1.22² + 0.5) * 255, limited and cut: 128 -> 128.24,
    // 100 -> 86.57, 200 -> 235.41; red has luma 77 -> 52.34
    const std::vector<std::uint8_t> expected = {0, 255, 128, 86, 235, 52, 255};
    EXPECT_EQ(result->pixels, expected);

    const std::vector<std::uint8_t> rgb = {100, 100, 100, 0, 255, 0};
    const auto from_rgb = ocr::prepare_image(ImageView{2, 1, PixelFormat::Rgb8, rgb, 0});
    ASSERT_TRUE(from_rgb.has_value());
    EXPECT_EQ(from_rgb->pixels, (std::vector<std::uint8_t>{86, 159}));  // green: luma 149 -> 159.5
}

TEST(EstimateSkew, DoubtfulPagesAreNeverTurned) {
    std::mt19937 random(7);
    GrayImage noise = uniform(800, 1000, 255);
    for (auto& p : noise.pixels) p = (random() % 10 == 0) ? 0 : 255;
    GrayImage half_dark = uniform(800, 1000, 255);
    for (std::uint32_t y = 0; y < 1000; ++y) {
        if ((y / 10) % 2 == 0) std::fill_n(&half_dark.pixels[y * 800], 800, 0);
    }
    GrayImage speck = uniform(1000, 1000, 255);  // 999 of 1,000,000 dark: below 1/1000
    for (std::uint32_t i = 0; i < 999; ++i) speck.pixels[500 * 1000 + i] = 0;

    const struct {
        const char* name;
        GrayImage image;
    } cases[] = {
        {"white", uniform(1000, 1400, 255)},
        {"black", uniform(1000, 1400, 0)},
        {"too narrow for a measure", text_page(31, 1000, 3.0)},
        {"too low for a measure", text_page(1000, 31, 3.0)},
        {"turned by only 0.2 degrees", text_page(1000, 1400, 0.2)},
        {"no lines, only noise", noise},
        {"half the page dark", half_dark},
        {"too few dark pixels", speck},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ocr::estimate_skew(c.image), std::nullopt) << c.name;
        const auto prepared = ocr::prepare_image(ocr_test::view(c.image));
        ASSERT_TRUE(prepared.has_value());
        EXPECT_EQ(prepared->pixels, ocr::gray_with_contrast(ocr_test::view(c.image)).pixels) << c.name;
    }
}

TEST(EstimateSkew, TurnedTextPagesAreStraightenedBack) {
    // Pages above 1200 pixels are measured on a reduced copy.
    const struct {
        std::uint32_t w, h;
        double degrees;
    } cases[] = {{1000, 1400, 2.0}, {1000, 1400, -2.0}, {1000, 1400, 3.5}, {1240, 1754, 2.0}, {1754, 1240, -1.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " turned " << c.degrees);
        const GrayImage page = text_page(c.w, c.h, c.degrees);
        const auto angle = ocr::estimate_skew(page);
        ASSERT_TRUE(angle.has_value());
        EXPECT_NEAR(std::fabs(*angle), std::fabs(c.degrees), 0.25);
        // Opposite turns are measured with opposite signs.
        EXPECT_EQ(*angle > 0, ocr::estimate_skew(text_page(c.w, c.h, -c.degrees)).value_or(0) < 0);

        const auto prepared = ocr::prepare_image(ocr_test::view(page));
        ASSERT_TRUE(prepared.has_value());
        EXPECT_EQ(ocr::estimate_skew(*prepared), std::nullopt);
        const GrayImage level = ocr::gray_with_contrast(ocr_test::view(text_page(c.w, c.h, 0.0)));
        EXPECT_GT(ocr::projection_score(*prepared, 128, 0.0), ocr::projection_score(page, 128, 0.0) * 3 / 2);
        EXPECT_GT(ocr::projection_score(*prepared, 128, 0.0), ocr::projection_score(level, 128, 0.0) * 3 / 4);
    }
}

TEST(ProjectionScore, SumsSquaredRowCounts) {
    GrayImage line = uniform(5, 5, 255);
    std::fill_n(&line.pixels[2 * 5], 5, 0);
    EXPECT_EQ(ocr::projection_score(line, 127, 0.0), 25u);
    // At 45° the five pixels land in rows 1, 1, 2, 3, 3: 4 + 1 + 4.
    EXPECT_EQ(ocr::projection_score(line, 127, 45.0), 9u);
    EXPECT_EQ(ocr::projection_score(line, 127, -45.0), 9u);
    // The threshold is inclusive.
    GrayImage grey = uniform(4, 4, 100);
    EXPECT_EQ(ocr::projection_score(grey, 100, 0.0), 4u * 16);
    EXPECT_EQ(ocr::projection_score(grey, 99, 0.0), 0u);
    // A pixel at r = 0.5 rounds away from zero, into row 1: rows 1 and 2 get one each.
    GrayImage pair = uniform(2, 3, 255);
    pair.pixels[1 * 2 + 0] = pair.pixels[1 * 2 + 1] = 0;
    EXPECT_EQ(ocr::projection_score(pair, 0, 90.0), 2u);
}

// The rotation as its formula reads, in double precision.
GrayImage reference_rotation(const GrayImage& src, double degrees) {
    const double a = degrees * 0.017453292519943295, s = std::sin(a), c = std::cos(a);
    const double cx = (src.width - 1) * 0.5, cy = (src.height - 1) * 0.5;
    GrayImage out = uniform(src.width, src.height, 255);
    for (std::uint32_t y = 0; y < src.height; ++y) {
        for (std::uint32_t x = 0; x < src.width; ++x) {
            const double dx = x - cx, dy = y - cy;
            const double sx = cx + dx * c + dy * s, sy = cy + dy * c - dx * s;
            if (sx < 0 || sy < 0 || sx >= src.width || sy >= src.height) continue;
            const std::uint32_t x0 = std::min<std::uint32_t>(static_cast<std::uint32_t>(sx), src.width - 1);
            const std::uint32_t y0 = std::min<std::uint32_t>(static_cast<std::uint32_t>(sy), src.height - 1);
            const std::uint32_t x1 = std::min(x0 + 1, src.width - 1), y1 = std::min(y0 + 1, src.height - 1);
            const double fx = sx - x0, fy = sy - y0;
            const double top = (1 - fx) * src.at(x0, y0) + fx * src.at(x1, y0);
            const double bottom = (1 - fx) * src.at(x0, y1) + fx * src.at(x1, y1);
            out.pixels[y * src.width + x] = static_cast<std::uint8_t>(std::clamp(std::round((1 - fy) * top + fy * bottom), 0.0, 255.0));
        }
    }
    return out;
}

TEST(Rotation, MatchesTheBilinearFormulaWithinOneGreyLevel) {
    std::mt19937 random(11);
    GrayImage src = uniform(97, 61, 0);
    for (auto& p : src.pixels) p = static_cast<std::uint8_t>(random());
    for (const double degrees : {0.0, 0.5, 2.0, -2.0, -3.5, 5.0, 30.0}) {
        const GrayImage ours = ocr::rotate_gray(src, degrees);
        const GrayImage exact = reference_rotation(src, degrees);
        int worst = 0;
        for (std::size_t i = 0; i < ours.pixels.size(); ++i) worst = std::max(worst, std::abs(ours.pixels[i] - exact.pixels[i]));
        EXPECT_LE(worst, 1) << degrees << " degrees";
    }
    EXPECT_EQ(ocr::rotate_gray(src, 0.0).pixels, src.pixels);
}

TEST(Rotation, OutsideThePageIsWhite) {
    const GrayImage black = uniform(200, 100, 0);
    const GrayImage turned = ocr::rotate_gray(black, 5.0);
    EXPECT_EQ(turned.at(0, 0), 255);
    EXPECT_EQ(turned.at(199, 99), 255);
    EXPECT_EQ(turned.at(100, 50), 0);
}

TEST(Rotation, TurnsTheWayTheScoreMeasures) {
    // A dark pixel whose score row at angle a is r lands in row r once turned by a.
    GrayImage dots = uniform(301, 201, 255);
    dots.pixels[50 * 301 + 250] = 0;
    const double a = 4.0, s = std::sin(a * 0.017453292519943295), c = std::cos(a * 0.017453292519943295);
    const double r = 100 + s * (250 - 150) + c * (50 - 100);
    const GrayImage turned = ocr::rotate_gray(dots, a);
    std::uint32_t darkest_row = 0;
    std::uint8_t darkest = 255;
    for (std::uint32_t y = 0; y < turned.height; ++y) {
        for (std::uint32_t x = 0; x < turned.width; ++x) {
            if (turned.at(x, y) < darkest) {
                darkest = turned.at(x, y);
                darkest_row = y;
            }
        }
    }
    EXPECT_NEAR(darkest_row, r, 1.0);
}

TEST(Resize, TriangleFilterAveragesAndKeepsFlatAreas) {
    EXPECT_EQ(ocr::resize_triangle(uniform(300, 200, 77), 100, 67).pixels, uniform(100, 67, 77).pixels);
    // Alternating columns average to mid grey when shrunk by two.
    GrayImage stripes = uniform(200, 10, 0);
    for (std::uint32_t y = 0; y < 10; ++y)
        for (std::uint32_t x = 1; x < 200; x += 2) stripes.pixels[y * 200 + x] = 255;
    const GrayImage half = ocr::resize_triangle(stripes, 100, 10);
    for (std::uint32_t x = 2; x < 98; ++x) EXPECT_NEAR(half.at(x, 5), 127.5, 1.0) << x;
}

}  // namespace
