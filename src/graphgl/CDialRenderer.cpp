#include "graphgl/CDialRenderer.h"

#include <GL/gl.h>

#include "appearance/CThemeTable.h"
#include "graph/CFrameSignature.h"
#include "graph/CSampleList.h"
#include "graphgl/CGraphView.h"
#include "graphgl/CTextOverlay.h"
#include "graphgl/GlDraw.h"

CDialRenderer::CDialRenderer(CGraphView& view)
    : CGraphRenderer(view),
      model_(view.Geometry().Width(), view.Geometry().Height(), view.Step(), view.Speed()) {}

bool CDialRenderer::Advance(const CSampleList& list) {
    frame_ = DialFrame{};
    if (list.Count() == 0) {
        return false;
    }
    frame_ = model_.Frame(list, view_.Geometry().Width(), view_.Geometry().Height());
    return !frame_.sampleDue;
}

void CDialRenderer::FitToSize(const CSampleList&) {
    // The face, the needle's pivot and the labels follow the size; the needle keeps its angle.
    if (frame_.draw) {
        model_.Resize(view_.Geometry().Width(), view_.Geometry().Height());
    }
}

int CDialRenderer::FramesUntilSample(const CSampleList& list) const {
    // An empty list asks for a sample at every frame; otherwise the countdown's last frame does.
    return list.Count() == 0 ? 0 : model_.Countdown() - 1;
}

bool CDialRenderer::DescribePicture(CFrameSignature& signature) const {
    if (!frame_.draw) {
        return false;
    }
    // The face follows the size (in the view's part), the labels the full scale; the needle is
    // the motion.
    signature.Add('D');
    signature.Add(model_.FullScale());
    return true;
}

int CDialRenderer::FramesUntilPictureChanges(const CSampleList&, float shownMotion,
                                             int horizon) const {
    if (frame_.sampleDue) {
        return 0;  // a sample has just been taken: the next frame aims at it
    }
    if (!frame_.draw) {
        return horizon;
    }
    return model_.FramesUntilNeedleMoved(shownMotion, kVisibleMotion, horizon);
}

void CDialRenderer::Paint(const CSampleList& list) {
    if (frame_.draw) {
        DrawDial(list);
    }
}

void CDialRenderer::DrawDial(const CSampleList& list) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    view_.DrawBackground();

    const DialPoint* face = model_.FacePoints();
    const DialPoint* arc = model_.InnerArcPoints();
    const int count = model_.FacePointCount();
    glColor3ub(0, 0, 0);
    glBegin(GL_LINE_STRIP);
    for (int i = 0; i < count; ++i) {
        glVertex2f(face[i].x, face[i].y);
    }
    glEnd();
    glBegin(GL_POLYGON);
    for (int i = 0; i < count; ++i) {
        glVertex2f(face[i].x, face[i].y);
    }
    glEnd();
    glColor3ub(255, 255, 255);
    glBegin(GL_LINE_STRIP);
    for (int i = 0; i < count; ++i) {
        glVertex2f(arc[i].x, arc[i].y);
    }
    glEnd();

    const auto needle = model_.NeedleCorners();
    glColor3ub(255, 0, 0);
    glBegin(GL_QUADS);
    for (const DialPoint& p : needle) {
        glVertex2f(p.x, p.y);
    }
    glEnd();
    glBegin(GL_LINE_LOOP);
    for (const DialPoint& p : needle) {
        glVertex2f(p.x, p.y);
    }
    glEnd();

    CTextOverlay& text = view_.Text();
    for (const DialLabel& label : model_.Labels()) {
        glLoadIdentity();
        glTranslatef(label.x, label.y, 0.0f);
        glColor3ub(255, 255, 255);
        glRasterPos2f(CDialModel::kLabelRasterX, CDialModel::kLabelRasterY);
        text.PrintSmall("%s", label.text);
    }
    glLoadIdentity();

    GLfloat previousWidth = 1.0f;
    glGetFloatv(GL_LINE_WIDTH, &previousWidth);
    glLineWidth(2.0f);
    glColor3ub(255, 255, 255);
    glBegin(GL_LINES);
    for (const DialSegment& tick : model_.Ticks()) {
        glVertex2f(tick.from.x, tick.from.y);
        glVertex2f(tick.to.x, tick.to.y);
    }
    glEnd();
    glLineWidth(previousWidth);

    view_.DrawSpeedLabels(list);
}
