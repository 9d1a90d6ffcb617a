#include "statistics/CStatisticsChart.h"

#include <QExposeEvent>
#include <QOpenGLContext>

#include <GL/gl.h>

#include <algorithm>

#include "graph/TextLayoutPlan.h"
#include "graphgl/GlDraw.h"
#include "graphgl/GlSurfaceFormat.h"

namespace {

// The legend's two squares, in the frame of the amount labels.
struct LegendEntry {
    GLubyte red, green, blue;
    const char* text;
    float textY;
    float top;
    float bottom;
};
constexpr LegendEntry kLegend[] = {{0, 255, 0, "Down", 0.75f, 0.84f, 0.74f},
                                   {255, 255, 0, "Up", 0.55f, 0.64f, 0.54f}};
constexpr float kLegendTextX = 0.9f;
constexpr float kLegendLeft = 0.87f;
constexpr float kLegendRight = 0.89f;

void LineStrip(const std::vector<ChartPoint>& points) {
    glBegin(GL_LINE_STRIP);
    for (const ChartPoint& p : points) {
        glVertex2f(p.x, p.y);
    }
    glEnd();
}

void Line(float x1, float y1, float x2, float y2) {
    glBegin(GL_LINES);
    glVertex2f(x1, y1);
    glVertex2f(x2, y2);
    glEnd();
}

}  // namespace

CStatisticsChart::CStatisticsChart(std::function<void()> restoreGraphContext)
    : restoreGraphContext_(std::move(restoreGraphContext)) {
    setSurfaceType(QSurface::OpenGLSurface);
    // Opaque: no alpha channel for a compositor to see through.
    setFormat(LegacyGlFormat());
}

CStatisticsChart::~CStatisticsChart() {
    if (context_ && context_->makeCurrent(this)) {
        font_.Destroy();
        context_->doneCurrent();
    }
    context_.reset();
    RestoreGraphContext();
}

bool CStatisticsChart::Create() {
    auto context = std::make_unique<QOpenGLContext>();
    context->setFormat(requestedFormat());
    if (context->create() && context->makeCurrent(this)) {
        context_ = std::move(context);
        glShadeModel(GL_SMOOTH);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClearDepth(1.0);
        glDepthFunc(GL_LEQUAL);
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
        font_.Create(FontPixelHeight(TextFont::Small));
    }
    RestoreGraphContext();
    return context_ != nullptr;
}

void CStatisticsChart::Draw(ChartPlan plan) {
    plan_ = std::move(plan);
    Repaint();
}

void CStatisticsChart::Repaint() {
    if (!isExposed()) {
        return;
    }
    if (!createTried_) {
        createTried_ = true;
        Create();
    }
    if (Render()) {
        context_->swapBuffers(this);
    }
    RestoreGraphContext();
}

void CStatisticsChart::RestoreGraphContext() const {
    if (restoreGraphContext_) {
        restoreGraphContext_();
    }
}

bool CStatisticsChart::Render() {
    if (!context_ || !plan_ || !context_->makeCurrent(this)) {
        return false;
    }
    Paint(*plan_);
    return true;
}

void CStatisticsChart::exposeEvent(QExposeEvent*) {
    Repaint();
}

void CStatisticsChart::resizeEvent(QResizeEvent*) {
    Repaint();
}

void CStatisticsChart::PrintAt(const ChartText& label) const {
    // The raster colour is the colour current when the position is set.
    glRasterPos2f(label.x, label.y);
    font_.Print(label.text.c_str());
}

void CStatisticsChart::Paint(const ChartPlan& plan) {
    using namespace chart;
    const qreal ratio = devicePixelRatio();
    const int width = static_cast<int>(this->width() * ratio);
    const int height = std::max(1, static_cast<int>(this->height() * ratio));
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1.0, 1.0, -1.0, 1.0, 1.0, -1.0);
    glMatrixMode(GL_MODELVIEW);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glHint(GL_LINE_SMOOTH_HINT, GL_DONT_CARE);
    glEnable(GL_LINE_SMOOTH);
    glLineWidth(1.8f);
    glLoadIdentity();

    // Background: darker at the top than at the bottom.
    glBegin(GL_QUADS);
    glColor3ub(112, 152, 202);
    glVertex2f(-1.0f, 1.0f);
    glVertex2f(1.0f, 1.0f);
    glColor3ub(132, 179, 238);
    glVertex2f(1.0f, -1.0f);
    glVertex2f(-1.0f, -1.0f);
    glEnd();

    glTranslatef(kFirstShift, 0.0f, 0.0f);
    glColor3ub(0, 255, 0);
    LineStrip(plan.download);
    glColor3ub(255, 255, 0);
    LineStrip(plan.upload);

    glColor3f(1.0f, 1.0f, 1.0f);
    for (const ChartText& number : plan.dayNumbers) {
        PrintAt(number);
    }
    Line(kFirstX, kAxisY, plan.axisEnd, kAxisY);

    glColor4ub(255, 255, 255, 170);
    for (float tick : plan.ticks) {
        Line(tick, kAxisY, tick, kTickTop);
    }
    Line(kFirstX, kYAxisTop, kYTickEnd, kYAxisTop);
    Line(kFirstX, 0.0f, kYTickEnd, 0.0f);

    glColor3f(1.0f, 1.0f, 1.0f);
    Line(kFirstX, kAxisY, kFirstX, kYAxisTop);

    glTranslatef(kSecondShift, 0.0f, 0.0f);
    for (const ChartText& label : plan.amountLabels) {
        PrintAt(label);
    }

    for (const LegendEntry& entry : kLegend) {
        glColor3ub(entry.red, entry.green, entry.blue);
        PrintAt({kLegendTextX, entry.textY, entry.text});
        DrawRect(kLegendLeft, entry.top, kLegendRight, entry.bottom);
    }
}
