// WinAnsi mapping of the invisible text and literal-string escaping.
#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "pdf/text.h"

namespace pdf {
namespace {

std::vector<std::uint8_t> bytes(std::string_view s) { return {s.begin(), s.end()}; }

struct EncodeCase {
  const char* name;
  std::string input;  // UTF-8, possibly malformed
  std::vector<std::uint8_t> expected;
};

void PrintTo(const EncodeCase& c, std::ostream* os) { *os << c.name; }

class EncodeWinAnsi : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeWinAnsi, MapsEachCharacterToOneByte) {
  EXPECT_EQ(encode_win_ansi(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EncodeWinAnsi,
    ::testing::Values(
        EncodeCase{"printable_ascii_unchanged", " Az~09!", bytes(" Az~09!")},
        EncodeCase{"latin1_letters_single_bytes", "\u00E9t\u00E9 \u00FC\u00DF\u00FF\u00A1", {0xE9, 't', 0xE9, ' ', 0xFC, 0xDF, 0xFF, 0xA1}},
        EncodeCase{"soft_hyphen_and_nbsp", "a\u00ADb\u00A0c", {'a', 0xAD, 'b', ' ', 'c'}},
        EncodeCase{"tab_becomes_space", "a\tb", bytes("a b")},
        EncodeCase{"line_feed_and_return_kept", "a\nb\r\nc", {'a', 0x0A, 'b', 0x0D, 0x0A, 'c'}},
        EncodeCase{"typographic_punctuation",
                   "\u2013\u2014\u2018\u2019\u201C\u201D\u2022\u2026",
                   {0x96, 0x97, 0x91, 0x92, 0x93, 0x94, 0x95, 0x85}},
        EncodeCase{"euro_cjk_emoji_unknown", "\u20AC\u4E2D\U0001F600", bytes("???")},
        EncodeCase{"other_controls_unknown", std::string("\0\x01\x1F\x7F", 4) + "\u0080\u0085\u009F", bytes("???????")},
        EncodeCase{"above_latin1_unknown", "\u0100\u0152\uFFFD\U0010FFFF", bytes("????")},
        EncodeCase{"lone_surrogate_one_character", "a\xED\xA0\x80z", bytes("a?z")},
        EncodeCase{"truncated_sequence_at_end", "ab\xC3", bytes("ab?")},
        EncodeCase{"truncated_sequence_before_ascii", "\xE2\x82z", bytes("?z")},
        EncodeCase{"truncated_four_byte_sequence", "\xF0\x9F\x98", bytes("?")},
        EncodeCase{"stray_continuation_bytes", "\x80\xBFx", bytes("??x")},
        EncodeCase{"overlong_forms_rejected", "\xC0\xAF\xE0\x80\x80", bytes("?????")},
        EncodeCase{"beyond_unicode_rejected", "\xF4\x90\x80\x80\xF5", bytes("?????")},
        EncodeCase{"empty", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EncodeWinAnsiCount, ByteCountEqualsCharacterCount) {
  // 9 characters of 1 to 4 bytes each.
  const std::string text = "a\u00E9\u2014\U0001F600 \u4E2D\t\n\u20AC";
  EXPECT_EQ(encode_win_ansi(text).size(), 9u);
}

struct EscapeCase {
  const char* name;
  std::vector<std::uint8_t> input;
  std::string expected;
};

void PrintTo(const EscapeCase& c, std::ostream* os) { *os << c.name; }

class EscapePdfString : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapePdfString, EscapesOnlyWhatALiteralStringNeeds) {
  const auto out = escape_pdf_string(GetParam().input);
  EXPECT_EQ(std::string(out.begin(), out.end()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EscapePdfString,
    ::testing::Values(
        EscapeCase{"parentheses", bytes("f(x) = (y)"), "f\\(x\\) = \\(y\\)"},
        EscapeCase{"unbalanced_parenthesis", bytes(")("), "\\)\\("},
        EscapeCase{"backslash", bytes("a\\b\\\\"), "a\\\\b\\\\\\\\"},
        EscapeCase{"line_feed_and_return", bytes("a\nb\rc"), "a\\nb\\rc"},
        EscapeCase{"high_bytes_copied", {0xE9, 0x97, 0xFF, 0x80}, "\xE9\x97\xFF\x80"},
        EscapeCase{"other_bytes_copied", bytes("%<>[]{}/#\t?"), "%<>[]{}/#\t?"},
        EscapeCase{"empty", {}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Reads a literal string the way a PDF reader does (the escapes this writer
// can produce, plus the rule that an unescaped ")" ends the string).
std::vector<std::uint8_t> read_literal(const std::vector<std::uint8_t>& s, bool& ended_early) {
  std::vector<std::uint8_t> out;
  ended_early = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == ')' || s[i] == '(') {
      ended_early = true;  // a reader would balance or end here
      return out;
    }
    if (s[i] != '\\') {
      out.push_back(s[i] == '\r' ? '\n' : s[i]);  // readers turn raw line ends into LF
      continue;
    }
    if (++i == s.size()) {
      ended_early = true;
      return out;
    }
    switch (s[i]) {
      case 'n': out.push_back('\n'); break;
      case 'r': out.push_back('\r'); break;
      default: out.push_back(s[i]);
    }
  }
  return out;
}

TEST(EscapePdfStringRoundTrip, AnyBytesReadBackUnchanged) {
  std::mt19937 rng(7);
  for (int round = 0; round < 500; ++round) {
    std::vector<std::uint8_t> in(rng() % 40);
    for (auto& b : in) b = static_cast<std::uint8_t>(rng() % 4 == 0 ? "()\\\n\r"[rng() % 5] : rng());
    bool ended_early = false;
    EXPECT_EQ(read_literal(escape_pdf_string(in), ended_early), in);
    EXPECT_FALSE(ended_early);
  }
}

TEST(IsBlank, OnlyUnicodeWhiteSpaceIsBlank) {
  const struct {
    std::string text;
    bool blank;
  } cases[] = {
      {"", true},
      {"   ", true},
      {" \t\n\r\v\f", true},
      {"\u00A0\u2003\u3000\u2028", true},
      {" a ", false},
      {"\xFF", false},       // malformed input is not white space
      {std::string(1, '\0'), false},
      {"\u200B", false},     // zero-width space is not white space
  };
  for (const auto& c : cases) EXPECT_EQ(is_blank(c.text), c.blank) << "text: \"" << c.text << '"';
}

}  // namespace
}  // namespace pdf
