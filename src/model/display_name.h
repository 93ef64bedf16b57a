// The name shown for a printer queue.
#pragma once

#include <string>
#include <string_view>

namespace pagora {

// "_" and "-" become word breaks; words are joined by single spaces.
std::string printer_display_name(std::string_view queue_name);

}  // namespace pagora
