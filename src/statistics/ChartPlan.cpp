#include "statistics/ChartPlan.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/Formatters.h"

using namespace chart;

namespace {

// One line strip over the days of the month. Missing days are walked over one step each so
// that every recorded day lands at its own x.
std::vector<ChartPoint> PlanLine(const HistoryDayMap& days, double maximum,
                                 double DayRecord::*amount) {
    std::vector<ChartPoint> points;
    float x = kFirstX;
    int n = 0;
    for (const auto& [day, record] : days) {
        ++n;
        // "<" rather than "!=": a day number the loop has passed can never make it run away.
        for (; n < day; ++n) {
            points.push_back({x, kZeroLine});
            x += kDayStep;
        }
        // A month of zeros has no scale: its recorded days get no vertex.
        if (maximum > 0.0) {
            const double y = record->*amount / maximum * kLineScale + kZeroLine;
            if (y >= -1.0 && y <= 1.0) {
                points.push_back({x, static_cast<float>(y + kLineLift)});
            }
        }
        x += kDayStep;
    }
    return points;
}

float LabelAdvance(int day) {
    return day < 10 ? kShortLabelStep : kDayStep;
}

}  // namespace

ChartPlan PlanChart(const HistoryDayMap& days) {
    ChartPlan plan;

    double maximum = 0.0;
    for (const auto& [day, record] : days) {
        maximum = std::max({maximum, record->downloaded, record->uploaded});
    }
    plan.download = PlanLine(days, maximum, &DayRecord::downloaded);
    plan.upload = PlanLine(days, maximum, &DayRecord::uploaded);

    float x = kDayNumberX;
    int n = 0;
    for (const auto& [day, record] : days) {
        for (++n; n <= day; ++n) {
            plan.dayNumbers.push_back({x, kDayNumberY, std::to_string(n)});
            x += LabelAdvance(n);
        }
        n = day;
    }
    plan.axisEnd = x;

    const int lastDay = days.empty() ? 0 : days.rbegin()->first;
    float tick = kFirstX;
    for (int day = 1; day <= lastDay; ++day) {
        plan.ticks.push_back(tick);
        tick += kDayStep;
    }

    auto scale = ChartScaleTexts(maximum);
    plan.amountLabels = {ChartText{kLabelX, kTopLabelY, std::move(scale[0])},
                         ChartText{kLabelX, kHalfLabelY, std::move(scale[1])},
                         ChartText{kLabelX, kZeroLabelY, std::move(scale[2])}};
    return plan;
}

namespace {

double RelativeLuminance(const unsigned char (&c)[3]) {
    double channels[3];
    for (int i = 0; i < 3; ++i) {
        const double v = c[i] / 255.0;
        channels[i] = v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    }
    return 0.2126 * channels[0] + 0.7152 * channels[1] + 0.0722 * channels[2];
}

}  // namespace

double ContrastRatio(const unsigned char (&a)[3], const unsigned char (&b)[3]) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
