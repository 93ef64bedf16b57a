// The launch record Pagora hands to the toolkit's launcher.
#pragma once

#include <functional>

#include "surface/collaborators.h"
#include "vimo_ui/launch.h"

namespace pagora::app {

inline constexpr const char* kApplicationId = "org.vimo.pagora";

// `system` makes the collaborators of a live run; it is called only when a
// root is built, so a fixture run never touches the service until asked.
vimo_ui::launch::LaunchRecord make_launch_record(std::function<surface::Collaborators()> system);

}  // namespace pagora::app
