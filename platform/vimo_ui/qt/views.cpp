#include "vimo_ui/qt/views.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <QDateTime>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "vimo_ui/qt/style.h"

namespace vimo_ui::qt {

namespace {
constexpr int preferred_image_width = 480;
constexpr double min_fraction = 0.02;  // the smallest crop, of each side
constexpr int page_width = 180;
constexpr int page_height = 254;  // A4 proportions
constexpr int caption_height = 28;
}  // namespace

namespace {

struct Tones {
  QColor fill;
  QColor border;
};

Tones surface_tones(Surface::Look look) {
  switch (look) {
    case Surface::Look::Card: return {colors::surface, colors::border};
    case Surface::Look::Success: return {QColor(0xec, 0xfd, 0xf3), QColor(0x12, 0xa1, 0x50)};
    case Surface::Look::Warning: return {QColor(0xff, 0xf8, 0xe6), QColor(0xd9, 0x8a, 0x00)};
    case Surface::Look::Error: return {QColor(0xfd, 0xf0, 0xf0), QColor(0xd3, 0x3a, 0x3a)};
    case Surface::Look::Divider: return {colors::border, colors::border};
    case Surface::Look::None: break;
  }
  return {Qt::transparent, Qt::transparent};
}

}  // namespace

Surface::Surface(Look look, QWidget* parent) : QFrame(parent), look_(look) {}

void Surface::set_look(Look look) {
  if (look == look_) return;
  look_ = look;
  update();
}

void Surface::paintEvent(QPaintEvent*) {
  if (look_ == Look::None) return;
  QPainter painter(this);
  const Tones t = surface_tones(look_);
  if (look_ == Look::Divider) {
    painter.fillRect(rect(), t.fill);
    return;
  }
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  const double radius = look_ == Look::Card ? 12 : 10;
  painter.setPen(QPen(t.border, 1));
  painter.setBrush(t.fill);
  painter.drawRoundedRect(r, radius, radius);
  if (look_ != Look::Card) {
    // Banners carry their tone as a stripe down the leading edge.
    QPainterPath clip;
    clip.addRoundedRect(r, radius, radius);
    painter.setClipPath(clip);
    painter.fillRect(QRectF(r.left(), r.top(), 5, r.height()), t.border);
  }
}

ToolkitButton::ToolkitButton(Look look, QWidget* parent) : QPushButton(parent), look_(look) {
  setCursor(Qt::PointingHandCursor);
  setIconSize(QSize(20, 20));
  setAttribute(Qt::WA_Hover);
  if (look_ == Look::Segment) setCheckable(true);
  if (look_ == Look::Emphasised) {
    QFont f = font();
    f.setWeight(QFont::DemiBold);
    setFont(f);
  }
}

void ToolkitButton::set_segment(Segment position) {
  segment_ = position;
  update();
}

QSize ToolkitButton::sizeHint() const {
  const QFontMetrics fm(font());
  const int padding = look_ == Look::Segment ? 14 : 16;
  int w = fm.horizontalAdvance(text()) + 2 * padding;
  if (!icon().isNull()) w += iconSize().width() + 8;
  return {w, std::max(minimumHeight(), fm.height() + 16)};
}

void ToolkitButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const bool down = isDown();
  const bool hover = underMouse() && isEnabled();
  const bool on = isCheckable() && isChecked();

  QColor fill = colors::surface;
  QColor border(0xcf, 0xd4, 0xdb);
  QColor ink = colors::text;
  switch (look_) {
    case Look::Emphasised:
      fill = down ? QColor(0x1e, 0x40, 0xaf) : hover ? QColor(0x1d, 0x4e, 0xd8) : colors::accent;
      border = fill;
      ink = colors::on_accent;
      break;
    case Look::Plain:
      fill = down ? QColor(0xdc, 0xe6, 0xfb) : hover ? QColor(0xea, 0xf0, 0xfd) : QColor(Qt::transparent);
      border = Qt::transparent;
      ink = QColor(0x1d, 0x4e, 0xd8);
      break;
    case Look::Action:
    case Look::Segment:
      if (on) {
        fill = colors::accent;
        border = colors::accent;
        ink = colors::on_accent;
      } else {
        fill = down ? QColor(0xe6, 0xea, 0xf0) : hover ? QColor(0xf1, 0xf4, 0xf8) : colors::surface;
      }
      break;
  }
  if (!isEnabled()) ink = colors::secondary;

