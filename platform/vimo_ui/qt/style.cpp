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
  // Drawn once per role and colour: buttons are made on every screen change.
  static QHash<QString, QIcon> cache;
  const QString key = QString::number(static_cast<int>(role)) + color.name();
  auto it = cache.find(key);
  if (it != cache.end()) return *it;
  QIcon icon;
  for (int side : {16, 20, 24, 32, 48}) icon.addPixmap(icon_pixmap(role, side, color));
  cache.insert(key, icon);
  return icon;
}

}  // namespace vimo_ui::qt
