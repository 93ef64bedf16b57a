// The condition advice table: the first matching row wins.
#include "screens/condition_advice.h"

#include <array>
#include <string>

namespace pagora::screens {

namespace {

struct AdviceRow {
  std::string_view pattern;
  std::string_view advice;
};

constexpr std::string_view add_paper = "Add paper to continue.";
constexpr std::string_view close_cover = "Close the printer cover.";
constexpr std::string_view running_low = "A supply is running low; printing can usually continue for now.";
constexpr std::string_view replace_empty = "Replace the empty supply to continue.";
constexpr std::string_view check_connection = "Check that the printer is awake and connected.";
constexpr std::string_view fallback = "The printer reported a condition that may need attention.";

// Order matters: "marker-supply-empty" must not be caught by a low-supply row,
// and neither low pattern occurs inside it.
constexpr std::array<AdviceRow, 11> advice_table{{
    {"media-empty", add_paper},
    {"out-of-paper", add_paper},
    {"jam", "Clear the paper jam, then resume the printer."},
    {"cover-open", close_cover},
    {"door-open", close_cover},
    {"toner-low", running_low},
    {"marker-supply-low", running_low},
    {"toner-empty", replace_empty},
    {"marker-supply-empty", replace_empty},
    {"offline", check_connection},
    {"not-connected", check_connection},
}};

// Only A-Z are lowered; other bytes (UTF-8 included) pass unchanged, so the
// result never depends on the process locale.
std::string ascii_lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace

std::string_view condition_advice(std::string_view code) {
  const std::string lowered = ascii_lower(code);
  for (const auto& row : advice_table) {
    if (lowered.find(row.pattern) != std::string::npos) return row.advice;
  }
  return fallback;
}

}  // namespace pagora::screens
