#include "graph/TextLayoutPlan.h"

#include <cstdio>

#include "core/Formatters.h"

namespace {

struct Position {
    float x;
    float y;
};

struct Span {
    float from;
    float to;
};

// Something chosen by a displayed value: below 10, below 100, 100 and more.
template <typename T>
struct ByMagnitude {
    T units;
    T tens;
    T hundreds;

    T For(double displayed) const {
        if (displayed < 10.0) {
            return units;
        }
        if (displayed < 100.0) {
            return tens;
        }
        return hundreds;
    }
};

void AddPiece(TextRun& run, TextFont font, const char* text) {
    TextPiece& piece = run.pieces[run.pieceCount++];
    piece.font = font;
    std::snprintf(piece.text, sizeof piece.text, "%s", text);
}

// Label (optional), number and unit, the number in its own font.
void AddSpeed(TextRun& run, const char* label, TextFont labelFont, TextFont numberFont,
              const LabelSpeed& speed) {
    if (label) {
        AddPiece(run, labelFont, label);
    }
    AddPiece(run, numberFont, speed.number);
    AddPiece(run, labelFont, speed.unit);
}

TextRun& NewRun(TextLayoutPlan& plan, float originX, float originY, Position raster) {
    TextRun& run = plan.runs[plan.runCount++];
    run = TextRun{};
    run.originX = originX;
    run.originY = originY;
    run.rasterX = raster.x;
    run.rasterY = raster.y;
    return run;
}

}  // namespace

int FontPixelHeight(TextFont font) {
    switch (font) {
        case TextFont::Large:
            return 14;
        case TextFont::Label:
            return 12;
        case TextFont::Small:
            return 10;
        case TextFont::Tiny:
            break;
    }
    return 8;
}

TextLayout ChooseTextLayout(int width, int height) {
    if (width < 80 || height < 15) {
        return TextLayout::None;
    }
    if (width < 110) {
        return TextLayout::Compact;
    }
    if (width < 130) {
        return TextLayout::NumbersTiny;
    }
    if (width < 180) {
        return TextLayout::Numbers;
    }
    if (width < 260) {
        return TextLayout::Labelled;
    }
    return TextLayout::Wide;
}

LabelSpeed FormatLabelSpeed(double kbPerSecond) {
    LabelSpeed speed;
    const ScaledRate rate = ScaleRate(kbPerSecond);
    speed.displayed = rate.value;
    speed.unit = rate.unit;
    // The graph's words are English, so are its numbers, whatever the user's locale.
    std::snprintf(speed.number, sizeof speed.number, "%s ",
                  OneDecimalText(rate.value, DecimalMark::Point).c_str());
    return speed;
}

void PlanTextLayout(TextLayout layout, int width, int height, double download, double upload,
                    TextLayoutPlan& plan) {
    plan = TextLayoutPlan{};
    plan.layout = layout;
    if (layout == TextLayout::None) {
        return;
    }

    const LabelSpeed down = FormatLabelSpeed(download);
    const LabelSpeed up = FormatLabelSpeed(upload);
    const float originX = 3.0f;
    const float originY = static_cast<float>(height - 3);

    // The upload block moves further in from the right edge once the raw upload needs three
    // digits.
    auto anchorX = [&](float nearDistance) {
        const float distance = upload < 100.0 ? nearDistance : kRightOffset + 7.0f;
        return static_cast<float>(width - static_cast<int>(distance));
    };

    switch (layout) {
        case TextLayout::Wide: {
            TextRun& downRun = NewRun(plan, originX, originY, {11.0f, 0.0f});
            downRun.hasSquare = true;
            downRun.square = {ColourSlot::Download, 0.0f, -9.0f, 9.0f, 0.0f};
            AddSpeed(downRun, "Down: ", TextFont::Label, TextFont::Large, down);

            const ByMagnitude<Position> raster{{-3.0f, 0.0f}, {-14.0f, 0.0f}, {-18.0f, 0.0f}};
            const ByMagnitude<Span> squareX{{-13.0f, -5.0f}, {-23.0f, -15.0f}, {-27.0f, -19.0f}};
            const Span edges = squareX.For(up.displayed);
            TextRun& upRun = NewRun(plan, anchorX(kRightOffset), originY, raster.For(up.displayed));
            upRun.hasSquare = true;
            upRun.square = {ColourSlot::Upload, edges.from, -9.0f, edges.to, 0.0f};
            AddSpeed(upRun, "Up: ", TextFont::Label, TextFont::Large, up);
            break;
        }
        case TextLayout::Labelled: {
            TextRun& downRun = NewRun(plan, originX, originY, {-0.5f, -0.4f});
            AddSpeed(downRun, "D: ", TextFont::Small, TextFont::Label, down);
            const ByMagnitude<Position> raster{{7.0f, 0.0f}, {-2.0f, 0.0f}, {4.0f, 0.0f}};
            TextRun& upRun =
                NewRun(plan, anchorX(kRightOffset - 9.0f), originY, raster.For(up.displayed));
            AddSpeed(upRun, "U: ", TextFont::Small, TextFont::Label, up);
            break;
        }
        case TextLayout::Numbers:
        case TextLayout::NumbersTiny: {
            const bool tiny = layout == TextLayout::NumbersTiny;
            const TextFont font = tiny ? TextFont::Tiny : TextFont::Small;
            TextRun& downRun = NewRun(plan, originX, originY, {-0.5f, -0.4f});
            AddSpeed(downRun, nullptr, font, font, down);
            const ByMagnitude<Position> raster =
                tiny ? ByMagnitude<Position>{{10.0f, 0.0f}, {4.0f, 0.0f}, {37.0f, 0.0f}}
                     : ByMagnitude<Position>{{2.0f, 0.0f}, {-5.0f, 0.0f}, {28.0f, 0.0f}};
            TextRun& upRun =
                NewRun(plan, anchorX(kRightOffset - 34.0f), originY, raster.For(up.displayed));
            AddSpeed(upRun, nullptr, font, font, up);
            break;
        }
        case TextLayout::Compact: {
            // Two lines centred on the window, both from the same origin.
            const float middle = static_cast<float>(width / 2);
            const ByMagnitude<Position> raster{
                {middle - 31.0f, 0.0f}, {middle - 34.0f, 0.0f}, {middle - 38.0f, 0.0f}};
            Position at = raster.For(down.displayed);
            at.y = -11.0f;
            TextRun& downRun = NewRun(plan, originX, originY, at);
            AddSpeed(downRun, "D: ", TextFont::Tiny, TextFont::Small, down);
            TextRun& upRun = NewRun(plan, originX, originY, raster.For(up.displayed));
            AddSpeed(upRun, "U: ", TextFont::Tiny, TextFont::Small, up);
            break;
        }
        case TextLayout::None:
            break;
    }
}
