// Plain advice for the condition codes a printer reports.
#pragma once

#include <string_view>

namespace pagora::screens {

// The advice sentence for one reported condition code. Codes are matched by
// substring after ASCII lower-casing, so suffixed forms such as
// "media-empty-error" find their row; unknown codes get a general sentence.
std::string_view condition_advice(std::string_view code);

}  // namespace pagora::screens
