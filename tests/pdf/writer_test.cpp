// The writer's file layout, byte for byte for small cases and structurally
// (through the cross-reference table) for the rest.
#include <gtest/gtest.h>
#include <libdeflate.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "pdf/writer.h"
#include "pdf_reading.h"

namespace pdf {
namespace {

using testing::as_string;
using testing::Layout;
using testing::object;
using testing::read_layout;
using testing::stream;

// Copies its input unchanged, so golden files show the pixels as written.
Compressor copying_compressor() {
  return {[](std::size_t n) { return n; },
          [](std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
            std::copy(in.begin(), in.end(), out.begin());
            return in.size();
          }};
}

PdfPage solid_page(std::uint32_t width, std::uint32_t height, std::string text = {}, std::uint8_t value = 0xFF) {
  return PdfPage{std::vector<std::uint8_t>(std::size_t{width} * height * 3, value), width, height, std::move(text)};
}

// Pixels with structure, so that pages compress to different sizes.
PdfPage patterned_page(std::uint32_t width, std::uint32_t height, unsigned seed) {
  PdfPage p = solid_page(width, height);
  std::uint32_t state = seed * 2654435761u + 1;
  for (std::size_t i = 0; i < p.rgb.size(); ++i) {
    state = state * 1664525u + 1013904223u;
    p.rgb[i] = static_cast<std::uint8_t>((i / 3 % width) * seed + (state >> 29));
  }
  p.text = "page " + std::to_string(seed);
  return p;
}

std::string write(const std::vector<PdfPage>& pages) { return as_string(write_searchable_pdf(pages)); }

std::string content_of_first_page(const std::string& file) {
  const Layout l = read_layout(file);
  return stream(object(file, l, 4)).data;
}

TEST(WriterGolden, EmptyDocumentHasFontPageTreeAndCatalog) {
  const std::string expected =
      "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n"
      "1 0 obj\n<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>\nendobj\n"
      "2 0 obj\n<< /Type /Pages /Count 0 /Kids [] >>\nendobj\n"
      "3 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"
      "xref\n0 4\n"
      "0000000000 65535 f \n"
      "0000000015 00000 n \n"
      "0000000112 00000 n \n"
      "0000000164 00000 n \n"
      "trailer\n<< /Size 4 /Root 3 0 R >>\nstartxref\n213\n%%EOF\n";
  EXPECT_EQ(write({}), expected);
}

TEST(WriterGolden, OnePageWithText) {
  const PdfPage page{{'A', 'B', 'C', 'D', 'E', 'F'}, 2, 1, "Hi (x)"};
  const std::string expected =
      "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n"
      "1 0 obj\n<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>\nendobj\n"
      "2 0 obj\n<< /Type /Pages /Count 1 /Kids [5 0 R] >>\nendobj\n"
      "3 0 obj\n<< /Length 6 /Type /XObject /Subtype /Image /Width 2 /Height 1 /ColorSpace /DeviceRGB "
      "/BitsPerComponent 8 /Filter /FlateDecode >>\nstream\nABCDEF\nendstream\nendobj\n"
      "4 0 obj\n<< /Length 83 >>\nstream\n"
      "q 559 0 0 279.5 18 281.25 cm /Im0 Do Q\n"
      "BT /F1 10 Tf 3 Tr 18 18 Td (Hi \\(x\\)) Tj ET\n"
      "\nendstream\nendobj\n"
      "5 0 obj\n<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 1 0 R >> "
      "/XObject << /Im0 3 0 R >> >> /Contents 4 0 R >>\nendobj\n"
      "6 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"
      "xref\n0 7\n"
      "0000000000 65535 f \n"
      "0000000015 00000 n \n"
      "0000000112 00000 n \n"
      "0000000169 00000 n \n"
      "0000000338 00000 n \n"
      "0000000471 00000 n \n"
      "0000000623 00000 n \n"
      "trailer\n<< /Size 7 /Root 6 0 R >>\nstartxref\n672\n%%EOF\n";
  const std::vector<PdfPage> pages{page};
  EXPECT_EQ(as_string(write_searchable_pdf(pages, {copying_compressor(), 1})), expected);
}

TEST(WriterLayout, A4ScanGivesSixObjectsAndEveryOffsetLandsOnItsObject) {
  const std::string file = write({solid_page(2480, 3508, "Text")});
  const Layout l = read_layout(file);
  EXPECT_EQ(l.offsets.size(), 6u);
  EXPECT_EQ(l.size, 7u);
  EXPECT_EQ(l.root, 6u);
  EXPECT_EQ(object(file, l, 1), "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
  EXPECT_EQ(object(file, l, 2), "<< /Type /Pages /Count 1 /Kids [5 0 R] >>");
  EXPECT_TRUE(object(file, l, 3).starts_with("<< /Length "));
  EXPECT_EQ(object(file, l, 6), "<< /Type /Catalog /Pages 2 0 R >>");
  // Fills the 559-point width; 559 / 2480 × 3508 high, centred vertically.
  EXPECT_TRUE(stream(object(file, l, 4)).data.starts_with("q 559 0 0 790.7145161290323 18 25.642741935483855 cm /Im0 Do Q\n"))
      << stream(object(file, l, 4)).data;
}

TEST(WriterLayout, ThreePagesNumberedInTriplesWithCatalogLast) {
  const std::string file = write({patterned_page(30, 20, 1), patterned_page(20, 30, 2), patterned_page(5, 5, 3)});
  const Layout l = read_layout(file);
  ASSERT_EQ(l.offsets.size(), 12u);
  EXPECT_EQ(l.root, 12u);
  EXPECT_EQ(object(file, l, 2), "<< /Type /Pages /Count 3 /Kids [5 0 R 8 0 R 11 0 R] >>");
  for (int k = 0; k < 3; ++k) {
    const int image = 3 * k + 3;
    EXPECT_TRUE(object(file, l, image).find("/Subtype /Image") != std::string::npos) << "object " << image;
    EXPECT_TRUE(stream(object(file, l, image + 1)).data.starts_with("q ")) << "object " << image + 1;
    EXPECT_EQ(object(file, l, image + 2),
              "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 1 0 R >> /XObject << /Im" +
                  std::to_string(k) + " " + std::to_string(image) + " 0 R >> >> /Contents " +
                  std::to_string(image + 1) + " 0 R >>");
  }
}

TEST(WriterLayout, ImagesDecompressToThePagePixels) {
  const std::vector<PdfPage> pages{patterned_page(64, 48, 7), patterned_page(33, 17, 9)};
  const std::string file = as_string(write_searchable_pdf(pages));
  const Layout l = read_layout(file);
  libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  ASSERT_NE(d, nullptr);
  for (std::size_t k = 0; k < pages.size(); ++k) {
    const auto image = stream(object(file, l, 3 * k + 3));
    EXPECT_EQ(image.dict, "<< /Length " + std::to_string(image.data.size()) + " /Type /XObject /Subtype /Image /Width " +
                              std::to_string(pages[k].width) + " /Height " + std::to_string(pages[k].height) +
                              " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode >>");
    // Deflate with a 32 KiB window, flagged as the default level (6).
    ASSERT_GE(image.data.size(), 2u);
    EXPECT_EQ(static_cast<std::uint8_t>(image.data[0]), 0x78);
    EXPECT_EQ(static_cast<std::uint8_t>(image.data[1]), 0x9C);
    std::vector<std::uint8_t> pixels(pages[k].rgb.size());
    std::size_t got = 0;
    // zlib format: header, deflate data and Adler-32, all checked here.
    ASSERT_EQ(libdeflate_zlib_decompress(d, image.data.data(), image.data.size(), pixels.data(), pixels.size(), &got),
              LIBDEFLATE_SUCCESS);
    EXPECT_EQ(got, pixels.size());
    EXPECT_EQ(pixels, pages[k].rgb) << "page " << k;
  }
  libdeflate_free_decompressor(d);
}

TEST(WriterPlacement, ImageFittedAndCentred) {
  const struct {
    std::uint32_t width, height;
    const char* line;
  } cases[] = {
      {100, 100, "q 559 0 0 559 18 141.5 cm /Im0 Do Q\n"},   // small scans are enlarged
      {559, 806, "q 559 0 0 806 18 18 cm /Im0 Do Q\n"},      // exactly the fitting area
      {1118, 100, "q 559 0 0 50 18 396 cm /Im0 Do Q\n"},     // wide: fills the width
      {1, 1000, "q 0.806 0 0 806 297.097 18 cm /Im0 Do Q\n"},  // tall: fills the height
  };
  for (const auto& c : cases) {
    const std::string content = content_of_first_page(write({solid_page(c.width, c.height)}));
    EXPECT_EQ(content.substr(0, content.find('\n') + 1), c.line) << c.width << " x " << c.height;
  }
}

TEST(WriterBadPages, UnusablePagesAreLeftOutButKeepTheirIndex) {
  const struct {
    const char* name;
    PdfPage bad;
  } cases[] = {
      {"one byte short", {std::vector<std::uint8_t>(10 * 10 * 3 - 1), 10, 10, "x"}},
      {"one byte long", {std::vector<std::uint8_t>(10 * 10 * 3 + 1), 10, 10, "x"}},
      {"zero width", {{}, 0, 10, "x"}},
      {"zero height", {{}, 10, 0, "x"}},
      {"zero size with pixels", {std::vector<std::uint8_t>(3), 0, 1, "x"}},
      {"size overflows", {std::vector<std::uint8_t>(3), 0xFFFFFFFF, 0xFFFFFFFF, "x"}},
      // 3 × width × height wraps around 2^64 to exactly 41258.
      {"size wraps to buffer length", {std::vector<std::uint8_t>(41258), 1431693603, 4294853786, "x"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = write({c.bad, solid_page(4, 4, "kept")});
    const Layout l = read_layout(file);
    ASSERT_EQ(l.offsets.size(), 6u);
    EXPECT_EQ(object(file, l, 2), "<< /Type /Pages /Count 1 /Kids [5 0 R] >>");
    EXPECT_TRUE(stream(object(file, l, 4)).data.starts_with("q 559 0 0 559 18 141.5 cm /Im1 Do Q\n"));
    EXPECT_NE(object(file, l, 5).find("/XObject << /Im1 3 0 R >>"), std::string::npos);
    EXPECT_NE(stream(object(file, l, 4)).data.find("(kept)"), std::string::npos);
  }
}

TEST(WriterBadPages, OnlyUnusablePagesGiveAnEmptyDocument) {
  EXPECT_EQ(write({solid_page(0, 0), PdfPage{{1, 2}, 1, 1, "t"}}), write({}));
}

TEST(WriterText, TextLayer) {
  const struct {
    const char* name;
    std::string text;
    std::string expected_line;  // empty: no text layer at all
  } cases[] = {
      {"empty", "", ""},
      {"only spaces", "   ", ""},
      {"only white space of all kinds", " \t\n\r\u00A0\u3000", ""},
      {"plain", "Hello world", "BT /F1 10 Tf 3 Tr 18 18 Td (Hello world) Tj ET\n"},
      {"leading and trailing spaces kept", "  indented ", "BT /F1 10 Tf 3 Tr 18 18 Td (  indented ) Tj ET\n"},
      {"parentheses and backslashes", "f(x) \\ (a)b)", "BT /F1 10 Tf 3 Tr 18 18 Td (f\\(x\\) \\\\ \\(a\\)b\\)) Tj ET\n"},
      {"lines as escapes", "one\ntwo\r\nthree", "BT /F1 10 Tf 3 Tr 18 18 Td (one\\ntwo\\r\\nthree) Tj ET\n"},
      {"latin letters and dashes", "\u00E9 \u00FC \u2014 \u20AC \u4E2D",
       "BT /F1 10 Tf 3 Tr 18 18 Td (\xE9 \xFC \x97 ? ?) Tj ET\n"},
      {"tab and no-break space", "a\tb\u00A0c", "BT /F1 10 Tf 3 Tr 18 18 Td (a b c) Tj ET\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string content = content_of_first_page(write({solid_page(3, 3, c.text)}));
    const std::string image_line = "q 559 0 0 559 18 141.5 cm /Im0 Do Q\n";
    EXPECT_EQ(content, image_line + c.expected_line);
  }
}

TEST(WriterThreads, OutputDoesNotDependOnTheNumberOfThreads) {
  std::vector<PdfPage> pages;
  for (unsigned k = 0; k < 9; ++k) pages.push_back(patterned_page(40 + 13 * k, 30 + 7 * k, k + 1));
  pages.insert(pages.begin() + 3, PdfPage{{1}, 1, 1, "left out"});
  const auto serial = write_searchable_pdf(pages, {zlib_level6(), 1});
  for (const unsigned threads : {2u, 3u, 16u, 0u}) {
    EXPECT_EQ(write_searchable_pdf(pages, {zlib_level6(), threads}), serial) << threads << " threads";
  }
}

TEST(WriterCompressor, FailedCompressionKeepsThePixelsUncompressed) {
  const Compressor failing{[](std::size_t n) { return n + 64; },
                           [](std::span<const std::uint8_t>, std::span<std::uint8_t>) { return std::size_t{0}; }};
  const PdfPage page = patterned_page(5, 4, 3);
  const std::vector<PdfPage> pages{page};
  const std::string file = as_string(write_searchable_pdf(pages, {failing, 1}));
  const Layout l = read_layout(file);
  const auto image = stream(object(file, l, 3));
  EXPECT_EQ(image.dict, "<< /Length 60 /Type /XObject /Subtype /Image /Width 5 /Height 4 /ColorSpace /DeviceRGB "
                        "/BitsPerComponent 8 >>");
  EXPECT_EQ(image.data, std::string(page.rgb.begin(), page.rgb.end()));
}

TEST(WriterCompressor, OutOfMemoryInAWorkerReachesTheCaller) {
  const Compressor throwing{[](std::size_t n) { return n; },
                            [](std::span<const std::uint8_t> in, std::span<std::uint8_t>) -> std::size_t {
                              if (in.size() == 3 * 7 * 7) throw std::bad_alloc();
                              return 0;
                            }};
  std::vector<PdfPage> pages;
  for (std::uint32_t s = 3; s < 12; ++s) pages.push_back(solid_page(s, s));
  EXPECT_THROW(write_searchable_pdf(pages, {throwing, 3}), std::bad_alloc);
}

}  // namespace
}  // namespace pdf
