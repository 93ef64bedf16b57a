// Scanners through libsane. libsane is not safe to call from several threads
// at once, so all calls run one at a time on worker threads; the caller waits
// with a watchdog and cancels a scan whose data stops arriving.
#include "os_actions/sane_scanner.h"

#include "os_actions/png_writer.h"
#include "os_actions/watched_call.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace os_actions::printing {
namespace sane {
namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

using Test = std::function<bool(const std::string&)>;

// The first allowed value passing the earliest test in `tests`.
std::optional<std::string> first_match(const std::vector<std::string>& allowed, const std::vector<Test>& tests) {
  for (const Test& test : tests)
    for (const auto& value : allowed)
      if (test(lower(value))) return value;
  return std::nullopt;
}

Test is(std::string_view word) {
  return [w = std::string(word)](const std::string& v) { return v == w; };
}
Test has(std::string_view word) {
  return [w = std::string(word)](const std::string& v) { return v.find(w) != std::string::npos; };
}

bool two_sided_word(const std::string& v) {
  return v.find("duplex") != std::string::npos || v.find("both") != std::string::npos ||
         v.find("two") != std::string::npos;
}

}  // namespace

std::optional<std::string> choose_mode(const std::vector<std::string>& allowed, std::uint8_t colour_mode) {
  const std::vector<Test> colour = {is("color"), is("colour"), has("color"), has("colour"), is("rgb")};
  const std::vector<Test> grey = {is("gray"), is("grey"), has("gray"), has("grey")};
  switch (colour_mode) {
    case 0: return first_match(allowed, colour);
    case 1: return first_match(allowed, grey);
    case 2: {
      if (auto bw = first_match(allowed, {is("lineart"), has("lineart"), is("binary"), has("black"),
                                          has("halftone")}))
        return bw;
      return first_match(allowed, grey);
    }
    default: return std::nullopt;
  }
}

std::optional<std::string> choose_source(const std::vector<std::string>& allowed, std::uint8_t source) {
  const auto flatbed = [&] {
    return first_match(allowed, {has("flatbed"), is("normal"), is("fb"), has("platen")});
  };
  const auto feeder = [&] {
    return first_match(allowed, {[](const std::string& v) {
                                   return (v.find("adf") != std::string::npos ||
                                           v.find("feeder") != std::string::npos) &&
                                          !two_sided_word(v) && v.find("back") == std::string::npos;
                                 }});
  };
  switch (source) {
    case 0: return flatbed();
    case 1: {
      if (auto f = feeder()) return f;
      return flatbed();
    }
    case 2: {
      if (auto d = first_match(allowed, {two_sided_word})) return d;
      if (auto f = feeder()) return f;
      return flatbed();
    }
    default: return std::nullopt;
  }
}

double nearest_in_list(const std::vector<double>& allowed, double wanted) {
  if (allowed.empty()) return wanted;
  double best = allowed.front();
  for (double v : allowed) {
    const double d = std::abs(v - wanted), bd = std::abs(best - wanted);
    if (d < bd || (d == bd && v > best)) best = v;
  }
  return best;
}

double nearest_in_range(double min, double max, double step, double wanted) {
  if (max < min) std::swap(min, max);
  double v = std::clamp(wanted, min, max);
  if (step > 0) {
    v = min + std::round((v - min) / step) * step;
    if (v > max) v -= step;
  }
  return v;
}

namespace {

std::uint8_t sample8(const std::uint8_t* row, std::size_t index, int depth) {
  switch (depth) {
    case 1: return (row[index / 8] >> (7 - index % 8)) & 1 ? 255 : 0;
    case 16: {
      std::uint16_t v;
      std::memcpy(&v, row + index * 2, 2);
      return static_cast<std::uint8_t>(v >> 8);
    }
    default: return row[index];
  }
}

std::size_t row_bytes(std::size_t samples, int depth) {
  return depth == 1 ? (samples + 7) / 8 : samples * static_cast<std::size_t>(depth / 8);
}

}  // namespace

