#include <QTest>

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "FakeClocks.h"
#include "GraphPixelFixture.h"
#include "MessageBoxes.h"
#include "TempDir.h"
#include "appearance/CThemeTable.h"
#include "graph/CSampleList.h"
#include "graph/TextLayoutPlan.h"
#include "graphgl/CGraphView.h"
#include "graphgl/CGraphWindow.h"
#include "graphgl/CScrollingRenderer.h"
#include "graphgl/CTextOverlay.h"
#include "graphgl/GlDraw.h"

namespace {

TEST_F(GraphPixelTest, GradientRunsFromThemeTopToBottomColour) {
    Open(320, 90, "Scarlet");
    samples_.Append(0.0, 0.0);
    DrawOne();
    // Smooth shading across the height: the first and last rows are within one step of the
    // theme's colours, and the middle lies between.
    const Rgb top = Pixel(5, 0);
    const Rgb bottom = Pixel(5, 89);
    const Rgb wantTop = ToRgb(themes_.CurrentColour(ColourSlot::BackgroundTop));
    const Rgb wantBottom = ToRgb(themes_.CurrentColour(ColourSlot::BackgroundBottom));
    EXPECT_NEAR(top.r, wantTop.r, 2);
    EXPECT_NEAR(top.g, wantTop.g, 2);
    EXPECT_NEAR(bottom.r, wantBottom.r, 2);
    EXPECT_NEAR(bottom.b, wantBottom.b, 2);
    const Rgb middle = Pixel(5, 45);
    EXPECT_LT(middle.r, top.r);
    EXPECT_GT(middle.r, bottom.r);
}

TEST_F(GraphPixelTest, ScanlinesDarkenEveryOtherRowByTheThemeStrength) {
    Open(300, 60, "XP Blue");  // strength 74
    samples_.Append(0.0, 0.0);
    DrawOne();
    const Rgb plainA = Pixel(10, 20);
    const Rgb plainB = Pixel(10, 21);

    view_->CreateScanline();
    DrawOne();
    const Rgb shadedA = Pixel(10, 20);
    const Rgb shadedB = Pixel(10, 21);
    const double keep = 1.0 - 74.0 / 255.0;
    // One of the two neighbouring rows is untouched, the other darkened by strength/255.
    const bool aDark = shadedA.b < plainA.b;
    const Rgb& dark = aDark ? shadedA : shadedB;
    const Rgb& darkPlain = aDark ? plainA : plainB;
    const Rgb& light = aDark ? shadedB : shadedA;
    const Rgb& lightPlain = aDark ? plainB : plainA;
    EXPECT_EQ(light, lightPlain);
    EXPECT_NEAR(dark.b, darkPlain.b * keep, 2.0);
    EXPECT_NEAR(dark.r, darkPlain.r * keep, 2.0);

    view_->DestroyScanline();
    DrawOne();
    EXPECT_EQ(Pixel(10, 20), plainA);
}

TEST_F(GraphPixelTest, SeriesIsDrawnAtTheHeightTheScaleGives) {
    Open(320, 120, "Green LCD");
    for (int i = 0; i < 200; ++i) {
        samples_.Append(5.0, 10.0);  // upload sets the shared scale to 10 at the first draw
    }
    DrawOne();  // rescales at once
    DrawOne();
    // Height 120, width 320: baseline 103, plot height 102. Download 5 of 10 sits at y = 52;
    // upload 10 of 10 at the top margin, y = 1.
    const Rgb download = ToRgb(themes_.CurrentColour(ColourSlot::Download));
    const Rgb upload = ToRgb(themes_.CurrentColour(ColourSlot::Upload));
    EXPECT_GT(CountColour(50, 55, download, 40), 100);
    EXPECT_EQ(CountColour(60, 100, download, 40), 0);
    EXPECT_GT(CountColour(0, 3, upload, 40), 100);
}

TEST_F(GraphPixelTest, SpeedTextAppearsInTextColourForEveryLayoutAndNotBelow80Pixels) {
    struct Case {
        int width;
        int height;
        bool text;
    };
    // Widths across the five layouts, and the two sizes that show none.
    const Case cases[] = {{320, 90, true}, {200, 62, true}, {150, 50, true}, {120, 40, true},
                          {90, 40, true},  {79, 40, false}, {200, 14, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        Open(c.width, c.height, "Red & Blue");  // black text on a near-white background
        samples_.Append(512.0, 1500.0);
        DrawOne();
        const int bottomStrip = c.height >= 40 ? c.height - 30 : 0;
        const int textPixels = CountColour(bottomStrip, c.height, {0, 0, 0});
        if (c.text) {
            EXPECT_GT(textPixels, 20);
        } else {
            EXPECT_EQ(textPixels, 0);
        }
        TearDown();
    }
}

TEST_F(GraphPixelTest, RendererSwitchKeepsTheScrollPosition) {
    Open(320, 90);
    samples_.Append(1.0, 1.0);
    for (int i = 0; i < 10; ++i) {
        view_->DrawFrame(samples_);
    }
    const float before = view_->Renderer()->Accumulator();
    EXPECT_GT(before, 0.0f);
    ASSERT_TRUE(view_->SetRenderer(kGraphBars));
    EXPECT_EQ(view_->Renderer()->Accumulator(), before);
    EXPECT_FALSE(view_->SetRenderer(704));  // unknown type: the bars stay
    EXPECT_NE(dynamic_cast<CBarRenderer*>(view_->Renderer()), nullptr);
}

}  // namespace

namespace {

TEST_F(GraphPixelTest, ComposedTextRunsGiveTheSamePixelsAsGlyphByGlyphPrinting) {
    struct Case {
        int width;
        double download;
        double upload;
    };
    const Case cases[] = {{320, 512.0, 1500.0},     {320, 0.0, 99.5},  {200, 2097152.0, 12.25},
                          {150, 1023.9, 1048576.0}, {120, 7.0, 150.0}, {90, 64.0, 3.5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " " << c.download << " " << c.upload);
        Open(c.width, 60, "Scarlet");  // white text and squares of other colours on black
        TextLayoutPlan plan;
        PlanTextLayout(ChooseTextLayout(c.width, 60), c.width, 60, c.download, c.upload, plan);
        std::vector<unsigned char> reference, composed;
        using Path = CTextOverlay::TextPath;
        // Twice through the texture: once as it is made, once as it is kept.
        for (Path path : {Path::Glyphs, Path::Bitmap, Path::Texture, Path::Texture}) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            text_.DrawPlan(plan, themes_, path);
            std::vector<unsigned char>& out = path == Path::Glyphs ? reference : composed;
            out.resize(static_cast<std::size_t>(c.width) * 60 * 4);
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            glReadPixels(0, 0, c.width, 60, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
            if (path != Path::Glyphs) {
                EXPECT_EQ(composed, reference) << static_cast<int>(path);
            }
        }
        EXPECT_GT(std::count(reference.begin(), reference.end(), 255), 100);  // text was drawn
        TearDown();
    }
}

}  // namespace

namespace {

TEST_F(GraphPixelTest, QuotaWarningBlinksThePictureEveryTwoSecondsWhileTheGraphKeepsPace) {
    Open(256, 64, "Deep Blue");
    samples_.Append(1.0, 1.0);
    const Rgb background = ToRgb(themes_.CurrentColour(ColourSlot::BackgroundTop));
    DrawOne();
    EXPECT_NEAR(Pixel(200, 0).b, background.b, 3);

    view_->SetQuotaWarning(true);
    clock_.Advance(1);
    DrawOne();  // the first frame after the flag raises the picture
    EXPECT_TRUE(view_->WarningPhase());
    const Rgb shown = Pixel(200, 2);  // the shipped picture is amber there
    EXPECT_GT(shown.r, 200);
    EXPECT_LT(shown.b, 60);
    const float scroll = view_->Renderer()->Accumulator();
    DrawOne();
    EXPECT_GT(view_->Renderer()->Accumulator(), scroll);  // still scrolling underneath

    clock_.Advance(2001);
    DrawOne();
    EXPECT_FALSE(view_->WarningPhase());
    EXPECT_NEAR(Pixel(200, 0).b, background.b, 3);
}

// A picture that cannot be read is told in a message box once the frame is over, never from
// inside the half-drawn frame, whose own event loop would run further frames.
TEST_F(GraphPixelTest, AnUnreadableWarningPictureIsToldAfterTheFrame) {
    Open(256, 64);
    TempDir dir;
    const std::string truncated = dir.Str() + "/warning.bmp";
    std::FILE* file = std::fopen(truncated.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("BM", file);  // the signature and nothing else
    std::fclose(file);
    CGraphView view(text_, themes_, clock_, truncated, CGraphView::Surface{}, 0, 0);
    view.Resize(256, 64);
    ASSERT_TRUE(view.SetRenderer(kGraphLines));
    samples_.Append(1.0, 1.0);
    view.SetQuotaWarning(true);
    MessageBoxes boxes;
    view.DrawFrame(samples_);  // returns: no box inside the frame
    EXPECT_TRUE(boxes.seen.empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.seen.empty(); }, 10000));
    EXPECT_EQ(boxes.seen.front().caption, "Error");
    view.DrawFrame(samples_);
    QCoreApplication::processEvents();
    EXPECT_EQ(boxes.seen.size(), 1u);  // once
}

}  // namespace

