// Helpers for screen tests: walk a tree, find texts and controls, press.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "vimo_ui/widgets.h"

namespace vimo_ui::testing {

// Depth first, parents before children, in order.
void walk(const Widget& root, const std::function<void(const Widget&)>& visit);

// Every text the tree shows: Text widgets, labels, titles, messages, options.
std::vector<std::string> texts(const Widget& root);
bool has_text(const Widget& root, std::string_view text);

std::vector<const Button*> buttons(const Widget& root);
std::vector<const Button*> buttons_with_id(const Widget& root, std::string_view control_id);
std::vector<std::string> button_labels(const Widget& root);

template <class T>
std::vector<const T*> find_all(const Widget& root) {
  std::vector<const T*> out;
  walk(root, [&](const Widget& w) {
    if (auto* t = dynamic_cast<const T*>(&w)) out.push_back(t);
  });
  return out;
}

// Presses the only button with this id; false when there is not exactly one
// or it has no action.
bool press(const Widget& root, std::string_view control_id);

}  // namespace vimo_ui::testing
