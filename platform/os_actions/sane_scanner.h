// Scanners through libsane: listing devices and scanning one page into a PNG,
// with each backend's own option names and values looked up at run time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "os_actions/system_service.h"

namespace os_actions::printing {

namespace sane {

// The backend's value for a colour mode (0 colour, 1 grayscale, 2 text), from
// its own list; absent when it offers nothing close. Text prefers a
// black-and-white mode and falls back to grey (then scanned at depth 1).
std::optional<std::string> choose_mode(const std::vector<std::string>& allowed, std::uint8_t colour_mode);

// The backend's value for a paper source (0 flatbed, 1 feeder, 2 two-sided);
// a missing two-sided source falls back to the feeder, a missing feeder to
// the flatbed; absent when nothing fits (the backend's default is kept).
std::optional<std::string> choose_source(const std::vector<std::string>& allowed, std::uint8_t source);

// The allowed value nearest to `wanted` (the larger one on a tie), from a
// list, or from a range with an optional step (0 = any).
double nearest_in_list(const std::vector<double>& allowed, double wanted);
double nearest_in_range(double min, double max, double step, double wanted);

// One frame as the backend delivered it.
struct Frame {
  enum class Kind : std::uint8_t { Gray, Rgb, Red, Green, Blue };
  Kind kind = Kind::Gray;
  int depth = 8;             // bits per sample: 1, 8 or 16
  int pixels_per_line = 0;
  int bytes_per_line = 0;
  std::vector<std::uint8_t> data;  // whole lines; a trailing partial line is ignored
};

// A PNG of the page made of one frame (grey or RGB) or three single-colour
// frames. 1-bit grey stays 1-bit (a set bit is black), 16-bit grey stays
// 16-bit (host byte order in), colour becomes 8 bits per channel.
Result<ImageBytes> encode_page(const std::vector<Frame>& frames);

}  // namespace sane

class SaneScanners {
 public:
  explicit SaneScanners(SystemServiceOptions options);
  Result<std::vector<Scanner>> scanners();
  Result<ImageBytes> scan_page(const std::string& scanner_id, const ScanOptions& options);

 private:
  SystemServiceOptions options_;
};

}  // namespace os_actions::printing
