// The scan screen: capture settings, or the review of one page.
#include "screens/screens.h"

namespace pagora::screens {

using namespace vimo_ui;

WidgetPtr scan_screen(const ScanScreenInput& input, const MessageSender& sender) {
  const bool review = input.current_page.has_value();
  auto page = column(review ? back_bar("Scanned document", "Review the page before saving it", sender)
                            : back_bar("Scan a document", "Choose the scanner and how this page should look", sender),
                     space(16));
  if (input.notice) page->items.push_back(notice_banner(*input.notice));
  if (auto card = partial_failure_card(failed_categories(input.snapshot, false, false, true), sender)) {
    page->items.push_back(std::move(card));
  }
  return page_frame(scrollable(std::move(page)), 1120);
}

}  // namespace pagora::screens
