#include "vimo_ui/qt/renderer.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStyle>

#include "vimo_ui/qt/flow_layout.h"
#include "vimo_ui/qt/style.h"
#include "vimo_ui/qt/views.h"
#include "vimo_ui/widgets.h"

namespace vimo_ui::qt {

namespace {

constexpr int row_spacing = 12;
constexpr int card_padding = 20;
constexpr int card_title_gap = 12;
constexpr int grid_spacing = 16;
constexpr int field_max_width = 360;

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

template <class T>
const T* as(const Widget& w) {
  return dynamic_cast<const T*>(&w);
}

// The kind the renderer draws: a node that claims a built-in kind but is not
// that widget class is drawn through its children like a program widget.
Kind effective_kind(const Widget& w) {
  const Kind k = w.kind();
  bool ok = false;
  switch (k) {
    case Kind::Custom: return Kind::Custom;
    case Kind::Column: ok = as<Column>(w); break;
    case Kind::Row: ok = as<Row>(w); break;
    case Kind::Container: ok = as<Container>(w); break;
    case Kind::Spacer: ok = as<Spacer>(w); break;
    case Kind::Scrollable: ok = as<Scrollable>(w); break;
    case Kind::Card: ok = as<Card>(w); break;
    case Kind::CardGrid: ok = as<CardGrid>(w); break;
    case Kind::Banner: ok = as<Banner>(w); break;
    case Kind::Button: ok = as<Button>(w); break;
    case Kind::Text: ok = as<Text>(w); break;
    case Kind::ProgressBar: ok = as<ProgressBar>(w); break;
    case Kind::PagePreview: ok = as<PagePreview>(w); break;
    case Kind::IconWidget: ok = as<IconWidget>(w); break;
    case Kind::Image: ok = as<Image>(w); break;
    case Kind::Divider: ok = as<Divider>(w); break;
    case Kind::Dropdown: ok = as<Dropdown>(w); break;
    case Kind::NumberInput: ok = as<NumberInput>(w); break;
    case Kind::Toggle: ok = as<Toggle>(w); break;
    case Kind::ToggleGroup: ok = as<ToggleGroup>(w); break;
    case Kind::ImageCropEditor: ok = as<ImageCropEditor>(w); break;
  }
  return ok ? k : Kind::Custom;
}

// Control ids identify a control across rebuilds wherever it moves.
std::string key_of(const Widget& w, Kind k) {
  switch (k) {
    case Kind::Button: return static_cast<const Button&>(w).control_id;
    case Kind::Dropdown: return static_cast<const Dropdown&>(w).id;
    case Kind::NumberInput: return static_cast<const NumberInput&>(w).id;
    case Kind::Toggle: return static_cast<const Toggle&>(w).id;
    case Kind::ToggleGroup: return static_cast<const ToggleGroup&>(w).control_id;
    default: return {};
  }
}

// What must match, besides kind and type, for a mounted widget to be reused:
// the parts that decide its Qt structure or style class.
std::string shape_of(const Widget& w, Kind k) {
  switch (k) {
    case Kind::Row: return static_cast<const Row&>(w).wrap ? "wrap" : "line";
    case Kind::Spacer: return static_cast<const Spacer&>(w).height ? "fixed" : "flex";
    case Kind::Card: {
      const auto& c = static_cast<const Card&>(w);
      return std::string(c.title ? "titled" : "plain") + (c.header_action ? "+action" : "");
    }
    case Kind::Banner: return std::string(tone_name(static_cast<const Banner&>(w).tone));
    case Kind::Button: return std::string(button_kind_name(static_cast<const Button&>(w).button_kind));
    default: return {};
  }
}

// A program widget may answer null children; they draw nothing.
std::vector<const Widget*> children_of(const Widget& w) {
  std::vector<const Widget*> kids = w.children();
  std::erase(kids, nullptr);
  return kids;
}

bool draws_children(Kind k) {
  switch (k) {
    case Kind::Custom:
    case Kind::Column:
    case Kind::Row:
    case Kind::Container:
    case Kind::Scrollable:
    case Kind::Card:
    case Kind::CardGrid: return true;
    default: return false;
  }
}

QVBoxLayout* bare_column(QWidget* owner) {
  auto* l = new QVBoxLayout(owner);
  l->setContentsMargins(0, 0, 0, 0);
  l->setSpacing(0);
  return l;
}

QLabel* wrapped_label(QWidget* parent) {
  auto* l = new QLabel(parent);
  l->setTextFormat(Qt::PlainText);  // shown texts are data, never markup
  l->setWordWrap(true);
  l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return l;
}

void set_text(QLabel* label, const QString& text) {
  if (label->text() != text) label->setText(text);
}

void set_label_style(QLabel* label, TextStyle style, int size_px) {
  const QFont font = text_font(style, size_px);
  if (label->font() != font) label->setFont(font);
  QPalette p = label->palette();
  const QColor color = style == TextStyle::Secondary ? colors::secondary : colors::text;
  if (p.color(QPalette::WindowText) != color) {
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
  }
}

int spin_decimals(double step, double minimum) {
  auto integral = [](double v) { return std::isfinite(v) && std::floor(v) == v; };
  if (integral(step) && integral(minimum) && step > 0) return 0;
  if (step > 0 && step < 1) return std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 1, 6);
  return 2;
}

}  // namespace

