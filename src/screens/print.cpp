// Printing a document: preview, copies, two-sided, printer.
#include "screens/screens.h"

namespace pagora::screens {

using namespace vimo_ui;

WidgetPtr print_screen(const PrintScreenInput& input, const MessageSender& sender) {
  auto page = column(back_bar("Print a document", "Review the document and choose a printer", sender), space(16));
  if (auto card = partial_failure_card(failed_categories(input.snapshot, true, false, false), sender)) {
    page->items.push_back(std::move(card));
  }
  page->items.push_back(row(flex_space(), action_button("pagora.print.cancel", "Cancel", sender,
                                                        msg::ClosePrintDocument{})));
  return page_frame(scrollable(std::move(page)), 1120);
}

}  // namespace pagora::screens
