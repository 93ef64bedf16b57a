// recognize against small shell scripts posing as the engine on a private
// search path: every failure it can meet, the exact texts, the arguments it
// passes, and no temporary file left behind whatever happens.
#include "ocr/engine.h"
#include "ocr/ocr.h"
#include "page_fixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ocr::OcrError;

std::string read_all(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class RecognizeTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "ocr-recognize-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        fs::create_directory(bin());
        fs::create_directory(temp());
        fs::create_directory(log());
        settings_.search_path = bin().string();
        settings_.temporary_folder = temp();
        settings_.time_limit = 10s;
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path bin() const { return root_ / "bin"; }
    fs::path temp() const { return root_ / "temp"; }
    fs::path log() const { return root_ / "log"; }

    // Installs a fake engine; it records that it ran, then runs `body`.
    void engine(const std::string& body, fs::perms perms = fs::perms::owner_all) {
        const fs::path path = bin() / "tesseract";
        std::ofstream(path) << "#!/bin/sh\ntouch '" << (log() / "ran").string() << "'\n" << body << "\n";
        fs::permissions(path, perms);
    }
    bool engine_ran() const { return fs::exists(log() / "ran"); }

    std::expected<ocr::OcrResult, OcrError> run(std::string_view language = "eng") {
        return ocr::detail::recognize_with(ocr_test::view(page_), language, settings_);
    }

    std::vector<std::string> leftovers() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(temp())) names.push_back(entry.path().filename().string());
        return names;
    }

    fs::path root_;
    ocr::detail::EngineSettings settings_;
    ocr::GrayImage page_{64, 48, std::vector<std::uint8_t>(64 * 48, 200)};
};

const std::string table = "level\tpage_num\tblock_num\tpar_num\tline_num\tword_num\tleft\ttop\twidth\theight\tconf\ttext\n"
                          "5\t1\t1\t1\t2\t1\t5\t30\t20\t10\t91\tAgain\n"
                          "5\t1\t1\t1\t1\t1\t5\t5\t20\t10\t95.5\tHello\n"
                          "5\t1\t1\t1\t1\t2\t30\t5\t20\t10\t-1\t\n"
                          "5\t1\t1\t1\t1\t3\t30\t5\t20\t10\t88\twor\xffld\n";

