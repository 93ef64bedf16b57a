// The toolkit's widget kinds as plain data. They hold what a screen says
// (texts, sizes, control ids, bound cells, action closures) and no drawing
// code: the renderer turns them into real widgets.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "vimo_actions/actions.h"
#include "vimo_ui/local_state.h"
#include "vimo_ui/widget.h"

namespace vimo_ui {

using Pixels = std::shared_ptr<const std::vector<std::uint8_t>>;

enum class TextStyle : std::uint8_t { Heading, Body, Secondary };
enum class Tone : std::uint8_t { Success, Warning, Error };
enum class ButtonKind : std::uint8_t {
  Action,      // label only, sends a message
  Icon,        // icon before the label, sends a message
  Emphasised,  // icon, the screen's primary call to action
  Plain,       // control id and label, no message
};
enum class IconRole : std::uint8_t { Printer, Add, Find, Scanner, Back, Open, SeeAll, CheckDevices, Refresh };

std::string_view icon_role_name(IconRole role);
std::string_view tone_name(Tone tone);
std::string_view text_style_name(TextStyle style);
std::string_view button_kind_name(ButtonKind kind);

// Shared base for the built-in kinds: a fixed kind and owned children.
template <Kind K>
class Builtin : public Widget {
 public:
  Kind kind() const override { return K; }
  std::string_view type_name() const override { return builtin_type_name(K); }
  std::vector<const Widget*> children() const override {
    std::vector<const Widget*> out;
    for (const auto& c : items) out.push_back(c.get());
    return out;
  }
  std::vector<Widget*> children_mut() override {
    std::vector<Widget*> out;
    for (auto& c : items) out.push_back(c.get());
    return out;
  }
  std::vector<WidgetPtr> items;
};

class Column : public Builtin<Kind::Column> {};

class Row : public Builtin<Kind::Row> {
 public:
  // Lets the row's items flow onto further lines when the window is narrow.
  bool wrap = false;
};

class Container : public Builtin<Kind::Container> {
 public:
  std::optional<int> max_width;
  std::optional<int> min_width;
  std::optional<int> min_height;
  std::optional<int> fixed_width;
  bool card_surface = false;
};

class Spacer : public Builtin<Kind::Spacer> {
 public:
  std::optional<int> height;  // fixed vertical gap in px; absent = flexible
};

class Scrollable : public Builtin<Kind::Scrollable> {};

// A card surface: titled (title, optional header action, body) or plain.
class Card : public Builtin<Kind::Card> {
 public:
  std::optional<std::string> title;
  WidgetPtr header_action;  // shown beside the title
  std::vector<const Widget*> children() const override;
  std::vector<Widget*> children_mut() override;
};

class CardGrid : public Builtin<Kind::CardGrid> {
 public:
  int column_width = 330;
};

class Banner : public Builtin<Kind::Banner> {
 public:
  Tone tone = Tone::Success;
  std::string title;
  std::optional<std::string> message;
};

class Button : public Builtin<Kind::Button> {
 public:
  std::string control_id;
  std::string label;
  ButtonKind button_kind = ButtonKind::Action;
  std::optional<IconRole> icon;
  int height = 44;
  vimo_actions::ExecutionKind execution = vimo_actions::ExecutionKind::Perform;
  // A cloned sender and a copy of one message; empty for a button without message.
  std::function<void()> action;

  bool has_action() const { return static_cast<bool>(action); }
  // Runs the action; false for a button without one.
  bool press() const;
  std::vector<ControlAction> control_actions() const override;
  vimo_actions::InvokeResult perform_control_action(std::string_view control_id, std::string_view argument_json) override;
};

class Text : public Builtin<Kind::Text> {
 public:
  std::string text;
  TextStyle style = TextStyle::Body;
  int size_px = 14;
};

class ProgressBar : public Builtin<Kind::ProgressBar> {
 public:
  std::optional<double> value;  // 0..1 (not clamped); absent = indeterminate
  std::string label;
};

class PagePreview : public Builtin<Kind::PagePreview> {
 public:
  std::string label;
  std::uint32_t page = 1;
  std::uint32_t count = 1;
  // Shown page: at least 1, never above count.
  std::uint32_t shown_page() const;
};

class IconWidget : public Builtin<Kind::IconWidget> {
 public:
  IconRole role = IconRole::Printer;
  int size_px = 24;
};

class Image : public Builtin<Kind::Image> {
 public:
  Pixels rgba;  // width * height * 4 bytes
  std::uint32_t width = 0;
  std::uint32_t height = 0;
};

class Divider : public Builtin<Kind::Divider> {};

class Dropdown : public Builtin<Kind::Dropdown> {
 public:
  struct Option {
    std::string value;
    std::string label;
  };
  std::string id;
  std::string label;
  std::string placeholder;
  std::vector<Option> options;
  std::optional<std::string> selected;  // an option's value
  std::function<void(const std::string&)> on_change;

