// Printer discovery: searching, failed, found, or nothing found.
#include <fmt/format.h>

#include "screens/screens.h"

namespace pagora::screens {

using namespace vimo_ui;

namespace {

using os_actions::printing::FoundPrinter;

WidgetPtr found_entry(const FoundPrinter& printer, const MessageSender& sender) {
  // The name is shown and used in the control id exactly as reported.
  auto add = emphasised_button(IconRole::Add, fmt::format("pagora.discover.add.{}", printer.name), "Add", sender,
                               msg::AddPrinter{printer}, ExecutionKind::Perform);
  auto content = row(icon(IconRole::Printer, 34),
                     column(body("Ready to add"), secondary(printer.location.value_or("Nearby"))));
  return titled_card(printer.name, std::move(add), std::move(content));
}

}  // namespace

WidgetPtr discovery_screen(const std::optional<FoundPrinters>& result, const MessageSender& sender) {
  auto page = column(back_bar("Add a printer", "Nearby printers appear automatically", sender), space(20));
  if (!result) {
    page->items.push_back(
        titled_card("Looking nearby", nullptr, progress_bar(std::nullopt, "Finding nearby printers")));
  } else if (!*result) {
    // The reason is not shown: it is service wording, not advice.
    page->items.push_back(titled_card("Could not search right now", nullptr,
                                      body("Check your network connection and try again.")));
    page->items.push_back(space(12));
    page->items.push_back(
        action_button("pagora.discover.retry", "Try again", sender, msg::FindPrinters{}, ExecutionKind::Perform));
  } else if ((*result)->empty()) {
    page->items.push_back(
        titled_card("No printers found", nullptr,
                    body("Make sure the printer is awake and connected to the same network, then search again.")));
    page->items.push_back(space(12));
    page->items.push_back(
        action_button("pagora.discover.retry", "Search again", sender, msg::FindPrinters{}, ExecutionKind::Perform));
  } else {
    for (const auto& printer : **result) {
      page->items.push_back(found_entry(printer, sender));
      page->items.push_back(space(12));
    }
  }
  return page_frame(scrollable(std::move(page)), 1120);
}

}  // namespace pagora::screens
