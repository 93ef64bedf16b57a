// A small reader for the files the writer makes, independent of the writer's
// own code: it follows startxref and the cross-reference table the way a PDF
// reader does, so a wrong offset shows up as a wrong object.
#pragma once

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pdf::testing {

inline std::string as_string(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

inline std::uint64_t parse_number(std::string_view s) {
  std::uint64_t v = 0;
  const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
  EXPECT_EQ(res.ec, std::errc{}) << "not a number: " << s;
  return v;
}

struct Layout {
  std::uint64_t startxref = 0;
  std::uint64_t size = 0;                // /Size of the trailer
  std::uint64_t root = 0;                // /Root of the trailer
  std::vector<std::uint64_t> offsets;    // offsets[n - 1] is object n's
};

// Reads the trailer and cross-reference table; records test failures for
// anything malformed.
inline Layout read_layout(const std::string& file) {
  Layout l;
  const auto sx = file.rfind("startxref\n");
  if (sx == std::string::npos) {
    ADD_FAILURE() << "no startxref";
    return l;
  }
  const auto sx_end = file.find('\n', sx + 10);
  l.startxref = parse_number(std::string_view(file).substr(sx + 10, sx_end - sx - 10));
  EXPECT_EQ(file.substr(sx_end), "\n%%EOF\n");
  if (l.startxref >= file.size() || file.compare(l.startxref, 5, "xref\n") != 0) {
    ADD_FAILURE() << "startxref " << l.startxref << " does not point at xref";
    return l;
  }
  std::size_t pos = l.startxref + 5;
  EXPECT_EQ(file.compare(pos, 2, "0 "), 0);
  const auto count_end = file.find('\n', pos);
  const std::uint64_t count = parse_number(std::string_view(file).substr(pos + 2, count_end - pos - 2));
  pos = count_end + 1;
  EXPECT_EQ(file.substr(pos, 20), "0000000000 65535 f \n");
  pos += 20;
  for (std::uint64_t n = 1; n < count; ++n, pos += 20) {
    const std::string line = file.substr(pos, 20);
    EXPECT_EQ(line.substr(10), " 00000 n \n") << "xref line of object " << n;
    l.offsets.push_back(parse_number(std::string_view(line).substr(0, 10)));
  }
  const std::string trailer = file.substr(pos, sx - pos);
  EXPECT_TRUE(trailer.starts_with("trailer\n<< /Size ")) << trailer;
  const auto size_at = trailer.find("/Size ") + 6;
  l.size = parse_number(std::string_view(trailer).substr(size_at, trailer.find(' ', size_at) - size_at));
  const auto root_at = trailer.find("/Root ") + 6;
  l.root = parse_number(std::string_view(trailer).substr(root_at, trailer.find(' ', root_at) - root_at));
  EXPECT_EQ(trailer.substr(trailer.find(" 0 R")), " 0 R >>\n");
  return l;
}

// The bytes between "n 0 obj\n" and "\nendobj\n", located through the
// cross-reference table.
inline std::string object(const std::string& file, const Layout& layout, std::uint64_t n) {
  if (n == 0 || n > layout.offsets.size()) {
    ADD_FAILURE() << "no object " << n;
    return {};
  }
  const std::uint64_t at = layout.offsets[n - 1];
  const std::string start = std::to_string(n) + " 0 obj\n";
  if (file.compare(at, start.size(), start) != 0) {
    ADD_FAILURE() << "offset " << at << " of object " << n << " does not point at \"" << n << " 0 obj\"";
    return {};
  }
  const auto end = file.find("\nendobj\n", at);
  return file.substr(at + start.size(), end - at - start.size());
}

struct Stream {
  std::string dict;  // from "<<" to ">>"
  std::string data;  // exactly /Length bytes
};

inline Stream stream(const std::string& obj) {
  Stream s;
  const auto dict_end = obj.find(" >>\nstream\n");
  if (dict_end == std::string::npos || !obj.starts_with("<< /Length ")) {
    ADD_FAILURE() << "not a stream object: " << obj.substr(0, 80);
    return s;
  }
  s.dict = obj.substr(0, dict_end + 3);
  const auto len_end = obj.find_first_of(" >", 11);
  const std::uint64_t length = parse_number(std::string_view(obj).substr(11, len_end - 11));
  const auto data_at = dict_end + 11;
  s.data = obj.substr(data_at, length);
  EXPECT_EQ(obj.substr(data_at + length), "\nendstream") << "stream length does not match its data";
  return s;
}

}  // namespace pdf::testing
