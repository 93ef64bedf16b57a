// Records and the service interface of the print and scan layer: what the
// program knows of queues, jobs and scanners, and every operation it can ask.
#pragma once

#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace os_actions::printing {

// Every operation answers a value or a failure text. The text is for
// diagnostics only; the program never shows it.
template <class T>
using Result = std::expected<T, std::string>;
using Done = Result<void>;

enum class PrinterState : std::uint8_t { Idle = 0, Printing = 1, Paused = 2, Unreachable = 3 };

// A raw byte: values outside the named ones can arrive and must survive.
enum class JobState : std::uint8_t {
  Pending = 0,
  Held = 1,
  Processing = 2,
  Stopped = 3,
  Canceled = 4,
  Aborted = 5,
  Completed = 6,
  Unknown = 255,
};

bool is_active(JobState state);    // 0..3
bool is_finished(JobState state);  // 4..6

struct Supply {
  std::string name;
  std::optional<std::string> colour;  // "#rrggbb"
  std::optional<std::uint8_t> level;  // percent 0..100; absent when unknown
  friend bool operator==(const Supply&, const Supply&) = default;
};

struct PrinterQueue {
  std::string name;
  std::vector<std::string> state_reasons;
  std::optional<std::vector<Supply>> supplies;
  bool responded = false;
  std::optional<std::string> state_message;  // not read by the program
  bool is_default = false;
  bool accepting = true;
  PrinterState state = PrinterState::Idle;
  friend bool operator==(const PrinterQueue&, const PrinterQueue&) = default;
};

struct PrintJob {
  std::string id;
  std::string owner;
  std::string time;
  std::string queue_name;
  std::vector<std::string> state_reasons;
  std::optional<std::string> document_name;
  std::optional<std::uint32_t> pages_done;
  std::optional<std::uint32_t> pages_total;
  std::uint64_t size_bytes = 0;
  JobState state = JobState::Pending;
  friend bool operator==(const PrintJob&, const PrintJob&) = default;

  // Whole percentage from what the record carries; never blocks (UI thread).
  static std::optional<std::uint32_t> progress_percent(const PrintJob& job);
};

struct Scanner {
  std::string id;
  std::string name;
  friend bool operator==(const Scanner&, const Scanner&) = default;
};

struct FoundPrinter {
  std::string uri;
  std::string name;
  std::optional<std::string> location;
  friend bool operator==(const FoundPrinter&, const FoundPrinter&) = default;
};

struct ScanOptions {
  std::uint16_t resolution_dpi = 300;  // 150, 300 or 600
  std::uint8_t colour_mode = 0;        // 0 colour, 1 grayscale, 2 text
  std::uint8_t source = 0;             // 0 flatbed, 1 feeder, 2 two-sided
  friend bool operator==(const ScanOptions&, const ScanOptions&) = default;
};

// The encoded image file of one scanned page (PNG).
using ImageBytes = std::vector<std::uint8_t>;

// The operations. Implementations must answer within a bounded time and may
// be called from any thread, concurrently.
class PrintingService {
 public:
  virtual ~PrintingService() = default;

  virtual Result<std::vector<PrinterQueue>> queues() = 0;
  virtual Result<std::vector<PrintJob>> jobs() = 0;
  virtual Result<std::vector<Scanner>> scanners() = 0;
  virtual Result<std::vector<FoundPrinter>> discover_driverless() = 0;
  virtual Done add_driverless(const std::string& uri, const std::string& name) = 0;
  virtual Done set_default(const std::string& queue_name) = 0;
  virtual Done set_enabled(const std::string& queue_name, bool enabled) = 0;
  virtual Done cancel_job(const std::string& job_id) = 0;
  virtual Done retry_job(const std::string& job_id) = 0;
  virtual Done print_document(const std::string& path, const std::string& queue_name,
                              std::uint16_t copies, bool two_sided) = 0;
  virtual Result<ImageBytes> scan_page(const std::string& scanner_id, const ScanOptions& options) = 0;
};

}  // namespace os_actions::printing
