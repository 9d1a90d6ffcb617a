#include "graphgl/CScrollingRenderer.h"

#include <GL/gl.h>

#include "appearance/CThemeTable.h"
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
    scale_.EndDraw(series_.MaxDownload(), series_.MaxUpload());
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

void CBarRenderer::DrawSeries(const CSeriesPlan& series) {
    const CThemeTable& themes = view_.Themes();
    bars_.Build(series, view_.Geometry().Baseline());
    for (const BarPrimitive& prim : bars_) {
        SetColour(themes.CurrentColour(prim.colour));
        if (prim.kind == BarPrimitive::Kind::Quad) {
            DrawRect(prim.x0, prim.y0, prim.x1, prim.y1);
        } else {
            glBegin(GL_LINES);
            glVertex2f(prim.x0, prim.y0);
            glVertex2f(prim.x1, prim.y1);
            glEnd();
        }
    }
}
