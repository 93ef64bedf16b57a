// Tree walking for screen tests.
#include "vimo_ui/testing.h"

#include <algorithm>

namespace vimo_ui::testing {

void walk(const Widget& root, const std::function<void(const Widget&)>& visit) {
  visit(root);
  for (const Widget* child : root.children()) {
    if (child) walk(*child, visit);
  }
}

std::vector<std::string> texts(const Widget& root) {
  std::vector<std::string> out;
  walk(root, [&](const Widget& w) {
    switch (w.kind()) {
      case Kind::Text: out.push_back(static_cast<const Text&>(w).text); break;
      case Kind::Button: out.push_back(static_cast<const Button&>(w).label); break;
      case Kind::Banner: {
        const auto& b = static_cast<const Banner&>(w);
        out.push_back(b.title);
        if (b.message) out.push_back(*b.message);
        break;
      }
      case Kind::Card: {
        const auto& c = static_cast<const Card&>(w);
        if (c.title) out.push_back(*c.title);
        break;
      }
      case Kind::ProgressBar: out.push_back(static_cast<const ProgressBar&>(w).label); break;
      case Kind::PagePreview: out.push_back(static_cast<const PagePreview&>(w).label); break;
      case Kind::Dropdown: {
        const auto& d = static_cast<const Dropdown&>(w);
        out.push_back(d.label);
        out.push_back(d.placeholder);
        for (const auto& o : d.options) out.push_back(o.label);
        break;
      }
      case Kind::NumberInput: out.push_back(static_cast<const NumberInput&>(w).label); break;
      case Kind::Toggle: out.push_back(static_cast<const Toggle&>(w).label); break;
      case Kind::ToggleGroup: {
        const auto& g = static_cast<const ToggleGroup&>(w);
        out.insert(out.end(), g.labels.begin(), g.labels.end());
        break;
      }
      default: break;
    }
  });
  return out;
}

bool has_text(const Widget& root, std::string_view text) {
  const auto all = texts(root);
  return std::find(all.begin(), all.end(), text) != all.end();
}

std::vector<const Button*> buttons(const Widget& root) { return find_all<Button>(root); }

std::vector<const Button*> buttons_with_id(const Widget& root, std::string_view control_id) {
  std::vector<const Button*> out;
  for (const Button* b : buttons(root)) {
    if (b->control_id == control_id) out.push_back(b);
  }
  return out;
}

std::vector<std::string> button_labels(const Widget& root) {
  std::vector<std::string> out;
  for (const Button* b : buttons(root)) out.push_back(b->label);
  return out;
}

bool press(const Widget& root, std::string_view control_id) {
  const auto found = buttons_with_id(root, control_id);
  return found.size() == 1 && found.front()->press();
}

}  // namespace vimo_ui::testing