Result<ImageBytes> encode_page(const std::vector<Frame>& frames) {
  if (frames.empty()) return std::unexpected("the scanner delivered no image");
  const Frame& first = frames.front();
  const bool three_pass = first.kind != Frame::Kind::Gray && first.kind != Frame::Kind::Rgb;
  if (three_pass && frames.size() != 3) return std::unexpected("incomplete three-pass image");
  if (!three_pass && frames.size() != 1) return std::unexpected("unexpected extra frames");
  const int depth = first.depth;
  if (depth != 1 && depth != 8 && depth != 16) return std::unexpected("unsupported sample depth");
  const int width = first.pixels_per_line;
  if (width <= 0 || first.bytes_per_line <= 0) return std::unexpected("the scanner delivered an empty image");
  const std::size_t w = static_cast<std::size_t>(width);
  const std::size_t channels = first.kind == Frame::Kind::Rgb ? 3 : 1;
  const std::size_t bpl = static_cast<std::size_t>(first.bytes_per_line);
  if (bpl < row_bytes(w * channels, depth)) return std::unexpected("line length does not fit the width");
  std::size_t lines = first.data.size() / bpl;
  for (const Frame& f : frames) {
    if (f.depth != depth || f.pixels_per_line != width || f.bytes_per_line != first.bytes_per_line)
      return std::unexpected("three-pass frames differ in format");
    lines = std::min(lines, f.data.size() / bpl);
  }
  if (lines == 0) return std::unexpected("the scanner delivered an empty image");
  if (lines > 0x7fffffff) return std::unexpected("image too large");
  const auto row_of = [&](const Frame& f, std::uint32_t y) { return f.data.data() + std::size_t{y} * bpl; };
  const auto height = static_cast<std::uint32_t>(lines);
  const auto uwidth = static_cast<std::uint32_t>(width);

  if (three_pass) {
    const Frame* channel[3] = {nullptr, nullptr, nullptr};
    for (const Frame& f : frames) {
      const int c = f.kind == Frame::Kind::Red     ? 0
                    : f.kind == Frame::Kind::Green ? 1
                    : f.kind == Frame::Kind::Blue  ? 2
                                                   : -1;
      if (c < 0 || channel[c]) return std::unexpected("three-pass frames are not red, green and blue");
      channel[c] = &f;
    }
    return png::encode({uwidth, height, 8, png::Colour::Rgb}, [&](std::uint32_t y, std::uint8_t* out) {
      for (std::size_t x = 0; x < w; ++x)
        for (int c = 0; c < 3; ++c) out[x * 3 + c] = sample8(row_of(*channel[c], y), x, depth);
    });
  }
  if (first.kind == Frame::Kind::Gray) {
    const std::size_t n = row_bytes(w, depth);
    return png::encode({uwidth, height, static_cast<std::uint8_t>(depth), png::Colour::Gray},
                       [&](std::uint32_t y, std::uint8_t* out) {
                         const std::uint8_t* in = row_of(first, y);
                         if (depth == 1) {
                           // The scanner's set bit is black; PNG's is white.
                           for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(~in[i]);
                         } else if (depth == 16) {
                           for (std::size_t x = 0; x < w; ++x) {
                             std::uint16_t v;
                             std::memcpy(&v, in + 2 * x, 2);  // host order in, big-endian out
                             out[2 * x] = static_cast<std::uint8_t>(v >> 8);
                             out[2 * x + 1] = static_cast<std::uint8_t>(v);
                           }
                         } else {
                           std::memcpy(out, in, n);
                         }
                       });
  }
  return png::encode({uwidth, height, 8, png::Colour::Rgb}, [&](std::uint32_t y, std::uint8_t* out) {
    const std::uint8_t* in = row_of(first, y);
    if (depth == 8) {
      std::memcpy(out, in, w * 3);
    } else {
      for (std::size_t i = 0; i < w * 3; ++i) out[i] = sample8(in, i, depth);
    }
  });
}

}  // namespace sane

namespace {

// libsane is initialised once and never left: backends keep process-wide state.
// The lock lives as long as the process: abandoned workers may still hold it.
DeviceLock& sane_lock() {
  static DeviceLock lock;
  return lock;
}

constexpr std::chrono::milliseconds cancel_grace{5000};

void ensure_sane() {
  static std::once_flag once;
  std::call_once(once, [] {
    SANE_Int version = 0;
    sane_init(&version, nullptr);
  });
}

std::string status_text(std::string_view what, SANE_Status status) {
  return std::string(what) + ": " + sane_strstatus(status);
}

// One open device; closes itself.
class Device {
 public:
  // sane_cancel may be called from another thread while a read blocks.
  Device(SANE_Handle h, Watch& watch) : h_(h), watch_(watch) {
    watch_.set_canceller([h] { sane_cancel(h); });
  }
  ~Device() {
    sane_cancel(h_);
    watch_.set_canceller(nullptr);
    sane_close(h_);
  }
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;
  SANE_Handle get() const { return h_; }

