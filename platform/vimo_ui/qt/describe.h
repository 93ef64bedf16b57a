// A widget tree as JSON: what each node shows or binds, children in order.
// Used by the launcher's --describe and by tests that check what a screen
// would show without looking at pixels.
#pragma once

#include <string>

#include "vimo_ui/widget.h"

namespace vimo_ui::qt {

// indent < 0 gives one line.
std::string describe_json(const Widget& root, int indent = 2);

}  // namespace vimo_ui::qt
