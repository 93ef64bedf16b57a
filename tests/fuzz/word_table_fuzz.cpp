// libFuzzer target for the word-table reader and the UTF-8 helpers it uses.
// Any input must be read without a crash, a sanitizer report or a broken
// promise of the reader (checked below).
#include "ocr/text.h"
#include "ocr/word_table.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>

namespace {

void require(bool condition) {
    if (!condition) __builtin_trap();
}

bool valid_utf8(std::string_view s) { return ocr::text::decode_lossy(s) == s; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const languages[] = {"eng", "deu+fra", "", "+eng", "chi_sim"};
    const std::size_t pick = size > 0 ? data[0] % 5 : 0;
    const std::string_view table(reinterpret_cast<const char*>(data), size);

    // The engine's output is decoded before it is read, so feed it both ways.
    const std::string decoded = ocr::text::decode_lossy(table);
    require(valid_utf8(decoded));

    for (const std::string_view input : {table, std::string_view(decoded)}) {
        ocr::OcrResult result;
        const auto error = ocr::read_word_table(input, languages[pick], result);
        if (error) {
            require(result.words.empty());
            continue;
        }
        require(ocr::is_valid_language(result.language));
        require(result.words.size() <= ocr::max_words);
        for (std::size_t i = 0; i < result.words.size(); ++i) {
            const ocr::OcrWord& w = result.words[i];
            require(!w.text.empty() && w.text.size() <= ocr::max_word_text_bytes);
            require(ocr::text::trim(w.text) == w.text);
            require(w.width >= 1 && w.height >= 1);
            require(std::uint64_t{w.left} + w.width <= 0xFFFFFFFFu && std::uint64_t{w.top} + w.height <= 0xFFFFFFFFu);
            require(!std::isnan(w.confidence) && w.confidence >= 0.0f && w.confidence <= 1.0f);
            if (i > 0) {
                const ocr::OcrWord& p = result.words[i - 1];
                require(std::tie(p.page, p.block, p.paragraph, p.line, p.word) <=
                        std::tie(w.page, w.block, w.paragraph, w.line, w.word));
            }
        }
        const std::string joined = ocr::recognized_text(result);
        require(result.words.empty() == joined.empty());
    }

    const std::string_view trimmed = ocr::text::trim(table);
    require(trimmed.size() <= table.size());
    const std::string_view cut = ocr::text::first_characters(decoded, 500);
    require(valid_utf8(cut));
    return 0;
}
