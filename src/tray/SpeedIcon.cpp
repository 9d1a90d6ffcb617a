#include "tray/SpeedIcon.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace {

// The widest texts a line can hold, measured once per size so the layout never follows the
// figures; figure spaces are as wide as the digits they stand for.
constexpr const char* kWidestTexts[] = {"888M", "8.8M", "888K", "8.8K", "888G", "8.8G"};

// At 16 pixels a character has four columns: only a regular stroke leaves a gap between two;
// from 22 on there is room for a bold one, which reads better on a busy panel.
QFont LineFont(int size) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(size >= 22 ? QFont::Bold : QFont::Normal);
    font.setHintingPreference(QFont::PreferFullHinting);
    // The digits' height fills most of half the picture; the space between the lines is what
    // is left.
    font.setPixelSize(std::max(6, size * 5 / 8));
    return font;
}

void DrawLine(QPainter& painter, const QString& text, const QColor& colour, const QFont& font,
              qreal right, qreal baseline, qreal squeeze) {
    painter.save();
    painter.setFont(font);
    painter.setPen(colour);
    painter.translate(right, baseline);
    painter.scale(squeeze, 1.0);
    painter.drawText(QPointF(-QFontMetricsF(font).horizontalAdvance(text), 0.0), text);
    painter.restore();
}

}  // namespace

QImage PaintSpeedImage(const QString& download, const QString& upload,
                       const SpeedIconColours& colours, int size, qreal ratio) {
    const int pixels = qRound(size * ratio);
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const qreal radius = size / 8.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(colours.background);
    painter.drawRoundedRect(QRectF(0, 0, size, size), radius, radius);

    const QFont font = LineFont(size);
    const QFontMetricsF metrics(font);
    qreal widest = 0.0;
    for (const char* text : kWidestTexts) {
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromLatin1(text)));
    }
    const qreal margin = size >= 22 ? 1.0 : 0.5;
    const qreal room = size - 2 * margin;
    const qreal squeeze = widest > room ? room / widest : 1.0;
    // Each line's digits centred in its half of the picture.
    const qreal half = size / 2.0;
    const qreal digitHeight = metrics.capHeight();
    const qreal firstBaseline = (half + digitHeight) / 2.0;
    DrawLine(painter, download, colours.download, font, size - margin, firstBaseline, squeeze);
    DrawLine(painter, upload, colours.upload, font, size - margin, firstBaseline + half, squeeze);
    return image;
}

QIcon SpeedIcon(const QString& download, const QString& upload, const SpeedIconColours& colours) {
    QIcon icon;
    for (const int size : kSpeedIconSizes) {
        for (const qreal ratio : {1.0, 2.0}) {
            icon.addPixmap(
                QPixmap::fromImage(PaintSpeedImage(download, upload, colours, size, ratio)));
        }
    }
    return icon;
}