struct Node {
  Kind kind = Kind::Custom;
  std::string type;
  std::string key;
  std::string shape;

  QWidget* widget = nullptr;     // the outer widget placed in the parent
  QBoxLayout* box = nullptr;     // where children go, for box layouts
  FlowLayout* flow = nullptr;    // where children go, for flowing rows and grids
  QBoxLayout* header = nullptr;  // a titled card's title row
  QWidget* header_widget = nullptr;
  std::vector<std::unique_ptr<Node>> children;
  std::vector<std::pair<QWidget*, int>> placed;  // children as last laid out, with stretch
  bool trailing_stretch = false;
  bool dirty = true;  // children were made or dropped since the last layout
  bool expands_v = false;  // wants spare height (a scroll area, a flexible gap)
  bool grows_h = false;    // wants spare width inside a row

  // Parts and the values last shown.
  QLabel* label = nullptr;
  QLabel* label2 = nullptr;
  QPushButton* button = nullptr;
  QComboBox* combo = nullptr;
  QDoubleSpinBox* spin = nullptr;
  QCheckBox* check = nullptr;
  ProgressView* bar = nullptr;
  QButtonGroup* group = nullptr;
  ImageView* image = nullptr;
  CropEditorView* crop = nullptr;
  PagePreviewView* page = nullptr;
  std::optional<int> spacer_height;
  std::optional<IconRole> icon;
  int icon_size = 0;
  int container_sig[5] = {-1, -1, -1, -1, -1};
  Pixels pixels;
  std::uint32_t pixel_w = 0;
  std::uint32_t pixel_h = 0;
  std::vector<std::string> option_values;
  std::vector<std::string> option_labels;
  std::vector<std::string> segment_labels;
  int chosen_index = -1;  // the dropdown's option as last chosen or shown

  // What user input reaches.
  std::function<void()> action;
  std::function<void(const std::string&)> on_change;
  LocalState<double> number;
  LocalState<bool> flag;
  LocalState<std::uint32_t> index;
  LocalState<CropSelection> crop_cell;
  std::uint64_t seen_version = ~std::uint64_t{0};
  const void* seen_cell = nullptr;
};

Renderer::Renderer(QWidget* frame, std::function<void()> on_input) : frame_(frame), on_input_(std::move(on_input)) {
  if (!frame_->layout()) bare_column(frame_);
}

Renderer::~Renderer() {
  // The mounted widgets call back into this renderer; they go with it.
  if (root_) delete root_->widget;
}

void Renderer::input_happened() {
  if (on_input_) on_input_();
}

QWidget* Renderer::root_widget() const { return root_ ? root_->widget : nullptr; }

QWidget* Renderer::widget_at(std::span<const std::size_t> path) const {
  const Node* n = root_.get();
  for (std::size_t i : path) {
    if (!n || i >= n->children.size()) return nullptr;
    n = n->children[i].get();
  }
  return n ? n->widget : nullptr;
}

QWidget* Renderer::widget_for_control(std::string_view control_id) const {
  std::vector<const Node*> stack;
  if (root_) stack.push_back(root_.get());
  while (!stack.empty()) {
    const Node* n = stack.back();
    stack.pop_back();
    if (n->key == control_id) return n->widget;
    for (auto it = n->children.rbegin(); it != n->children.rend(); ++it) stack.push_back(it->get());
  }
  return nullptr;
}

namespace {

// The first built-in widget under program widgets that only wrap one child.
const Widget* screen_of(const Widget& root) {
  const Widget* w = &root;
  while (w->kind() == Kind::Custom) {
    const auto children = w->children();
    if (children.size() != 1 || !children.front()) break;
    w = children.front();
  }
  return w;
}

}  // namespace

void Renderer::render(const Widget& root) {
  stats_ = {};
  // A screen that brings no page frame of its own (a bare column) would sit
  // flush against the window's edges; give it the page's margins.
  const bool framed = screen_of(root)->kind() != Kind::Column;
  frame_->layout()->setContentsMargins(framed ? QMargins() : QMargins(32, 24, 32, 24));
  const Kind k = effective_kind(root);
  if (root_ && root_->kind == k && root_->type == root.type_name() && root_->shape == shape_of(root, k)) {
    update(*root_, root);
    return;
  }
  if (root_) drop(std::move(root_));
  root_ = create(root, frame_);
  frame_->layout()->addWidget(root_->widget);
}

