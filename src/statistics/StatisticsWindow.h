#pragma once

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

#include "core/CObservable.h"
#include "platform/LocaleTexts.h"
#include "statistics/CInterfaceDays.h"
#include "statistics/CShownMonth.h"
#include "statistics/StatisticsLists.h"

class CHourlyStore;
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
// the current month. With the hourly store it also offers a choice of interface, whose days
// then fill the lists, the chart and the "Since" totals, and a day picked in the days list shows
// its hours in the chart.
class StatisticsWindow : public QDialog, public CObserver {
    Q_OBJECT
public:
    // `restoreGraphContext` makes the graph window's GL context current again; the chart calls
    // it whenever it has drawn. Dates are written in the user's locale unless `texts` is given.
    StatisticsWindow(CTrafficHistory& history, std::function<void()> restoreGraphContext,
                     std::unique_ptr<LocaleTexts> texts = nullptr, QWidget* parent = nullptr);
    // `store` (may be null: then no interface choice and no hours) must outlive the window.
    StatisticsWindow(CTrafficHistory& history, const CHourlyStore* store,
                     std::function<void()> restoreGraphContext,
                     std::unique_ptr<LocaleTexts> texts = nullptr, QWidget* parent = nullptr);
    ~StatisticsWindow() override;

    // After every update of the history.
    void Update() override;

    MonthKey ShownMonth() const { return shown_.Shown(); }
    // The day whose hours the chart shows, if it shows a day's.
    std::optional<LocalDate> ShownDay() const { return shownDay_; }
    CStatisticsChart* Chart() const { return chart_; }

private:
    // The table the lists show: the history's, or the chosen interface's days.
    const HistoryTable& ShownTable(HistoryTable& snapshot) const;
    bool InterfaceChosen() const { return !interface_.empty(); }
    LocalDate Today() const;
    void FillInterfaceChoice();
    void ChooseInterface();
    void ShowFocusedDay();
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
    const CHourlyStore* store_ = nullptr;
    std::string interface_;  // empty: every monitored interface, from the history
    CInterfaceDays interfaceDays_;
    std::optional<LocalDate> shownDay_;
    ListMeasure monthsMeasure_;
    ListMeasure daysMeasure_;
    // Declared last, so the window stops listening before anything else of it goes.
    std::optional<CScopedObservation> observation_;
};
