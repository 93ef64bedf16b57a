// The word-table reader, the text joiner, the language rule and the UTF-8
// helpers the reader and the engine run rely on.
#include "ocr/ocr.h"
#include "ocr/text.h"
#include "ocr/word_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using ocr::OcrError;
using ocr::OcrResult;
using ocr::OcrWord;

const std::string header = "level\tpage_num\tblock_num\tpar_num\tline_num\tword_num\tleft\ttop\twidth\theight\tconf\ttext\n";

// A word row with the layout numbers and box given, and any confidence/text.
std::string row(const std::string& conf, const std::string& text, const std::string& line = "1",
                const std::string& word = "1", const std::string& box = "10\t20\t30\t40") {
    return "5\t1\t1\t1\t" + line + "\t" + word + "\t" + box + "\t" + conf + "\t" + text + "\n";
}

struct Expected {
    std::string text;
    float confidence;
    std::uint32_t line = 1;
    std::uint32_t word = 1;
};

struct TableCase {
    const char* name;
    std::string table;
    std::vector<Expected> words;
};

TEST(WordTable, ReadsRowsAndSkipsMalformedOnesOneByOne) {
    const std::string ok = row("96.5", "kept");
    const std::vector<TableCase> cases = {
        {"empty text", "", {}},
        {"header only", header, {}},
        {"first line dropped whatever it holds", row("90", "first") + row("90", "second"), {{"second", 0.9f}}},
        {"plain word", header + row("96.5", "Hello"), {{"Hello", 0.965f}}},
        {"confidence above 100 is clamped", header + row("150", "w"), {{"w", 1.0f}}},
        {"confidence zero", header + row("0", "w"), {{"w", 0.0f}}},
        {"confidence -0 passes as 0", header + row("-0", "w"), {{"w", 0.0f}}},
        {"confidence with plus sign", header + row("+50", "w"), {{"w", 0.5f}}},
        {"confidence underflow reads as 0", header + row("1e-999", "w"), {{"w", 0.0f}}},
        {"confidence -1 skipped", header + row("-1", "w"), {}},
        {"confidence nan skipped", header + row("nan", "w") + row("NaN", "w"), {}},
        {"confidence inf skipped", header + row("inf", "w") + row("-inf", "w") + row("infinity", "w"), {}},
        {"confidence overflow skipped", header + row("1e999", "w") + row("999999999999999999999999999999999999999999", "w"), {}},
        {"confidence unreadable counts as -1", header + row("abc", "w") + row("", "w") + row("5.", "five") + row("1e", "w") + row("++5", "w") + row(" 5", "w"), {{"five", 0.05f}}},
        {"text trimmed", header + row("90", "  padded \v"), {{"padded", 0.9f}}},
        {"text of spaces skipped", header + row("90", "   "), {}},
        {"unicode spaces trimmed", header + row("90", "\u00a0\u3000wort\u2003"), {{"wort", 0.9f}}},
        {"text of 4096 bytes kept", header + row("90", std::string(4096, 'x')), {{std::string(4096, 'x'), 0.9f}}},
        {"text of 4097 bytes skipped", header + row("90", std::string(4097, 'x')), {}},
        {"level other than 5 skipped",
         header + "4\t1\t1\t1\t1\t0\t10\t20\t30\t40\t-1\t\n" + "5 \t1\t1\t1\t1\t1\t10\t20\t30\t40\t90\tw\n" +
             "05\t1\t1\t1\t1\t1\t10\t20\t30\t40\t90\tw\n",
         {}},
        {"11 and 13 fields skipped",
         header + "5\t1\t1\t1\t1\t1\t10\t20\t30\t40\t90\n" + "5\t1\t1\t1\t1\t1\t10\t20\t30\t40\t90\tw\textra\n", {}},
        {"zero width or height skipped", header + row("90", "w", "1", "1", "10\t20\t0\t40") + row("90", "w", "1", "1", "10\t20\t30\t0"), {}},
        {"box reaching 2^32-1 kept, one past skipped",
         header + row("90", "edge", "1", "1", "4294967294\t0\t1\t1") + row("90", "past", "1", "2", "4294967295\t0\t1\t1") +
             row("90", "tall", "1", "3", "0\t4294967290\t1\t6"),
         {{"edge", 0.9f}}},
        {"numbers with plus and leading zeros", header + "5\t+1\t001\t1\t+02\t0003\t+0\t0\t1\t1\t90\tw\n", {{"w", 0.9f, 2, 3}}},
        {"number one past 2^32-1 skipped", header + row("90", "w", "4294967296"), {}},
        {"largest number kept", header + row("90", "w", "4294967295"), {{"w", 0.9f, 4294967295u}}},
        {"minus, space, empty, bare plus in numbers skipped",
         header + row("90", "w", "-1") + row("90", "w", " 1") + row("90", "w", "") + row("90", "w", "+") + row("90", "w", "1x"),
         {}},
        {"CRLF reads like LF", "h\r\n" + std::string("5\t1\t1\t1\t1\t1\t1\t1\t1\t1\t90\tw\r\n"), {{"w", 0.9f}}},
        {"last line without line feed kept", header + "5\t1\t1\t1\t1\t1\t1\t1\t1\t1\t90\tlast", {{"last", 0.9f}}},
        {"carriage return of an unterminated last line stays in the text field",
         header + "5\t1\t1\t1\t1\t1\t1\t1\t1\t1\t90\tlast\r", {{"last", 0.9f}}},
        {"8 MB lines skipped alone",
         header + std::string(8'000'000, 'x') + "\n" + row("90", std::string(8'000'000, 'y')) + ok, {{"kept", 0.965f}}},
        {"NUL and invalid bytes are just text", header + row("90", std::string("a\0b\xff", 4)), {{std::string("a\0b\xff", 4), 0.9f}}},
        {"sorted by line then word, stable for equal numbers",
         header + row("80", "second", "2", "1") + row("70", "first", "1", "1") + row("60", "tie-a", "3", "1") +
             row("50", "tie-b", "3", "1"),
         {{"first", 0.7f, 1, 1}, {"second", 0.8f, 2, 1}, {"tie-a", 0.6f, 3, 1}, {"tie-b", 0.5f, 3, 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = ocr::parse_word_table(c.table, "eng");
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(result->language, "eng");
        ASSERT_EQ(result->words.size(), c.words.size());
        for (std::size_t i = 0; i < c.words.size(); ++i) {
            EXPECT_EQ(result->words[i].text, c.words[i].text);
            EXPECT_FLOAT_EQ(result->words[i].confidence, c.words[i].confidence);
            EXPECT_FALSE(std::signbit(result->words[i].confidence));
            EXPECT_EQ(result->words[i].line, c.words[i].line);
            EXPECT_EQ(result->words[i].word, c.words[i].word);
        }
    }
}

TEST(WordTable, KeepsEveryColumn) {
    const auto result = ocr::parse_word_table(header + "5\t2\t3\t4\t5\t6\t7\t8\t9\t10\t42\tword\n", "deu+fra");
    ASSERT_TRUE(result.has_value());
    const OcrWord expected{"word", 7, 8, 9, 10, 0.42f, 2, 3, 4, 5, 6};
    ASSERT_EQ(result->words.size(), 1u);
    EXPECT_EQ(result->words[0], expected);
    EXPECT_EQ(result->language, "deu+fra");
}

TEST(WordTable, RefusesOversizedTablesAndTooManyWords) {
    std::string many = header;
    many.reserve(250'001 * 32);
    for (int i = 0; i < 250'000; ++i) many += "5\t1\t1\t1\t1\t1\t1\t1\t1\t1\t90\tw\n";
    const auto all = ocr::parse_word_table(many, "eng");
    ASSERT_TRUE(all.has_value());
    EXPECT_EQ(all->words.size(), 250'000u);

    // Skipped lines do not count; one more valid word does.
    const auto with_junk = ocr::parse_word_table(many + "4\t1\t1\t1\t1\t1\t1\t1\t1\t1\t90\tw\n", "eng");
    ASSERT_TRUE(with_junk.has_value());
    const auto over = ocr::parse_word_table(many + "5\t1\t1\t1\t1\t1\t1\t1\t1\t1\t90\tw\n", "eng");
    ASSERT_FALSE(over.has_value());
    EXPECT_EQ(over.error(), OcrError::engine_failed("OCR returned too many words"));

    std::string big(ocr::max_table_bytes, '\n');
    EXPECT_TRUE(ocr::parse_word_table(big, "eng").has_value());
    big += '\n';
    const auto too_big = ocr::parse_word_table(big, "eng");
    ASSERT_FALSE(too_big.has_value());
    EXPECT_EQ(too_big.error(), OcrError::engine_failed("OCR output exceeded the safety limit"));
    // The language is checked first.
    EXPECT_EQ(ocr::parse_word_table(big, "").error(), OcrError::invalid_language());
}

TEST(Language, Rule) {
    const struct {
        std::string code;
        bool valid;
    } cases[] = {
        {"eng", true}, {"deu", true}, {"eng+deu", true}, {"chi_sim", true}, {"a", true}, {"7", true},
        {std::string(64, 'x'), true}, {"", false}, {std::string(65, 'x'), false}, {"+eng", false},
        {"eng+", false}, {"_eng", false}, {"eng-", false}, {"en g", false}, {"eng;rm", false},
        {"eng/../x", false}, {std::string("en\0g", 4), false}, {"\xc3\xa9ng", false},
    };
    for (const auto& c : cases) EXPECT_EQ(ocr::is_valid_language(c.code), c.valid) << '"' << c.code << '"';
}

TEST(RecognizedText, JoinsLinesAndWords) {
    auto word = [](std::string text, std::uint32_t block, std::uint32_t line) {
        OcrWord w;
        w.text = std::move(text);
        w.width = w.height = 1;
        w.page = 1;
        w.block = block;
        w.line = line;
        return w;
    };
    EXPECT_EQ(ocr::recognized_text(OcrResult{}), "");
    EXPECT_EQ(ocr::recognized_text(OcrResult{{word("Hello", 1, 1), word("world", 1, 1), word("Again", 1, 2)}, "eng"}),
              "Hello world\nAgain");
    EXPECT_EQ(ocr::recognized_text(OcrResult{{word("one", 1, 1), word("two", 2, 1)}, "eng"}), "one\ntwo");
    EXPECT_EQ(ocr::recognized_text(OcrResult{{word("only", 1, 1)}, "eng"}), "only");
}

TEST(Utf8, DecodeTrimAndCut) {
    const std::string replacement = "\xEF\xBF\xBD";
    const struct {
        const char* name;
        std::string in, out;
    } decodes[] = {
        {"ascii", "plain", "plain"},
        {"valid multibyte", "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80", "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"},
        {"lone continuation", "a\x80z", "a" + replacement + "z"},
        {"truncated sequence is one replacement", "a\xe2\x82z", "a" + replacement + "z"},
        {"truncated at the end", "a\xf0\x9f\x98", "a" + replacement},
        {"overlong", "\xc0\xaf", replacement + replacement},
        {"surrogate", "\xed\xa0\x80", replacement + replacement + replacement},
        {"above U+10FFFF", "\xf4\x90\x80\x80", replacement + replacement + replacement + replacement},
        {"NUL kept", std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& c : decodes) EXPECT_EQ(ocr::text::decode_lossy(c.in), c.out) << c.name;

    EXPECT_EQ(ocr::text::trim(" \t\r\n x y \n"), "x y");
    EXPECT_EQ(ocr::text::trim("\u2028\u00a0"), "");
    EXPECT_EQ(ocr::text::trim("\xff "), "\xff");
    EXPECT_EQ(ocr::text::trim(" \x80"), "\x80");

    std::string accents;
    for (int i = 0; i < 600; ++i) accents += "\xc3\xa9";
    const auto cut = ocr::text::first_characters(accents, 500);
    EXPECT_EQ(cut.size(), 1000u);
    EXPECT_EQ(ocr::text::first_characters("short", 500), "short");
}

}  // namespace
