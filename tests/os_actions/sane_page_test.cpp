// Choosing each backend's option values, and turning delivered frames into a PNG.
#include <QImage>
#include <gtest/gtest.h>

#include <cstring>

#include "os_actions/sane_scanner.h"

namespace os_actions::printing::sane {
namespace {

TEST(ChooseMode, EachBackendsOwnWords) {
  struct Row {
    std::vector<std::string> allowed;
    std::uint8_t mode;
    std::optional<std::string> expected;
  };
  const Row rows[] = {
      {{"Gray", "Color"}, 0, "Color"},
      {{"Gray", "Color"}, 1, "Gray"},
      {{"Gray", "Color"}, 2, "Gray"},  // no black-and-white mode: grey, then depth 1
      {{"Lineart", "Halftone", "Gray", "Color"}, 2, "Lineart"},
      {{"Binary", "Gray", "Color"}, 2, "Binary"},
      {{"Black & White", "Grayscale", "24bit Color"}, 2, "Black & White"},
      {{"Black & White", "Grayscale", "24bit Color"}, 1, "Grayscale"},
      {{"Black & White", "Grayscale", "24bit Color"}, 0, "24bit Color"},
      {{"Color Halftone", "Color"}, 0, "Color"},  // the exact word wins over a longer one
      {{"Gray"}, 0, std::nullopt},
      {{"Gray", "Color"}, 7, std::nullopt},
  };
  for (const Row& r : rows) EXPECT_EQ(choose_mode(r.allowed, r.mode), r.expected) << int(r.mode);
}

TEST(ChooseSource, FallsBackSensibly) {
  struct Row {
    std::vector<std::string> allowed;
    std::uint8_t source;
    std::optional<std::string> expected;
  };
  const std::vector<std::string> test_backend = {"Flatbed", "Automatic Document Feeder"};
  const std::vector<std::string> duplex = {"Flatbed", "ADF Front", "ADF Back", "ADF Duplex"};
  const Row rows[] = {
      {test_backend, 0, "Flatbed"},
      {test_backend, 1, "Automatic Document Feeder"},
      {test_backend, 2, "Automatic Document Feeder"},  // no duplex: the feeder
      {duplex, 1, "ADF Front"},
      {duplex, 2, "ADF Duplex"},
      {{"Flatbed"}, 1, "Flatbed"},
      {{"Flatbed"}, 2, "Flatbed"},
      {{"Normal", "ADF"}, 0, "Normal"},
      {{"Transparency Adapter"}, 0, std::nullopt},  // keep the backend's default
  };
  for (const Row& r : rows) EXPECT_EQ(choose_source(r.allowed, r.source), r.expected) << int(r.source);
}

TEST(Resolution, NearestAllowedValue) {
  EXPECT_EQ(nearest_in_list({75, 100, 200, 600, 1200}, 300), 200);
  EXPECT_EQ(nearest_in_list({100, 200, 400}, 300), 400);  // a tie takes the finer one
  EXPECT_EQ(nearest_in_list({150, 300, 600}, 600), 600);
  EXPECT_EQ(nearest_in_range(1, 1200, 1, 300), 300);
  EXPECT_EQ(nearest_in_range(50, 400, 0, 600), 400);
  EXPECT_EQ(nearest_in_range(75, 4800, 25, 310), 300);
  EXPECT_EQ(nearest_in_range(100, 900, 300, 900), 700);  // steps never pass the maximum
}

QImage decode(const Result<ImageBytes>& png) {
  QImage image;
  if (png) image.loadFromData(png->data(), static_cast<int>(png->size()), "PNG");
  return image;
}

TEST(EncodePage, GreyDepths) {
  // 10 px wide, 2 lines; lines padded to 4 bytes as some backends do.
  Frame one_bit{Frame::Kind::Gray, 1, 10, 4, {0b10000000, 0b01000000, 0, 0, 0x00, 0x00, 0, 0}};
  QImage img = decode(encode_page({one_bit}));
  ASSERT_EQ(img.size(), QSize(10, 2));
  EXPECT_EQ(qGray(img.pixel(0, 0)), 0);    // a set bit is black
  EXPECT_EQ(qGray(img.pixel(1, 0)), 255);
  EXPECT_EQ(qGray(img.pixel(9, 0)), 0);    // bit 9 lives in the second byte
  EXPECT_EQ(qGray(img.pixel(0, 1)), 255);

  Frame eight{Frame::Kind::Gray, 8, 3, 3, {0, 128, 255, 10, 20, 30}};
  img = decode(encode_page({eight}));
  ASSERT_EQ(img.size(), QSize(3, 2));
  EXPECT_EQ(qGray(img.pixel(1, 0)), 128);
  EXPECT_EQ(qGray(img.pixel(2, 1)), 30);

  Frame sixteen{Frame::Kind::Gray, 16, 2, 4, std::vector<std::uint8_t>(8)};
  const std::uint16_t samples[] = {0x0000, 0xffff, 0x8000, 0x1234};  // host order
  std::memcpy(sixteen.data.data(), samples, sizeof samples);
  img = decode(encode_page({sixteen}));
  ASSERT_EQ(img.size(), QSize(2, 2));
  EXPECT_EQ(img.format(), QImage::Format_Grayscale16);
  EXPECT_EQ(reinterpret_cast<const std::uint16_t*>(img.constScanLine(0))[1], 0xffff);
  EXPECT_EQ(reinterpret_cast<const std::uint16_t*>(img.constScanLine(1))[1], 0x1234);
}

TEST(EncodePage, ColourSingleAndThreePass) {
  Frame rgb{Frame::Kind::Rgb, 8, 2, 6, {255, 0, 0, 0, 0, 255, 1, 2, 3, 4, 5, 6}};
  QImage img = decode(encode_page({rgb}));
  ASSERT_EQ(img.size(), QSize(2, 2));
  EXPECT_EQ(img.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(1, 1), qRgb(4, 5, 6));

  Frame rgb16{Frame::Kind::Rgb, 16, 1, 6, std::vector<std::uint8_t>(6)};
  const std::uint16_t s16[] = {0xff00, 0x8000, 0x00ff};
  std::memcpy(rgb16.data.data(), s16, sizeof s16);
  img = decode(encode_page({rgb16}));
  ASSERT_EQ(img.size(), QSize(1, 1));
  EXPECT_EQ(img.pixel(0, 0), qRgb(255, 128, 0));

  // Three passes in the order the backend chose.
  const std::vector<Frame> passes = {{Frame::Kind::Blue, 8, 2, 2, {30, 60}},
                                     {Frame::Kind::Red, 8, 2, 2, {10, 40}},
                                     {Frame::Kind::Green, 8, 2, 2, {20, 50}}};
  img = decode(encode_page(passes));
  ASSERT_EQ(img.size(), QSize(2, 1));
  EXPECT_EQ(img.pixel(0, 0), qRgb(10, 20, 30));
  EXPECT_EQ(img.pixel(1, 0), qRgb(40, 50, 60));
}

TEST(EncodePage, IncompressiblePageRoundTripsExactly) {
  // Noise compresses to more than one output buffer of the writer.
  Frame noise{Frame::Kind::Rgb, 8, 301, 903, std::vector<std::uint8_t>(903 * 257)};
  std::uint32_t seed = 12345;
  for (auto& b : noise.data) {
    seed = seed * 1664525u + 1013904223u;
    b = static_cast<std::uint8_t>(seed >> 24);
  }
  const QImage img = decode(encode_page({noise})).convertToFormat(QImage::Format_RGB888);
  ASSERT_EQ(img.size(), QSize(301, 257));
  for (int y = 0; y < img.height(); ++y)
    ASSERT_EQ(std::memcmp(img.constScanLine(y), noise.data.data() + y * 903, 903), 0) << "line " << y;
}

TEST(EncodePage, UnknownHeightUsesWholeLinesDelivered) {
  Frame hand{Frame::Kind::Gray, 8, 4, 4, std::vector<std::uint8_t>(4 * 5 + 3, 200)};
  const QImage img = decode(encode_page({hand}));
  EXPECT_EQ(img.size(), QSize(4, 5));
}

TEST(EncodePage, MalformedDeliveriesFail) {
  struct Row {
    const char* why;
    std::vector<Frame> frames;
  };
  const Row rows[] = {
      {"nothing", {}},
      {"no whole line", {{Frame::Kind::Gray, 8, 4, 4, {1, 2, 3}}}},
      {"line shorter than the width", {{Frame::Kind::Rgb, 8, 4, 6, std::vector<std::uint8_t>(24)}}},
      {"zero width", {{Frame::Kind::Gray, 8, 0, 0, {}}}},
      {"depth 4", {{Frame::Kind::Gray, 4, 2, 1, {0xff}}}},
      {"two passes only", {{Frame::Kind::Red, 8, 1, 1, {1}}, {Frame::Kind::Green, 8, 1, 1, {2}}}},
      {"a pass twice", {{Frame::Kind::Red, 8, 1, 1, {1}}, {Frame::Kind::Red, 8, 1, 1, {2}}, {Frame::Kind::Blue, 8, 1, 1, {3}}}},
      {"passes of different widths", {{Frame::Kind::Red, 8, 1, 1, {1}}, {Frame::Kind::Green, 8, 2, 2, {2, 2}}, {Frame::Kind::Blue, 8, 1, 1, {3}}}},
  };
  for (const Row& r : rows) EXPECT_FALSE(encode_page(r.frames)) << r.why;
}

}  // namespace
}  // namespace os_actions::printing::sane
