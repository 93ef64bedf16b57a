// The print queue.
#include "screens/screens.h"

namespace pagora::screens {

using namespace vimo_ui;

WidgetPtr queue_screen(const ServiceSnapshot& snapshot, const std::optional<std::string>&,
                       const std::optional<Notice>& notice, const MessageSender& sender) {
  auto page = column(back_bar("Print queue", "Every document, in one place", sender), space(20));
  if (notice) page->items.push_back(notice_banner(*notice));
  if (auto card = partial_failure_card(failed_categories(snapshot, false, true, false), sender)) {
    page->items.push_back(std::move(card));
  }
  return page_frame(scrollable(std::move(page)), 920);
}

}  // namespace pagora::screens