void Renderer::drop(std::unique_ptr<Node> node) {
  std::size_t count = 0;
  std::vector<const Node*> stack{node.get()};
  while (!stack.empty()) {
    const Node* n = stack.back();
    stack.pop_back();
    ++count;
    for (const auto& c : n->children) stack.push_back(c.get());
  }
  stats_.dropped += count;
  // Deleting the outer widget deletes every widget of the subtree.
  delete node->widget;
}

std::unique_ptr<Node> Renderer::create(const Widget& w, QWidget* parent) {
  ++stats_.created;
  auto node = std::make_unique<Node>();
  Node* n = node.get();
  n->kind = effective_kind(w);
  n->type = std::string(w.type_name());
  n->key = key_of(w, n->kind);
  n->shape = shape_of(w, n->kind);

  switch (n->kind) {
    case Kind::Custom:
    case Kind::Column: {
      n->widget = new QWidget(parent);
      n->box = bare_column(n->widget);
      break;
    }
    case Kind::Row: {
      n->widget = new QWidget(parent);
      if (static_cast<const Row&>(w).wrap) {
        n->flow = new FlowLayout(n->widget, 0, row_spacing, row_spacing);
      } else {
        n->box = new QHBoxLayout(n->widget);
        n->box->setContentsMargins(0, 0, 0, 0);
        n->box->setSpacing(row_spacing);
      }
      break;
    }
    case Kind::Container: {
      auto* frame = new Surface(Surface::Look::None, parent);
      n->widget = frame;
      n->box = bare_column(frame);
      break;
    }
    case Kind::Spacer: {
      n->widget = new QWidget(parent);
      break;
    }
    case Kind::Scrollable: {
      auto* area = new QScrollArea(parent);
      area->setWidgetResizable(true);
      area->setFrameShape(QFrame::NoFrame);
      area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      area->viewport()->setAutoFillBackground(false);
      auto* content = new QWidget;
      n->box = bare_column(content);
      n->box->setContentsMargins(24, 24, 24, 32);
      area->setWidget(content);
      n->widget = area;
      break;
    }
    case Kind::Card: {
      const auto& c = static_cast<const Card&>(w);
      auto* frame = new Surface(Surface::Look::Card, parent);
      auto* outer = bare_column(frame);
      outer->setContentsMargins(card_padding, card_padding, card_padding, card_padding);
      if (c.title) {
        n->header = new QHBoxLayout;
        n->header->setSpacing(row_spacing);
        n->label = wrapped_label(frame);
        set_label_style(n->label, TextStyle::Heading, 18);
        n->label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        n->header->addWidget(n->label, 1);
        outer->addLayout(n->header);
        outer->addSpacing(card_title_gap);
      }
      n->box = bare_column(nullptr);
      outer->addLayout(n->box, 1);
      n->widget = frame;
      break;
    }
    case Kind::CardGrid: {
      n->widget = new QWidget(parent);
      n->flow = new FlowLayout(n->widget, static_cast<const CardGrid&>(w).column_width, grid_spacing, grid_spacing);
      break;
    }
    case Kind::Banner: {
      const Tone tone = static_cast<const Banner&>(w).tone;
      auto* frame = new Surface(tone == Tone::Success   ? Surface::Look::Success
                                : tone == Tone::Warning ? Surface::Look::Warning
                                                        : Surface::Look::Error,
                                parent);
      auto* l = bare_column(frame);
      l->setContentsMargins(20, 12, 16, 12);
      l->setSpacing(4);
      n->label = wrapped_label(frame);
      set_label_style(n->label, TextStyle::Heading, 15);
      n->label2 = wrapped_label(frame);
      set_label_style(n->label2, TextStyle::Body, 14);
      l->addWidget(n->label);
      l->addWidget(n->label2);
      n->widget = frame;
      break;
    }
    case Kind::Button: {
      const ButtonKind kind = static_cast<const Button&>(w).button_kind;
      auto* b = new ToolkitButton(kind == ButtonKind::Emphasised ? ToolkitButton::Look::Emphasised
                                  : kind == ButtonKind::Plain    ? ToolkitButton::Look::Plain
                                                                 : ToolkitButton::Look::Action,
                                  parent);
      QObject::connect(b, &QPushButton::clicked, b, [this, n] {
        if (n->action) {
          auto action = n->action;  // the call may lead to this node being replaced later
          action();
        }
        input_happened();
      });
      n->button = b;
      n->widget = b;
      break;
    }
    case Kind::Text: {
      n->label = wrapped_label(parent);
      n->widget = n->label;
      break;
    }
    case Kind::ProgressBar: {
      n->bar = new ProgressView(parent);
      n->widget = n->bar;
      break;
    }
    case Kind::PagePreview: {
      n->page = new PagePreviewView(parent);
      n->widget = n->page;
      break;
    }
    case Kind::IconWidget: {
      n->label = new QLabel(parent);
      n->label->setAlignment(Qt::AlignCenter);
      n->widget = n->label;
      break;
    }
    case Kind::Image: {
      n->image = new ImageView(parent);
      n->widget = n->image;
      break;
    }
    case Kind::Divider: {
      auto* line = new Surface(Surface::Look::Divider, parent);
      line->setFixedHeight(1);
      n->widget = line;
      break;
    }
    case Kind::Dropdown: {
      auto* box = new QWidget(parent);
      auto* l = bare_column(box);
      l->setSpacing(6);
      n->label = wrapped_label(box);
      set_label_style(n->label, TextStyle::Secondary, 13);
      n->combo = new QComboBox(box);
      n->combo->setMaxVisibleItems(12);
      n->combo->setFixedHeight(36);
      l->addWidget(n->label);
      l->addWidget(n->combo);
      box->setMaximumWidth(field_max_width);
      // activated: only a user's choice, never a change the renderer makes.
      QObject::connect(n->combo, &QComboBox::activated, n->combo, [this, n](int i) {
        if (i < 0 || static_cast<std::size_t>(i) >= n->option_values.size()) return;
        if (i == n->chosen_index) return;  // picked what was already chosen
        n->chosen_index = i;
        const std::string value = n->option_values[static_cast<std::size_t>(i)];
        if (n->on_change) {
          auto on_change = n->on_change;
          on_change(value);
        }
        input_happened();
      });
      n->widget = box;
      break;
    }
    case Kind::NumberInput: {
      auto* box = new QWidget(parent);
      auto* l = bare_column(box);
      l->setSpacing(6);
      n->label = wrapped_label(box);
      set_label_style(n->label, TextStyle::Secondary, 13);
      n->spin = new QDoubleSpinBox(box);
      n->spin->setKeyboardTracking(true);
      n->spin->setMinimumWidth(120);
      n->spin->setFixedHeight(36);
      l->addWidget(n->label);
      l->addWidget(n->spin);
      box->setMaximumWidth(field_max_width);
      QObject::connect(n->spin, &QDoubleSpinBox::valueChanged, n->spin, [this, n](double v) {
        if (!n->number) return;
        if (n->number->set(v)) {
          n->seen_version = n->number->version();
        } else {
          // Refused: show the cell's value again rather than one nobody holds.
          const QSignalBlocker block(n->spin);
          n->spin->setValue(n->number->get());
        }
        input_happened();
      });
      n->widget = box;
      break;
    }
    case Kind::Toggle: {
      n->check = new QCheckBox(parent);
      QObject::connect(n->check, &QCheckBox::clicked, n->check, [this, n](bool on) {
        if (!n->flag) return;
        if (n->flag->set(on)) {
          n->seen_version = n->flag->version();
        } else {
          const QSignalBlocker block(n->check);
          n->check->setChecked(n->flag->get());
        }
        input_happened();
      });
      n->widget = n->check;
      break;
    }
    case Kind::ToggleGroup: {
      auto* box = new QWidget(parent);
      auto* l = new QHBoxLayout(box);
      l->setContentsMargins(0, 0, 0, 0);
      l->setSpacing(0);
      n->group = new QButtonGroup(box);
      n->group->setExclusive(true);
      QObject::connect(n->group, &QButtonGroup::idClicked, box, [this, n](int id) {
        if (!n->index || id < 0) return;
        if (n->index->set(static_cast<std::uint32_t>(id))) {
          n->seen_version = n->index->version();
        } else {
          const std::uint32_t current = n->index->get();
          if (auto* b = n->group->button(static_cast<int>(current))) b->setChecked(true);
        }
        input_happened();
      });
      n->widget = box;
      break;
    }
    case Kind::ImageCropEditor: {
      n->crop = new CropEditorView(parent);
      n->image = n->crop;
      n->crop->set_on_commit([this, n](const CropSelection& s) {
        if (!n->crop_cell) return;
        if (n->crop_cell->set(s)) {
          n->seen_version = n->crop_cell->version();
        } else {
          n->crop->set_selection(n->crop_cell->get());
        }
        input_happened();
      });
      n->widget = n->crop;
      break;
    }
  }

  apply(*n, w);
  if (draws_children(n->kind)) {
    QWidget* content = n->kind == Kind::Scrollable ? static_cast<QScrollArea*>(n->widget)->widget() : n->widget;
    for (const Widget* c : children_of(w)) n->children.push_back(create(*c, content));
    place_children(*n);
  }
  return node;
}

