// The toolkit's look: a light, quiet surface with one accent colour.
#include "vimo_ui/qt/style.h"

#include <algorithm>

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPalette>
#include <QSvgRenderer>

namespace vimo_ui::qt {

void apply_look(QApplication& app) {
  app.setStyle("Fusion");
  QPalette p = app.palette();
  p.setColor(QPalette::Window, colors::window);
  p.setColor(QPalette::WindowText, colors::text);
  p.setColor(QPalette::Base, colors::surface);
  p.setColor(QPalette::AlternateBase, colors::window);
  p.setColor(QPalette::Text, colors::text);
  p.setColor(QPalette::Button, colors::surface);
  p.setColor(QPalette::ButtonText, colors::text);
  p.setColor(QPalette::Highlight, colors::accent);
  p.setColor(QPalette::HighlightedText, colors::on_accent);
  p.setColor(QPalette::PlaceholderText, colors::secondary);
  app.setPalette(p);
  QFont f = app.font();
  f.setPixelSize(14);
  app.setFont(f);
  app.setStyleSheet(style_sheet());
}

QString style_sheet() {
  // Dynamic properties carry the widget's role: vkind on surfaces and
  // buttons, vtone on banners.
  return QStringLiteral(R"(
QScrollArea { background: transparent; border: none; }
QScrollArea > QWidget > QWidget { background: transparent; }
QFrame[vkind="card"] {
  background: #ffffff; border: 1px solid #e3e6ea; border-radius: 12px;
}
QFrame[vkind="banner"] { border-radius: 10px; border: 1px solid; border-left-width: 5px; }
QFrame[vtone="success"] { background: #ecfdf3; border-color: #12a150; }
QFrame[vtone="warning"] { background: #fff8e6; border-color: #d98a00; }
QFrame[vtone="error"] { background: #fdf0f0; border-color: #d33a3a; }
QFrame[vkind="divider"] { background: #e3e6ea; border: none; }
QPushButton {
  background: #ffffff; color: #1f2937; border: 1px solid #cfd4db; border-radius: 8px;
  padding: 0 16px; font-size: 14px;
}
QPushButton:hover { background: #f1f4f8; }
QPushButton:pressed { background: #e6eaf0; }
QPushButton:focus { border: 2px solid #2563eb; }
QPushButton[vkind="emphasised"] {
  background: #2563eb; color: #ffffff; border: 1px solid #2563eb; font-weight: 600;
}
QPushButton[vkind="emphasised"]:hover { background: #1d4ed8; }
QPushButton[vkind="emphasised"]:focus { border: 2px solid #1e3a8a; }
QPushButton[vkind="plain"] { background: transparent; border: 1px solid transparent; color: #1d4ed8; }
QPushButton[vkind="plain"]:hover { background: #eaf0fd; }
QPushButton[vkind="segment"] { border-radius: 0; margin: 0; padding: 0 14px; border-right-width: 0; }
QPushButton[vkind="segment"][vpos="first"] { border-top-left-radius: 8px; border-bottom-left-radius: 8px; }
QPushButton[vkind="segment"][vpos="last"] {
  border-top-right-radius: 8px; border-bottom-right-radius: 8px; border-right-width: 1px;
}
QPushButton[vkind="segment"][vpos="only"] { border-radius: 8px; border-right-width: 1px; }
QPushButton[vkind="segment"]:checked { background: #2563eb; color: #ffffff; border-color: #2563eb; }
QProgressBar { background: #e6e9ee; border: none; border-radius: 4px; }
QProgressBar::chunk { background: #2563eb; border-radius: 4px; }
QCheckBox { spacing: 10px; }
)");
}

QFont text_font(TextStyle style, int size_px) {
  QFont f = QApplication::font();
  f.setPixelSize(size_px > 0 ? size_px : 14);
  f.setWeight(style == TextStyle::Heading ? QFont::DemiBold : QFont::Normal);
  return f;
}

namespace {

QByteArray icon_source(IconRole role) {
  static QHash<int, QByteArray> cache;
  auto it = cache.find(static_cast<int>(role));
  if (it != cache.end()) return *it;
  QFile file(QStringLiteral(":/vimo_ui/icons/%1.svg").arg(QString::fromUtf8(icon_role_name(role).data(),
                                                                            static_cast<int>(icon_role_name(role).size()))));
  QByteArray data;
  if (file.open(QIODevice::ReadOnly)) data = file.readAll();
  cache.insert(static_cast<int>(role), data);
  return data;
}

}  // namespace

QPixmap icon_pixmap(IconRole role, int size_px, const QColor& color, qreal device_pixel_ratio) {
  const int side = std::max(1, size_px);
  QByteArray svg = icon_source(role);
  // The artwork is drawn in one ink colour; swap it for the wanted one.
  svg.replace("#1f2937", color.name().toLatin1());
  QSvgRenderer renderer(svg);
  QPixmap pixmap(QSize(side, side) * device_pixel_ratio);
  pixmap.setDevicePixelRatio(device_pixel_ratio);
  pixmap.fill(Qt::transparent);
  if (renderer.isValid()) {
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, side, side));
  }
  return pixmap;
}

QIcon role_icon(IconRole role, const QColor& color) {
  QIcon icon;
  for (int side : {16, 20, 24, 32, 48}) icon.addPixmap(icon_pixmap(role, side, color));
  return icon;
}

}  // namespace vimo_ui::qt
