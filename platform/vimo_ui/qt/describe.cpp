#include "vimo_ui/qt/describe.h"

#include <cmath>

#include <nlohmann/json.hpp>

#include "vimo_ui/widgets.h"

namespace vimo_ui::qt {

namespace {

// Insertion order keeps kind and type first and children last, for people reading it.
using json = nlohmann::ordered_json;

std::string_view execution_name(vimo_actions::ExecutionKind kind) {
  switch (kind) {
    case vimo_actions::ExecutionKind::None: return "none";
    case vimo_actions::ExecutionKind::Perform: return "perform";
    case vimo_actions::ExecutionKind::Navigate: return "navigate";
  }
  return "none";
}

template <class T>
const T* as(const Widget& w) {
  return dynamic_cast<const T*>(&w);
}

json number(double v) {
  // JSON has no NaN or infinity.
  return std::isfinite(v) ? json(v) : json(nullptr);
}

json describe(const Widget& w);

json children_of(const std::vector<const Widget*>& kids) {
  json out = json::array();
  for (const Widget* c : kids)
    if (c) out.push_back(describe(*c));
  return out;
}

json describe(const Widget& w) {
  json j;
  j["kind"] = std::string(w.kind_name());
  j["type"] = std::string(w.type_name());
  std::vector<const Widget*> kids = w.children();

  if (const auto* row = as<Row>(w)) {
    j["wrap"] = row->wrap;
  } else if (const auto* c = as<Container>(w)) {
    if (c->max_width) j["max_width"] = *c->max_width;
    if (c->min_width) j["min_width"] = *c->min_width;
    if (c->min_height) j["min_height"] = *c->min_height;
    if (c->fixed_width) j["fixed_width"] = *c->fixed_width;
    j["card_surface"] = c->card_surface;
  } else if (const auto* s = as<Spacer>(w)) {
    if (s->height) j["height"] = *s->height;
    else j["height"] = "flexible";
  } else if (const auto* card = as<Card>(w)) {
    j["title"] = card->title ? json(*card->title) : json(nullptr);
    if (card->header_action) {
      j["header_action"] = describe(*card->header_action);
      kids.clear();
      for (const auto& item : card->items) kids.push_back(item.get());
    }
  } else if (const auto* grid = as<CardGrid>(w)) {
    j["column_width"] = grid->column_width;
  } else if (const auto* b = as<Banner>(w)) {
    j["tone"] = std::string(tone_name(b->tone));
    j["title"] = b->title;
    j["message"] = b->message ? json(*b->message) : json(nullptr);
  } else if (const auto* b = as<Button>(w)) {
    j["control_id"] = b->control_id;
    j["label"] = b->label;
    j["button_kind"] = std::string(button_kind_name(b->button_kind));
    j["icon"] = b->icon ? json(std::string(icon_role_name(*b->icon))) : json(nullptr);
    j["height"] = b->height;
    j["execution"] = std::string(execution_name(b->execution));
    j["sends_message"] = b->has_action();
  } else if (const auto* t = as<Text>(w)) {
    j["text"] = t->text;
    j["style"] = std::string(text_style_name(t->style));
    j["size_px"] = t->size_px;
  } else if (const auto* p = as<ProgressBar>(w)) {
    j["value"] = p->value ? number(*p->value) : json("indeterminate");
    j["label"] = p->label;
  } else if (const auto* p = as<PagePreview>(w)) {
    j["label"] = p->label;
    j["page"] = p->shown_page();
    j["count"] = p->count;
  } else if (const auto* i = as<IconWidget>(w)) {
    j["role"] = std::string(icon_role_name(i->role));
    j["size_px"] = i->size_px;
  } else if (const auto* i = as<Image>(w)) {
    j["width"] = i->width;
    j["height"] = i->height;
  } else if (const auto* d = as<Dropdown>(w)) {
    j["id"] = d->id;
    j["label"] = d->label;
    j["placeholder"] = d->placeholder;
    json options = json::array();
    for (const auto& o : d->options) options.push_back({{"value", o.value}, {"label", o.label}});
    j["options"] = std::move(options);
    j["selected"] = d->selected ? json(*d->selected) : json(nullptr);
  } else if (const auto* f = as<NumberInput>(w)) {
    j["id"] = f->id;
    j["label"] = f->label;
    j["value"] = f->cell ? number(f->cell->get()) : json(nullptr);
    j["minimum"] = number(f->minimum);
    j["maximum"] = number(f->maximum);
    j["step"] = number(f->step);
  } else if (const auto* t = as<Toggle>(w)) {
    j["id"] = t->id;
    j["label"] = t->label;
    j["value"] = t->cell ? json(t->cell->get()) : json(nullptr);
  } else if (const auto* g = as<ToggleGroup>(w)) {
    j["control_id"] = g->control_id;
    j["labels"] = g->labels;
    if (g->cell) {
      const std::uint32_t index = g->cell->get();
      j["value"] = index;
      j["selected_label"] = index < g->labels.size() ? json(g->labels[index]) : json(nullptr);
    } else {
      j["value"] = nullptr;
    }
  } else if (const auto* e = as<ImageCropEditor>(w)) {
    j["width"] = e->width;
    j["height"] = e->height;
    if (e->cell) {
      const CropSelection s = e->cell->get();
      j["value"] = {{"left", number(s.left)}, {"top", number(s.top)}, {"right", number(s.right)},
                    {"bottom", number(s.bottom)}};
    } else {
      j["value"] = nullptr;
    }
  }
  j["children"] = children_of(kids);
  return j;
}

}  // namespace

std::string describe_json(const Widget& root, int indent) {
  // Texts come from outside (document names, printer names): replace any
  // invalid UTF-8 instead of failing the whole description.
  return describe(root).dump(indent, ' ', false, json::error_handler_t::replace);
}

}  // namespace vimo_ui::qt
