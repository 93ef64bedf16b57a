// Print history: the finished documents the print service still retains.
#include <fmt/format.h>

#include "screens/screens.h"

namespace pagora::screens {

using namespace vimo_ui;

namespace {

// Keeps the rebuild small; older finished jobs are left out.
constexpr std::size_t max_entries = 50;

WidgetPtr history_entry(const PrintJob& job, const MessageSender& sender) {
  std::string pages = "Page count unavailable";
  std::uint32_t preview_size = 1;
  if (job.pages_total) {
    const std::uint32_t n = *job.pages_total;
    pages = fmt::format("{} page{}", n, n == 1 ? "" : "s");
    preview_size = n == 0 ? 1 : n;
  }
  // Only finished jobs reach an entry, and each finished state has a label.
  auto outcome = history_label(job.state).value_or("");
  auto details = column(body(std::move(outcome)),
                        secondary(fmt::format("{}, sent to {}, {}", pages, printer_display_name(job.queue_name),
                                              job.time)),
                        space(12),
                        emphasised_button(IconRole::Refresh, fmt::format("pagora.history.repeat.{}", job.id),
                                          "Print again", sender, msg::RetryJob{job.id}, ExecutionKind::Perform));
  // The preview shows the last page of the finished document.
  auto content = row(page_preview("Printed document", preview_size, preview_size), std::move(details));
  auto box = container(titled_card(job_title(job), nullptr, std::move(content)));
  box->max_width = 840;
  return box;
}

}  // namespace

WidgetPtr history_screen(const ServiceSnapshot& snapshot, const MessageSender& sender) {
  auto page = column(back_bar("Print history", "Documents retained by your print service", sender), space(20));
  if (auto card = partial_failure_card(failed_categories(snapshot, false, true, false), sender)) {
    page->items.push_back(std::move(card));
    page->items.push_back(space(14));
  }
  std::size_t shown = 0;
  for (const auto& job : loaded_or_empty(snapshot.jobs)) {
    if (shown == max_entries) break;
    if (!os_actions::printing::is_finished(job.state)) continue;
    page->items.push_back(history_entry(job, sender));
    page->items.push_back(space(12));
    ++shown;
  }
  if (shown == 0) {
    page->items.push_back(titled_card("No completed documents yet", nullptr,
                                      body("After a document finishes or is canceled, its status will appear here.")));
  }
  return page_frame(scrollable(std::move(page)), 920);
}

}  // namespace pagora::screens
