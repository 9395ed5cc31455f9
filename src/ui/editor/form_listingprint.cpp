#include "ui/editor/form_listingprint.h"

#include "model/listing.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace {

constexpr double MinMarginMm = 15.0;

// Splits a line wider than the page: the rest continues on lines of its own, indented to the
// description column, broken at a blank where there is one.
std::vector<QString> Wrapped(const QString& line, int maxChars) {
    const int indent = ListingDescriptionColumn - 1;
    if (maxChars <= indent + 10) maxChars = std::max(maxChars, 1);
    std::vector<QString> out;
    QString rest = line;
    int width = maxChars;
    QString prefix;
    while (rest.size() > width) {
        qsizetype cut = rest.lastIndexOf(' ', width);
        if (cut <= (prefix.isEmpty() ? indent : 0)) cut = width;
        out.push_back(prefix + rest.left(cut));
        rest = rest.mid(cut).trimmed();
        if (maxChars > indent + 10) {
            prefix = QString(indent, ' ');
            width = maxChars - indent;
        }
    }
    out.push_back(prefix + rest);
    return out;
}

} // namespace

bool PaintListing(QPagedPaintDevice& device, const std::vector<std::string>& lines) {
    // Keep the text off the paper's edge, without shrinking margins the operator chose.
    QMarginsF margins = device.pageLayout().margins(QPageLayout::Millimeter);
    margins = QMarginsF(std::max(margins.left(), MinMarginMm), std::max(margins.top(), MinMarginMm),
                        std::max(margins.right(), MinMarginMm), std::max(margins.bottom(), MinMarginMm));
    device.setPageMargins(margins, QPageLayout::Millimeter);

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
    const int maxChars =
        std::max(device.width() / std::max(metrics.horizontalAdvance(QLatin1Char('0')), 1), 1);

    int y = 0;
    for (const std::string& text : lines) {
        for (const QString& line : Wrapped(QString::fromUtf8(text), maxChars)) {
            if (y > 0 && y + lineHeight > pageHeight) {
                if (!device.newPage()) {
                    painter.end();
                    return false;
                }
                y = 0;
            }
            if (!line.isEmpty()) painter.drawText(0, y + metrics.ascent(), line);
            y += lineHeight;
        }
    }
    return painter.end();
}
