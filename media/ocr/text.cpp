// UTF-8 handling for the engine's output, which is not trusted to be valid.
#include "ocr/text.h"

#include <cstdint>

namespace ocr::text {
namespace {

struct Decoded {
    char32_t code_point;  // 0xFFFFFFFF when invalid
    std::size_t length;   // bytes consumed: the sequence, or its maximal invalid subpart
};

constexpr char32_t invalid = 0xFFFFFFFF;

bool in(unsigned char byte, unsigned char low, unsigned char high) { return byte >= low && byte <= high; }

Decoded decode_one(std::string_view s, std::size_t pos) {
    const auto b0 = static_cast<unsigned char>(s[pos]);
    if (b0 < 0x80) return {b0, 1};
    std::size_t needed = 0;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    char32_t value = 0;
    if (in(b0, 0xC2, 0xDF)) {
        needed = 1;
        value = b0 & 0x1F;
    } else if (in(b0, 0xE0, 0xEF)) {
        needed = 2;
        value = b0 & 0x0F;
        if (b0 == 0xE0) low = 0xA0;
        if (b0 == 0xED) high = 0x9F;  // no surrogates
    } else if (in(b0, 0xF0, 0xF4)) {
        needed = 3;
        value = b0 & 0x07;
        if (b0 == 0xF0) low = 0x90;
        if (b0 == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return {invalid, 1};
    }
    std::size_t length = 1;
    for (std::size_t k = 0; k < needed; ++k) {
        if (pos + length >= s.size()) return {invalid, length};
        const auto b = static_cast<unsigned char>(s[pos + length]);
        const bool ok = k == 0 ? in(b, low, high) : in(b, 0x80, 0xBF);
        if (!ok) return {invalid, length};
        value = (value << 6) | (b & 0x3F);
        ++length;
    }
    return {value, length};
}

bool is_space(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

bool is_continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

}  // namespace

std::string decode_lossy(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        // Runs of ASCII are the common case; copy them in one go.
        std::size_t ascii_end = pos;
        while (ascii_end < bytes.size() && static_cast<unsigned char>(bytes[ascii_end]) < 0x80) ++ascii_end;
        out.append(bytes.substr(pos, ascii_end - pos));
        pos = ascii_end;
        if (pos >= bytes.size()) break;
        const Decoded d = decode_one(bytes, pos);
        if (d.code_point == invalid) {
            out.append("\xEF\xBF\xBD");
        } else {
            out.append(bytes.substr(pos, d.length));
        }
        pos += d.length;
    }
    return out;
}

std::string_view trim(std::string_view s) {
    std::size_t begin = 0;
    while (begin < s.size()) {
        const Decoded d = decode_one(s, begin);
        if (d.code_point == invalid || !is_space(d.code_point)) break;
        begin += d.length;
    }
    std::size_t end = s.size();
    while (end > begin) {
        // Step back to the start of the last character, at most four bytes.
        std::size_t start = end - 1;
        while (start > begin && end - start < 4 && is_continuation(static_cast<unsigned char>(s[start]))) --start;
        const Decoded d = decode_one(s, start);
        if (d.code_point == invalid || start + d.length != end || !is_space(d.code_point)) break;
        end = start;
    }
    return s.substr(begin, end - begin);
}

std::string_view first_characters(std::string_view s, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t pos = 0; pos < s.size(); ++pos) {
        if (is_continuation(static_cast<unsigned char>(s[pos]))) continue;
        if (seen == count) return s.substr(0, pos);
        ++seen;
    }
    return s;
}

}  // namespace ocr::text