  // Segments join into one bar: only the outer corners are rounded.
  const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  const double radius = 8;
  QPainterPath shape;
  if (look_ != Look::Segment || segment_ == Segment::Only) {
    shape.addRoundedRect(r, radius, radius);
  } else {
    const bool round_left = segment_ == Segment::First;
    const bool round_right = segment_ == Segment::Last;
    shape.addRoundedRect(r, radius, radius);
    QPainterPath square;
    square.addRect(r.adjusted(round_left ? radius : 0, 0, round_right ? -radius : 0, 0));
    shape = shape.united(square);
  }
  painter.setPen(QPen(border, 1));
  painter.setBrush(fill);
  painter.drawPath(shape);
  if (hasFocus()) {
    painter.setPen(QPen(look_ == Look::Emphasised ? QColor(0x1e, 0x3a, 0x8a) : colors::accent, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);
  }

  const QFontMetrics fm(font());
  const QString label = text().trimmed();
  const int text_w = fm.horizontalAdvance(label);
  const bool has_icon = !icon().isNull();
  const int icon_w = has_icon ? iconSize().width() : 0;
  const int gap = has_icon && !label.isEmpty() ? 8 : 0;
  const int total = icon_w + gap + text_w;
  int x = std::max(4, (width() - total) / 2);
  if (has_icon) {
    const QPixmap pm = icon().pixmap(iconSize(), devicePixelRatioF());
    painter.drawPixmap(QPoint(x, (height() - iconSize().height()) / 2), pm);
    x += icon_w + gap;
  }
  painter.setPen(ink);
  painter.drawText(QRect(x, 0, width() - x, height()), Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(label, Qt::ElideRight, width() - x - 4));
}

ProgressView::ProgressView(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setFixedHeight(8);
  sweep_.setInterval(40);
  sweep_.callOnTimeout(this, [this] { update(); });
}

void ProgressView::set_fraction(std::optional<double> fraction) {
  if (fraction && !std::isfinite(*fraction)) fraction = 0.0;
  if (fraction == fraction_) return;
  fraction_ = fraction;
  if (fraction_) sweep_.stop();
  else if (isVisible()) sweep_.start();
  update();
}

void ProgressView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!fraction_) sweep_.start();
}

void ProgressView::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  sweep_.stop();
}

void ProgressView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF track = rect();
  const double radius = track.height() / 2;
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xe6, 0xe9, 0xee));
  painter.drawRoundedRect(track, radius, radius);
  painter.setBrush(colors::accent);
  if (!fraction_) {
    // A third of the track, moving across and wrapping once every 1.6 s.
    const double phase = double(QDateTime::currentMSecsSinceEpoch() % 1600) / 1600.0;
    const double w = track.width() / 3;
    const double x = -w + phase * (track.width() + w);
    painter.setClipRect(track);
    painter.drawRoundedRect(QRectF(x, 0, w, track.height()), radius, radius);
    return;
  }
  const double shown = std::clamp(*fraction_, 0.0, 1.0);
  if (shown > 0)
    painter.drawRoundedRect(QRectF(0, 0, std::max(track.height(), track.width() * shown), track.height()), radius,
                            radius);
}

QImage image_from_rgba(const std::vector<std::uint8_t>* rgba, std::uint32_t width, std::uint32_t height) {
  if (!rgba || width == 0 || height == 0) return {};
  const std::uint64_t need = std::uint64_t{width} * height * 4;
  if (rgba->size() < need || width > 1u << 15 || height > 1u << 15) return {};
  QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGBA8888);
  if (image.isNull()) return {};
  const std::size_t row = std::size_t{width} * 4;
  for (std::uint32_t y = 0; y < height; ++y) std::memcpy(image.scanLine(static_cast<int>(y)), rgba->data() + y * row, row);
  return image;
}

ImageView::ImageView(QWidget* parent) : QWidget(parent) {
  QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  policy.setHeightForWidth(true);
  setSizePolicy(policy);
}

