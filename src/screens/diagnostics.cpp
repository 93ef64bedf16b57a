// Device help.
#include "screens/screens.h"

namespace pagora::screens {

using namespace vimo_ui;

WidgetPtr diagnostics_screen(const ServiceSnapshot& snapshot, const MessageSender& sender) {
  auto page = column(back_bar("Device help", "Useful checks without printer jargon", sender), space(20));
  if (auto card = partial_failure_card(failed_categories(snapshot, true, false, true), sender)) {
    page->items.push_back(std::move(card));
  }
  return page_frame(scrollable(std::move(page)), 920);
}

}  // namespace pagora::screens
