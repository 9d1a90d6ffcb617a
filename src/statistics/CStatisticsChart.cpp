#include "statistics/CStatisticsChart.h"

#include <QExposeEvent>
#include <QFont>
#include <QFontMetrics>
#include <QOpenGLContext>

#include <GL/gl.h>

#include <algorithm>

#include "graph/TextLayoutPlan.h"
#include "graphgl/GlDraw.h"
#include "graphgl/GlSurfaceFormat.h"

namespace {

// Layout in logical pixels becomes chart coordinates (-1..1, y up) here.
struct PixelFrame {
    double width;
    double height;
    float X(double px) const { return static_cast<float>(-1.0 + 2.0 * px / width); }
    float Y(double py) const { return static_cast<float>(1.0 - 2.0 * py / height); }
};

constexpr int kLegendBoxGap = 4;
constexpr int kLegendEntryGap = 14;

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
    if (ratio != fontRatio_) {
        // Glyphs are drawn in device pixels: at twice the ratio, twice as many of them.
        font_.Create(qRound(FontPixelHeight(TextFont::Small) * ratio));
        fontRatio_ = ratio;
    }
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
    glLineWidth(static_cast<float>(1.8 * ratio));
    glLoadIdentity();

    // Background: darker at the top than at the bottom.
    glBegin(GL_QUADS);
    glColor3ubv(kBackgroundTop);
    glVertex2f(-1.0f, 1.0f);
    glVertex2f(1.0f, 1.0f);
    glColor3ubv(kBackgroundBottom);
    glVertex2f(1.0f, -1.0f);
    glVertex2f(-1.0f, -1.0f);
    glEnd();

    glTranslatef(kFirstShift, 0.0f, 0.0f);
    glColor3ubv(kDownloadColour);
    LineStrip(plan.download);
    glColor3ubv(kUploadColour);
    LineStrip(plan.upload);

    glColor3ubv(kTextColour);
    for (const ChartText& number : plan.dayNumbers) {
        PrintAt(number);
    }
    glColor3f(1.0f, 1.0f, 1.0f);
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
    glColor3ubv(kTextColour);
    for (const ChartText& label : plan.amountLabels) {
        PrintAt(label);
    }
    PaintLegend();
}

void CStatisticsChart::PaintLegend() {
    using namespace chart;
    glLoadIdentity();
    const PixelFrame frame{static_cast<double>(std::max(1, width())),
                           static_cast<double>(std::max(1, height()))};
    // Measured as the bitmap font draws, in logical pixels.
    QFont font(CBitmapFont::Family());
    font.setPixelSize(FontPixelHeight(TextFont::Small));
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int box = metrics.ascent() - 1;
    const int baseline = kLegendMargin + metrics.ascent();
    struct Entry {
        const unsigned char (&colour)[3];
        QString word;
    };
    // Laid out from the right edge leftwards, so the last entry is named first.
    const Entry entries[] = {{kUploadColour, tr("Up", "chart legend")},
                             {kDownloadColour, tr("Down", "chart legend")}};
    int right = width() - kLegendMargin;
    for (const Entry& entry : entries) {
        const int wordLeft = right - metrics.horizontalAdvance(entry.word);
        const int boxRight = wordLeft - kLegendBoxGap;
        const int boxLeft = boxRight - box;
        glColor3ubv(entry.colour);
        DrawRect(frame.X(boxLeft), frame.Y(baseline - box), frame.X(boxRight), frame.Y(baseline));
        glColor3ubv(kTextColour);
        PrintAt({frame.X(wordLeft), frame.Y(baseline), entry.word.toStdString()});
        right = boxLeft - kLegendEntryGap;
    }
}
