// recognize: prepare the page, hand it to the engine through a temporary PNG,
// read the engine's word table.
#include "ocr/ocr.h"

#include "ocr/engine.h"
#include "ocr/prepare.h"
#include "ocr/text.h"
#include "ocr/word_table.h"

#include "bounded_command/bounded_command.h"

#include <QFile>
#include <QImage>
#include <QImageWriter>

#include <cerrno>
#include <random>

#include <fcntl.h>
#include <unistd.h>

namespace ocr {
namespace {

constexpr std::size_t engine_stdout_limit = 16'777'216;
constexpr std::size_t engine_stderr_limit = 4096;
constexpr std::size_t message_characters = 500;
constexpr int temporary_name_attempts = 100;

// Removes the temporary file however recognition ends; a failure to remove
// it cannot be reported anywhere useful and is ignored.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!path_.empty()) ::unlink(path_.c_str());
    }

    // A new file ".tmp" + 6 random characters + ".png", never an existing one.
    std::error_code create(const std::filesystem::path& folder) {
        static constexpr char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        thread_local std::mt19937_64 random{std::random_device{}()};
        std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 2);
        for (int attempt = 0; attempt < temporary_name_attempts; ++attempt) {
            std::string name = ".tmp";
            for (int i = 0; i < 6; ++i) name += alphabet[pick(random)];
            name += ".png";
            const std::filesystem::path candidate = folder / name;
            const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd >= 0) {
                fd_ = fd;
                path_ = candidate.string();
                return {};
            }
            if (errno != EEXIST) return {errno, std::generic_category()};
        }
        return std::make_error_code(std::errc::file_exists);
    }

    int fd() const { return fd_; }
    const std::string& path() const { return path_; }
    void close_descriptor() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
    std::string path_;
};

std::optional<OcrError> write_png(const GrayImage& image, TemporaryFile& file) {
    const QImage view(image.pixels.data(), static_cast<int>(image.width), static_cast<int>(image.height),
                      static_cast<qsizetype>(image.width), QImage::Format_Grayscale8);
    QFile out;
    if (!out.open(file.fd(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
        return OcrError::image_encoding(out.errorString().toStdString());
    }
    QImageWriter writer(&out, "png");
    if (!writer.write(view)) return OcrError::image_encoding(writer.errorString().toStdString());
    if (!out.flush()) return OcrError::image_encoding(out.errorString().toStdString());
    out.close();
    if (::close(file.fd()) != 0) {
        const std::error_code error{errno, std::generic_category()};
        file.close_descriptor();
        return OcrError::image_encoding(error.message());
    }
    file.close_descriptor();
    return std::nullopt;
}

std::string_view as_text(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::expected<OcrResult, OcrError> map_engine_answer(bounded_command::RunResult answer, std::string_view language) {
    namespace bc = bounded_command;
    if (auto* error = std::get_if<bc::IoError>(&answer)) {
        if (error->kind == bc::IoErrorKind::NotFound) return std::unexpected(OcrError::engine_missing());
        return std::unexpected(OcrError::io_error(error->error));
    }
    if (auto* exceeded = std::get_if<bc::LimitExceeded>(&answer)) {
        if (exceeded->stream == "stdout") return std::unexpected(OcrError::engine_failed(std::string(output_limit_text)));
        if (exceeded->stream == "stderr") return std::unexpected(OcrError::engine_failed(std::string(diagnostics_limit_text)));
        return std::unexpected(OcrError::engine_failed(std::string(process_failed_text)));
    }
    if (std::holds_alternative<bc::TimedOut>(answer)) {
        return std::unexpected(OcrError::engine_failed(std::string(timed_out_text)));
    }
    auto* finished = std::get_if<bc::Finished>(&answer);
    if (finished == nullptr) return std::unexpected(OcrError::engine_failed(std::string(process_failed_text)));
    if (finished->exit_status != 0) {
        const std::string diagnostics = text::decode_lossy(as_text(finished->standard_error));
        return std::unexpected(
            OcrError::engine_failed(std::string(text::first_characters(text::trim(diagnostics), message_characters))));
    }
    return parse_word_table(text::decode_lossy(as_text(finished->standard_output)), language);
}

}  // namespace

std::expected<GrayImage, OcrError> prepare_image(const ImageView& image) {
    if (!image_size_acceptable(image.width, image.height)) return std::unexpected(OcrError::image_too_large());
    // A view whose buffer is shorter than its size would be read out of bounds.
    if (!image_buffer_complete(image)) {
        return std::unexpected(OcrError::image_encoding("the pixel buffer is smaller than the image size"));
    }
    GrayImage gray = gray_with_contrast(image);
    const auto angle = estimate_skew(gray);
    if (angle && std::abs(*angle) >= min_corrected_angle) return rotate_gray(gray, *angle);
    return gray;
}

std::expected<OcrResult, OcrError> parse_word_table(std::string_view table, std::string_view language) {
    OcrResult result;
    if (auto error = read_word_table(table, language, result)) return std::unexpected(std::move(*error));
    return result;
}

std::expected<OcrResult, OcrError> recognize(const ImageView& image, std::string_view language) {
    return detail::recognize_with(image, language, detail::EngineSettings{});
}

namespace detail {

std::expected<OcrResult, OcrError> recognize_with(const ImageView& image, std::string_view language,
                                                  const EngineSettings& settings) {
    if (!is_valid_language(language)) return std::unexpected(OcrError::invalid_language());
    auto prepared = prepare_image(image);
    if (!prepared) return std::unexpected(std::move(prepared.error()));

    std::filesystem::path folder;
    if (settings.temporary_folder) {
        folder = *settings.temporary_folder;
    } else {
        std::error_code error;
        folder = std::filesystem::temp_directory_path(error);
        if (error) return std::unexpected(OcrError::io_error(error));
    }
    TemporaryFile file;
    if (const auto error = file.create(folder)) return std::unexpected(OcrError::io_error(error));
    if (auto error = write_png(*prepared, file)) return std::unexpected(std::move(*error));

    bounded_command::PreparedCommand command;
    command.program = "tesseract";
    command.arguments = {file.path(), "stdout", "-l", std::string(language), "tsv"};
    if (settings.single_threaded) command.environment.emplace_back("OMP_THREAD_LIMIT", "1");
    command.search_path = settings.search_path;
    auto answer = bounded_command::run_prepared_with_limits(command, std::nullopt, engine_stdout_limit,
                                                            engine_stderr_limit, settings.time_limit);
    return map_engine_answer(std::move(answer), language);
}

}  // namespace detail
}  // namespace ocr
