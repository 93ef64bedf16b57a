#include "vimo_ui/qt/views.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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
