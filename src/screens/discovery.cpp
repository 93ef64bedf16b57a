// Finding printers nearby.
#include "screens/screens.h"

namespace pagora::screens {

using namespace vimo_ui;

WidgetPtr discovery_screen(const std::optional<FoundPrinters>& result, const MessageSender& sender) {
  auto page = column(back_bar("Add a printer", "Nearby printers appear automatically", sender), space(20));
  if (!result) page->items.push_back(progress_bar(std::nullopt, "Looking for printers"));
  return page_frame(scrollable(std::move(page)), 1120);
}

}  // namespace pagora::screens