void ImageView::set_image(QImage image) {
  image_ = std::move(image);
  scaled_ = QImage();
  updateGeometry();
  update();
}

int ImageView::heightForWidth(int width) const {
  if (image_.isNull()) return 0;
  const int w = std::min(width, image_.width());
  return static_cast<int>(std::lround(double(w) * image_.height() / image_.width()));
}

QSize ImageView::sizeHint() const {
  if (image_.isNull()) return {0, 0};
  const int w = std::min(preferred_image_width, image_.width());
  return {w, heightForWidth(w)};
}

QSize ImageView::minimumSizeHint() const { return image_.isNull() ? QSize(0, 0) : QSize(48, 16); }

QRectF ImageView::image_rect() const {
  if (image_.isNull()) return {};
  const double scale = std::min({1.0, double(width()) / image_.width(), double(height()) / image_.height()});
  const double w = image_.width() * scale;
  const double h = image_.height() * scale;
  return {(width() - w) / 2.0, (height() - h) / 2.0, w, h};
}

void ImageView::paintEvent(QPaintEvent*) {
  if (image_.isNull()) return;
  // A scanned page is far larger than its view: scale once per size, not per paint.
  const QRectF target = image_rect();
  const QSize size = target.size().toSize();
  if (size.isEmpty()) return;
  if (scaled_.size() != size) scaled_ = image_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  QPainter painter(this);
  painter.drawImage(target.topLeft(), scaled_);
}

PagePreviewView::PagePreviewView(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PagePreviewView::set_page(const QString& label, std::uint32_t page, std::uint32_t count) {
  if (label == label_ && page == page_ && count == count_) return;
  label_ = label;
  page_ = page;
  count_ = count;
  setAccessibleName(label_.isEmpty() ? caption() : label_ + QStringLiteral(", ") + caption());
  update();
}

QString PagePreviewView::caption() const { return QStringLiteral("Page %1 of %2").arg(page_).arg(count_); }

QSize PagePreviewView::sizeHint() const { return {page_width + 8, page_height + caption_height + 6}; }

void PagePreviewView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF sheet(4.5, 2.5, page_width - 1, page_height - 1);
  // A soft shadow, the sheet, and grey lines standing in for text.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0, 18));
  painter.drawRoundedRect(sheet.translated(0, 3), 4, 4);
  painter.setBrush(colors::surface);
  painter.setPen(QPen(colors::border, 1));
  painter.drawRoundedRect(sheet, 4, 4);

  const double margin = 18;
  QRectF text_area = sheet.adjusted(margin, margin, -margin, -margin);
  QFont title_font = text_font(TextStyle::Heading, 12);
  painter.setFont(title_font);
  painter.setPen(colors::text);
  const QFontMetrics fm(title_font);
  painter.drawText(text_area.topLeft() + QPointF(0, fm.ascent()),
                   fm.elidedText(label_, Qt::ElideRight, static_cast<int>(text_area.width())));
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xe4, 0xe7, 0xeb));
  double y = text_area.top() + fm.height() + 12;
  for (int i = 0; y + 6 < text_area.bottom(); ++i, y += 14) {
    const double w = text_area.width() * ((i % 5 == 4) ? 0.55 : 1.0);
    painter.drawRoundedRect(QRectF(text_area.left(), y, w, 6), 3, 3);
  }

  QFont caption_font = text_font(TextStyle::Secondary, 13);
  painter.setFont(caption_font);
  painter.setPen(colors::secondary);
  painter.drawText(QRectF(0, sheet.bottom() + 6, width(), caption_height), Qt::AlignHCenter | Qt::AlignVCenter,
                   caption());
}

CropSelection normalized_selection(CropSelection s) {
  auto clamp01 = [](double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0; };
  s.left = clamp01(s.left);
  s.top = clamp01(s.top);
  s.right = std::isfinite(s.right) ? std::clamp(s.right, 0.0, 1.0) : 1.0;
  s.bottom = std::isfinite(s.bottom) ? std::clamp(s.bottom, 0.0, 1.0) : 1.0;
  if (s.left > s.right) std::swap(s.left, s.right);
  if (s.top > s.bottom) std::swap(s.top, s.bottom);
  if (s.right - s.left < min_fraction) {
    s.right = std::min(1.0, s.left + min_fraction);
    s.left = s.right - min_fraction;
  }
  if (s.bottom - s.top < min_fraction) {
    s.bottom = std::min(1.0, s.top + min_fraction);
    s.top = s.bottom - min_fraction;
  }
  return s;
}

