// The dashboard: is everything ready, what is printing, which printers and
// supplies there are, a scanner, and where to go next.
#include <fmt/format.h>

#include <algorithm>

#include "screens/dashboard_card.h"
#include "screens/screens.h"

namespace pagora::screens {

using namespace vimo_ui;

namespace {

using os_actions::printing::is_active;

std::string summary_line(const ServiceSnapshot& snapshot, std::size_t active) {
  if (!snapshot.queues || !snapshot.jobs || !snapshot.scanners) return "Some information needs refreshing";
  if (active == 0) return "Everything is ready";
  if (active == 1) return "One document is active";
  return fmt::format("{} documents are active", active);
}

WidgetPtr title_block(std::string summary, const MessageSender& sender) {
  auto actions = row(icon_button(IconRole::Add, "pagora.add", "Add printer", sender, msg::FindPrinters{},
                                 ExecutionKind::Perform),
                     emphasised_button(IconRole::Printer, "pagora.print", "Print a document", sender,
                                       msg::ChooseDocument{}, ExecutionKind::Perform));
  actions->wrap = true;
  return column(column(heading("Pagora", 28), secondary(std::move(summary))), space(14), std::move(actions));
}

WidgetPtr current_document_card(const PrintJob& job, const MessageSender& sender) {
  const auto [page, count] = job_page_position(job);
  auto details = container(column(heading(job_title(job), 17),
                                  secondary(fmt::format("Sent to {}", printer_display_name(job.queue_name))),
                                  space(12), progress_bar(job_progress(job), "Current document progress")));
  details->fixed_width = 260;
  auto content = row(page_preview("Current document", page, count), std::move(details));
  content->wrap = true;
  auto actions = column(action_button("pagora.queue", "Open queue", sender, msg::ShowQueue{}, ExecutionKind::Perform),
                        space(10),
                        action_button("pagora.job.cancel", "Cancel", sender, msg::RequestCancelJob{job.id},
                                      ExecutionKind::Perform));
  // Only active jobs reach this card, and each active state has a title.
  return dashboard_card(dashboard_status_title(job.state).value_or("Printing now"), std::move(content),
                        std::move(actions));
}

WidgetPtr printers_section(const std::vector<PrinterQueue>& printers, const MessageSender& sender) {
  auto section = column(column(heading("Your printers", 19), space(8),
                               icon_button(IconRole::Refresh, "pagora.refresh", "Refresh", sender, msg::Refresh{},
                                           ExecutionKind::Perform)),
                        space(10));
  if (printers.empty()) {
    section->items.push_back(titled_card(
        "No printers added",
        icon_button(IconRole::Find, "pagora.discover.empty", "Find a printer", sender, msg::FindPrinters{},
                    ExecutionKind::Perform),
        body("You can still scan documents below. Add a printer whenever you need one.")));
    return section;
  }
  auto cards = column();
  for (const auto& queue : printers) {
    cards->items.push_back(printer_card(queue, sender));
    cards->items.push_back(space(14));
  }
  section->items.push_back(std::move(cards));
  return section;
}

WidgetPtr scan_card(const os_actions::printing::Scanner& scanner, const MessageSender& sender) {
  auto content = row(icon(IconRole::Scanner, 30), body(fmt::format("{} is ready", scanner.name)));
  return dashboard_card("Scan a document", std::move(content),
                        emphasised_button(IconRole::Scanner, "pagora.scan.open", "Start scanning", sender,
                                          msg::ShowScan{}, ExecutionKind::Perform));
}

WidgetPtr recent_documents_card(const std::vector<PrintJob>& jobs, const MessageSender& sender) {
  const bool any_completed =
      std::any_of(jobs.begin(), jobs.end(), [](const PrintJob& j) { return j.state == JobState::Completed; });
  return dashboard_card("Recent documents",
                        body(any_completed ? "Review what printed and quickly print a retained job again."
                                           : "Completed documents will appear here."),
                        icon_button(IconRole::SeeAll, "pagora.history.open", "See all", sender, msg::ShowHistory{},
                                    ExecutionKind::Perform));
}

WidgetPtr device_help_card(const MessageSender& sender) {
  return dashboard_card("Device help", body("Plain-language checks for connections, paper, supplies, and scanners."),
                        icon_button(IconRole::CheckDevices, "pagora.diagnostics.open", "Check devices", sender,
                                    msg::ShowDiagnostics{}, ExecutionKind::Perform));
}

// The lowest level among supplies that report one.
std::optional<std::uint8_t> lowest_level(const PrinterQueue& queue) {
  std::optional<std::uint8_t> lowest;
  if (!queue.supplies) return lowest;
  for (const auto& supply : *queue.supplies) {
    if (supply.level && (!lowest || *supply.level < *lowest)) lowest = supply.level;
  }
  return lowest;
}

}  // namespace

std::unique_ptr<surface::DashboardCard> printer_card(const PrinterQueue& queue, const MessageSender& sender) {
  WidgetPtr supply_line;
  if (const auto lowest = lowest_level(queue)) {
    supply_line = supply_row("Lowest supply", fmt::format("{}% remaining", *lowest), *lowest / 100.0);
  } else {
    supply_line = secondary("Supply levels unavailable");
  }
  auto content = row(icon(IconRole::Printer, 34),
                     column(body(printer_state_label(queue)), space(10), std::move(supply_line), space(8),
                            secondary(queue.is_default ? "Preferred printer" : "Available to your apps")));
  return dashboard_card(printer_display_name(queue.name), std::move(content),
                        icon_button(IconRole::Open, fmt::format("pagora.device.open.{}", queue.name), "Open", sender,
                                    msg::ShowDevice{queue.name}, ExecutionKind::Perform));
}

WidgetPtr dashboard_screen(const ServiceSnapshot& snapshot, const std::optional<Notice>& notice,
                           const MessageSender& sender) {
  const auto& jobs = loaded_or_empty(snapshot.jobs);
  const PrintJob* first_active = nullptr;
  std::size_t active = 0;
  for (const auto& job : jobs) {
    if (!is_active(job.state)) continue;
    if (!first_active) first_active = &job;
    ++active;
  }

  auto page = column(title_block(summary_line(snapshot, active), sender), space(20));
  if (notice) {
    page->items.push_back(notice_banner(*notice));
    page->items.push_back(space(14));
  }
  if (auto card = partial_failure_card(failed_categories(snapshot, true, true, true), sender)) {
    page->items.push_back(std::move(card));
    page->items.push_back(space(14));
  }
  if (first_active) {
    page->items.push_back(current_document_card(*first_active, sender));
    page->items.push_back(space(28));
  }
  if (snapshot.queues) page->items.push_back(printers_section(*snapshot.queues, sender));
  if (snapshot.scanners && !snapshot.scanners->empty()) {
    page->items.push_back(space(18));
    page->items.push_back(scan_card(snapshot.scanners->front(), sender));
  }
  page->items.push_back(space(18));
  auto closing = column();
  if (snapshot.jobs) {
    closing->items.push_back(recent_documents_card(*snapshot.jobs, sender));
    closing->items.push_back(space(14));
  }
  closing->items.push_back(device_help_card(sender));
  page->items.push_back(std::move(closing));
  return page_frame(scrollable(std::move(page)), 1120);
}

}  // namespace pagora::screens