void Renderer::update(Node& n, const Widget& w) {
  ++stats_.reused;
  apply(n, w);
  if (draws_children(n.kind)) reconcile_children(n, w);
}

void Renderer::reconcile_children(Node& n, const Widget& w) {
  const auto kids = children_of(w);
  std::vector<std::unique_ptr<Node>> old = std::move(n.children);
  std::vector<std::unique_ptr<Node>> next(kids.size());
  std::vector<Kind> kinds(kids.size());
  std::vector<std::string> keys(kids.size());
  for (std::size_t j = 0; j < kids.size(); ++j) {
    kinds[j] = effective_kind(*kids[j]);
    keys[j] = key_of(*kids[j], kinds[j]);
  }
  auto compatible = [&](const Node& o, std::size_t j) {
    return o.kind == kinds[j] && o.type == kids[j]->type_name() && o.shape == shape_of(*kids[j], kinds[j]);
  };

  // Controls with ids follow their id wherever they moved.
  std::unordered_multimap<std::string, std::size_t> by_key;
  for (std::size_t i = 0; i < old.size(); ++i)
    if (!old[i]->key.empty()) by_key.emplace(old[i]->key, i);
  if (!by_key.empty()) {
    for (std::size_t j = 0; j < kids.size(); ++j) {
      if (keys[j].empty()) continue;
      auto [first, last] = by_key.equal_range(keys[j]);
      // Equal ids are paired in order.
      std::size_t best = old.size();
      auto best_it = last;
      for (auto it = first; it != last; ++it)
        if (old[it->second] && compatible(*old[it->second], j) && it->second < best) {
          best = it->second;
          best_it = it;
        }
      if (best_it != last) {
        next[j] = std::move(old[best]);
        by_key.erase(best_it);
      }
    }
  }
  // The rest by position: the old node at the same index when it matches,
  // otherwise the next unused one of the same kind, so that an item that
  // disappears does not shift every later one.
  std::size_t cursor = 0;
  for (std::size_t j = 0; j < kids.size(); ++j) {
    if (next[j] || !keys[j].empty()) continue;
    if (j < old.size() && old[j] && old[j]->key.empty() && compatible(*old[j], j)) {
      next[j] = std::move(old[j]);
      cursor = std::max(cursor, j + 1);
      continue;
    }
    for (std::size_t i = cursor; i < old.size(); ++i) {
      if (old[i] && old[i]->key.empty() && compatible(*old[i], j)) {
        next[j] = std::move(old[i]);
        cursor = i + 1;
        break;
      }
    }
  }

  for (auto& o : old) {
    if (!o) continue;
    drop(std::move(o));
    n.dirty = true;
  }

  QWidget* content = n.kind == Kind::Scrollable ? static_cast<QScrollArea*>(n.widget)->widget() : n.widget;
  for (std::size_t j = 0; j < kids.size(); ++j) {
    if (next[j]) {
      update(*next[j], *kids[j]);
    } else {
      next[j] = create(*kids[j], content);
      n.dirty = true;
    }
  }
  n.children = std::move(next);
  place_children(n);
}

