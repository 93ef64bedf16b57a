// The detail of one printer.
#include "screens/screens.h"

namespace pagora::screens {

using namespace vimo_ui;

WidgetPtr printer_screen(const PrinterQueue& queue, const MessageSender& sender) {
  auto page = column(back_bar(printer_display_name(queue.name), "Status, supplies, and controls", sender), space(20),
                     body(printer_state_label(queue)));
  return page_frame(scrollable(std::move(page)), 920);
}

}  // namespace pagora::screens
