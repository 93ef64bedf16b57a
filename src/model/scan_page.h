// One scanned page and the request that produces one. Pages are plain values
// whose image buffers are shared and immutable, so a copy is cheap.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "os_actions/printing.h"

namespace pagora {

using SharedBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

struct ScanPage {
  std::string status;
  std::string language;  // English name: "English", "German", ...
  std::optional<std::string> text;
  SharedBytes encoded;  // identity names the page for recognition results
  SharedBytes pixels;   // RGBA, width * height * 4
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  bool text_stale = false;
  bool recognizing = false;
};

struct ScanRequest {
  std::string scanner_id;
  os_actions::printing::ScanOptions options;
  std::string language_code;  // "eng", "deu", "fra", "spa"
  std::string language_name;  // "English", "German", ...
};

}  // namespace pagora
