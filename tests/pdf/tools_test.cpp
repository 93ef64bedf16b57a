// Files from the writer read by real PDF tools: qpdf checks the structure,
// pdftotext finds the invisible text, pdftoppm draws the image where the
// layout puts it.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "pdf/writer.h"

namespace pdf {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string out;
};

// Runs a shell command line whose arguments are all our own file names.
Outcome run(const std::string& command) {
  Outcome r;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf{};
  for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), p)) > 0;) r.out.append(buf.data(), n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

class PdfTools : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string templ = (fs::temp_directory_path() / "pdf-tools-XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    dir_ = templ;
  }
  static void TearDownTestSuite() { fs::remove_all(dir_); }

  static std::string save(const std::string& name, const std::vector<PdfPage>& pages) {
    const auto bytes = write_searchable_pdf(pages);
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  static fs::path dir_;
};
fs::path PdfTools::dir_;

PdfPage page(std::uint32_t width, std::uint32_t height, std::string text = {}) {
  PdfPage p{std::vector<std::uint8_t>(std::size_t{width} * height * 3), width, height, std::move(text)};
  for (std::size_t i = 0; i < p.rgb.size(); ++i) p.rgb[i] = static_cast<std::uint8_t>(i * 7 + i / 3);
  return p;
}

void expect_qpdf_accepts(const std::string& path) {
  const Outcome r = run("qpdf --check '" + path + "'");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("No syntax or stream encoding errors found"), std::string::npos) << r.out;
}

TEST_F(PdfTools, QpdfAcceptsEveryKindOfDocument) {
  std::vector<PdfPage> twenty;
  for (std::uint32_t k = 0; k < 20; ++k) twenty.push_back(page(50 + 37 * k, 80 + 11 * k, "Page " + std::to_string(k + 1)));
  const std::string every_special =
      std::string("( ) \\ (( )) \\\\ \\( trailing\\ \n line\r\n crlf \t tab ", 50) + std::string(1, '\0') +
      " nul \x7F del \u0085 \u00A0 nbsp \u00E9\u00FC\u00DF \u2013\u2014\u2018\u2019\u201C\u201D\u2022\u2026 "
      "\u20AC \u4E2D\u6587 \U0001F600 \xED\xA0\x80 lone \xFF\xC3 bad %comment endstream endobj";
  const struct {
    const char* name;
    std::vector<PdfPage> pages;
  } cases[] = {
      {"empty", {}},
      {"one page", {page(2480, 3508, "A scanned page")}},
      {"twenty pages", twenty},
      {"odd sizes", {page(1, 1, "dot"), page(1, 4000, "line"), page(4000, 1, "row"), page(7, 13), page(3, 2, " ")}},
      {"special characters", {page(20, 20, every_special)}},
      {"left-out pages", {PdfPage{{1, 2, 3}, 2, 2, "short"}, page(9, 9, "kept"), PdfPage{{}, 0, 0, "empty"}}},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    expect_qpdf_accepts(save("check-" + std::to_string(n++) + ".pdf", c.pages));
  }
}

TEST_F(PdfTools, PdftotextFindsEachPagesText) {
  const std::vector<std::string> texts = {"First page about invoices", "  Zweite Seite: caf\u00E9 \u00FCber na\u00EFve",
                                          "Third (page) \\ with \u2014 dash"};
  std::vector<PdfPage> pages;
  for (const auto& t : texts) pages.push_back(page(120, 160, t));
  const std::string path = save("text.pdf", pages);
  const std::vector<std::string> expected = {"First page about invoices", "Zweite Seite: caf\u00E9 \u00FCber na\u00EFve",
                                             "Third (page) \\ with \u2014 dash"};
  for (std::size_t k = 0; k < pages.size(); ++k) {
    const std::string n = std::to_string(k + 1);
    const Outcome r = run("pdftotext -enc UTF-8 -f " + n + " -l " + n + " '" + path + "' -");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find(expected[k]), std::string::npos) << "page " << n << " gave: " << r.out;
    for (std::size_t other = 0; other < pages.size(); ++other) {
      if (other != k) {
        EXPECT_EQ(r.out.find(expected[other]), std::string::npos) << "page " << n;
      }
    }
  }
}

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Rgb& c) { return os << '(' << c.r << ',' << c.g << ',' << c.b << ')'; }

