// The toolkit's look: palette, style sheet, text fonts and the role icons.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QString>

#include "vimo_ui/widgets.h"

class QApplication;

namespace vimo_ui::qt {

namespace colors {
inline const QColor window{0xf5, 0xf6, 0xf8};
inline const QColor surface{0xff, 0xff, 0xff};
inline const QColor border{0xe3, 0xe6, 0xea};
inline const QColor text{0x1f, 0x29, 0x37};
inline const QColor secondary{0x5f, 0x67, 0x73};
inline const QColor accent{0x25, 0x63, 0xeb};
inline const QColor on_accent{0xff, 0xff, 0xff};
}  // namespace colors

// Style, palette and base font for the whole application. Surfaces and
// buttons paint themselves; there is no style sheet to match per widget.
void apply_look(QApplication& app);

// The font of a text style at a pixel size.
QFont text_font(TextStyle style, int size_px);

// A role icon drawn in one colour; icons are tinted so that the emphasised
// button can show them light on its accent background.
QPixmap icon_pixmap(IconRole role, int size_px, const QColor& color, qreal device_pixel_ratio = 1.0);
QIcon role_icon(IconRole role, const QColor& color);

}  // namespace vimo_ui::qt
