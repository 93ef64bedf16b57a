// What Pagora shows with nothing, or not everything, to show: the loading
// and first-run screens and the card that names lists that failed to load.
#pragma once

#include <string>
#include <vector>

#include "model/snapshot.h"
#include "screens/frame.h"

namespace pagora::screens {

WidgetPtr loading_screen();
WidgetPtr first_run_screen();

// "printers", "documents", "scanners" — in that order, each only when
// considered and failed.
std::vector<std::string> failed_categories(const ServiceSnapshot& snapshot, bool printers, bool documents,
                                           bool scanners);

// Null when no category failed.
WidgetPtr partial_failure_card(const std::vector<std::string>& categories, const MessageSender& sender);

}  // namespace pagora::screens