struct Ppm {
  int width = 0, height = 0;
  std::vector<std::uint8_t> pixels;
  Rgb at(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return {pixels[i], pixels[i + 1], pixels[i + 2]};
  }
};

Ppm read_ppm(const std::string& path) {
  Ppm p;
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maxval = 0;
  in >> magic >> p.width >> p.height >> maxval;
  in.get();
  EXPECT_EQ(magic, "P6");
  EXPECT_EQ(maxval, 255);
  p.pixels.resize(static_cast<std::size_t>(p.width) * p.height * 3);
  in.read(reinterpret_cast<char*>(p.pixels.data()), static_cast<std::streamsize>(p.pixels.size()));
  EXPECT_TRUE(in) << "short PPM file";
  return p;
}

TEST_F(PdfTools, PdftoppmDrawsTheImageFittedAndCentredAndTheTextInvisible) {
  // 100 × 100 quadrants: red, blue on top; green, black below. At 72 dpi
  // one point is one pixel: the image spans x 18..577 and, from the top,
  // y 141.5..700.5.
  PdfPage quadrants{std::vector<std::uint8_t>(100 * 100 * 3), 100, 100,
                    "Invisible text that must not show up anywhere on the page"};
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 100; ++x) {
      const Rgb c = y < 50 ? (x < 50 ? Rgb{255, 0, 0} : Rgb{0, 0, 255}) : (x < 50 ? Rgb{0, 255, 0} : Rgb{0, 0, 0});
      std::uint8_t* px = &quadrants.rgb[(static_cast<std::size_t>(y) * 100 + x) * 3];
      px[0] = static_cast<std::uint8_t>(c.r);
      px[1] = static_cast<std::uint8_t>(c.g);
      px[2] = static_cast<std::uint8_t>(c.b);
    }
  }
  const std::string path = save("render.pdf", {quadrants, page(10, 10)});
  const std::string prefix = (dir_ / "render").string();
  const Outcome r = run("pdftoppm -r 72 -f 1 -l 1 -singlefile '" + path + "' '" + prefix + "'");
  ASSERT_EQ(r.status, 0) << r.out;
  const Ppm img = read_ppm(prefix + ".ppm");
  ASSERT_EQ(img.width, 595);
  ASSERT_EQ(img.height, 842);

  const Rgb white{255, 255, 255};
  const struct {
    const char* where;
    int x, y;
    Rgb expected;
  } samples[] = {
      {"top left quadrant", 158, 281, {255, 0, 0}},
      {"top right quadrant", 438, 281, {0, 0, 255}},
      {"bottom left quadrant", 158, 561, {0, 255, 0}},
      {"bottom right quadrant", 438, 561, {0, 0, 0}},
      {"just inside the top left corner", 20, 144, {255, 0, 0}},
      {"just inside the bottom right corner", 574, 698, {0, 0, 0}},
      {"left margin", 15, 421, white},
      {"right margin", 580, 421, white},
      {"above the image", 297, 138, white},
      {"below the image", 297, 704, white},
  };
  for (const auto& s : samples) EXPECT_EQ(img.at(s.x, s.y), s.expected) << s.where;

  // The text sits on the baseline 18 points above the bottom edge; mode 3
  // draws nothing, so the whole strip stays white.
  for (int y = 800; y < 842; ++y)
    for (int x = 0; x < 595; ++x) ASSERT_EQ(img.at(x, y), white) << "at " << x << ", " << y;
}

}  // namespace
}  // namespace pdf
