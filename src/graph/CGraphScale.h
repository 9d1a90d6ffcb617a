#pragma once

// The vertical scale of the line and bar graphs: it follows the visible data, rescaling on the
// first draw and then every kRescalePeriod draws. Each renderer keeps its own.
class CGraphScale {
public:
    static constexpr double kStartScale = 5.0;
    static constexpr int kRescalePeriod = 80;

    // Called at the end of each draw with the largest download and upload the draw visited.
    void EndDraw(double maxDownload, double maxUpload);

    double DownloadScale() const { return downloadScale_; }
    double UploadScale() const { return uploadScale_; }
    // Both series share the larger of the two.
    double Scale() const { return downloadScale_ > uploadScale_ ? downloadScale_ : uploadScale_; }
    // Which draw from now rescales: 1 (or less) is the next one.
    int Countdown() const { return countdown_; }
    // The shared scale a rescale would set for these maxima.
    static double SharedScaleFor(double maxDownload, double maxUpload);

private:
    double downloadScale_ = kStartScale;
    double uploadScale_ = kStartScale;
    int countdown_ = 1;
};
