// Settings of the engine run that tests and benchmarks may change; the
// program always uses the defaults.
#pragma once

#include "ocr/types.h"

#include <chrono>
#include <expected>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ocr::detail {

struct EngineSettings {
    // Where "tesseract" is looked for; the process's own search path if absent.
    std::optional<std::string> search_path;
    std::chrono::milliseconds time_limit{std::chrono::seconds(120)};
    // Where the temporary PNG goes; the system's temporary folder if absent.
    std::optional<std::filesystem::path> temporary_folder;
    // One engine thread per page is several times faster than the engine's
    // own threading for a single page, with the same output.
    bool single_threaded = true;
};

std::expected<OcrResult, OcrError> recognize_with(const ImageView& image, std::string_view language,
                                                  const EngineSettings& settings);

}  // namespace ocr::detail
