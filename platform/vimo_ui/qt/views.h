// Painted widgets for the kinds Qt has no ready widget for: an RGBA image
// scaled to its width, a page placeholder, and a crop editor.
#pragma once

#include <functional>
#include <optional>

#include <QFrame>
#include <QImage>
#include <QPushButton>
#include <QTimer>
#include <QString>
#include <QWidget>

#include "vimo_ui/local_state.h"

namespace vimo_ui::qt {

// A painted surface: a card, a banner in one of three tones, a divider line,
// or nothing (a plain container). Painted directly rather than through a
// style sheet, which would cost every widget of a screen a style lookup.
class Surface : public QFrame {
 public:
  enum class Look { None, Card, Success, Warning, Error, Divider };
  explicit Surface(Look look, QWidget* parent = nullptr);
  void set_look(Look look);
  Look look() const { return look_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  Look look_;
};

// The toolkit's push button: 44 px action, icon, emphasised and plain
// buttons, and the segments of a segmented control.
class ToolkitButton : public QPushButton {
 public:
  enum class Look { Action, Emphasised, Plain, Segment };
  enum class Segment { Only, First, Middle, Last };
  ToolkitButton(Look look, QWidget* parent = nullptr);
  void set_segment(Segment position);
  Look look() const { return look_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  Look look_;
  Segment segment_ = Segment::Only;
};

// A slim rounded bar showing a fraction, or, when there is none, a segment
// sweeping across it. Unlike QProgressBar it never repaints synchronously,
// so a screen of them updates in one paint.
class ProgressView : public QWidget {
 public:
  explicit ProgressView(QWidget* parent = nullptr);
  // nullopt: indeterminate. The fraction is shown clamped to 0..1.
  void set_fraction(std::optional<double> fraction);
  std::optional<double> fraction() const { return fraction_; }
  QSize sizeHint() const override { return {160, 8}; }
  QSize minimumSizeHint() const override { return {24, 8}; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void showEvent(QShowEvent*) override;
  void hideEvent(QHideEvent*) override;

 private:
  std::optional<double> fraction_ = 0.0;
  QTimer sweep_;
};

// Copies an RGBA buffer (width * height * 4 bytes) into an image; a null
// image when the buffer is missing or shorter than the sizes claim.
QImage image_from_rgba(const std::vector<std::uint8_t>* rgba, std::uint32_t width, std::uint32_t height);

class ImageView : public QWidget {
 public:
  explicit ImageView(QWidget* parent = nullptr);
  void set_image(QImage image);
  const QImage& image() const { return image_; }

  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent*) override;
  // Where the image is drawn inside the widget, keeping its proportions.
  QRectF image_rect() const;

  QImage image_;
  QImage scaled_;  // the image at its last drawn size
};

class PagePreviewView : public QWidget {
 public:
  explicit PagePreviewView(QWidget* parent = nullptr);
  void set_page(const QString& label, std::uint32_t page, std::uint32_t count);
  QString caption() const;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QString label_;
  std::uint32_t page_ = 1;
  std::uint32_t count_ = 1;
};

class CropEditorView : public ImageView {
 public:
  explicit CropEditorView(QWidget* parent = nullptr);
  // Shows a selection; ignored while the user is dragging.
  void set_selection(const CropSelection& selection);
  const CropSelection& selection() const { return selection_; }
  // Called once per finished drag with the new selection.
  void set_on_commit(std::function<void(const CropSelection&)> fn) { on_commit_ = std::move(fn); }
  bool dragging() const { return drag_ != Drag::None; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;

 private:
  enum Edge : unsigned { None = 0, Left = 1, Top = 2, Right = 4, Bottom = 8, Move = 16 };
  enum class Drag { None, Active };
  QRectF selection_rect() const;
  unsigned hit(const QPointF& pos) const;

  CropSelection selection_;
  CropSelection start_;
  QPointF press_;
  unsigned edges_ = None;
  Drag drag_ = Drag::None;
  std::function<void(const CropSelection&)> on_commit_;
};

// Keeps a selection inside the page and at least a sliver wide and tall.
CropSelection normalized_selection(CropSelection s);

}  // namespace vimo_ui::qt
