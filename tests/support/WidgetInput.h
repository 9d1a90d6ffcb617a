#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <gtest/gtest.h>

// Chooses a combo box entry the way a user does with the keyboard: from the top down to it (the
// last entry directly with End). Each step is a user choice, as the box reports it.
inline void ChooseEntry(QComboBox* box, const QString& text) {
    const int target = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    ASSERT_GE(target, 0) << text.toStdString();
    box->setFocus();
    QTest::keyClick(box, target == box->count() - 1 ? Qt::Key_End : Qt::Key_Home);
    for (int presses = 0; box->currentIndex() < target && presses < box->count(); ++presses) {
        QTest::keyClick(box, Qt::Key_Down);
    }
    ASSERT_EQ(box->currentIndex(), target);
}

// Clicks a check box on its indicator, where a click toggles it whatever the box's width.
inline void ToggleCheckBox(QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator =
        box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator.center());
}
