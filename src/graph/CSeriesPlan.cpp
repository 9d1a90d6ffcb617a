#include "graph/CSeriesPlan.h"

void CSeriesPlan::Build(const CSampleList& list, const CGraphGeometry& geometry, float step,
                        float accumulator, double scale) {
    count_ = 0;
    maxDownload_ = 0.0;
    maxUpload_ = 0.0;

    float x = static_cast<float>(geometry.PlotWidth()) - accumulator + step;
    const int capacity = static_cast<int>(points_.size());
    for (const SampleNode* node = list.Newest(); node && node->older && x > -step;
         node = list.Older(node)) {
        if (count_ == capacity) {
            break;
        }
        SeriesPoint& point = points_[count_++];
        point.x = x;
        point.downloadHeight = geometry.HeightOf(node->download, scale);
        point.uploadHeight = geometry.HeightOf(node->upload, scale);
        point.downloadY = geometry.Baseline() - point.downloadHeight;
        point.uploadY = geometry.Baseline() - point.uploadHeight;
        if (node->download > maxDownload_) {
            maxDownload_ = node->download;
        }
        if (node->upload > maxUpload_) {
            maxUpload_ = node->upload;
        }
        x -= step;
    }
    nextX_ = x;
}

bool CSeriesPlan::Flat(Flow flow) const {
    for (int i = 1; i < count_; ++i) {
        if (Y(flow, i) != Y(flow, 0)) {
            return false;
        }
    }
    return true;
}
