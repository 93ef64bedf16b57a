// Numbers as the writer puts them in a PDF file.
#pragma once

#include <cstdint>
#include <string>

namespace pdf {

// Appends `value` in the shortest decimal form that reads back as the same
// double, never with an exponent and without a fraction when it is whole
// (595, 297.5, 141.5). Meant for finite coordinates; -0 is written as 0.
void append_real(std::string& out, double value);

// Appends `value` in plain decimal.
void append_integer(std::string& out, std::uint64_t value);

// Appends `value` as exactly `width` digits, zero-padded on the left.
// Values needing more digits are written in full.
void append_padded(std::string& out, std::uint64_t value, int width);

}  // namespace pdf
