#include "timer/CPictureButton.h"

#include <QPainter>

#include <utility>

CPictureButton::CPictureButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void CPictureButton::SetPictures(Pictures pictures) {
    pictures_ = std::move(pictures);
    setFixedSize(pictures_.normal.deviceIndependentSize().toSize());
    update();
}

const QPixmap& CPictureButton::CurrentPicture() const {
    if (!isEnabled()) {
        return pictures_.disabled;
    }
    if (isDown()) {
        return pictures_.pressed;
    }
    return hasFocus() ? pictures_.focused : pictures_.normal;
}

QSize CPictureButton::sizeHint() const {
    return pictures_.normal.isNull() ? QSize(75, 23)
                                     : pictures_.normal.deviceIndependentSize().toSize();
}

void CPictureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(rect(), CurrentPicture());
}