CropEditorView::CropEditorView(QWidget* parent) : ImageView(parent) {
  setMouseTracking(true);
  setCursor(Qt::CrossCursor);
}

void CropEditorView::set_selection(const CropSelection& selection) {
  if (dragging()) return;
  const CropSelection s = normalized_selection(selection);
  if (s == selection_) return;
  selection_ = s;
  update();
}

QRectF CropEditorView::selection_rect() const {
  const QRectF img = image_rect();
  return {img.left() + selection_.left * img.width(), img.top() + selection_.top * img.height(),
          (selection_.right - selection_.left) * img.width(), (selection_.bottom - selection_.top) * img.height()};
}

unsigned CropEditorView::hit(const QPointF& pos) const {
  const QRectF r = selection_rect();
  constexpr double grab = 8;
  if (!r.adjusted(-grab, -grab, grab, grab).contains(pos)) return None;
  unsigned edges = None;
  if (std::abs(pos.x() - r.left()) <= grab) edges |= Left;
  else if (std::abs(pos.x() - r.right()) <= grab) edges |= Right;
  if (std::abs(pos.y() - r.top()) <= grab) edges |= Top;
  else if (std::abs(pos.y() - r.bottom()) <= grab) edges |= Bottom;
  return edges == None ? unsigned{Move} : edges;
}

void CropEditorView::paintEvent(QPaintEvent* event) {
  ImageView::paintEvent(event);
  if (image_.isNull()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF img = image_rect();
  const QRectF sel = selection_rect();
  QPainterPath outside;
  outside.addRect(img);
  QPainterPath inside;
  inside.addRect(sel);
  painter.fillPath(outside.subtracted(inside), QColor(15, 23, 42, 110));
  painter.setPen(QPen(colors::accent, 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(sel);
  painter.setBrush(colors::surface);
  painter.setPen(QPen(colors::accent, 1.5));
  for (const QPointF& corner : {sel.topLeft(), sel.topRight(), sel.bottomLeft(), sel.bottomRight()})
    painter.drawEllipse(corner, 5, 5);
}

void CropEditorView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || image_.isNull()) return;
  edges_ = hit(event->position());
  if (edges_ == None) return;
  drag_ = Drag::Active;
  press_ = event->position();
  start_ = selection_;
}

void CropEditorView::mouseMoveEvent(QMouseEvent* event) {
  if (drag_ == Drag::None) return;
  const QRectF img = image_rect();
  if (img.width() <= 0 || img.height() <= 0) return;
  const double dx = (event->position().x() - press_.x()) / img.width();
  const double dy = (event->position().y() - press_.y()) / img.height();
  CropSelection s = start_;
  if (edges_ == Move) {
    const double mx = std::clamp(dx, -s.left, 1.0 - s.right);
    const double my = std::clamp(dy, -s.top, 1.0 - s.bottom);
    s.left += mx;
    s.right += mx;
    s.top += my;
    s.bottom += my;
  } else {
    if (edges_ & Left) s.left = std::min(s.left + dx, s.right - min_fraction);
    if (edges_ & Right) s.right = std::max(s.right + dx, s.left + min_fraction);
    if (edges_ & Top) s.top = std::min(s.top + dy, s.bottom - min_fraction);
    if (edges_ & Bottom) s.bottom = std::max(s.bottom + dy, s.top + min_fraction);
  }
  selection_ = normalized_selection(s);
  update();
}

void CropEditorView::mouseReleaseEvent(QMouseEvent* event) {
  if (drag_ == Drag::None || event->button() != Qt::LeftButton) return;
  drag_ = Drag::None;
  edges_ = None;
  if (selection_ != start_ && on_commit_) on_commit_(selection_);
}

}  // namespace vimo_ui::qt