  // Option number by name, re-read each time: setting one option may
  // reload the others.
  std::optional<std::pair<SANE_Int, const SANE_Option_Descriptor*>> option(std::string_view name) const {
    SANE_Int count = 0;
    if (sane_control_option(h_, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD) return std::nullopt;
    for (SANE_Int i = 1; i < count; ++i) {
      const SANE_Option_Descriptor* d = sane_get_option_descriptor(h_, i);
      if (d && d->name && name == d->name && SANE_OPTION_IS_ACTIVE(d->cap) && SANE_OPTION_IS_SETTABLE(d->cap))
        return std::pair{i, d};
    }
    return std::nullopt;
  }

  void set_string(std::string_view name, const std::optional<std::string>& value) {
    if (!value) return;
    auto opt = option(name);
    if (!opt || opt->second->type != SANE_TYPE_STRING || opt->second->size <= 0) return;
    std::vector<char> buf(static_cast<std::size_t>(opt->second->size), '\0');
    std::memcpy(buf.data(), value->data(), std::min(value->size(), buf.size() - 1));
    sane_control_option(h_, opt->first, SANE_ACTION_SET_VALUE, buf.data(), nullptr);
  }

  static std::vector<std::string> strings(const SANE_Option_Descriptor* d) {
    std::vector<std::string> out;
    if (d->constraint_type == SANE_CONSTRAINT_STRING_LIST)
      for (const SANE_String_Const* s = d->constraint.string_list; s && *s; ++s) out.emplace_back(*s);
    return out;
  }

  // Sets a numeric option to the allowed value nearest to `wanted`.
  void set_number(std::string_view name, double wanted) {
    auto opt = option(name);
    if (!opt) return;
    const SANE_Option_Descriptor* d = opt->second;
    if ((d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED) || d->size != sizeof(SANE_Word)) return;
    const bool fixed = d->type == SANE_TYPE_FIXED;
    const auto to_double = [&](SANE_Word w) { return fixed ? SANE_UNFIX(w) : static_cast<double>(w); };
    double value = wanted;
    if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list) {
      std::vector<double> allowed;
      for (SANE_Int i = 1; i <= d->constraint.word_list[0]; ++i) allowed.push_back(to_double(d->constraint.word_list[i]));
      value = sane::nearest_in_list(allowed, wanted);
    } else if (d->constraint_type == SANE_CONSTRAINT_RANGE && d->constraint.range) {
      const SANE_Range* r = d->constraint.range;
      value = sane::nearest_in_range(to_double(r->min), to_double(r->max), to_double(r->quant), wanted);
    }
    SANE_Word w = fixed ? SANE_FIX(value) : static_cast<SANE_Word>(std::lround(value));
    sane_control_option(h_, opt->first, SANE_ACTION_SET_VALUE, &w, nullptr);
  }

  bool allows_number(std::string_view name, int value) const {
    auto opt = option(name);
    if (!opt || opt->second->constraint_type != SANE_CONSTRAINT_WORD_LIST) return false;
    const SANE_Word* list = opt->second->constraint.word_list;
    for (SANE_Int i = 1; list && i <= list[0]; ++i)
      if (list[i] == value) return true;
    return false;
  }

