// The real engine on pages rendered here: words come back from a turned page,
// preparation turns it back, and doubtful pages are left as they are.
#include "ocr/engine.h"
#include "ocr/ocr.h"
#include "ocr/prepare.h"
#include "rendered_page.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

#include <cmath>
#include <filesystem>
#include <set>

namespace {

namespace fs = std::filesystem;

ocr::ImageView view_of(const QImage& image) {
    return {static_cast<std::uint32_t>(image.width()), static_cast<std::uint32_t>(image.height()),
            ocr::PixelFormat::Rgba8,
            std::span<const std::uint8_t>(image.constBits(), static_cast<std::size_t>(image.sizeInBytes())),
            static_cast<std::size_t>(image.bytesPerLine())};
}

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "ocr-engine-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        settings_.temporary_folder = folder_;
    }
    void TearDown() override { fs::remove_all(folder_); }
    bool folder_empty() const { return fs::directory_iterator(folder_) == fs::directory_iterator(); }

    fs::path folder_;
    ocr::detail::EngineSettings settings_;
};

TEST_F(EngineTest, TurnedPageIsStraightenedAndRead) {
    const QImage page = ocr_test::rendered_page(1240, 1754, 2.0);
    const ocr::GrayImage contrasted = ocr::gray_with_contrast(view_of(page));
    const auto angle = ocr::estimate_skew(contrasted);
    ASSERT_TRUE(angle.has_value());
    EXPECT_NEAR(std::fabs(*angle), 2.0, 0.25);

    const auto prepared = ocr::prepare_image(view_of(page));
    ASSERT_TRUE(prepared.has_value());
    EXPECT_EQ(ocr::estimate_skew(*prepared), std::nullopt);

    const auto result = ocr::detail::recognize_with(view_of(page), "eng", settings_);
    ASSERT_TRUE(result.has_value()) << result.error().message;
    EXPECT_TRUE(folder_empty());
    std::set<std::string> found;
    for (const auto& w : result->words) found.insert(w.text);
    int missing = 0;
    for (const char* expected : {"quick", "brown", "fox", "jumps", "lazy", "Pagora", "scans", "printer", "queue",
                                 "searchable", "document", "bright", "narrow", "harbour", "station"}) {
        if (!found.contains(expected)) {
            ++missing;
            ADD_FAILURE() << "missing " << expected << " in: " << ocr::recognized_text(*result);
        }
    }
    EXPECT_EQ(missing, 0);
    // The boxes fit the page as scanned.
    for (const auto& w : result->words) {
        EXPECT_LE(w.left + w.width, 1240u);
        EXPECT_LE(w.top + w.height, 1754u);
    }
}

TEST_F(EngineTest, SlightAndBlankPagesAreLeftAlone) {
    QImage black(800, 1100, QImage::Format_RGBA8888);
    black.fill(Qt::black);
    QImage white(800, 1100, QImage::Format_RGBA8888);
    white.fill(Qt::white);
    const struct {
        const char* name;
        QImage page;
    } cases[] = {
        {"turned 0.2 degrees", ocr_test::rendered_page(1240, 1754, 0.2)},
        {"white", white},
        {"black", black},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto prepared = ocr::prepare_image(view_of(c.page));
        ASSERT_TRUE(prepared.has_value());
        EXPECT_EQ(prepared->pixels, ocr::gray_with_contrast(view_of(c.page)).pixels);
    }
    const auto blank = ocr::detail::recognize_with(view_of(white), "eng", settings_);
    ASSERT_TRUE(blank.has_value()) << blank.error().message;
    EXPECT_TRUE(blank->words.empty());
    EXPECT_TRUE(folder_empty());
}

TEST_F(EngineTest, UnknownLanguageIsTheEnginesOwnFailure) {
    QImage white(200, 100, QImage::Format_RGBA8888);
    white.fill(Qt::white);
    const auto result = ocr::detail::recognize_with(view_of(white), "xyzzy", settings_);
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error().kind, ocr::OcrError::Kind::EngineFailed);
    EXPECT_FALSE(result.error().message.empty());
    EXPECT_LE(result.error().message.size(), 500u * 4);
    EXPECT_TRUE(folder_empty());
}

TEST_F(EngineTest, ShippedSettingsFindTheEngine) {
    const QImage page = ocr_test::rendered_page(620, 877, 0.0);
    const auto result = ocr::recognize(view_of(page), "eng");
    ASSERT_TRUE(result.has_value()) << result.error().message;
    EXPECT_FALSE(result->words.empty());
}

}  // namespace

int main(int argc, char** argv) {
    // Fonts need a GUI application; no display is needed to paint into images.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
