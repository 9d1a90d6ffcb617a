#pragma once

#include <QIconEngine>
#include <QList>
#include <QString>

// An icon made of picture files, one for each size, read when a size is asked for and not kept.
// Qt's own file icon reads every size when it is made and keeps them all: about 350 KB for the
// application icon's eight pictures up to 256 pixels, held for the whole run, while a window
// reads the icon only when it is made. Gives the pictures Qt's file icon gives.
class CFileIconEngine final : public QIconEngine {
public:
    // `pattern` has "%1" where the side in pixels goes, one square picture for each side.
    CFileIconEngine(QString pattern, QList<int> sides);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QString key() const override;
    QIconEngine* clone() const override;
    bool isNull() override;

    // The side of the picture that serves `size`: the smallest that covers it, else the
    // largest (0 without pictures).
    static int BestSide(const QList<int>& sides, const QSize& size);

private:
    QString pattern_;
    QList<int> sides_;
};
