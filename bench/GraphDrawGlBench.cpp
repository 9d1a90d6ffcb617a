// Cost of drawing one graph frame (without its sleep and without showing it) under the real GL
// implementation. Needs an X server: run under xvfb-run when there is no display.
#include <QApplication>
#include <QTest>

#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cstdlib>
#include <memory>

#include "FakeClocks.h"
#include "appearance/CThemeTable.h"
#include "graph/CSampleList.h"
#include "graphgl/CGraphView.h"
#include "graphgl/CGraphWindow.h"
#include "graphgl/CTextOverlay.h"

namespace {

struct GraphFixture {
    FakeMsClock clock;
    CThemeTable themes;
    CTextOverlay text;
    CSampleList samples;
    CGraphWindow window;
    std::unique_ptr<CGraphView> view;

    bool Open(int width, int height, int graphType, bool traffic = true) {
        themes.SelectTheme("Deep Blue");
        window.resize(width, height);
        QString error;
        if (!window.CreateGL(error)) {
            return false;
        }
        window.show();
        if (!QTest::qWaitForWindowExposed(&window) || !text.Create()) {
            return false;
        }
        view = std::make_unique<CGraphView>(text, themes, clock, "", CGraphView::Surface{}, 0, 0);
        CGraphWindow::ResizeGL(width, height);
        view->Resize(width, height);
        view->SetRenderer(graphType);
        for (int i = 0; i < CSampleList::kMaxSamples; ++i) {
            if (traffic) {
                samples.Append(100.0 + (i * 37) % 500, 20.0 + (i * 13) % 90);
            } else {
                samples.Append(0.0, 0.0);
            }
        }
        return true;
    }
};

void DrawFrames(benchmark::State& state, int graphType, bool scanlines) {
    GraphFixture fixture;
    if (!fixture.Open(320, 90, graphType)) {
        state.SkipWithError("no GL window");
        return;
    }
    if (scanlines) {
        fixture.view->CreateScanline();
    }
    for (auto _ : state) {
        fixture.view->ForgetShownFrame();  // every frame drawn: the cost of one is the figure
        fixture.view->DrawFrame(fixture.samples);
        glFinish();  // count the rendering itself, not just the queueing of commands
    }
}

// Without traffic the bars lie flat and nothing on the screen changes: the frames after the first
// are neither drawn nor shown.
void BM_DrawFrameBarsNoTraffic320x90(benchmark::State& state) {
    GraphFixture fixture;
    if (!fixture.Open(320, 90, 702, false)) {
        state.SkipWithError("no GL window");
        return;
    }
    for (auto _ : state) {
        fixture.view->DrawFrame(fixture.samples);
        glFinish();
    }
}

void BM_DrawFrameLines320x90(benchmark::State& state) {
    DrawFrames(state, 701, false);
}
void BM_DrawFrameBars320x90(benchmark::State& state) {
    DrawFrames(state, 702, false);
}
void BM_DrawFrameLinesScanlines320x90(benchmark::State& state) {
    DrawFrames(state, 701, true);
}

BENCHMARK(BM_DrawFrameLines320x90)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawFrameBars320x90)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawFrameLinesScanlines320x90)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawFrameBarsNoTraffic320x90)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("LP_NUM_THREADS", "0", 0);  // as the program does
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