namespace {

// Two views over one window, fed alike: one draws every frame, the other only advances them (a
// window hidden in the tray). The advancing one must keep the very same pace and leave the
// picture and the screen alone.
TEST_F(GraphPixelTest, AdvancedFramesKeepThePaceOfDrawnOnesButDrawAndShowNothing) {
    struct Case {
        int graphType;
        bool quotaWarning;
    };
    const Case cases[] = {{kGraphLines, false},
                          {kGraphBars, false},
                          {kGraphDial, false},
                          {kGraphBars, true},
                          {kGraphDial, true}};
    const Rgb marker{255, 0, 255};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.graphType << (c.quotaWarning ? " warning" : ""));
        Open(221, 62);
        struct Counts {
            int swaps = 0;
        } seenCounts, unseenCounts;
        auto makeView = [&](Counts& counts) {
            CGraphView::Surface surface{[&counts] { ++counts.swaps; }};
            auto view = std::make_unique<CGraphView>(text_, themes_, clock_, TALLYGLASS_WARNING_BMP,
                                                     surface, 0, 0);
            view->Resize(221, 62);
            EXPECT_TRUE(view->SetRenderer(c.graphType));
            view->CreateScanline();
            view->SetQuotaWarning(c.quotaWarning);
            return view;
        };
        auto seen = makeView(seenCounts);
        auto unseen = makeView(unseenCounts);
        CSampleList seenList;
        CSampleList unseenList;
        constexpr int kFrames = 400;
        int samples = 0;
        for (int frame = 0; frame < kFrames; ++frame) {
            clock_.Advance(25);  // the warning picture flips every 80 frames
            const bool seenBetween = seen->DrawFrame(seenList);
            glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
            glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
            const bool unseenBetween = unseen->AdvanceFrame(unseenList);
            ASSERT_EQ(unseenBetween, seenBetween) << "frame " << frame;
            ASSERT_EQ(unseen->Renderer()->Accumulator(), seen->Renderer()->Accumulator());
            ASSERT_EQ(unseen->WarningPhase(), seen->WarningPhase()) << "frame " << frame;
            ASSERT_EQ(Pixel(110, 30), marker) << "the unseen frame drew, frame " << frame;
            if (!seenBetween) {
                ++samples;
                const double speed = 40.0 * (samples % 5);  // rescales the graph now and then
                seenList.Append(speed, speed / 2);
                unseenList.Append(speed, speed / 2);
            }
        }
        EXPECT_GE(samples, 6);
        // A frame that would show nothing visibly new is not shown; the others are.
        EXPECT_GT(seenCounts.swaps, kFrames / 20);
        EXPECT_LE(seenCounts.swaps, kFrames);
        EXPECT_EQ(unseenCounts.swaps, 0);
        seen.reset();
        unseen.reset();
        TearDown();
    }
}

}  // namespace