void Renderer::place_children(Node& n) {
  const bool vertical = n.box && n.box->direction() == QBoxLayout::TopToBottom;
  const bool horizontal = n.box && !vertical;

  // The first child of a card with a header action sits in the title row.
  std::size_t first = 0;
  QWidget* header_widget = nullptr;
  if (n.header && !n.shape.ends_with("+action")) {
    header_widget = nullptr;
  } else if (n.header && !n.children.empty()) {
    header_widget = n.children[0]->widget;
    first = 1;
  }
  // dirty: a dropped widget's address may have been reused by a new one.
  if (n.header && (n.dirty || header_widget != n.header_widget)) {
    if (n.header_widget) n.header->removeWidget(n.header_widget);
    if (header_widget) n.header->addWidget(header_widget, 0, Qt::AlignVCenter);
    n.header_widget = header_widget;
  }

  bool any_v = false;
  bool any_h = false;
  std::vector<std::pair<QWidget*, int>> want;
  for (std::size_t i = first; i < n.children.size(); ++i) {
    Node& c = *n.children[i];
    if (c.kind == Kind::Spacer) c.expands_v = !c.spacer_height && !horizontal && !n.flow;
    any_v = any_v || c.expands_v;
    // Gaps take their direction from the layout they sit in.
    if (c.kind == Kind::Spacer) {
      const int h = c.spacer_height.value_or(0);
      if (c.spacer_height) {
        if (horizontal || n.flow) c.widget->setFixedSize(h, 0);
        else c.widget->setFixedSize(QWIDGETSIZE_MAX, h), c.widget->setMinimumWidth(0);
        c.widget->setSizePolicy(horizontal || n.flow ? QSizePolicy::Fixed : QSizePolicy::Minimum,
                                horizontal || n.flow ? QSizePolicy::Minimum : QSizePolicy::Fixed);
      } else {
        c.widget->setMinimumSize(0, 0);
        c.widget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        c.widget->setSizePolicy(horizontal ? QSizePolicy::Expanding : QSizePolicy::Minimum,
                                horizontal ? QSizePolicy::Minimum : QSizePolicy::Expanding);
      }
    }
    // Containers and texts take the width a row has to spare; controls keep
    // their natural width.
    const bool grows = c.grows_h || c.kind == Kind::Text;
    if (n.flow && n.kind == Kind::Row) {
      const auto policy = grows ? QSizePolicy::Expanding : QSizePolicy::Preferred;
      if (c.kind != Kind::Spacer && c.widget->sizePolicy().horizontalPolicy() != policy) {
        QSizePolicy sp = c.widget->sizePolicy();
        sp.setHorizontalPolicy(policy);
        c.widget->setSizePolicy(sp);
      }
    }
    int stretch = 0;
    if (vertical) {
      stretch = c.expands_v ? 1 : 0;
    } else if (horizontal) {
      if (c.kind == Kind::Spacer) stretch = c.spacer_height ? 0 : 1;
      else if (c.kind == Kind::Container && c.container_sig[0] >= 0) stretch = 1000;  // fills up to its limit
      else stretch = grows ? 1 : 0;
      any_h = any_h || stretch > 0;
    }
    want.emplace_back(c.widget, stretch);
  }
  // Flexible gaps in a column only matter when it has spare height.
  n.expands_v = n.kind == Kind::Scrollable || (n.kind != Kind::CardGrid && !n.flow && any_v);
  n.grows_h = n.kind == Kind::Column || n.kind == Kind::Custom || n.kind == Kind::Card || n.kind == Kind::CardGrid ||
              n.kind == Kind::Scrollable || (n.kind == Kind::Container && n.container_sig[2] < 0) || n.kind == Kind::Row;
  const bool trailing = n.box && !(vertical ? any_v : any_h);

  if (!n.dirty && want == n.placed && trailing == n.trailing_stretch) return;
  n.dirty = false;
  if (n.flow) {
    while (QLayoutItem* item = n.flow->takeAt(0)) delete item;
    for (auto& [widget, stretch] : want) n.flow->addWidget(widget);
  } else if (n.box) {
    while (QLayoutItem* item = n.box->takeAt(0)) delete item;
    for (std::size_t i = 0; i < want.size(); ++i) {
      const Node& c = *n.children[i + first];
      Qt::Alignment align;
      // Controls keep their natural width in a column instead of spanning it.
      if (vertical) {
        switch (c.kind) {
          case Kind::Button:
          case Kind::IconWidget:
          case Kind::PagePreview:
          case Kind::ToggleGroup:
          case Kind::Toggle:
          case Kind::Dropdown:
          case Kind::NumberInput: align = Qt::AlignLeft; break;
          default: break;
        }
      }
      n.box->addWidget(want[i].first, want[i].second, align);
    }
    if (trailing) n.box->addStretch(1);
  }
  n.placed = std::move(want);
  n.trailing_stretch = trailing;
}

