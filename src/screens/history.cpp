// Print history.
#include "screens/screens.h"

namespace pagora::screens {

using namespace vimo_ui;

WidgetPtr history_screen(const ServiceSnapshot& snapshot, const MessageSender& sender) {
  auto page = column(back_bar("Print history", "Documents retained by your print service", sender), space(20));
  if (auto card = partial_failure_card(failed_categories(snapshot, false, true, false), sender)) {
    page->items.push_back(std::move(card));
  }
  return page_frame(scrollable(std::move(page)), 920);
}

}  // namespace pagora::screens
