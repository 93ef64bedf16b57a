// A page of real text rendered with QPainter and turned by a chosen angle,
// for runs of the real engine. Needs a QGuiApplication (fonts).
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>

namespace ocr_test {

inline const QStringList& page_lines() {
    static const QStringList lines = {
        "The quick brown fox jumps over the lazy dog.",
        "Pagora scans pages and recognises their words.",
        "Every printer shows its queue and its supplies.",
        "A searchable document keeps the text beneath.",
        "Seven bright lamps hung above the narrow street.",
        "Morning trains leave the harbour station early.",
    };
    return lines;
}

// White page, black text in lines, turned by `degrees` about its centre.
inline QImage rendered_page(int width, int height, double degrees) {
    QImage level(width, height, QImage::Format_RGBA8888);
    level.fill(Qt::white);
    {
        QPainter painter(&level);
        QFont font("DejaVu Serif");
        font.setPixelSize(height / 60);
        painter.setFont(font);
        painter.setPen(Qt::black);
        const int pitch = height / 30;
        int y = height / 8;
        for (int repeat = 0; repeat < 3; ++repeat) {
            for (const QString& line : page_lines()) {
                painter.drawText(width / 10, y, line);
                y += pitch;
            }
            y += pitch;
        }
    }
    if (degrees == 0.0) return level;
    QImage turned(width, height, QImage::Format_RGBA8888);
    turned.fill(Qt::white);
    QPainter painter(&turned);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(width / 2.0, height / 2.0);
    painter.rotate(degrees);
    painter.translate(-width / 2.0, -height / 2.0);
    painter.drawImage(0, 0, level);
    return turned;
}

}  // namespace ocr_test
