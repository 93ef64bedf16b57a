// The pass-through persistence opener.
#include "vimo_ui/launch.h"

namespace vimo_ui::persist {

std::optional<Store> open(std::string_view app_id) { return Store{std::string(app_id)}; }

}  // namespace vimo_ui::persist
