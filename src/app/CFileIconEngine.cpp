#include "app/CFileIconEngine.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <utility>

CFileIconEngine::CFileIconEngine(QString pattern, QList<int> sides)
    : pattern_(std::move(pattern)), sides_(std::move(sides)) {}

int CFileIconEngine::BestSide(const QList<int>& sides, const QSize& size) {
    // By area, as Qt's file icon chooses.
    const qint64 wanted = qint64(size.width()) * size.height();
    int covering = 0;
    int largest = 0;
    for (int side : sides) {
        const qint64 area = qint64(side) * side;
        if (area >= wanted && (covering == 0 || side < covering)) {
            covering = side;
        }
        largest = std::max(largest, side);
    }
    return covering != 0 ? covering : largest;
}

QSize CFileIconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State) {
    const int side = BestSide(sides_, size);
    QSize actual(side, side);
    if (side > size.width() || side > size.height()) {
        actual.scale(size, Qt::KeepAspectRatio);
    }
    return actual;
}

QPixmap CFileIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    const int side = BestSide(sides_, size);
    if (side == 0) {
        return {};
    }
    // Through QImage: loading a QPixmap from a file would keep it in Qt's pixmap cache.
    QImage image(pattern_.arg(side));
    if (image.isNull()) {
        return {};
    }
    QPixmap picture = QPixmap::fromImage(std::move(image));
    const QSize actual = actualSize(size, mode, state);
    if (picture.size() != actual) {
        picture = picture.scaled(actual, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (mode != QIcon::Normal && qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QStyleOption option(0);
        option.palette = QGuiApplication::palette();
        const QPixmap generated =
            QApplication::style()->generatedIconPixmap(mode, picture, &option);
        if (!generated.isNull()) {
            picture = generated;
        }
    }
    return picture;
}

void CFileIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                            QIcon::State state) {
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
    painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
}

QList<QSize> CFileIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state) {
    // The pictures are the normal, "off" ones; other modes are made from them.
    QList<QSize> sizes;
    if (mode == QIcon::Normal && state == QIcon::Off) {
        for (int side : sides_) {
            sizes.append(QSize(side, side));
        }
    }
    return sizes;
}

QString CFileIconEngine::key() const {
    return QStringLiteral("CFileIconEngine");
}

QIconEngine* CFileIconEngine::clone() const {
    return new CFileIconEngine(*this);
}

bool CFileIconEngine::isNull() {
    return sides_.isEmpty();
}
