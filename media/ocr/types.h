// Plain records of the text recogniser: images in, words out, failures.
// Kept free of <expected> so that every compiler of the project can read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace ocr {

enum class PixelFormat {
    Gray8,  // one byte per pixel
    Rgb8,   // three bytes per pixel: red, green, blue
    Rgba8,  // four bytes per pixel: red, green, blue, alpha (alpha is ignored)
};

// A borrowed image. `bytes_per_line` of 0 means tightly packed rows.
struct ImageView {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    PixelFormat format = PixelFormat::Rgba8;
    std::span<const std::uint8_t> pixels;
    std::size_t bytes_per_line = 0;
};

// An owned 8-bit grey image with tightly packed rows.
struct GrayImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> pixels;

    std::uint8_t at(std::uint32_t x, std::uint32_t y) const { return pixels[std::size_t{y} * width + x]; }
};

// One recognised word; the box is in pixels of the prepared (deskewed) page,
// which has the size of the page as scanned.
struct OcrWord {
    std::string text;  // trimmed, never empty
    std::uint32_t left = 0;
    std::uint32_t top = 0;
    std::uint32_t width = 0;   // at least 1
    std::uint32_t height = 0;  // at least 1
    float confidence = 0.0f;   // 0.0 ... 1.0
    std::uint32_t page = 0;
    std::uint32_t block = 0;
    std::uint32_t paragraph = 0;
    std::uint32_t line = 0;
    std::uint32_t word = 0;

    friend bool operator==(const OcrWord&, const OcrWord&) = default;
};

// The words in reading order and the language code that was used.
struct OcrResult {
    std::vector<OcrWord> words;
    std::string language;

    friend bool operator==(const OcrResult&, const OcrResult&) = default;
};

// The failure of one recognition.
struct OcrError {
    enum class Kind {
        InvalidLanguage,  // the language code breaks the rule
        ImageTooLarge,    // wider or taller than 10000, or over 60,000,000 pixels
        Io,               // temporary file or engine start failed: `io` says why
        ImageEncoding,    // the prepared image could not be written: `message`
        EngineMissing,    // no "tesseract" on the search path
        EngineFailed,     // timed out, over a limit, failed, or unreadable: `message`
    };

    Kind kind = Kind::EngineFailed;
    std::string message;
    std::error_code io;

    static OcrError invalid_language() { return {Kind::InvalidLanguage, {}, {}}; }
    static OcrError image_too_large() { return {Kind::ImageTooLarge, {}, {}}; }
    static OcrError io_error(std::error_code error) { return {Kind::Io, {}, error}; }
    static OcrError image_encoding(std::string why) { return {Kind::ImageEncoding, std::move(why), {}}; }
    static OcrError engine_missing() { return {Kind::EngineMissing, {}, {}}; }
    static OcrError engine_failed(std::string why) { return {Kind::EngineFailed, std::move(why), {}}; }

    friend bool operator==(const OcrError&, const OcrError&) = default;
};

// Failure texts of the engine run and of the word-table reader.
inline constexpr std::string_view output_limit_text = "OCR output exceeded the safety limit";
inline constexpr std::string_view diagnostics_limit_text = "OCR diagnostics exceeded the safety limit";
inline constexpr std::string_view process_failed_text = "OCR engine process failed";
inline constexpr std::string_view timed_out_text = "OCR engine timed out";
inline constexpr std::string_view too_many_words_text = "OCR returned too many words";

// A language code is 1 to 64 bytes of ASCII letters, digits, "+", "_" and
// "-", beginning and ending with a letter or digit.
bool is_valid_language(std::string_view language);

// The words joined for display: a space between words of one line, a line
// feed between lines, nothing at the end.
std::string recognized_text(const OcrResult& result);

}  // namespace ocr