TEST_F(RecognizeTest, PassesTheFiveArgumentsAndAPngAndReadsTheTable) {
    const std::string log_dir = log().string();
    engine("printf '%s\\n' \"$@\" > '" + log_dir + "/args'\n"
           "printf '%s' \"$OMP_THREAD_LIMIT\" > '" + log_dir + "/threads'\n"
           "cp \"$1\" '" + log_dir + "/image.png'\n"
           "printf '" + std::string("%s") + "' \"$(cat '" + (log() / "table").string() + "')\"");
    std::ofstream(log() / "table", std::ios::binary) << table;

    const auto result = run("eng+deu");
    ASSERT_TRUE(result.has_value()) << result.error().message;
    EXPECT_EQ(result->language, "eng+deu");
    ASSERT_EQ(result->words.size(), 3u);
    EXPECT_EQ(result->words[0].text, "Hello");
    EXPECT_EQ(result->words[1].text, "wor\xEF\xBF\xBDld");  // invalid byte replaced
    EXPECT_EQ(result->words[2].text, "Again");
    EXPECT_EQ(ocr::recognized_text(*result), "Hello wor\xEF\xBF\xBDld\nAgain");

    std::istringstream args(read_all(log() / "args"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(args, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 5u);
    const std::string name = fs::path(lines[0]).filename().string();
    EXPECT_EQ(fs::path(lines[0]).parent_path(), temp());
    EXPECT_EQ(name.size(), 4u + 6 + 4) << name;
    EXPECT_EQ(name.substr(0, 4), ".tmp");
    EXPECT_EQ(name.substr(10), ".png");
    EXPECT_EQ((std::vector<std::string>(lines.begin() + 1, lines.end())),
              (std::vector<std::string>{"stdout", "-l", "eng+deu", "tsv"}));
    EXPECT_EQ(read_all(log() / "threads"), "1");
    EXPECT_EQ(::getenv("OMP_THREAD_LIMIT") == nullptr || std::string(::getenv("OMP_THREAD_LIMIT")) != "1", true);

    const std::string png = read_all(log() / "image.png");
    ASSERT_GE(png.size(), 24u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(png.substr(16, 8), std::string("\0\0\0\x40\0\0\0\x30", 8));  // 64 x 48
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(RecognizeTest, EngineDefaultThreadingWhenAsked) {
    engine("printf '%s' \"${OMP_THREAD_LIMIT-unset}\" > '" + log().string() + "/threads'; echo header");
    settings_.single_threaded = false;
    ASSERT_TRUE(run().has_value());
    const char* outer = ::getenv("OMP_THREAD_LIMIT");
    EXPECT_EQ(read_all(log() / "threads"), outer ? outer : "unset");
}

TEST_F(RecognizeTest, EngineAnswersMapToTheirFailures) {
    std::string six_hundred;
    for (int i = 0; i < 600; ++i) six_hundred += "\xc3\xa9";  // é: 1200 bytes, 600 characters
    std::string five_hundred;
    for (int i = 0; i < 500; ++i) five_hundred += "\xc3\xa9";
    const std::string log_dir = log().string();

    const struct {
        const char* name;
        std::string body;
        std::chrono::milliseconds limit;
        std::optional<OcrError> error;  // none: success with no words
    } cases[] = {
        {"one line of diagnostics and status 1", "echo 'Failed loading language xyz' >&2; exit 1", 10s,
         OcrError::engine_failed("Failed loading language xyz")},
        {"status 1 and silence", "exit 1", 10s, OcrError::engine_failed("")},
        {"diagnostics trimmed", "printf '\\n  two\\nlines \\r\\n' >&2; exit 3", 10s, OcrError::engine_failed("two\nlines")},
        {"600 characters of diagnostics", "printf '" + six_hundred + "' >&2; exit 1", 10s,
         OcrError::engine_failed(five_hundred)},
        {"invalid UTF-8 diagnostics", "printf 'bad \\377 byte' >&2; exit 2", 10s,
         OcrError::engine_failed("bad \xEF\xBF\xBD byte")},
        {"table of only a header", "echo header", 10s, std::nullopt},
        {"no output at all", "exit 0", 10s, std::nullopt},
        {"stdout just over 16 MiB", "head -c 16777217 /dev/zero; sleep 30", 10s,
         OcrError::engine_failed("OCR output exceeded the safety limit")},
        {"stderr over 4 KiB", "head -c 4097 /dev/zero >&2; sleep 30", 10s,
         OcrError::engine_failed("OCR diagnostics exceeded the safety limit")},
        {"hang", "exec sleep 30", 300ms, OcrError::engine_failed("OCR engine timed out")},
        {"sleeper keeps stdout open while the engine hangs", "sleep 30 & sleep 30", 300ms,
         OcrError::engine_failed("OCR engine timed out")},
        {"killed by a signal", "kill -SEGV $$", 10s, OcrError::engine_failed("OCR engine process failed")},
        {"program without permission to run", "", 10s, OcrError::io_error(std::make_error_code(std::errc::permission_denied))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool runnable = std::string(c.name) != "program without permission to run";
        engine(c.body, runnable ? fs::perms::owner_all : fs::perms::owner_read | fs::perms::owner_write);
        settings_.time_limit = c.limit;
        const auto start = std::chrono::steady_clock::now();
        const auto result = run();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
        if (c.error) {
            ASSERT_FALSE(result.has_value());
            EXPECT_EQ(result.error(), *c.error) << result.error().message;
        } else {
            ASSERT_TRUE(result.has_value()) << result.error().message;
            EXPECT_TRUE(result->words.empty());
        }
        EXPECT_EQ(leftovers(), std::vector<std::string>{});
    }
}

TEST_F(RecognizeTest, SleeperLeftByAFinishedEngineDoesNotDelayTheResult) {
    engine("sleep 30 &\nprintf 'header\\n5\\t1\\t1\\t1\\t1\\t1\\t0\\t0\\t9\\t9\\t90\\tdone\\n'");
    const auto start = std::chrono::steady_clock::now();
    const auto result = run();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    ASSERT_TRUE(result.has_value());
    ASSERT_EQ(result->words.size(), 1u);
    EXPECT_EQ(result->words[0].text, "done");
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(RecognizeTest, FailuresBeforeTheEngineStartsIt) {
    engine("echo header");
    const struct {
        const char* name;
        std::string language;
        ocr::ImageView image;
        OcrError::Kind kind;
    } cases[] = {
        {"empty language", "", ocr_test::view(page_), OcrError::Kind::InvalidLanguage},
        {"65-byte language", std::string(65, 'a'), ocr_test::view(page_), OcrError::Kind::InvalidLanguage},
        {"leading plus", "+eng", ocr_test::view(page_), OcrError::Kind::InvalidLanguage},
        {"trailing plus", "eng+", ocr_test::view(page_), OcrError::Kind::InvalidLanguage},
        {"space", "en g", ocr_test::view(page_), OcrError::Kind::InvalidLanguage},
        {"semicolon", "eng;rm", ocr_test::view(page_), OcrError::Kind::InvalidLanguage},
        {"image too large", "eng", ocr::ImageView{10001, 10, ocr::PixelFormat::Rgba8, {}, 0},
         OcrError::Kind::ImageTooLarge},
        {"empty image cannot be written", "eng", ocr::ImageView{0, 0, ocr::PixelFormat::Rgba8, {}, 0},
         OcrError::Kind::ImageEncoding},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = ocr::detail::recognize_with(c.image, c.language, settings_);
        ASSERT_FALSE(result.has_value());
        EXPECT_EQ(result.error().kind, c.kind);
        EXPECT_FALSE(engine_ran());
        EXPECT_TRUE(leftovers().empty());
    }
    EXPECT_TRUE(run("chi_sim").has_value());
    EXPECT_TRUE(run(std::string(64, 'a')).has_value());
}

TEST_F(RecognizeTest, MissingEngineAndMissingTemporaryFolder) {
    auto result = run();
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error(), OcrError::engine_missing());
    EXPECT_TRUE(leftovers().empty());

    engine("echo header");
    settings_.temporary_folder = root_ / "absent";
    result = run();
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error().kind, OcrError::Kind::Io);
    EXPECT_EQ(result.error().io, std::make_error_code(std::errc::no_such_file_or_directory));
    EXPECT_FALSE(engine_ran());
}

}  // namespace
