#pragma once

#include <QStyledItemDelegate>

// Draws a cell as usual, then a thin line along its right and bottom edges, so that a report
// list shows grid lines between its rows and columns.
class CGridLineDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