 private:
  SANE_Handle h_;
  Watch& watch_;
};

// Larger than any page a real scanner makes (A3 at 1200 dpi, 16-bit colour
// is ~1.4 GB); a backend claiming more is not trusted.
constexpr std::size_t max_page_bytes = std::size_t{3} << 29;

Result<ImageBytes> scan_locked(Watch& watch, const std::string& id, const ScanOptions& options) {
  SANE_Handle h = nullptr;
  if (SANE_Status s = sane_open(id.c_str(), &h); s != SANE_STATUS_GOOD) return std::unexpected(status_text("open " + id, s));
  Device dev(h, watch);
  watch.touch();

  // Source first: it can change which modes and resolutions are offered.
  if (auto src = dev.option(SANE_NAME_SCAN_SOURCE))
    dev.set_string(SANE_NAME_SCAN_SOURCE, sane::choose_source(Device::strings(src->second), options.source));
  std::optional<std::string> mode;
  if (auto m = dev.option(SANE_NAME_SCAN_MODE)) {
    mode = sane::choose_mode(Device::strings(m->second), options.colour_mode);
    dev.set_string(SANE_NAME_SCAN_MODE, mode);
  }
  const bool text_in_grey = options.colour_mode == 2 && mode && sane::choose_mode({*mode}, 1);
  const int depth = text_in_grey ? 1 : 8;
  if (dev.allows_number(SANE_NAME_BIT_DEPTH, depth)) dev.set_number(SANE_NAME_BIT_DEPTH, depth);
  dev.set_number(SANE_NAME_SCAN_RESOLUTION, options.resolution_dpi);

  std::vector<sane::Frame> frames;
  std::vector<std::uint8_t> buf(1 << 16);
  std::size_t total = 0;
  for (;;) {
    if (SANE_Status s = sane_start(h); s != SANE_STATUS_GOOD) return std::unexpected(status_text("scan", s));
    watch.touch();
    SANE_Parameters p{};
    if (SANE_Status s = sane_get_parameters(h, &p); s != SANE_STATUS_GOOD) return std::unexpected(status_text("scan", s));
    sane::Frame frame;
    switch (p.format) {
      case SANE_FRAME_GRAY: frame.kind = sane::Frame::Kind::Gray; break;
      case SANE_FRAME_RGB: frame.kind = sane::Frame::Kind::Rgb; break;
      case SANE_FRAME_RED: frame.kind = sane::Frame::Kind::Red; break;
      case SANE_FRAME_GREEN: frame.kind = sane::Frame::Kind::Green; break;
      case SANE_FRAME_BLUE: frame.kind = sane::Frame::Kind::Blue; break;
      default: return std::unexpected("scan: unsupported frame format");
    }
    frame.depth = p.depth;
    frame.pixels_per_line = p.pixels_per_line;
    frame.bytes_per_line = p.bytes_per_line;
    if (p.lines > 0 && p.bytes_per_line > 0) {
      const std::size_t expected = static_cast<std::size_t>(p.lines) * static_cast<std::size_t>(p.bytes_per_line);
      if (expected > max_page_bytes) return std::unexpected("scan: the page is too large");
      frame.data.reserve(expected);
    }
    for (;;) {
      SANE_Int len = 0;
      const SANE_Status s = sane_read(h, buf.data(), static_cast<SANE_Int>(buf.size()), &len);
      if (s == SANE_STATUS_EOF) break;
      if (s != SANE_STATUS_GOOD) return std::unexpected(status_text("scan", s));
      if (len > 0) {
        total += static_cast<std::size_t>(len);
        if (total > max_page_bytes) return std::unexpected("scan: the page is too large");
        frame.data.insert(frame.data.end(), buf.begin(), buf.begin() + len);
        watch.touch();
      }
    }
    frames.push_back(std::move(frame));
    if (p.last_frame || frames.size() >= 3) break;
  }
  return sane::encode_page(frames);
}

}  // namespace

SaneScanners::SaneScanners(SystemServiceOptions options) : options_(std::move(options)) {}

Result<std::vector<Scanner>> SaneScanners::scanners() {
  return run_watched<std::vector<Scanner>>(
      sane_lock(),
      [](Watch&) -> Result<std::vector<Scanner>> {
        ensure_sane();
        const SANE_Device** list = nullptr;
        if (SANE_Status s = sane_get_devices(&list, SANE_FALSE); s != SANE_STATUS_GOOD)
          return std::unexpected(status_text("list scanners", s));
        std::vector<Scanner> out;
        for (const SANE_Device** d = list; d && *d; ++d) {
          const std::string vendor = (*d)->vendor ? (*d)->vendor : "";
          const std::string model = (*d)->model ? (*d)->model : "";
          std::string name = vendor.empty() ? model : model.empty() ? vendor : vendor + " " + model;
          out.push_back(Scanner{.id = (*d)->name ? (*d)->name : "", .name = name.empty() ? (*d)->name : name});
        }
        return out;
      },
      WatchLimits{options_.scanner_list_timeout, cancel_grace}, "list scanners");
}

Result<ImageBytes> SaneScanners::scan_page(const std::string& scanner_id, const ScanOptions& options) {
  if (scanner_id.empty()) return std::unexpected("no scanner given");
  return run_watched<ImageBytes>(
      sane_lock(),
      [scanner_id, options](Watch& watch) {
        ensure_sane();
        return scan_locked(watch, scanner_id, options);
      },
      WatchLimits{options_.scan_stall_timeout, cancel_grace}, "scan");
}

}  // namespace os_actions::printing
