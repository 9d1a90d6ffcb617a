#include "appearance/CColourComboBox.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include <algorithm>

#include "appearance/NamedColours.h"
#include "appearance/QColourRgb.h"

namespace {

constexpr int kItemRole = Qt::UserRole;
// "Custom..." follows the named colours.
constexpr int kCustomIndex = static_cast<int>(NamedColours.size());
constexpr int kInset = 2;  // between the entry's edge and its swatch and text

}  // namespace

void CColourItemDelegate::PaintItem(QPainter& painter, const QRect& rect, const QString& text,
                                    const QColor& colour, ItemState state,
                                    const QPalette& palette) {
    const QColor windowText = palette.color(QPalette::Active, QPalette::Text);
    QColor textColour = windowText;
    QColor background = palette.color(QPalette::Active, QPalette::Base);
    if (state.selected) {
        textColour = QColor::fromRgb(~windowText.rgb() & 0xFFFFFF);
        background = palette.color(QPalette::Active, QPalette::Highlight);
    }
    QColor swatch = colour;
    if (!state.enabled) {
        textColour = swatch = palette.color(QPalette::Disabled, QPalette::WindowText);
    }

    painter.save();
    painter.fillRect(rect, background);
    if (state.focused) {
        painter.setPen(QPen(textColour, 1, Qt::DotLine));
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    const int swatchRight = SwatchRight(rect.width());
    // Right edge exclusive: an entry 81 pixels wide has its swatch end at x = 30.
    const QRect swatchRect(QPoint(rect.left() + kInset, rect.top() + kInset),
                           QPoint(rect.left() + swatchRight - 1, rect.bottom() - kInset));
    painter.fillRect(swatchRect, swatch);
    painter.setPen(Qt::black);
    painter.drawRect(swatchRect.adjusted(0, 0, -1, -1));
    painter.setPen(textColour);
    const QRect textRect(QPoint(rect.left() + swatchRight + kInset, rect.top() + kInset),
                         rect.bottomRight());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    painter.restore();
}

void CColourItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    ItemState state;
    state.selected = option.state.testFlag(QStyle::State_Selected);
    state.focused = option.state.testFlag(QStyle::State_HasFocus);
    state.enabled = option.state.testFlag(QStyle::State_Enabled);
    PaintItem(*painter, option.rect, index.data(Qt::DisplayRole).toString(),
              index.data(kItemRole).value<QColor>(), state, option.palette);
}

QSize CColourItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    const QSize text =
        option.fontMetrics.size(Qt::TextSingleLine, index.data(Qt::DisplayRole).toString());
    // Room for the name beside a swatch of 10/27 of the width, and a fixed height.
    return {text.width() * 27 / 17 + 4 * kInset, option.fontMetrics.height() + 2 * kInset + 2};
}

CColourComboBox::CColourComboBox(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new CColourItemDelegate(this));
    Fill();
    // Only the user's own choice of "Custom..." asks for a colour.
    connect(this, &QComboBox::activated, this, &CColourComboBox::OnActivated);
    // "Custom..." counts as shown only once a colour was chosen for it.
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index != kCustomIndex) {
            settledIndex_ = index;
        }
    });
}

void CColourComboBox::Fill() {
    for (const NamedColour& named : NamedColours) {
        AddColour(QCoreApplication::translate("Colours", named.name), named.colour);
    }
    AddColour(tr(kCustomEntry), {255, 255, 255});
}

void CColourComboBox::AddColour(const QString& text, ColourRgb colour) {
    addItem(text, ToQColor(colour));
    updateGeometry();
}

int CColourComboBox::WidthForEntries() const {
    QStyleOptionViewItem item;
    item.initFrom(this);
    int widest = 0;
    for (int i = 0; i < count(); ++i) {
        widest = std::max(widest, itemDelegate()->sizeHint(item, model()->index(i, 0)).width());
    }
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return style()
        ->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(widest, fontMetrics().height()),
                           this)
        .width();
}

QSize CColourComboBox::minimumSizeHint() const {
    QSize size = QComboBox::minimumSizeHint();
    size.setWidth(std::max({size.width(), kLeastWidth, WidthForEntries()}));
    return size;
}

QSize CColourComboBox::sizeHint() const {
    QSize size = QComboBox::sizeHint();
    size.setWidth(std::max(size.width(), minimumSizeHint().width()));
    return size;
}

void CColourComboBox::ShowColour(ColourRgb colour) {
    clear();
    Fill();
    // A named colour is shown by its name; any other is what "Custom..." holds.
    const auto named = std::find_if(NamedColours.begin(), NamedColours.end(),
                                    [&](const NamedColour& c) { return c.colour == colour; });
    const int index =
        named != NamedColours.end() ? static_cast<int>(named - NamedColours.begin()) : kCustomIndex;
    setItemData(index, ToQColor(colour), kItemRole);
    setCurrentIndex(index);
    settledIndex_ = index;
}

ColourRgb CColourComboBox::SelectedColour() const {
    return ToColourRgb(currentData(kItemRole).value<QColor>());
}

void CColourComboBox::OnActivated(int index) {
    if (index != kCustomIndex) {
        return;
    }
    // The dialog starts from the colour the box showed, so a small change is a small step.
    const QColor shown =
        itemData(settledIndex_ >= 0 ? settledIndex_ : index, kItemRole).value<QColor>();
    const QColor chosen = QColorDialog::getColor(shown, this);
    if (!chosen.isValid()) {
        // Cancelled: the box shows what it showed before, so nothing changes.
        setCurrentIndex(settledIndex_);
        return;
    }
    setItemData(index, chosen, kItemRole);
    settledIndex_ = index;
    update();
}

void CColourComboBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0) {
        return;
    }
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    CColourItemDelegate::ItemState state;
    state.selected = state.focused = hasFocus();
    state.enabled = isEnabled();
    CColourItemDelegate::PaintItem(painter, field, currentText(),
                                   currentData(kItemRole).value<QColor>(), state, palette());
}
