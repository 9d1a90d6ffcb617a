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
    series_.Build(list, view_.Geometry(), pacer_.Step(), pacer_.Accumulator(), scale_.Scale());
    SeriesPlaced(series_);
    scale_.EndDraw(series_.MaxDownload(), series_.MaxUpload());
    return true;
}

bool CScrollingRenderer::DescribePicture(CFrameSignature& signature) const {
    if (!picture_) {
        return false;
    }
    DescribeSeries(series_, signature);
    return true;
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

void CLineRenderer::DescribeSeries(const CSeriesPlan& series, CFrameSignature& signature) const {
    signature.Add('L');
    signature.Add(series.Count());
    for (const SeriesPoint& p : series) {
        signature.Add(p.x);
        signature.Add(p.downloadY);
        signature.Add(p.uploadY);
    }
}

void CLineRenderer::DrawSeries(const CSeriesPlan& series) {
    if (series.Count() == 0) {
        return;
    }
    const CThemeTable& themes = view_.Themes();
    glLineWidth(2.0f);
    SetColour(themes.CurrentColour(ColourSlot::Download));
    glBegin(GL_LINE_STRIP);
    for (const SeriesPoint& p : series) {
        glVertex2d(p.x, p.downloadY);
    }
    glEnd();
    SetColour(themes.CurrentColour(ColourSlot::Upload));
    glBegin(GL_LINE_STRIP);
    for (const SeriesPoint& p : series) {
        glVertex2d(p.x, p.uploadY);
    }
    glEnd();
}

void CLineRenderer::BeforeLabels() {
    SetColour(view_.Themes().CurrentColour(ColourSlot::Text));
}

void CBarRenderer::BeginFrame() {
    glLineWidth(0.5f);
}

void CBarRenderer::SeriesPlaced(const CSeriesPlan& series) {
    bars_.Build(series, view_.Geometry().Baseline());
}

void CBarRenderer::DescribeSeries(const CSeriesPlan&, CFrameSignature& signature) const {
    signature.Add('B');
    for (const BarPrimitive& prim : bars_) {
        // A bar of no height and an edge of no length leave no pixel, wherever they are: with no
        // traffic the whole graph is such, and it looks the same at every scroll position.
        if (prim.y0 == prim.y1) {
            continue;
        }
        signature.Add(prim.kind);
        signature.Add(prim.colour);
        signature.Add(prim.x0);
        signature.Add(prim.y0);
        signature.Add(prim.x1);
        signature.Add(prim.y1);
    }
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
