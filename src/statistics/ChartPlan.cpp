#include "statistics/ChartPlan.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/Formatters.h"
#include "core/Units.h"

using namespace chart;

namespace {

// One place along the chart's x axis: a day of a month, or an hour of a day.
struct ChartSlot {
    std::string label;
    int number = 0;  // the label's number: labels below 10 sit slightly closer together
    bool recorded = false;
    double downloaded = 0.0;  // MB
    double uploaded = 0.0;
};

// One line strip over the slots. A slot without a record lies on the zero line.
std::vector<ChartPoint> PlanLine(const std::vector<ChartSlot>& slots, double maximum,
                                 double ChartSlot::*amount, float step) {
    std::vector<ChartPoint> points;
    float x = kFirstX;
    for (const ChartSlot& slot : slots) {
        if (!slot.recorded) {
            points.push_back({x, kZeroLine});
        } else if (maximum > 0.0) {
            // A month of zeros has no scale: its recorded days get no vertex.
            const double y = slot.*amount / maximum * kLineScale + kZeroLine;
            if (y >= -1.0 && y <= 1.0) {
                points.push_back({x, static_cast<float>(y + kLineLift)});
            }
        }
        x += step;
    }
    return points;
}

float LabelAdvance(int number, float step) {
    return number < 10 ? step - (kDayStep - kShortLabelStep) : step;
}

// `step` is the distance of two slots: a day's in a month.
ChartPlan PlanSlots(const std::vector<ChartSlot>& slots, float step = kDayStep) {
    ChartPlan plan;

    double maximum = 0.0;
    for (const ChartSlot& slot : slots) {
        maximum = std::max({maximum, slot.downloaded, slot.uploaded});
    }
    plan.download = PlanLine(slots, maximum, &ChartSlot::downloaded, step);
    plan.upload = PlanLine(slots, maximum, &ChartSlot::uploaded, step);

    float x = kDayNumberX;
    float tick = kFirstX;
    for (const ChartSlot& slot : slots) {
        plan.dayNumbers.push_back({x, kDayNumberY, slot.label});
        x += LabelAdvance(slot.number, step);
        plan.ticks.push_back(tick);
        tick += step;
    }
    plan.axisEnd = x;

    auto scale = ChartScaleTexts(maximum);
    plan.amountLabels = {ChartText{kLabelX, kTopLabelY, std::move(scale[0])},
                         ChartText{kLabelX, kHalfLabelY, std::move(scale[1])},
                         ChartText{kLabelX, kZeroLabelY, std::move(scale[2])}};
    return plan;
}

}  // namespace

ChartPlan PlanChart(const HistoryDayMap& days) {
    // Day 1 to the last recorded day; the days between without a record as empty slots.
    const int lastDay = days.empty() ? 0 : days.rbegin()->first;
    std::vector<ChartSlot> slots;
    for (int day = 1; day <= lastDay; ++day) {
        slots.push_back({std::to_string(day), day});
    }
    for (const auto& [day, record] : days) {
        if (day >= 1 && day <= lastDay) {
            ChartSlot& slot = slots[day - 1];
            slot.recorded = true;
            slot.downloaded = record->downloaded;
            slot.uploaded = record->uploaded;
        }
    }
    return PlanSlots(slots);
}

ChartPlan PlanHourChart(std::span<const HourTotal> hours) {
    std::vector<ChartSlot> slots;
    for (const HourTotal& hour : hours) {
        slots.push_back({std::to_string(hour.local.hour), hour.local.hour, true,
                         static_cast<double>(hour.received) / kBytesPerMB,
                         static_cast<double>(hour.sent) / kBytesPerMB});
    }
    // A day's hours spread over the width a 31-day month takes, the last where day 31 stands.
    constexpr int kMonthGaps = 30;
    return PlanSlots(slots, slots.size() > 1
                                ? kMonthGaps * kDayStep / static_cast<float>(slots.size() - 1)
                                : kDayStep);
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