void Renderer::apply(Node& n, const Widget& w) {
  switch (n.kind) {
    case Kind::Custom:
    case Kind::Column:
    case Kind::Row:
    case Kind::Scrollable:
    case Kind::Divider: break;
    case Kind::Container: {
      const auto& c = static_cast<const Container&>(w);
      // Width limit, minimum width, fixed width, minimum height, surface.
      const int sig[5] = {c.max_width.value_or(-1), c.min_width.value_or(-1), c.fixed_width.value_or(-1),
                          c.min_height.value_or(-1), c.card_surface ? 1 : 0};
      if (std::equal(sig, sig + 5, n.container_sig)) break;
      QWidget* f = n.widget;
      int min_w = c.min_width.value_or(0);
      int max_w = c.max_width.value_or(QWIDGETSIZE_MAX);
      if (c.fixed_width) min_w = max_w = *c.fixed_width;
      f->setMinimumWidth(std::max(0, min_w));
      f->setMaximumWidth(std::max(0, max_w));
      f->setMinimumHeight(std::max(0, c.min_height.value_or(0)));
      f->setSizePolicy(c.max_width ? QSizePolicy::Expanding : QSizePolicy::Preferred, QSizePolicy::Preferred);
      const bool was_card = n.container_sig[4] == 1;
      if (c.card_surface != was_card || n.container_sig[4] < 0) {
        static_cast<Surface*>(f)->set_look(c.card_surface ? Surface::Look::Card : Surface::Look::None);
        n.box->setContentsMargins(c.card_surface ? QMargins(card_padding, card_padding, card_padding, card_padding)
                                                 : QMargins());
      }
      std::copy(sig, sig + 5, n.container_sig);
      break;
    }
    case Kind::Spacer: n.spacer_height = static_cast<const Spacer&>(w).height; break;
    case Kind::Card: {
      const auto& c = static_cast<const Card&>(w);
      if (n.label && c.title) set_text(n.label, qs(*c.title));
      break;
    }
    case Kind::CardGrid: n.flow->set_column_width(std::max(1, static_cast<const CardGrid&>(w).column_width)); break;
    case Kind::Banner: {
      const auto& b = static_cast<const Banner&>(w);
      set_text(n.label, qs(b.title));
      set_text(n.label2, b.message ? qs(*b.message) : QString());
      n.label2->setVisible(b.message.has_value() && !b.message->empty());
      n.widget->setAccessibleName(qs(b.title));
      break;
    }
    case Kind::Button: {
      const auto& b = static_cast<const Button&>(w);
      const QString text = qs(b.label);
      if (n.button->text() != text) {
        n.button->setText(text);
        n.button->setAccessibleName(text);
        n.button->updateGeometry();
      }
      if (n.button->height() != b.height || n.button->minimumHeight() != b.height) n.button->setFixedHeight(std::max(1, b.height));
      if (b.icon != n.icon) {
        n.icon = b.icon;
        const QColor ink = b.button_kind == ButtonKind::Emphasised ? colors::on_accent : colors::text;
        n.button->setIcon(b.icon ? role_icon(*b.icon, ink) : QIcon());
      }
      const QString id = qs(b.control_id);
      if (n.button->property("control_id").toString() != id) n.button->setProperty("control_id", id);
      n.action = b.action;
      break;
    }
    case Kind::Text: {
      const auto& t = static_cast<const Text&>(w);
      set_text(n.label, qs(t.text));
      set_label_style(n.label, t.style, t.size_px);
      break;
    }
    case Kind::ProgressBar: {
      const auto& p = static_cast<const ProgressBar&>(w);
      // The value may run past 1 (a job reporting 150 %); the bar shows it full.
      n.bar->set_fraction(p.value);
      const QString name = qs(p.label);
      if (n.bar->accessibleName() != name) n.bar->setAccessibleName(name);
      break;
    }
    case Kind::PagePreview: {
      const auto& p = static_cast<const PagePreview&>(w);
      n.page->set_page(qs(p.label), p.shown_page(), std::max<std::uint32_t>(p.count, 1));
      break;
    }
    case Kind::IconWidget: {
      const auto& i = static_cast<const IconWidget&>(w);
      const int side = std::clamp(i.size_px, 1, 512);
      if (n.icon != i.role || n.icon_size != side) {
        n.icon = i.role;
        n.icon_size = side;
        n.label->setPixmap(icon_pixmap(i.role, side, colors::text, n.label->devicePixelRatioF()));
        n.label->setFixedSize(side, side);
        n.label->setAccessibleName(qs(icon_role_name(i.role)));
      }
      break;
    }
    case Kind::Image: {
      const auto& i = static_cast<const Image&>(w);
      if (i.rgba != n.pixels || i.width != n.pixel_w || i.height != n.pixel_h) {
        n.pixels = i.rgba;
        n.pixel_w = i.width;
        n.pixel_h = i.height;
        n.image->set_image(image_from_rgba(i.rgba.get(), i.width, i.height));
      }
      break;
    }
    case Kind::Dropdown: {
      const auto& d = static_cast<const Dropdown&>(w);
      set_text(n.label, qs(d.label));
      n.label->setVisible(!d.label.empty());
      std::vector<std::string> values;
      std::vector<std::string> labels;
      for (const auto& o : d.options) {
        values.push_back(o.value);
        labels.push_back(o.label);
      }
      const QSignalBlocker block(n.combo);
      if (values != n.option_values || labels != n.option_labels) {
        n.combo->clear();
        for (const auto& l : labels) n.combo->addItem(qs(l));
        n.option_values = std::move(values);
        n.option_labels = std::move(labels);
      }
      const QString placeholder = qs(d.placeholder);
      if (n.combo->placeholderText() != placeholder) n.combo->setPlaceholderText(placeholder);
      int index = -1;
      if (d.selected) {
        const auto it = std::find(n.option_values.begin(), n.option_values.end(), *d.selected);
        if (it != n.option_values.end()) index = static_cast<int>(it - n.option_values.begin());
      }
      if (n.combo->currentIndex() != index) n.combo->setCurrentIndex(index);
      n.chosen_index = index;
      n.combo->setAccessibleName(qs(d.label.empty() ? d.placeholder : d.label));
      n.on_change = d.on_change;
      break;
    }
    case Kind::NumberInput: {
      const auto& f = static_cast<const NumberInput&>(w);
      set_text(n.label, qs(f.label));
      n.label->setVisible(!f.label.empty());
      const QSignalBlocker block(n.spin);
      const int decimals = spin_decimals(f.step, f.minimum);
      if (n.spin->decimals() != decimals) n.spin->setDecimals(decimals);
      if (n.spin->minimum() != f.minimum || n.spin->maximum() != f.maximum) n.spin->setRange(f.minimum, f.maximum);
      if (n.spin->singleStep() != f.step) n.spin->setSingleStep(f.step);
      n.spin->setAccessibleName(qs(f.label));
      n.number = f.cell;
      if (f.cell && (f.cell.get() != n.seen_cell || f.cell->version() != n.seen_version)) {
        const auto [value, version] = f.cell->snapshot();
        if (n.spin->value() != value) n.spin->setValue(value);
        n.seen_cell = f.cell.get();
        n.seen_version = version;
      }
      n.spin->setEnabled(static_cast<bool>(f.cell));
      break;
    }
    case Kind::Toggle: {
      const auto& t = static_cast<const Toggle&>(w);
      const QString text = qs(t.label);
      if (n.check->text() != text) n.check->setText(text);
      n.flag = t.cell;
      if (t.cell && (t.cell.get() != n.seen_cell || t.cell->version() != n.seen_version)) {
        const auto [value, version] = t.cell->snapshot();
        const QSignalBlocker block(n.check);
        if (n.check->isChecked() != value) n.check->setChecked(value);
        n.seen_cell = t.cell.get();
        n.seen_version = version;
      }
      n.check->setEnabled(static_cast<bool>(t.cell));
      break;
    }
    case Kind::ToggleGroup: {
      const auto& g = static_cast<const ToggleGroup&>(w);
      bool rebuilt = false;
      if (g.labels != n.segment_labels) {
        for (QAbstractButton* b : n.group->buttons()) {
          n.group->removeButton(b);
          delete b;
        }
        auto* l = static_cast<QHBoxLayout*>(n.widget->layout());
        while (QLayoutItem* item = l->takeAt(0)) delete item;
        const int count = static_cast<int>(g.labels.size());
        for (int i = 0; i < count; ++i) {
          auto* b = new ToolkitButton(ToolkitButton::Look::Segment, n.widget);
          b->setText(qs(g.labels[static_cast<std::size_t>(i)]));
          b->setFixedHeight(36);
          using Segment = ToolkitButton::Segment;
          b->set_segment(count == 1 ? Segment::Only : i == 0 ? Segment::First : i == count - 1 ? Segment::Last : Segment::Middle);
          n.group->addButton(b, i);
          l->addWidget(b);
        }
        n.segment_labels = g.labels;
        rebuilt = true;
      }
      n.widget->setAccessibleName(qs(g.control_id));
      n.index = g.cell;
      if (g.cell && (rebuilt || g.cell.get() != n.seen_cell || g.cell->version() != n.seen_version)) {
        const auto [value, version] = g.cell->snapshot();
        if (auto* b = n.group->button(static_cast<int>(value))) {
          if (!b->isChecked()) b->setChecked(true);
        } else if (auto* checked = n.group->checkedButton()) {
          // An index naming no segment shows none selected.
          n.group->setExclusive(false);
          checked->setChecked(false);
          n.group->setExclusive(true);
        }
        n.seen_cell = g.cell.get();
        n.seen_version = version;
      }
      break;
    }
    case Kind::ImageCropEditor: {
      const auto& e = static_cast<const ImageCropEditor&>(w);
      if (e.rgba != n.pixels || e.width != n.pixel_w || e.height != n.pixel_h) {
        n.pixels = e.rgba;
        n.pixel_w = e.width;
        n.pixel_h = e.height;
        n.crop->set_image(image_from_rgba(e.rgba.get(), e.width, e.height));
      }
      n.crop_cell = e.cell;
      if (e.cell && (e.cell.get() != n.seen_cell || e.cell->version() != n.seen_version)) {
        const auto [value, version] = e.cell->snapshot();
        n.crop->set_selection(value);
        n.seen_cell = e.cell.get();
        n.seen_version = version;
      }
      break;
    }
  }
}

}  // namespace vimo_ui::qt
