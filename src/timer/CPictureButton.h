#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A push button drawn entirely by its pictures, one for each look. Its text is not drawn; it
// names the button for screen readers.
class CPictureButton : public QAbstractButton {
    Q_OBJECT
public:
    struct Pictures {
        QPixmap normal;
        QPixmap pressed;
        QPixmap focused;
        QPixmap disabled;
    };

    explicit CPictureButton(QWidget* parent = nullptr);

    // The button takes the size of the normal picture.
    void SetPictures(Pictures pictures);
    // The picture the button shows now.
    const QPixmap& CurrentPicture() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Pictures pictures_;
};
