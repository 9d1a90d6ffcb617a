#include "graphgl/CDialRenderer.h"

#include <GL/gl.h>

#include <algorithm>

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

    view_.SetLineWidth(1.0f);
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

    DrawLabels();

    GLfloat previousWidth = 1.0f;
    glGetFloatv(GL_LINE_WIDTH, &previousWidth);
    view_.SetLineWidth(2.0f);
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

namespace {
// The dial's speed texts stand on a baseline this far above the window's bottom.
constexpr int kSpeedTextBottom = 3;
constexpr float kGapAboveSpeeds = 2.0f;
}  // namespace

void CDialRenderer::DrawLabels() {
    CTextOverlay& text = view_.Text();
    const double scale = text.Scale();
    const int width = view_.Geometry().Width();
    const int height = view_.Geometry().Height();
    // The speed texts' capitals start this high; the numbers stay above them.
    const float lowest = static_cast<float>(height - kSpeedTextBottom) -
                         static_cast<float>(text.Font(TextFont::Large).InkAbove('D') / scale) -
                         kGapAboveSpeeds;
    // The small font, or the tiny one where the small one would leave the window.
    DialLabels placed;
    TextFont font = TextFont::Small;
    for (TextFont tried : {TextFont::Small, TextFont::Tiny}) {
        const CBitmapFont& bitmaps = text.Font(tried);
        auto measure = [&bitmaps, scale](const char* label) {
            int advance = 0;
            int ink = 0;
            for (const char* c = label; *c != '\0'; ++c) {
                advance += bitmaps.Advance(static_cast<unsigned char>(*c));
                ink = std::max(ink, bitmaps.InkAbove(static_cast<unsigned char>(*c)));
            }
            return DialTextSize{static_cast<float>(advance / scale),
                                static_cast<float>(ink / scale)};
        };
        font = tried;
        placed = model_.Labels(measure, width, height, lowest);
        if (placed.inside) {
            break;
        }
    }
    // The numbers lie on the background, in the theme's text colour; "KB/S" on the black face.
    const ColourRgb textColour = view_.Themes().CurrentColour(ColourSlot::Text);
    for (std::size_t i = 0; i < placed.labels.size(); ++i) {
        const DialLabel& label = placed.labels[i];
        const bool onFace = i == 3;
        glLoadIdentity();
        if (onFace) {
            glColor3ub(255, 255, 255);
        } else {
            SetColour(textColour);
        }
        glRasterPos2f(label.x, label.y);
        text.PrintWith(onFace ? TextFont::Small : font, label.text);
    }
    glLoadIdentity();
}
