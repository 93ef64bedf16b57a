// The dashboard: everything at a glance.
#include "screens/screens.h"

namespace pagora::screens {

using namespace vimo_ui;

WidgetPtr dashboard_screen(const ServiceSnapshot& snapshot, const std::optional<Notice>& notice,
                           const MessageSender& sender) {
  auto page = column(heading("Pagora", 28), secondary("Your printers and documents"), space(14),
                     row(icon_button(IconRole::Add, "pagora.add", "Add printer", sender, msg::FindPrinters{}),
                         emphasised_button(IconRole::Printer, "pagora.print", "Print a document", sender,
                                           msg::ChooseDocument{}),
                         icon_button(IconRole::Refresh, "pagora.refresh", "Refresh", sender, msg::Refresh{})),
                     space(20));
  if (notice) {
    page->items.push_back(notice_banner(*notice));
    page->items.push_back(space(14));
  }
  if (auto card = partial_failure_card(failed_categories(snapshot, true, true, true), sender)) {
    page->items.push_back(std::move(card));
    page->items.push_back(space(14));
  }
  return page_frame(scrollable(std::move(page)), 1120);
}

}  // namespace pagora::screens
