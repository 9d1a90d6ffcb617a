#include "statistics/StatisticsWindow.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QStyleOptionViewItem>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/Formatters.h"
#include "persistence/CTrafficHistory.h"
#include "platform/QtLocaleTexts.h"
#include "statistics/CGridLineDelegate.h"
#include "statistics/CStatisticsChart.h"
#include "statistics/ChartPlan.h"
#include "ui_StatisticsWindow.h"

namespace {

// Where a row keeps the month or day it shows.
constexpr int kKeyRole = Qt::UserRole;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

Qt::Alignment Alignment(ColumnAlign align) {
    return align == ColumnAlign::Left ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter;
}

// Drops every row and column and puts in the given columns.
void SetColumns(QTreeWidget& list, const std::vector<ListColumn>& columns) {
    list.clear();
    list.setColumnCount(static_cast<int>(columns.size()));
    QTreeWidgetItem* header = list.headerItem();
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        header->setText(c, Text(columns[c].title));
        header->setTextAlignment(c, Alignment(columns[c].align));
        list.setColumnWidth(c, columns[c].width);
    }
}

template <std::size_t N>
QTreeWidgetItem* AddRow(QTreeWidget& list, const std::array<std::string, N>& cells) {
    auto* item = new QTreeWidgetItem(&list);
    const QTreeWidgetItem* header = list.headerItem();
    for (int c = 0; c < static_cast<int>(N) && c < list.columnCount(); ++c) {
        item->setText(c, Text(cells[c]));
        item->setTextAlignment(c, Qt::Alignment(header->textAlignment(c)));
    }
    return item;
}

void PrepareList(QTreeWidget& list) {
    list.setItemDelegate(new CGridLineDelegate(&list));
    list.header()->setSectionsClickable(false);
    // The columns fit the list (FitList), so a horizontal scroll bar could only come from the
    // vertical one taking its width while it shows, and then keep it showing.
    list.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

// What texts take in a list, measured by its own style the way its cells and header sections
// measure themselves, in the desktop's font.
ListMeasure MeasureIn(QTreeWidget& list) {
    ListMeasure measure;
    measure.cell = [&list](const std::string& text) {
        QStyleOptionViewItem option;
        option.initFrom(&list);
        option.features = QStyleOptionViewItem::HasDisplay;
        option.text = Text(text);
        const QSize size =
            list.style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), &list);
        return size.width() + 1;  // the grid line
    };
    measure.title = [&list](const std::string& text) {
        QHeaderView* header = list.header();
        QStyleOptionHeader option;
        option.initFrom(header);
        // As the header sizes its sections: in bold, which a highlighted section shows.
        QFont bold = header->font();
        bold.setBold(true);
        option.fontMetrics = QFontMetrics(bold);
        option.text = Text(text);
        return header->style()
            ->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), header)
            .width();
    };
    measure.scrollBar = list.verticalScrollBar()->sizeHint().width();
    return measure;
}

// Makes a list as wide as its columns without a scroll bar and as tall as `rows` rows, so the
// scroll bar comes exactly when the Total column makes room for it.
void FitList(QTreeWidget& list, int columnsWidth, int rows) {
    const int rowHeight = list.sizeHintForRow(0);
    if (rowHeight <= 0) {
        return;
    }
    const int frame = 2 * list.frameWidth();
    list.setFixedSize(columnsWidth + frame,
                      list.header()->sizeHint().height() + rows * rowHeight + frame);
}

}  // namespace

StatisticsWindow::StatisticsWindow(CTrafficHistory& history,
                                   std::function<void()> restoreGraphContext,
                                   std::unique_ptr<LocaleTexts> texts, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::StatisticsWindow>()),
      history_(history),
      texts_(texts ? std::move(texts) : std::make_unique<QtLocaleTexts>()) {
    ui_->setupUi(this);
    PrepareList(*ui_->monthsList);
    PrepareList(*ui_->daysList);

    chart_ = new CStatisticsChart(std::move(restoreGraphContext));
    chartHost_ = QWidget::createWindowContainer(chart_, ui_->visible);
    auto* chartLayout = new QVBoxLayout(ui_->visible);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addWidget(chartHost_);

    monthsMeasure_ = MeasureIn(*ui_->monthsList);
    daysMeasure_ = MeasureIn(*ui_->daysList);
    const DayRecord& current = history_.CurrentDay();
    Build(history_.Snapshot(), {current.day, current.month, current.year});
    FitList(*ui_->monthsList, ColumnsWidth(MonthListColumns(1, monthsMeasure_, *texts_)),
            kMonthRowsShown);
    FitList(*ui_->daysList, ColumnsWidth(DayListColumns(1, daysMeasure_, *texts_)), kDayRowsShown);

    connect(ui_->monthsList, &QTreeWidget::currentItemChanged, this,
            &StatisticsWindow::ShowFocusedMonth);

    observation_.emplace(history_, *this);
    ShowSessionTotals();
    // Shown at once rather than at the first sample, so no placeholder is ever seen.
    ShowSinceTotals();
    ui_->sinceBox->setTitle(tr("Since: %1").arg(Text(texts_->ShortDate(history_.SinceDate()))));
}

StatisticsWindow::~StatisticsWindow() {
    observation_.reset();
    // The chart frees its GL objects and hands the graph its context back.
    delete chartHost_;
}

