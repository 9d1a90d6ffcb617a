#pragma once

#include <QComboBox>
#include <QStyledItemDelegate>

#include "appearance/ColourRgb.h"

// Draws one colour-box entry: a swatch over the left 10/27 of the width, framed in black, and the
// entry's name beside it; a selected entry has the highlight behind it and the text colour
// inverted.
class CColourItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    struct ItemState {
        bool selected = false;
        bool focused = false;
        bool enabled = true;
    };
    // Used for the entries of the open list and for the closed box alike.
    static void PaintItem(QPainter& painter, const QRect& rect, const QString& text,
                          const QColor& colour, ItemState state, const QPalette& palette);
    // Right edge of the swatch, counted from the entry's left edge.
    static int SwatchRight(int width) { return width * 10 / 27; }
};

// A colour picker: the named colours, then "Custom...", which asks for any colour with the colour
// dialog, opened at the colour the box showed (cancelled, the box goes back to the entry it
// showed before). Each entry carries its
// colour; the selected entry's colour is the box's colour. The box is as wide as its widest entry
// needs beside its swatch, whatever the language of the names, and never narrower than it was
// first laid out.
class CColourComboBox : public QComboBox {
    Q_OBJECT
public:
    // In English; the box shows it translated.
    static constexpr const char* kCustomEntry = QT_TRANSLATE_NOOP("CColourComboBox", "Custom...");
    static constexpr int kLeastWidth = 150;

    explicit CColourComboBox(QWidget* parent = nullptr);

    // Refills the box and selects this colour: its named entry, else "Custom..." holding it.
    void ShowColour(ColourRgb colour);
    ColourRgb SelectedColour() const;

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Appends the named colours and "Custom..." (white until a colour is chosen for it).
    void Fill();
    // Appends an entry; an empty text shows a colour that need not have a name.
    void AddColour(const QString& text, ColourRgb colour);
    void OnActivated(int index);
    // The width the widest entry needs, drawn in the box's field.
    int WidthForEntries() const;

    // The entry the box showed before the user's current choice: where a cancelled colour
    // dialog goes back to.
    int settledIndex_ = -1;
};
