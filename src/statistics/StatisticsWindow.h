#pragma once

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

#include "core/CObservable.h"
#include "platform/LocaleTexts.h"
#include "statistics/CShownMonth.h"
#include "statistics/StatisticsLists.h"

class CStatisticsChart;
class CTrafficHistory;
class QTreeWidget;
class QTreeWidgetItem;

namespace Ui {
class StatisticsWindow;
}

// The "Statistics" window: the recorded months and the days of one month, newest first, the
// chart of that month, and the traffic of this session and since recording began. It observes
// the history while it exists, so its figures follow every sample; at midnight it returns to
// the current month.
class StatisticsWindow : public QDialog, public CObserver {
    Q_OBJECT
public:
    // `restoreGraphContext` makes the graph window's GL context current again; the chart calls
    // it whenever it has drawn. Dates are written in the user's locale unless `texts` is given.
    StatisticsWindow(CTrafficHistory& history, std::function<void()> restoreGraphContext,
                     std::unique_ptr<LocaleTexts> texts = nullptr, QWidget* parent = nullptr);
    ~StatisticsWindow() override;

    // After every update of the history.
    void Update() override;

    MonthKey ShownMonth() const { return shown_.Shown(); }
    CStatisticsChart* Chart() const { return chart_; }

private:
    void Build(const HistoryTable& table, const LocalDate& today);
    void FillMonthsList(const HistoryTable& table);
    void ShowMonth(const HistoryTable& table, MonthKey key);
    void ShowFocusedMonth();
    void RefreshToday(const HistoryTable& table, const DayRecord& today);
    // The row of the current record's month: in the normal case the top one.
    void RefreshMonthRow(const HistoryTable& table, MonthKey key);
    QTreeWidgetItem* MonthItem(MonthKey key) const;
    void ShowSessionTotals();
    void ShowSinceTotals();

    std::unique_ptr<Ui::StatisticsWindow> ui_;
    CTrafficHistory& history_;
    std::unique_ptr<LocaleTexts> texts_;
    CStatisticsChart* chart_ = nullptr;  // owned by chartHost_
    QWidget* chartHost_ = nullptr;
    CShownMonth shown_;
    ListMeasure monthsMeasure_;
    ListMeasure daysMeasure_;
    // Declared last, so the window stops listening before anything else of it goes.
    std::optional<CScopedObservation> observation_;
};