void StatisticsWindow::Update() {
    const DayRecord& current = history_.CurrentDay();
    const LocalDate today{current.day, current.month, current.year};
    const HistoryTable table = history_.Snapshot();
    switch (shown_.OnUpdate(today)) {
        case CShownMonth::Refresh::Rebuild:
            Build(table, today);
            break;
        case CShownMonth::Refresh::Today:
            RefreshToday(table, current);
            break;
        case CShownMonth::Refresh::Keep:
            break;
    }
    RefreshMonthRow(table, {current.month, current.year});
    ShowSessionTotals();
    ShowSinceTotals();
}

void StatisticsWindow::Build(const HistoryTable& table, const LocalDate& today) {
    FillMonthsList(table);
    const MonthKey current{today.month, today.year};
    ShowMonth(table, current);
    shown_.Built(today);
    // The shown month is the highlighted one, and the keyboard starts from it.
    const QSignalBlocker quiet(ui_->monthsList);
    ui_->monthsList->setCurrentItem(MonthItem(current));
}

QTreeWidgetItem* StatisticsWindow::MonthItem(MonthKey key) const {
    QTreeWidget& list = *ui_->monthsList;
    for (int r = 0; r < list.topLevelItemCount(); ++r) {
        QTreeWidgetItem* item = list.topLevelItem(r);
        if (item->data(0, kKeyRole).toInt() == key.month &&
            item->data(1, kKeyRole).toInt() == key.year) {
            return item;
        }
    }
    return nullptr;
}

void StatisticsWindow::FillMonthsList(const HistoryTable& table) {
    QTreeWidget& list = *ui_->monthsList;
    // Rebuilding is not the user choosing a month.
    const QSignalBlocker quiet(list);
    SetColumns(list, MonthListColumns(history_.MonthCount(), monthsMeasure_, *texts_));
    for (const MonthRow& row : MonthRows(table, *texts_)) {
        QTreeWidgetItem* item = AddRow(list, row.cells);
        item->setData(0, kKeyRole, row.key.month);
        item->setData(1, kKeyRole, row.key.year);
    }
}

void StatisticsWindow::ShowMonth(const HistoryTable& table, MonthKey key) {
    QTreeWidget& list = *ui_->daysList;
    const HistoryDayMap* days = FindMonth(table, key);
    SetColumns(list, DayListColumns(days != nullptr ? static_cast<int>(days->size()) : 0,
                                    daysMeasure_, *texts_));
    if (days == nullptr) {
        return;
    }
    chart_->Draw(PlanChart(*days));
    for (const DayRow& row : DayRows(*days, key, *texts_)) {
        AddRow(list, row.cells)->setData(0, kKeyRole, row.day);
    }
}

void StatisticsWindow::ShowFocusedMonth() {
    const QTreeWidgetItem* item = ui_->monthsList->currentItem();
    if (item == nullptr) {
        item = ui_->monthsList->topLevelItem(0);  // none focused: the newest month
    }
    if (item == nullptr) {
        return;
    }
    const MonthKey key{item->data(0, kKeyRole).toInt(), item->data(1, kKeyRole).toInt()};
    ShowMonth(history_.Snapshot(), key);
    shown_.Choose(key);
}

void StatisticsWindow::RefreshToday(const HistoryTable& table, const DayRecord& today) {
    const MonthKey key = shown_.Shown();
    const HistoryDayMap* days = FindMonth(table, key);
    if (days == nullptr) {
        return;
    }
    chart_->Draw(PlanChart(*days));
    // Today's row is found by its day, not by its place: after the clock was set back, today
    // need not be the newest day of the month.
    QTreeWidget& list = *ui_->daysList;
    for (int r = 0; r < list.topLevelItemCount(); ++r) {
        QTreeWidgetItem* item = list.topLevelItem(r);
        if (item->data(0, kKeyRole).toInt() == today.day) {
            const auto cells = AmountCells(today.downloaded, today.uploaded);
            for (int c = 0; c < 3; ++c) {
                item->setText(c + 1, Text(cells[c]));
            }
            return;
        }
    }
    ShowMonth(table, key);
}

void StatisticsWindow::RefreshMonthRow(const HistoryTable& table, MonthKey key) {
    const HistoryDayMap* days = FindMonth(table, key);
    QTreeWidgetItem* item = MonthItem(key);
    if (days == nullptr || item == nullptr) {
        return;
    }
    const MonthRow row = MakeMonthRow(key, *days, *texts_);
    for (int c = 1; c < static_cast<int>(row.cells.size()); ++c) {
        item->setText(c, Text(row.cells[c]));
    }
}

void StatisticsWindow::ShowSessionTotals() {
    // One text each, as the figures beside them: a gap of the layout between number and unit
    // would read as two spaces.
    ui_->sessionDownloadValue->setText(Text(SessionAmountText(history_.SessionDownload()).Text()));
    ui_->sessionUploadValue->setText(Text(SessionAmountText(history_.SessionUpload()).Text()));
}

void StatisticsWindow::ShowSinceTotals() {
    ui_->sinceDownloadValue->setText(Text(SizeText(history_.SinceDownload())));
    ui_->sinceUploadValue->setText(Text(SizeText(history_.SinceUpload())));
}
