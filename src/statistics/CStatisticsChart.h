#pragma once

#include <QWindow>

#include <functional>
#include <memory>
#include <optional>

#include "graphgl/CBitmapFont.h"
#include "statistics/ChartPlan.h"

class QOpenGLContext;

// The month chart: a window with its own double-buffered OpenGL context, hosted inside the
// statistics window. The graph window draws on the same thread with another context, so every
// path here that makes the chart's context current hands the graph its context back through
// `restoreGraphContext` before returning.
class CStatisticsChart : public QWindow {
    Q_OBJECT
public:
    explicit CStatisticsChart(std::function<void()> restoreGraphContext);
    ~CStatisticsChart() override;

    // The context is made when the chart is first shown, the 10-pixel font (in device pixels,
    // so that text is as sharp as the lines) when it is first drawn at a pixel ratio. Without a
    // context (no GL on this display) drawing has no effect.
    bool HasContext() const { return context_ != nullptr; }

    // Draws the month and shows it. The plan is kept so that the chart can be painted again
    // when it is uncovered or resized; nothing is drawn while it cannot be seen.
    void Draw(ChartPlan plan);

    // Draws the kept plan into the back buffer without showing it, and leaves the chart's
    // context current (tests read the pixels back).
    bool Render();

protected:
    void exposeEvent(QExposeEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool Create();
    void Repaint();
    void RestoreGraphContext() const;
    void Paint(const ChartPlan& plan);
    void PrintAt(const ChartText& label) const;
    void PaintLegend();

    std::function<void()> restoreGraphContext_;
    std::unique_ptr<QOpenGLContext> context_;
    CBitmapFont font_;
    std::optional<ChartPlan> plan_;
    bool createTried_ = false;
    qreal fontRatio_ = 0.0;
};
