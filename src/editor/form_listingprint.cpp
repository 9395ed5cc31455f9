#include "editor/form_listingprint.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>

bool PaintListing(QPagedPaintDevice& device, const std::vector<std::string>& lines) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSize(10);
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    const int lineHeight = metrics.lineSpacing();
    const int pageHeight = device.height();

    int y = 0;
    for (const std::string& line : lines) {
        if (y > 0 && y + lineHeight > pageHeight) {
            if (!device.newPage()) {
                painter.end();
                return false;
            }
            y = 0;
        }
        if (!line.empty()) painter.drawText(0, y + metrics.ascent(), QString::fromUtf8(line));
        y += lineHeight;
    }
    return painter.end();
}
