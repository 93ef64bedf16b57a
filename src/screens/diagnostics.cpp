// Device help: how many devices answered, and plain advice per printer.
#include <fmt/format.h>

#include <algorithm>

#include "screens/condition_advice.h"
#include "screens/screens.h"

namespace pagora::screens {

using namespace vimo_ui;

namespace {

// At most this many reported conditions become advice per printer, and at
// most this many supply entries are looked at.
constexpr std::size_t max_advice = 3;
constexpr std::size_t max_supply_places = 6;

std::string_view noun(std::size_t count, std::string_view one, std::string_view many) {
  return count == 1 ? one : many;
}

WidgetPtr connection_check_card(const ServiceSnapshot& snapshot, const MessageSender& sender) {
  const auto& printers = loaded_or_empty(snapshot.queues);
  const std::size_t total = printers.size();
  const auto responded =
      static_cast<std::size_t>(std::count_if(printers.begin(), printers.end(), [](const PrinterQueue& q) {
        return q.responded;
      }));
  // A supply without a level still counts: the printer does report supplies.
  const auto reporting =
      static_cast<std::size_t>(std::count_if(printers.begin(), printers.end(), [](const PrinterQueue& q) {
        return q.supplies && !q.supplies->empty();
      }));
  const std::size_t scanners = loaded_or_empty(snapshot.scanners).size();

  auto lines = column(body(fmt::format("{} of {} {} responded", responded, total, noun(total, "printer", "printers"))),
                      space(8),
                      body(fmt::format("{} {} report ink or toner levels", reporting,
                                       noun(reporting, "printer", "printers"))),
                      space(8),
                      body(fmt::format("{} {} available", scanners, noun(scanners, "scanner", "scanners"))));
  if (auto failure = partial_failure_card(failed_categories(snapshot, true, false, true), sender)) {
    lines->items.push_back(space(14));
    lines->items.push_back(std::move(failure));
  }
  return titled_card("Connection check",
                     action_button("pagora.diagnostics.refresh", "Check again", sender, msg::Refresh{},
                                   ExecutionKind::Perform),
                     std::move(lines));
}

WidgetPtr printer_help_card(const PrinterQueue& queue, const MessageSender& sender) {
  auto body_column = column(body(printer_state_label(queue)),
                            secondary(queue.responded ? "The printer answered the latest status check."
                                                      : "Live details are unavailable. The printer may be asleep or "
                                                        "disconnected."));
  const std::size_t reasons = std::min(queue.state_reasons.size(), max_advice);
  for (std::size_t i = 0; i < reasons; ++i) {
    body_column->items.push_back(space(8));
    body_column->items.push_back(body(std::string(condition_advice(queue.state_reasons[i]))));
  }
  if (queue.supplies) {
    const std::size_t places = std::min(queue.supplies->size(), max_supply_places);
    for (std::size_t i = 0; i < places; ++i) {
      const auto& supply = (*queue.supplies)[i];
      // Unknown levels are skipped here but still use up a place.
      if (!supply.level) continue;
      body_column->items.push_back(space(10));
      body_column->items.push_back(
          supply_row(supply.name, fmt::format("{}% remaining", *supply.level), *supply.level / 100.0));
    }
  }
  body_column->items.push_back(space(12));
  body_column->items.push_back(action_button("pagora.diagnostics.device", "Open printer controls", sender,
                                             msg::ShowDevice{queue.name}, ExecutionKind::Perform));
  return titled_card(printer_display_name(queue.name), nullptr, std::move(body_column));
}

WidgetPtr scanner_card(const ServiceSnapshot& snapshot, const MessageSender& sender) {
  if (loaded_or_empty(snapshot.scanners).empty()) {
    return titled_card("Scanner",
                       action_button("pagora.diagnostics.refresh", "Check again", sender, msg::Refresh{},
                                     ExecutionKind::Perform),
                       body("No scanner was found. Check its cable or network connection, then refresh."));
  }
  return titled_card("Scanner",
                     action_button("pagora.diagnostics.scan", "Start scanning", sender, msg::ShowScan{},
                                   ExecutionKind::Perform),
                     body("Your scanner is available for a new document."));
}

}  // namespace

WidgetPtr diagnostics_screen(const ServiceSnapshot& snapshot, const MessageSender& sender) {
  auto page = column(back_bar("Device help", "Useful checks without printer jargon", sender), space(20),
                     connection_check_card(snapshot, sender), space(16));
  for (const auto& queue : loaded_or_empty(snapshot.queues)) {
    page->items.push_back(printer_help_card(queue, sender));
    page->items.push_back(space(12));
  }
  page->items.push_back(scanner_card(snapshot, sender));
  page->items.push_back(space(12));
  return page_frame(scrollable(std::move(page)), 920);
}

}  // namespace pagora::screens
