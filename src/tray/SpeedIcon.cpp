#include "tray/SpeedIcon.h"

#include <QFontMetricsF>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <utility>

namespace {

// The widest texts a line can hold, measured once per size so the layout never follows the
// figures; figure spaces are as wide as the digits they stand for.
constexpr const char* kWidestTexts[] = {"888M", "8.8M", "888K", "8.8K", "888G", "8.8G"};

// At 16 pixels a character has four columns: only a regular stroke leaves a gap between two;
// from 22 on there is room for a bold one, which reads better on a busy panel.
QFont LineFont(int size, qreal ratio) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(size * ratio >= 22 ? QFont::Bold : QFont::Normal);
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

    const QFont font = LineFont(size, ratio);
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

namespace {

// Draws the picture for exactly the size asked for: a tray that shows its icons at 14 or 20
// pixels gets text laid out for that size, not a 16- or 22-pixel picture scaled into a blur.
class CSpeedIconEngine final : public QIconEngine {
public:
    CSpeedIconEngine(QString download, QString upload, SpeedIconColours colours)
        : download_(std::move(download)), upload_(std::move(upload)), colours_(colours) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        const int side = std::min(rect.width(), rect.height());
        painter->drawImage(QRect(rect.topLeft(), QSize(side, side)),
                           PaintSpeedImage(download_, upload_, colours_, side, ratio));
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const QSize actual = actualSize(size, mode, state);
        if (actual.isEmpty()) {
            return {};
        }
        return QPixmap::fromImage(
            PaintSpeedImage(download_, upload_, colours_, actual.width(), 1.0));
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const int size : kSpeedIconSizes) {
            sizes.append(QSize(size, size));
        }
        return sizes;
    }
    QString key() const override { return QStringLiteral("tallyglass-speeds"); }
    QIconEngine* clone() const override { return new CSpeedIconEngine(*this); }

private:
    QString download_;
    QString upload_;
    SpeedIconColours colours_;
};

}  // namespace

QIcon SpeedIcon(const QString& download, const QString& upload, const SpeedIconColours& colours) {
    return QIcon(new CSpeedIconEngine(download, upload, colours));
}
