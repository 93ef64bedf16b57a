// The engine's word table: one header line, then twelve tab-separated columns
// per layout element (level, page, block, paragraph, line, word, left, top,
// width, height, confidence, text). Only well-formed word rows (level 5) are
// kept; every other row is skipped on its own, so one damaged line costs one
// word and never the page. The table as a whole is refused only when it is
// larger than the engine may print or holds more words than a page can.
#include "ocr/word_table.h"

#include "ocr/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <tuple>

namespace ocr {
namespace {

constexpr std::size_t column_count = 12;
constexpr std::size_t max_language_bytes = 64;

bool is_ascii_alnum(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// An optional "+" and one or more ASCII digits, at most 2^32 - 1.
std::optional<std::uint32_t> parse_u32(std::string_view s) {
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

// Whether an out-of-range decimal number is too large (rather than too small)
// for a float: the position of its first significant digit decides.
bool is_overflow(std::string_view s) {
    std::size_t i = (!s.empty() && (s.front() == '-' || s.front() == '+')) ? 1 : 0;
    long long integer_digits = 0;
    long long leading_fraction_zeros = 0;
    bool significant = false;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        if (s[i] != '0' || significant) {
            significant = true;
            ++integer_digits;
        }
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
            if (significant) continue;
            if (s[i] == '0') {
                ++leading_fraction_zeros;
            } else {
                significant = true;
            }
        }
    }
    long long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool negative = false;
        if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
        for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
            exponent = std::min(exponent * 10 + (s[i] - '0'), 1'000'000'000LL);
        }
        if (negative) exponent = -exponent;
    }
    if (!significant) return false;
    const long long magnitude = integer_digits > 0 ? integer_digits + exponent : exponent - leading_fraction_zeros;
    return magnitude > 0;
}

// A 32-bit float in decimal, "inf" or "nan" form with an optional sign; a
// field that does not read as one counts as -1.
float parse_confidence(std::string_view s) {
    constexpr float unreadable = -1.0f;
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && (s.front() == '+' || s.front() == '-')) return unreadable;
    }
    if (s.empty()) return unreadable;
    float value = 0.0f;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (end != s.data() + s.size()) return unreadable;
    if (error == std::errc::result_out_of_range) {
        const bool negative = s.front() == '-';
        if (is_overflow(s)) return negative ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
        return negative ? -0.0f : 0.0f;
    }
    if (error != std::errc()) return unreadable;
    return value;
}

std::optional<OcrWord> read_word_line(std::string_view line) {
    std::array<std::string_view, column_count> fields;
    std::size_t count = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        if (count == column_count) return std::nullopt;  // a 13th field
        fields[count++] = line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    if (count != column_count) return std::nullopt;
    if (fields[0] != "5") return std::nullopt;

    const std::string_view raw_text = fields[11];
    if (raw_text.size() > max_word_text_bytes) return std::nullopt;
    const std::string_view trimmed = text::trim(raw_text);
    if (trimmed.empty()) return std::nullopt;

    std::array<std::uint32_t, 9> numbers{};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const auto n = parse_u32(fields[i + 1]);
        if (!n) return std::nullopt;
        numbers[i] = *n;
    }
    const auto [page, block, paragraph, line_number, word, left, top, width, height] = numbers;
    constexpr std::uint64_t largest = std::numeric_limits<std::uint32_t>::max();
    if (width < 1 || std::uint64_t{left} + width > largest) return std::nullopt;
    if (height < 1 || std::uint64_t{top} + height > largest) return std::nullopt;

    const float confidence = parse_confidence(fields[10]);
    if (std::isnan(confidence) || std::isinf(confidence) || confidence < 0.0f) return std::nullopt;

    OcrWord result;
    result.text = std::string(trimmed);
    result.left = left;
    result.top = top;
    result.width = width;
    result.height = height;
    // "+ 0.0f" turns a confidence of -0 into 0.
    result.confidence = std::clamp(confidence / 100.0f, 0.0f, 1.0f) + 0.0f;
    result.page = page;
    result.block = block;
    result.paragraph = paragraph;
    result.line = line_number;
    result.word = word;
    return result;
}

auto layout_key(const OcrWord& w) { return std::tuple(w.page, w.block, w.paragraph, w.line, w.word); }

}  // namespace

bool is_valid_language(std::string_view language) {
    if (language.empty() || language.size() > max_language_bytes) return false;
    if (!is_ascii_alnum(language.front()) || !is_ascii_alnum(language.back())) return false;
    return std::all_of(language.begin(), language.end(),
                       [](char c) { return is_ascii_alnum(c) || c == '+' || c == '_' || c == '-'; });
}

std::optional<OcrError> read_word_table(std::string_view table, std::string_view language, OcrResult& result) {
    result = OcrResult{};
    if (!is_valid_language(language)) return OcrError::invalid_language();
    if (table.size() > max_table_bytes) return OcrError::engine_failed(std::string(output_limit_text));

    std::vector<OcrWord> words;
    bool header = true;
    std::size_t start = 0;
    while (start < table.size()) {
        const std::size_t feed = table.find('\n', start);
        std::string_view line = table.substr(start, feed == std::string_view::npos ? std::string_view::npos : feed - start);
        if (feed != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        start = feed == std::string_view::npos ? table.size() : feed + 1;
        if (header) {
            header = false;
            continue;
        }
        auto word = read_word_line(line);
        if (!word) continue;
        if (words.size() >= max_words) return OcrError::engine_failed(std::string(too_many_words_text));
        words.push_back(std::move(*word));
    }

    const auto by_layout = [](const OcrWord& a, const OcrWord& b) { return layout_key(a) < layout_key(b); };
    // The engine prints its table in reading order already; checking is
    // cheaper than a merge sort over a quarter of a million words.
    if (!std::is_sorted(words.begin(), words.end(), by_layout)) {
        std::stable_sort(words.begin(), words.end(), by_layout);
    }
    result.words = std::move(words);
    result.language = std::string(language);
    return std::nullopt;
}

std::string recognized_text(const OcrResult& result) {
    std::string out;
    const OcrWord* previous = nullptr;
    for (const OcrWord& w : result.words) {
        if (previous != nullptr && !out.empty()) {
            const bool same_line = std::tie(w.page, w.block, w.paragraph, w.line) ==
                                   std::tie(previous->page, previous->block, previous->paragraph, previous->line);
            out += same_line ? ' ' : '\n';
        }
        out += w.text;
        previous = &w;
    }
    return out;
}

}  // namespace ocr