namespace {

std::vector<unsigned char> ReadWindow(int width, int height) {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// The line and bar graphs as the plain description draws them: a blended background, each bar
// primitive in its own glBegin, from the series the renderer placed for its last frame; the lines
// through every sample, or with each run at one height merged into one segment.
void DrawSeriesLiterally(const CScrollingRenderer& renderer, bool bars,
                         const CGraphGeometry& geometry, const CThemeTable& themes,
                         bool mergeRuns = true) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    if (bars) {
        glLineWidth(0.5f);
    }
    const float width = static_cast<float>(geometry.PlotWidth());
    const float height = static_cast<float>(geometry.Height());
    glBegin(GL_QUADS);
    SetColour(themes.CurrentColour(ColourSlot::BackgroundTop));
    glVertex2f(0.0f, 0.0f);
    glVertex2f(width, 0.0f);
    SetColour(themes.CurrentColour(ColourSlot::BackgroundBottom));
    glVertex2f(width, height);
    glVertex2f(0.0f, height);
    glEnd();
    if (!bars) {
        glLineWidth(2.0f);
        for (Flow flow : {Flow::Download, Flow::Upload}) {
            SetColour(themes.CurrentColour(flow == Flow::Download ? ColourSlot::Download
                                                                  : ColourSlot::Upload));
            glBegin(GL_LINE_STRIP);
            if (mergeRuns) {
                renderer.Series().ForEachLineVertex(flow,
                                                    [](float x, double y) { glVertex2d(x, y); });
            } else {
                for (int i = 0; i < renderer.Series().Count(); ++i) {
                    glVertex2d(renderer.Series().Point(i).x, renderer.Series().Y(flow, i));
                }
            }
            glEnd();
        }
        return;
    }
    CBarPlan plan;
    plan.Build(renderer.Series(), geometry.Baseline());
    for (const BarPrimitive& prim : plan) {
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

// Columns where two pictures differ must lie within two pixels of a sample of a run that merging
// made one segment: its joints, and its ends, whose segment is now longer.
void ExpectDifferencesOnlyAtMergedRuns(const std::vector<unsigned char>& merged,
                                       const std::vector<unsigned char>& jointed,
                                       const CSeriesPlan& series, int width) {
    std::vector<float> runs;
    for (Flow flow : {Flow::Download, Flow::Upload}) {
        std::vector<float> kept;
        series.ForEachLineVertex(flow, [&](float x, double) { kept.push_back(x); });
        auto removed = [&](int i) {
            return i >= 0 && i < series.Count() &&
                   std::find(kept.begin(), kept.end(), series.Point(i).x) == kept.end();
        };
        for (int i = 0; i < series.Count(); ++i) {
            if (removed(i - 1) || removed(i) || removed(i + 1)) {
                runs.push_back(series.Point(i).x);
            }
        }
    }
    for (std::size_t i = 0; i < merged.size(); i += 4) {
        if (std::equal(&merged[i], &merged[i] + 3, &jointed[i])) {
            continue;
        }
        const float column = static_cast<float>(static_cast<int>(i / 4) % width) + 0.5f;
        const bool nearRun = std::any_of(runs.begin(), runs.end(),
                                         [&](float x) { return std::fabs(x - column) <= 2.0f; });
        ASSERT_TRUE(nearRun) << "column " << column << " differs away from every merged run";
    }
}

// The background without blending, the bars in two batches and the labels from textures must not
// move a single pixel.
TEST_F(GraphPixelTest, CheaperBackgroundBarsAndLabelsGiveThePixelsOfTheLiteralDrawing) {
    struct Case {
        const char* theme;
        int width;
        int height;
        double (*download)(int);
        double (*upload)(int);
    };
    const Case cases[] = {
        {"Deep Blue", 320, 90, [](int i) { return 100.0 + (i * 37) % 500; },
         [](int i) { return 20.0 + (i * 13) % 90; }},
        // Equal heights, zero bars between tall ones, and a series above the scale.
        {"Scarlet", 221, 62, [](int i) { return i % 3 == 0 ? 0.0 : 40.0 * (i % 4); },
         [](int i) { return i % 3 == 1 ? 0.0 : 40.0 * (i % 4); }},
        {"Red & Blue", 150, 120, [](int i) { return i % 2 ? 5.0 : 7.5; },
         [](int i) { return i % 5 ? 7.5 : 5.0; }},
        {"Green LCD", 400, 300, [](int i) { return (i * 7919) % 1000 * 1.0; },
         [](int i) { return (i * 104729) % 1000 * 1.0; }},
    };
    for (const Case& c : cases) {
        Open(c.width, c.height, c.theme);
        for (int i = 0; i < 300; ++i) {
            samples_.Append(c.download(i), c.upload(i));
        }
        for (int graphType : {kGraphLines, kGraphBars}) {
            ASSERT_TRUE(view_->SetRenderer(graphType));
            // Several scroll positions, and a rescale on the way (the first draw of a renderer).
            for (int frame = 0; frame < 40; ++frame) {
                SCOPED_TRACE(testing::Message()
                             << c.theme << " " << graphType << " frame " << frame);
                view_->ForgetShownFrame();
                if (!view_->DrawFrame(samples_)) {
                    continue;
                }
                if (frame % 7 != 1) {
                    continue;
                }
                const std::vector<unsigned char> cheap = ReadWindow(width_, height_);
                const auto& renderer = dynamic_cast<const CScrollingRenderer&>(*view_->Renderer());
                DrawSeriesLiterally(renderer, graphType == kGraphBars, view_->Geometry(), themes_);
                // The labels glyph by glyph from the fonts' display lists.
                TextLayoutPlan labels;
                PlanTextLayout(ChooseTextLayout(width_, height_), width_, height_,
                               samples_.Newest()->download, samples_.Newest()->upload, labels);
                text_.DrawPlan(labels, themes_, CTextOverlay::TextPath::Glyphs);
                ASSERT_TRUE(cheap == ReadWindow(width_, height_));
                if (graphType == kGraphLines) {
                    // Through every sample instead, only pixels at the merged runs differ.
                    DrawSeriesLiterally(renderer, false, view_->Geometry(), themes_, false);
                    text_.DrawPlan(labels, themes_, CTextOverlay::TextPath::Glyphs);
                    ExpectDifferencesOnlyAtMergedRuns(cheap, ReadWindow(width_, height_),
                                                      renderer.Series(), width_);
                }
            }
        }
        TearDown();
    }
}

bool SameButLastColumn(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b,
                       int width) {
    for (std::size_t i = 0; i < a.size(); i += 4) {
        if (static_cast<int>(i / 4) % width != width - 1 && !std::equal(&a[i], &a[i] + 3, &b[i])) {
            return false;
        }
    }
    return true;
}

// Two views over one window, fed alike: `kept` shows only frames a viewer can tell apart from
// the one on the screen, `truth` draws every frame. Whenever `kept` shows a frame it is exactly
// what `truth` draws then; a graph that stands still is exactly right after every frame, though
// it is shown once; a moving one is shown once every quarter pixel of scroll.
TEST_F(GraphPixelTest, OnlyFramesAViewerCanTellApartAreShownAndEachIsExact) {
    struct Case {
        const char* name;
        int graphType;
        bool scanlines;
        bool warning;
        double (*download)(int sample);
        bool still;  // the screen must equal `truth` after every frame
        int fewest;  // swaps of 300 frames
        int mostSwaps;
    };
    auto none = [](int) { return 0.0; };
    auto steady = [](int) { return 40.0; };
    const Case cases[] = {
        {"bars without traffic", kGraphBars, true, false, none, true, 1, 2},
        {"lines without traffic", kGraphLines, false, false, none, true, 1, 2},
        {"lines with steady traffic", kGraphLines, true, false, steady, true, 1, 4},
        {"bars, traffic that stops", kGraphBars, false, false,
         [](int s) { return s < 3 ? 50.0 : 0.0; }, false, 50, 70},
        {"lines with traffic", kGraphLines, true, false, [](int s) { return 10.0 * (s % 4); },
         false, 40, 60},
        {"warning picture over lines", kGraphLines, false, true, none, true, 3, 6},
        {"warning picture over bars", kGraphBars, true, true, none, true, 3, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open(221, 62);
        int keptSwaps = 0;
        int truthSwaps = 0;
        auto makeView = [&](int& swaps, CSampleList& list) {
            CGraphView::Surface surface{[&swaps] { ++swaps; }};
            auto view = std::make_unique<CGraphView>(text_, themes_, clock_, TALLYGLASS_WARNING_BMP,
                                                     surface, 0, 0);
            view->Resize(221, 62);
            EXPECT_TRUE(view->SetRenderer(c.graphType));
            if (c.scanlines) {
                view->CreateScanline();
            }
            view->SetQuotaWarning(c.warning);
            // Enough history to fill the window, as a meter that has run a minute has.
            for (int i = 0; i < 100; ++i) {
                list.Append(c.download(0), c.download(0) / 2);
            }
            return view;
        };
        CSampleList keptList;
        CSampleList truthList;
        auto kept = makeView(keptSwaps, keptList);
        auto truth = makeView(truthSwaps, truthList);
        std::vector<unsigned char> screen;
        int samples = 0;
        int swapsAtForget = -1;
        for (int frame = 0; frame < 300; ++frame) {
            SCOPED_TRACE(testing::Message() << "frame " << frame);
            clock_.Advance(25);  // the warning picture flips every 80 frames
            if (frame == 150) {
                kept->ForgetShownFrame();  // as an expose does
                swapsAtForget = keptSwaps;
            }
            const int swapsBefore = keptSwaps;
            const bool keptBetween = kept->DrawFrame(keptList);
            const bool shown = keptSwaps != swapsBefore;
            if (shown) {
                screen = ReadWindow(221, 62);
            }
            if (frame == 150) {
                EXPECT_TRUE(shown) << "a forgotten frame is shown again";
            }
            truth->ForgetShownFrame();
            ASSERT_EQ(truth->DrawFrame(truthList), keptBetween);
            ASSERT_FALSE(screen.empty());
            if (shown) {
                ASSERT_TRUE(screen == ReadWindow(221, 62));
            } else if (c.still) {
                // The last frame of a step leaves the line's newest end a twentieth of a pixel
                // short of the right side: the one motion below a quarter pixel a still graph
                // has, in its last column.
                ASSERT_TRUE(SameButLastColumn(screen, ReadWindow(221, 62), 221));
            }
            if (!keptBetween) {
                const double down = c.download(++samples);
                keptList.Append(down, down / 2);
                truthList.Append(down, down / 2);
            }
        }
        EXPECT_EQ(truthSwaps, 300);
        EXPECT_GE(keptSwaps, c.fewest);
        EXPECT_LE(keptSwaps, c.mostSwaps);
        EXPECT_GE(swapsAtForget, 0);
        kept.reset();
        truth.reset();
        TearDown();
    }
}

}  // namespace

namespace {

// Moved to a screen of another scale, a window that showed a still graph draws again, with
// glyphs rasterised for the new screen and the same layout.
TEST_F(GraphPixelTest, AScreenOfAnotherScaleRedrawsWithGlyphsForIt) {
    Open(320, 90);
    double ratio = 1.0;
    CGraphView view(text_, themes_, clock_, TALLYGLASS_WARNING_BMP,
                    CGraphView::Surface{{}, [&ratio] { return ratio; }}, 0, 0);
    view.Resize(320, 90);
    ASSERT_TRUE(view.SetRenderer(kGraphLines));
    samples_.Append(0.0, 0.0);
    auto frameShown = [&] {
        view.AdvanceFrame(samples_);
        if (!view.PictureChanged(samples_)) {
            return false;
        }
        view.ShowPicture(samples_);
        return true;
    };
    ASSERT_TRUE(frameShown());
    EXPECT_FALSE(frameShown());  // nothing moves: nothing to show

    const struct {
        double ratio;
        int largeFont;
    } screens[] = {{2.0, 28}, {1.5, 21}, {1.0, 14}};
    for (const auto& screen : screens) {
        ratio = screen.ratio;
        EXPECT_TRUE(frameShown()) << screen.ratio;
        EXPECT_EQ(view.DrawnPixelRatio(), screen.ratio);
        EXPECT_EQ(text_.Font(TextFont::Large).PixelHeight(), screen.largeFont);
        EXPECT_FALSE(frameShown()) << screen.ratio;
    }
}

}  // namespace

// A resize may come with no frame due; the still picture shown then is the new size's, not the
// old size's until the next sample.
TEST_F(GraphPixelTest, AResizeBetweenFramesShowsThePictureOfTheNewSize) {
    for (const int graphType : {kGraphLines, kGraphBars, kGraphDial}) {
        SCOPED_TRACE(graphType);
        Open(300, 120);
        ASSERT_TRUE(view_->SetRenderer(graphType));
        CGraphWindow::ResizeGL(221, 62);
        view_->Resize(221, 62);
        CSampleList idle;
        for (int i = 0; i < 100; ++i) {
            idle.Append(0.0, 0.0);  // a line across the widest window
        }
        for (int frame = 0; frame < 300; ++frame) {
            clock_.Advance(11);
            if (!view_->DrawFrame(idle)) {
                idle.Append(0.0, 0.0);
            }
        }
        CGraphWindow::ResizeGL(300, 120);
        view_->Resize(300, 120);
        ASSERT_TRUE(view_->PictureChanged(idle));
        view_->ShowPicture(idle);
        const std::vector<unsigned char> resized = ReadWindow(300, 120);
        // The next frame of the still graph, drawn in full, shows the same.
        view_->ForgetShownFrame();
        bool drawn = false;
        for (int frame = 0; frame < 3 && !drawn; ++frame) {
            clock_.Advance(11);
            drawn = view_->DrawFrame(idle);
        }
        ASSERT_TRUE(drawn);
        // A still line's newest end may move below a quarter pixel, in the last column.
        EXPECT_TRUE(SameButLastColumn(resized, ReadWindow(300, 120), 300));
        TearDown();
    }
}
