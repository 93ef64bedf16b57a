// Small text rules shared by the notices and screens.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pagora {

bool is_valid_utf8(std::string_view bytes);

// The path's last component when it exists and is valid text.
std::optional<std::string> last_component_text(std::string_view path);

}  // namespace pagora
