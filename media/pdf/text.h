// Text of the invisible layer: UTF-8 to one WinAnsi byte per character, and
// escaping for a PDF literal string.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace pdf {

// Maps each character of the UTF-8 `text` to one WinAnsiEncoding byte, so
// the result has exactly as many bytes as the text has characters. Tab and
// no-break space become a space; line feed and carriage return are kept as
// bytes 0A and 0D; characters Helvetica's WinAnsi table cannot show become
// "?". Malformed UTF-8 counts one character per maximal ill-formed run and
// becomes "?"; an encoded surrogate counts as one character.
std::vector<std::uint8_t> encode_win_ansi(std::string_view text);

// Returns `bytes` ready to stand between the parentheses of a PDF literal
// string: "\" "(" ")" get a backslash before them, line feed and carriage
// return become "\n" and "\r" (a raw carriage return would be read back as a
// line feed), every other byte is copied.
std::vector<std::uint8_t> escape_pdf_string(std::span<const std::uint8_t> bytes);

// True when `text` holds nothing but Unicode white space (or nothing at all).
bool is_blank(std::string_view text);

}  // namespace pdf
