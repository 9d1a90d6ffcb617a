#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QTimer>

#include <vector>

// What one message box said.
struct SeenMessage {
    QString caption;
    QString text;
    QMessageBox::Icon icon;
};

// Answers every message box that opens while it lives with `answer`, and keeps what they said.
class MessageBoxes {
public:
    explicit MessageBoxes(QMessageBox::StandardButton answer = QMessageBox::Ok) {
        QObject::connect(&timer_, &QTimer::timeout, [this, answer] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen.push_back({box->windowTitle(), box->text(), box->icon()});
                if (QAbstractButton* button = box->button(answer)) {
                    button->click();
                } else {
                    box->reject();
                }
            }
        });
        timer_.start(5);
    }

    std::vector<SeenMessage> seen;

private:
    QTimer timer_;
};
