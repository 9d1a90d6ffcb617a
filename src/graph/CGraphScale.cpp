#include "graph/CGraphScale.h"

namespace {

// A nearly idle graph keeps a scale of 1 KB/s so noise does not fill the window.
double ScaleFor(double maximum) {
    return maximum < 0.5 ? 1.0 : maximum;
}

}  // namespace

double CGraphScale::SharedScaleFor(double maxDownload, double maxUpload) {
    const double download = ScaleFor(maxDownload);
    const double upload = ScaleFor(maxUpload);
    return download > upload ? download : upload;
}

void CGraphScale::EndDraw(double maxDownload, double maxUpload) {
    if (countdown_-- > 1) {
        return;
    }
    downloadScale_ = ScaleFor(maxDownload);
    uploadScale_ = ScaleFor(maxUpload);
    countdown_ = kRescalePeriod;
}
