#pragma once

// Where the graph lies in the window, in pixels with y growing downwards. The view's resize sets
// it in the order SetWidth, SetHeight, SetPlotWidth, SetBaseline.
class CGraphGeometry {
public:
    static constexpr int kTopMargin = 1;

    // Chooses the bottom margin for the width and recomputes the baseline from the current
    // height.
    void SetWidth(int width);
    void SetHeight(int height);
    void SetPlotWidth(int width);
    // Baseline = height - bottom margin; the plot height follows.
    void SetBaseline(int height);

    int Width() const { return width_; }
    // Also the height the text overlays lay their texts out in.
    int Height() const { return height_; }
    int PlotWidth() const { return plotWidth_; }
    int TopMargin() const { return kTopMargin; }
    int BottomMargin() const { return bottomMargin_; }
    int Baseline() const { return baseline_; }
    int PlotHeight() const { return plotHeight_; }
    // Horizontal distance between two samples, and the scroll distance of one graph step.
    float Step() const { return step_; }

    // Height above the baseline of a speed on the given full scale (KB/s).
    double HeightOf(double speed, double scale) const { return speed / scale * plotHeight_; }
    // Where that speed is drawn; speeds above the scale land above the top margin.
    double SpeedToY(double speed, double scale) const { return baseline_ - HeightOf(speed, scale); }

    // The strip kept free below the plot for the speed labels, by window width.
    static int BottomMarginFor(int width);

private:
    void UpdateBaseline();

    int width_ = 1;
    int height_ = 1;
    int plotWidth_ = 300;
    int bottomMargin_ = 17;
    int baseline_ = 430;
    int plotHeight_ = 429;
    float step_ = 3.0f;
};