  // Selects the option with this value and tells on_change; false when no
  // such option exists.
  bool choose(const std::string& value);
};

class NumberInput : public Builtin<Kind::NumberInput> {
 public:
  std::string id;
  std::string label;
  LocalState<double> cell;
  double minimum = 0;
  double maximum = 1e9;
  double step = 1;
};

class Toggle : public Builtin<Kind::Toggle> {
 public:
  std::string id;
  std::string label;
  LocalState<bool> cell;
};

class ToggleGroup : public Builtin<Kind::ToggleGroup> {
 public:
  std::string control_id;
  std::vector<std::string> labels;
  LocalState<std::uint32_t> cell;

  // Writes the index when it names a segment.
  bool select(std::uint32_t index);
  std::vector<ControlAction> control_actions() const override;
  vimo_actions::InvokeResult perform_control_action(std::string_view control_id, std::string_view argument_json) override;
};

class ImageCropEditor : public Builtin<Kind::ImageCropEditor> {
 public:
  Pixels rgba;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  LocalState<CropSelection> cell;
};

// ---- Builders: a tree reads like its screen. ----

namespace detail {
inline void append(std::vector<WidgetPtr>&) {}
template <class First, class... Rest>
void append(std::vector<WidgetPtr>& out, First&& first, Rest&&... rest) {
  if constexpr (std::is_same_v<std::decay_t<First>, std::vector<WidgetPtr>>) {
    for (auto& w : first) out.push_back(std::move(w));
  } else {
    if (first) out.push_back(WidgetPtr(std::move(first)));
  }
  append(out, std::forward<Rest>(rest)...);
}
}  // namespace detail

// column(a, b, c) and row(a, b, c) take widgets or vectors of widgets; null
// entries are skipped, which keeps optional sections short to write.
template <class... W>
std::unique_ptr<Column> column(W&&... items) {
  auto c = std::make_unique<Column>();
  detail::append(c->items, std::forward<W>(items)...);
  return c;
}

template <class... W>
std::unique_ptr<Row> row(W&&... items) {
  auto r = std::make_unique<Row>();
  detail::append(r->items, std::forward<W>(items)...);
  return r;
}

std::unique_ptr<Text> heading(std::string text, int size_px);
std::unique_ptr<Text> body(std::string text);
std::unique_ptr<Text> secondary(std::string text);
std::unique_ptr<Spacer> space(int height_px);
std::unique_ptr<Spacer> flex_space();
std::unique_ptr<Scrollable> scrollable(WidgetPtr child);
std::unique_ptr<Container> container(WidgetPtr child);
std::unique_ptr<Divider> divider();
std::unique_ptr<IconWidget> icon(IconRole role, int size_px);
std::unique_ptr<Banner> banner(Tone tone, std::string title, std::optional<std::string> message);
std::unique_ptr<ProgressBar> progress_bar(std::optional<double> value, std::string label);
std::unique_ptr<PagePreview> page_preview(std::string label, std::uint32_t page, std::uint32_t count);
std::unique_ptr<Card> titled_card(std::string title, WidgetPtr header_action, WidgetPtr body);
std::unique_ptr<Card> plain_card(WidgetPtr body);

std::unique_ptr<Button> button(ButtonKind kind, std::string control_id, std::string label,
                               std::function<void()> action = {},
                               vimo_actions::ExecutionKind execution = vimo_actions::ExecutionKind::Perform,
                               std::optional<IconRole> icon = std::nullopt);

}  // namespace vimo_ui
