#include "vimo_ui/qt/flow_layout.h"

#include <algorithm>

#include <QWidget>

namespace vimo_ui::qt {

FlowLayout::FlowLayout(QWidget* parent, int column_width, int h_spacing, int v_spacing)
    : QLayout(parent), column_width_(column_width), h_spacing_(h_spacing), v_spacing_(v_spacing) {
  setContentsMargins(0, 0, 0, 0);
}

FlowLayout::~FlowLayout() {
  while (QLayoutItem* item = takeAt(0)) delete item;
}

void FlowLayout::addItem(QLayoutItem* item) { items_.append(item); }
int FlowLayout::count() const { return static_cast<int>(items_.size()); }
QLayoutItem* FlowLayout::itemAt(int index) const { return index >= 0 && index < items_.size() ? items_[index] : nullptr; }
QLayoutItem* FlowLayout::takeAt(int index) {
  if (index < 0 || index >= items_.size()) return nullptr;
  return items_.takeAt(index);
}

Qt::Orientations FlowLayout::expandingDirections() const { return {}; }

int FlowLayout::heightForWidth(int width) const { return arrange(QRect(0, 0, width, 0), false); }

void FlowLayout::set_column_width(int width) {
  if (width == column_width_) return;
  column_width_ = width;
  invalidate();
}

int FlowLayout::columns_for(int width) const {
  if (column_width_ <= 0) return 1;
  return std::max(1, (width + h_spacing_) / (column_width_ + h_spacing_));
}

QSize FlowLayout::sizeHint() const {
  // Preferred: everything on one line (or one grid row).
  int width = 0;
  int height = 0;
  int shown = 0;
  for (QLayoutItem* item : items_) {
    if (item->isEmpty()) continue;
    const QSize hint = item->sizeHint();
    width += (shown++ ? h_spacing_ : 0) + (column_width_ > 0 ? column_width_ : hint.width());
    height = std::max(height, hint.height());
  }
  const QMargins m = contentsMargins();
  return QSize(width + m.left() + m.right(), height + m.top() + m.bottom());
}

QSize FlowLayout::minimumSize() const {
  // Narrowest: one item per line, each at its own minimum width.
  QSize size;
  for (QLayoutItem* item : items_) {
    if (item->isEmpty()) continue;
    const int w = column_width_ > 0 ? std::min(column_width_, item->minimumSize().width()) : item->minimumSize().width();
    size = size.expandedTo(QSize(w, item->minimumSize().height()));
  }
  const QMargins m = contentsMargins();
  return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

void FlowLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  arrange(rect, true);
}

int FlowLayout::arrange(const QRect& rect, bool apply) const {
  const QRect area = rect.marginsRemoved(contentsMargins());
  const int avail = std::max(1, area.width());

  struct Placed {
    QLayoutItem* item;
    int width;
    int height;
  };
  std::vector<Placed> line;
  int y = area.y();
  int used_height = 0;

  auto flush = [&] {
    if (line.empty()) return;
    if (column_width_ <= 0) {
      // Items that want width share what the line has left.
      int used = 0;
      int growing = 0;
      for (const auto& p : line) {
        used += p.width;
        if (p.item->expandingDirections() & Qt::Horizontal) ++growing;
      }
      used += h_spacing_ * static_cast<int>(line.size() - 1);
      const int spare = avail - used;
      if (growing > 0 && spare > 0) {
        int share_left = spare;
        for (auto& p : line) {
          if (!(p.item->expandingDirections() & Qt::Horizontal)) continue;
          const int extra = share_left / growing--;
          share_left -= extra;
          p.width = std::min(p.width + extra, p.item->maximumSize().width());
          if (p.item->hasHeightForWidth()) p.height = p.item->heightForWidth(p.width);
        }
      }
    }
    int line_height = 0;
    for (const auto& p : line) line_height = std::max(line_height, p.height);
    if (apply) {
      int x = area.x();
      for (const auto& p : line) {
        // Flowed items are centred on their line; grid cells fill their row.
        const int h = column_width_ > 0 ? line_height : p.height;
        const int dy = column_width_ > 0 ? 0 : (line_height - p.height) / 2;
        p.item->setGeometry(QRect(x, y + dy, p.width, h));
        x += p.width + h_spacing_;
      }
    }
    y += line_height + v_spacing_;
    used_height = y - v_spacing_ - area.y();
    line.clear();
  };

  const int columns = columns_for(avail);
  int line_width = 0;
  for (QLayoutItem* item : items_) {
    if (item->isEmpty()) continue;
    int w = 0;
    if (column_width_ > 0) {
      w = std::min(column_width_, avail);
    } else {
      const QSize hint = item->sizeHint();
      if (hint.width() <= 0 && hint.height() <= 0) continue;  // a stretch has no place in a flow
      w = std::clamp(hint.width(), std::min(item->minimumSize().width(), avail), avail);
    }
    const int h = item->hasHeightForWidth() ? item->heightForWidth(w) : item->sizeHint().height();
    const bool full = column_width_ > 0 ? static_cast<int>(line.size()) >= columns
                                        : !line.empty() && line_width + h_spacing_ + w > avail;
    if (full) {
      flush();
      line_width = 0;
    }
    line_width += (line.empty() ? 0 : h_spacing_) + w;
    line.push_back({item, w, h});
  }
  flush();
  const QMargins m = contentsMargins();
  return used_height + m.top() + m.bottom();
}

}  // namespace vimo_ui::qt
