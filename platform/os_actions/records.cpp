// Small rules on the printing records that screens and the service share.
#include "printing.h"

namespace os_actions::printing {

bool is_active(JobState state) { return static_cast<std::uint8_t>(state) <= 3; }

bool is_finished(JobState state) {
  const auto v = static_cast<std::uint8_t>(state);
  return v >= 4 && v <= 6;
}

}  // namespace os_actions::printing

namespace os_actions::printing {

std::optional<std::uint32_t> PrintJob::progress_percent(const PrintJob& job) {
  // A finished job is whole whatever its counters say (the service keeps
  // adding up pages across restarts and rarely knows the total).
  if (job.state == JobState::Completed) return 100;
  if (!job.pages_done || !job.pages_total || *job.pages_total == 0) return std::nullopt;
  const std::uint64_t pct = std::uint64_t{*job.pages_done} * 100 / *job.pages_total;
  return static_cast<std::uint32_t>(pct > 100 ? 100 : pct);
}

}  // namespace os_actions::printing
