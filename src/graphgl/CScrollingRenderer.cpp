#include "graphgl/CScrollingRenderer.h"

#include <GL/gl.h>

#include "appearance/CThemeTable.h"
#include "graph/CFrameSignature.h"
#include "graphgl/CGraphView.h"
#include "graphgl/GlDraw.h"

CScrollingRenderer::CScrollingRenderer(CGraphView& view)
    : CGraphRenderer(view), pacer_(view.Step(), view.Speed()) {}

bool CScrollingRenderer::Advance(const CSampleList& list) {
    picture_ = pacer_.NextFrame(list.Count() == 0);
    if (!picture_) {
        return false;
    }
    // The series and the scale follow the data whether or not anyone looks, so a window shown
    // again continues exactly where a visible one would be.
    Plan(list, scale_.Scale());
    scale_.EndDraw(series_.MaxDownload(), series_.MaxUpload());
    return true;
}

void CScrollingRenderer::FitToSize(const CSampleList& list) {
    const CGraphGeometry& geometry = view_.Geometry();
    if (picture_ &&
        (plannedWidth_ != geometry.PlotWidth() || plannedHeight_ != geometry.Height())) {
        Plan(list, plannedScale_);  // the scale the frame had, not one its end has set since
    }
}

void CScrollingRenderer::Plan(const CSampleList& list, double scale) {
    const CGraphGeometry& geometry = view_.Geometry();
    plannedWidth_ = geometry.PlotWidth();
    plannedHeight_ = geometry.Height();
    plannedScale_ = scale;
    series_.Build(list, geometry, pacer_.Step(), pacer_.Accumulator(), scale);
    SeriesPlaced(series_);
}

bool CScrollingRenderer::DescribePicture(CFrameSignature& signature) const {
    if (!picture_) {
        return false;
    }
    // The heights, newest first: with the scroll (the motion) and the geometry they place every
    // vertex. A graph that stands still looks the same at any scroll and with any number of
    // samples, so then the one height of each series is all there is to it.
    signature.Add(Kind());
    const bool still = StandsStill(series_);
    signature.Add(still);
    const int count = still ? (series_.Count() > 0 ? 1 : 0) : series_.Count();
    signature.Add(count);
    for (int i = 0; i < count; ++i) {
        signature.Add(series_.Y(Flow::Download, i));
        signature.Add(series_.Y(Flow::Upload, i));
    }
    return true;
}

int CScrollingRenderer::FramesUntilPictureChanges(const CSampleList&, float shownMotion,
                                                  int horizon) const {
    if (!picture_) {
        return 0;  // a sample has just been taken: the next frame shows it
    }
    if (!StandsStill(series_)) {
        return pacer_.FramesUntilScrolled(shownMotion, kVisibleMotion, horizon);
    }
    // Standing still, only a rescale that moves the lines can change the picture before the next
    // sample; the frame after the rescaling one shows the new scale.
    const bool traffic = series_.MaxDownload() > 0.0 || series_.MaxUpload() > 0.0;
    const double rescaled = CGraphScale::SharedScaleFor(series_.MaxDownload(), series_.MaxUpload());
    if (traffic && rescaled != scale_.Scale()) {
        const int frame = scale_.Countdown();
        return frame < horizon ? frame : horizon;
    }
    return horizon;
}

void CScrollingRenderer::Paint(const CSampleList& list) {
    if (!picture_) {
        return;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    BeginFrame();
    view_.DrawBackground();
    DrawSeries(series_);
    view_.DrawScanlinesIfShown();
    BeforeLabels();
    view_.DrawSpeedLabels(list);
}

bool CLineRenderer::StandsStill(const CSeriesPlan& series) const {
    // A line of one height whose ends lie beyond both sides of the plot covers the same pixels
    // wherever the scroll puts its ends. An end less than a quarter pixel inside (the last frame
    // of a step leaves the newest end a twentieth of a pixel short of the right side) is a motion
    // nobody can see, as any other below a quarter pixel.
    return series.Count() == 0 || (series.Flat(Flow::Download) && series.Flat(Flow::Upload) &&
                                   series.SpansPlot(view_.Geometry().PlotWidth(), kVisibleMotion));
}

void CLineRenderer::DrawSeries(const CSeriesPlan& series) {
    if (series.Count() == 0) {
        return;
    }
    const CThemeTable& themes = view_.Themes();
    view_.SetLineWidth(2.0f);
    for (Flow which : {Flow::Download, Flow::Upload}) {
        SetColour(themes.CurrentColour(which == Flow::Download ? ColourSlot::Download
                                                               : ColourSlot::Upload));
        glBegin(GL_LINE_STRIP);
        series.ForEachLineVertex(which, [](float x, double y) { glVertex2d(x, y); });
        glEnd();
    }
}

void CLineRenderer::BeforeLabels() {
    SetColour(view_.Themes().CurrentColour(ColourSlot::Text));
}

void CBarRenderer::BeginFrame() {
    view_.SetLineWidth(0.5f);
}

void CBarRenderer::SeriesPlaced(const CSeriesPlan& series) {
    bars_.Build(series, view_.Geometry().Baseline());
}

bool CBarRenderer::StandsStill(const CSeriesPlan&) const {
    // A bar of no height and an edge of no length leave no pixel, wherever they are: with no
    // traffic the whole graph is such, and it looks the same at every scroll position.
    for (const BarPrimitive& prim : bars_) {
        if (prim.y0 != prim.y1) {
            return false;
        }
    }
    return true;
}

void CBarRenderer::DrawSeries(const CSeriesPlan&) {
    // All quads first, then all edge lines, each kind in one glBegin instead of one per
    // primitive, in their own order and colours. The pixels stay the same: a bar's quads still
    // come before its edges, and an edge (at most a pixel or so wide, at its bar's right side)
    // never reaches the quads of the bars further left, which start a bar width away.
    const CThemeTable& themes = view_.Themes();
    glBegin(GL_QUADS);
    for (const BarPrimitive& prim : bars_) {
        if (prim.kind == BarPrimitive::Kind::Quad) {
            SetColour(themes.CurrentColour(prim.colour));
            glVertex2f(prim.x0, prim.y0);
            glVertex2f(prim.x1, prim.y0);
            glVertex2f(prim.x1, prim.y1);
            glVertex2f(prim.x0, prim.y1);
        }
    }
    glEnd();
    glBegin(GL_LINES);
    for (const BarPrimitive& prim : bars_) {
        if (prim.kind == BarPrimitive::Kind::Line) {
            SetColour(themes.CurrentColour(prim.colour));
            glVertex2f(prim.x0, prim.y0);
            glVertex2f(prim.x1, prim.y1);
        }
    }
    glEnd();
}
