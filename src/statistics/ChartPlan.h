#pragma once

#include <array>
#include <string>
#include <vector>

#include "persistence/CTrafficHistory.h"

// The geometry of the month chart, free of any drawing: the whole chart is the square -1..1 in
// x (left to right) and y (bottom to top). The renderer draws the background untranslated, then
// shifts by kFirstShift for the lines, day numbers and axes, and by kSecondShift more for the
// amount labels and the legend; the plan's coordinates are those before the shifts.
namespace chart {

inline constexpr float kDayStep = 0.0580645f;         // 31 steps span 1.8
inline constexpr float kShortLabelStep = 0.0573645f;  // after a day number below 10
inline constexpr float kFirstX = -0.9f;               // x of day 1
inline constexpr float kZeroLine = -0.8f;             // y of a value 0
inline constexpr double kLineScale = 1.48;            // the month's maximum rises this high
inline constexpr double kLineLift = 0.07;             // recorded values sit this far above
inline constexpr float kFirstShift = 0.05f;
inline constexpr float kSecondShift = -0.08f;

inline constexpr float kDayNumberX = -0.91f;
inline constexpr float kDayNumberY = -0.95f;
inline constexpr float kAxisY = -0.79f;
inline constexpr float kTickTop = -0.74f;
inline constexpr float kYAxisTop = 0.79f;
inline constexpr float kYTickEnd = -0.88f;
inline constexpr float kLabelX = -0.95f;
inline constexpr float kTopLabelY = 0.75f;
inline constexpr float kHalfLabelY = -0.04f;
inline constexpr float kZeroLabelY = -0.82f;

// The chart's colours. Its texts stand on the light blue background in a dark blue that keeps
// small text readable (at least 4.5:1 on either end of the gradient); the legend names the
// lines by coloured squares beside those words.
inline constexpr unsigned char kBackgroundTop[3] = {112, 152, 202};
inline constexpr unsigned char kBackgroundBottom[3] = {132, 179, 238};
inline constexpr unsigned char kTextColour[3] = {10, 24, 56};
inline constexpr unsigned char kDownloadColour[3] = {0, 255, 0};
inline constexpr unsigned char kUploadColour[3] = {255, 255, 0};

// The legend stands in the band above the y axis's top (kYAxisTop), which no line reaches: it
// keeps this many logical pixels from the chart's top and right edges.
inline constexpr int kLegendMargin = 6;

}  // namespace chart

// The contrast of two colours as the web's accessibility guidelines measure it (1 to 21).
double ContrastRatio(const unsigned char (&a)[3], const unsigned char (&b)[3]);

struct ChartPoint {
    float x = 0.0f;
    float y = 0.0f;
};

struct ChartText {
    float x = 0.0f;
    float y = 0.0f;
    std::string text;
};

struct ChartPlan {
    // One line strip each. A day without a record lies on the zero line; a recorded day whose
    // height cannot be computed (a month of zeros) has no vertex.
    std::vector<ChartPoint> download;
    std::vector<ChartPoint> upload;
    // 1 to the last recorded day, missing days included.
    std::vector<ChartText> dayNumbers;
    // The x axis runs from kFirstX to here: one step past the last day number.
    float axisEnd = chart::kDayNumberX;
    // x of the tick of each day, 1 to the last recorded day.
    std::vector<float> ticks;
    // The maximum, half of it and zero, in the unit the maximum needs.
    std::array<ChartText, 3> amountLabels;
};

// The chart of one month's days.
ChartPlan PlanChart(const HistoryDayMap& days);
