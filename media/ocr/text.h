// UTF-8 helpers of the recogniser: lossy decoding, trimming, cutting.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ocr::text {

// Valid UTF-8 copied as it is; each invalid sequence (maximal subpart)
// replaced by U+FFFD.
std::string decode_lossy(std::string_view bytes);

// Removes Unicode white space at both ends. Bytes that are not valid UTF-8
// count as non-space.
std::string_view trim(std::string_view utf8);

// The first `count` characters (code points) of valid UTF-8.
std::string_view first_characters(std::string_view utf8, std::size_t count);

}  // namespace ocr::text
