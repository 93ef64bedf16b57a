// Text recognition of a page image through the outside engine "tesseract".
#pragma once

#include "ocr/types.h"

#include <expected>
#include <string_view>

namespace ocr {

// Recognises the words of `image` in the language model(s) `language`
// ("eng", "deu+fra", ...). Prepares the image, writes it to a fresh temporary
// PNG, runs the engine single-threaded under fixed limits (120 s, 16 MiB of
// table, 4 KiB of diagnostics) and reads its word table. The temporary file is
// removed on every path. Blocking; holds no state, so calls may overlap.
std::expected<OcrResult, OcrError> recognize(const ImageView& image, std::string_view language);

// Makes the page ready for the engine: 8-bit grey, raised contrast, and
// straightened when it was scanned slightly askew. Fails only with
// ImageTooLarge, before any pixel is read.
std::expected<GrayImage, OcrError> prepare_image(const ImageView& image);

// Reads the engine's tab-separated word table (see word_table.h).
std::expected<OcrResult, OcrError> parse_word_table(std::string_view table, std::string_view language);

}  // namespace ocr
