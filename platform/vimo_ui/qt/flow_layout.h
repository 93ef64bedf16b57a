// A layout that flows its items onto further lines when the width runs out,
// or, given a column width, lays them out as a grid of as many columns of
// that width as fit.
#pragma once

#include <QLayout>
#include <QList>

namespace vimo_ui::qt {

class FlowLayout : public QLayout {
 public:
  // column_width 0 flows items at their preferred widths.
  explicit FlowLayout(QWidget* parent, int column_width = 0, int h_spacing = 12, int v_spacing = 12);
  ~FlowLayout() override;

  void addItem(QLayoutItem* item) override;
  int count() const override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;

  Qt::Orientations expandingDirections() const override;
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize sizeHint() const override;
  QSize minimumSize() const override;
  void setGeometry(const QRect& rect) override;

  int column_width() const { return column_width_; }
  void set_column_width(int width);
  // Columns the grid shows at this width (1 in flow mode).
  int columns_for(int width) const;

 private:
  // Lays the items out within rect; only measures when apply is false.
  int arrange(const QRect& rect, bool apply) const;

  QList<QLayoutItem*> items_;
  int column_width_;
  int h_spacing_;
  int v_spacing_;
};

}  // namespace vimo_ui::qt
