// Loading, first run, and the partial-failure card.
#include "screens/loading.h"

#include <fmt/format.h>
#include <fmt/ranges.h>

namespace pagora::screens {

using namespace vimo_ui;

WidgetPtr loading_screen() {
  return column(app_header("Checking printers and documents"), space(32),
                titled_card("Getting things ready", nullptr,
                            column(body("Looking for printers, scanners, and unfinished documents."), space(16),
                                   progress_bar(std::nullopt, "Loading Pagora"))));
}

WidgetPtr first_run_screen() {
  auto buttons = row(plain_button("pagora.add.first", "Find printers"), plain_button("pagora.help", "Connection help"));
  return column(app_header("Print and scan without digging through settings"), space(36),
                titled_card("Set up your first printer", nullptr,
                            column(heading("Nearby printers appear automatically", 18),
                                   body("Choose Find printers and we\u2019ll guide you. Drivers and network details "
                                        "stay out of the way unless you need them."),
                                   space(18), std::move(buttons))),
                space(18),
                titled_card("Already have a document?", nullptr,
                            body("Open it and choose Print, or drop it here to preview pages and finishing options "
                                 "before anything is sent.")));
}

std::vector<std::string> failed_categories(const ServiceSnapshot& snapshot, bool printers, bool documents,
                                           bool scanners) {
  std::vector<std::string> out;
  if (printers && !snapshot.queues) out.emplace_back("printers");
  if (documents && !snapshot.jobs) out.emplace_back("documents");
  if (scanners && !snapshot.scanners) out.emplace_back("scanners");
  return out;
}

WidgetPtr partial_failure_card(const std::vector<std::string>& categories, const MessageSender& sender) {
  if (categories.empty()) return nullptr;
  std::string title = "Some device information couldn't be checked";
  if (categories.size() == 1) {
    if (categories[0] == "printers") title = "Printers couldn't be checked";
    if (categories[0] == "documents") title = "Print jobs couldn't be checked";
    if (categories[0] == "scanners") title = "Scanners couldn't be checked";
  }
  const std::string text = fmt::format(
      "Pagora couldn't get {} right now. Your saved devices and documents have not been removed.",
      fmt::join(categories, " or "));
  return titled_card(std::move(title),
                     icon_button(IconRole::Refresh, "pagora.service.retry", "Try again", sender, msg::Refresh{}),
                     body(text));
}

}  // namespace pagora::screens
