// Names, builders and the few behaviours of the built-in widget kinds.
#include "vimo_ui/widgets.h"

#include <algorithm>
#include <charconv>

namespace vimo_ui {

std::string_view kind_label(Kind kind) {
  switch (kind) {
    case Kind::Custom: return "Custom";
    case Kind::Column: return "Column";
    case Kind::Row: return "Row";
    case Kind::Container: return "Container";
    case Kind::Spacer: return "Spacer";
    case Kind::Scrollable: return "Scrollable";
    case Kind::Card: return "Card";
    case Kind::CardGrid: return "CardGrid";
    case Kind::Banner: return "Banner";
    case Kind::Button: return "Button";
    case Kind::Text: return "Text";
    case Kind::ProgressBar: return "ProgressBar";
    case Kind::PagePreview: return "PagePreview";
    case Kind::IconWidget: return "IconWidget";
    case Kind::Image: return "Image";
    case Kind::Divider: return "Divider";
    case Kind::Dropdown: return "Dropdown";
    case Kind::NumberInput: return "NumberInput";
    case Kind::Toggle: return "Toggle";
    case Kind::ToggleGroup: return "ToggleGroup";
    case Kind::ImageCropEditor: return "ImageCropEditor";
  }
  return "Custom";
}

std::string_view builtin_type_name(Kind kind) {
  switch (kind) {
    case Kind::Custom: return "vimo_ui::Custom";
    case Kind::Column: return "vimo_ui::Column";
    case Kind::Row: return "vimo_ui::Row";
    case Kind::Container: return "vimo_ui::Container";
    case Kind::Spacer: return "vimo_ui::Spacer";
    case Kind::Scrollable: return "vimo_ui::Scrollable";
    case Kind::Card: return "vimo_ui::Card";
    case Kind::CardGrid: return "vimo_ui::CardGrid";
    case Kind::Banner: return "vimo_ui::Banner";
    case Kind::Button: return "vimo_ui::Button";
    case Kind::Text: return "vimo_ui::Text";
    case Kind::ProgressBar: return "vimo_ui::ProgressBar";
    case Kind::PagePreview: return "vimo_ui::PagePreview";
    case Kind::IconWidget: return "vimo_ui::IconWidget";
    case Kind::Image: return "vimo_ui::Image";
    case Kind::Divider: return "vimo_ui::Divider";
    case Kind::Dropdown: return "vimo_ui::Dropdown";
    case Kind::NumberInput: return "vimo_ui::NumberInput";
    case Kind::Toggle: return "vimo_ui::Toggle";
    case Kind::ToggleGroup: return "vimo_ui::ToggleGroup";
    case Kind::ImageCropEditor: return "vimo_ui::ImageCropEditor";
  }
  return "vimo_ui::Custom";
}

std::string_view icon_role_name(IconRole role) {
  switch (role) {
    case IconRole::Printer: return "printer";
    case IconRole::Add: return "add";
    case IconRole::Find: return "find";
    case IconRole::Scanner: return "scanner";
    case IconRole::Back: return "back";
    case IconRole::Open: return "open";
    case IconRole::SeeAll: return "see-all";
    case IconRole::CheckDevices: return "check-devices";
    case IconRole::Refresh: return "refresh";
  }
  return "printer";
}

std::string_view tone_name(Tone tone) {
  switch (tone) {
    case Tone::Success: return "success";
    case Tone::Warning: return "warning";
    case Tone::Error: return "error";
  }
  return "success";
}

std::string_view text_style_name(TextStyle style) {
  switch (style) {
    case TextStyle::Heading: return "heading";
    case TextStyle::Body: return "body";
    case TextStyle::Secondary: return "secondary";
  }
  return "body";
}

std::string_view button_kind_name(ButtonKind kind) {
  switch (kind) {
    case ButtonKind::Action: return "action";
    case ButtonKind::Icon: return "icon";
    case ButtonKind::Emphasised: return "emphasised";
    case ButtonKind::Plain: return "plain";
  }
  return "action";
}

std::vector<const Widget*> Card::children() const {
  std::vector<const Widget*> out;
  if (header_action) out.push_back(header_action.get());
  for (const auto& c : items) out.push_back(c.get());
  return out;
}

std::vector<Widget*> Card::children_mut() {
  std::vector<Widget*> out;
  if (header_action) out.push_back(header_action.get());
  for (auto& c : items) out.push_back(c.get());
  return out;
}

bool Button::press() const {
  if (!action) return false;
  action();
  return true;
}

std::vector<ControlAction> Button::control_actions() const {
  if (control_id.empty()) return {};
  return {ControlAction{control_id, label, execution}};
}

vimo_actions::InvokeResult Button::perform_control_action(std::string_view id, std::string_view) {
  using vimo_actions::InvokeStatus;
  if (id != control_id || control_id.empty()) return {};
  return {press() ? InvokeStatus::Handled : InvokeStatus::Refused, std::nullopt};
}

std::uint32_t PagePreview::shown_page() const {
  const std::uint32_t c = std::max<std::uint32_t>(count, 1);
  return std::clamp<std::uint32_t>(page, 1, c);
}

bool Dropdown::choose(const std::string& value) {
  const bool known = std::any_of(options.begin(), options.end(), [&](const Option& o) { return o.value == value; });
  if (!known) return false;
  selected = value;
  if (on_change) on_change(value);
  return true;
}

bool ToggleGroup::select(std::uint32_t index) {
  if (!cell || index >= labels.size()) return false;
  return cell->set(index);
}

std::vector<ControlAction> ToggleGroup::control_actions() const {
  if (control_id.empty()) return {};
  return {ControlAction{control_id + ".select", control_id, vimo_actions::ExecutionKind::Perform}};
}

vimo_actions::InvokeResult ToggleGroup::perform_control_action(std::string_view id, std::string_view argument_json) {
  using vimo_actions::InvokeStatus;
  if (control_id.empty() || id != control_id + ".select") return {};
  std::uint32_t index = 0;
  const auto* first = argument_json.data();
  const auto* last = first + argument_json.size();
  const auto [ptr, ec] = std::from_chars(first, last, index);
  if (ec != std::errc{} || ptr != last) return {InvokeStatus::Refused, "index expected"};
  return {select(index) ? InvokeStatus::Handled : InvokeStatus::Refused, std::nullopt};
}

std::unique_ptr<Text> heading(std::string text, int size_px) {
  auto t = std::make_unique<Text>();
  t->text = std::move(text);
  t->style = TextStyle::Heading;
  t->size_px = size_px;
  return t;
}

std::unique_ptr<Text> body(std::string text) {
  auto t = std::make_unique<Text>();
  t->text = std::move(text);
  t->style = TextStyle::Body;
  t->size_px = 14;
  return t;
}

std::unique_ptr<Text> secondary(std::string text) {
  auto t = std::make_unique<Text>();
  t->text = std::move(text);
  t->style = TextStyle::Secondary;
  t->size_px = 13;
  return t;
}

std::unique_ptr<Spacer> space(int height_px) {
  auto s = std::make_unique<Spacer>();
  s->height = height_px;
  return s;
}

std::unique_ptr<Spacer> flex_space() { return std::make_unique<Spacer>(); }

std::unique_ptr<Scrollable> scrollable(WidgetPtr child) {
  auto s = std::make_unique<Scrollable>();
  s->items.push_back(std::move(child));
  return s;
}

std::unique_ptr<Container> container(WidgetPtr child) {
  auto c = std::make_unique<Container>();
  c->items.push_back(std::move(child));
  return c;
}

std::unique_ptr<Divider> divider() { return std::make_unique<Divider>(); }

std::unique_ptr<IconWidget> icon(IconRole role, int size_px) {
  auto i = std::make_unique<IconWidget>();
  i->role = role;
  i->size_px = size_px;
  return i;
}

std::unique_ptr<Banner> banner(Tone tone, std::string title, std::optional<std::string> message) {
  auto b = std::make_unique<Banner>();
  b->tone = tone;
  b->title = std::move(title);
  b->message = std::move(message);
  return b;
}

std::unique_ptr<ProgressBar> progress_bar(std::optional<double> value, std::string label) {
  auto p = std::make_unique<ProgressBar>();
  p->value = value;
  p->label = std::move(label);
  return p;
}

std::unique_ptr<PagePreview> page_preview(std::string label, std::uint32_t page, std::uint32_t count) {
  auto p = std::make_unique<PagePreview>();
  p->label = std::move(label);
  p->page = page;
  p->count = count;
  return p;
}

std::unique_ptr<Card> titled_card(std::string title, WidgetPtr header_action, WidgetPtr body_widget) {
  auto c = std::make_unique<Card>();
  c->title = std::move(title);
  c->header_action = std::move(header_action);
  c->items.push_back(std::move(body_widget));
  return c;
}

std::unique_ptr<Card> plain_card(WidgetPtr body_widget) {
  auto c = std::make_unique<Card>();
  c->items.push_back(std::move(body_widget));
  return c;
}

std::unique_ptr<Button> button(ButtonKind kind, std::string control_id, std::string label, std::function<void()> action,
                               vimo_actions::ExecutionKind execution, std::optional<IconRole> icon_role) {
  auto b = std::make_unique<Button>();
  b->button_kind = kind;
  b->control_id = std::move(control_id);
  b->label = std::move(label);
  b->action = std::move(action);
  b->execution = execution;
  b->icon = icon_role;
  return b;
}

}  // namespace vimo_ui
