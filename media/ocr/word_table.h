// Reading the engine's tab-separated word table.
#pragma once

#include "ocr/types.h"

#include <optional>
#include <string_view>

namespace ocr {

inline constexpr std::size_t max_table_bytes = 16'777'216;
inline constexpr std::size_t max_words = 250'000;
inline constexpr std::size_t max_word_text_bytes = 4096;

// The reader behind parse_word_table, in a form without <expected> (the
// fuzzing build uses a compiler whose library lacks it). Fills `result` and
// answers nothing, or answers the failure and leaves `result` empty.
std::optional<OcrError> read_word_table(std::string_view table, std::string_view language, OcrResult& result);

}  // namespace ocr
