// Printer detail: state, every supply level, and the printer controls.
#include <fmt/format.h>

#include "screens/screens.h"

namespace pagora::screens {

using namespace vimo_ui;

namespace {

WidgetPtr state_card(const PrinterQueue& queue) {
  auto content = row(icon(IconRole::Printer, 52),
                     column(heading(printer_state_label(queue), 21),
                            secondary(queue.is_default ? "Preferred printer" : "Available to your apps")));
  return plain_card(std::move(content));
}

WidgetPtr supplies_card(const PrinterQueue& queue) {
  if (!queue.supplies || queue.supplies->empty()) {
    return titled_card("Ink and toner", nullptr, body("This printer does not report supply levels."));
  }
  auto rows = column();
  for (const auto& supply : *queue.supplies) {
    const unsigned level = supply.level.value_or(0);
    rows->items.push_back(supply_row(supply.name, fmt::format("{}% remaining", level), level / 100.0));
    rows->items.push_back(space(10));
  }
  return titled_card("Ink and toner", nullptr, std::move(rows));
}

WidgetPtr controls_card(const PrinterQueue& queue, const MessageSender& sender) {
  // A printer that takes documents and is not paused can be paused; anything
  // else is offered to be resumed.
  const bool can_pause = queue.accepting && queue.state != os_actions::printing::PrinterState::Paused;
  auto controls = row(action_button("pagora.device.enabled", can_pause ? "Pause printer" : "Resume printer", sender,
                                    msg::SetPrinterEnabled{queue.name, !can_pause}, ExecutionKind::Perform));
  if (!queue.is_default) {
    controls->items.push_back(action_button("pagora.device.default", "Make preferred", sender,
                                            msg::SetDefaultPrinter{queue.name}, ExecutionKind::Perform));
  }
  controls->items.push_back(
      action_button("pagora.device.queue", "View print queue", sender, msg::ShowQueue{}, ExecutionKind::Perform));
  controls->items.push_back(action_button("pagora.device.diagnostics", "Check printer", sender,
                                          msg::ShowDiagnostics{}, ExecutionKind::Perform));
  controls->wrap = true;
  return titled_card("Printer controls", nullptr, std::move(controls));
}

}  // namespace

WidgetPtr printer_screen(const PrinterQueue& queue, const MessageSender& sender) {
  auto page = column(back_bar(printer_display_name(queue.name), "Status, supplies, and controls", sender), space(20),
                     state_card(queue), space(16), supplies_card(queue), space(16), controls_card(queue, sender));
  return page_frame(scrollable(std::move(page)), 920);
}

}  // namespace pagora::screens
