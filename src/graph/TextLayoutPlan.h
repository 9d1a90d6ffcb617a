#pragma once

#include "appearance/ColourRgb.h"

// The speed labels along the bottom of the graph, planned without drawing: which squares and
// texts go where for one layout, window size and pair of speeds. The plan has a fixed size and
// holds its texts itself, so planning every frame allocates nothing.

enum class TextLayout { None, Compact, NumbersTiny, Numbers, Labelled, Wide };

// The four bitmap fonts, all bold.
enum class TextFont { Large, Label, Small, Tiny };

// Character height in pixels: 14, 12, 10 and 8.
int FontPixelHeight(TextFont font);

// The layout for a client size: none below 80 x 15, then by width.
TextLayout ChooseTextLayout(int width, int height);

// One speed in the unit the labels show it in.
struct LabelSpeed {
    double displayed = 0.0;  // the number after scaling to the unit
    char number[32] = {};    // "%3.1f " of it, with "." whatever the locale
    const char* unit = "";   // "KB/s", "MB/s" or "GB/s"
};

// Below 1024 KB/s in KB/s, up to and including 1048576 KB/s in MB/s, above that in GB/s.
LabelSpeed FormatLabelSpeed(double kbPerSecond);

struct TextPiece {
    TextFont font = TextFont::Large;
    char text[32] = {};
};

// A filled square in a theme colour, in pixels relative to its run's origin.
struct TextSquare {
    ColourSlot colour = ColourSlot::Download;
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
};

// One block of text. Drawing it: load the identity and translate to the origin; make the text
// colour current and set the raster position (the raster takes its colour then); draw the square,
// if any, in its own colour; print the pieces one after another from that raster position.
struct TextRun {
    float originX = 0.0f;
    float originY = 0.0f;
    float rasterX = 0.0f;
    float rasterY = 0.0f;
    bool hasSquare = false;
    TextSquare square;
    int pieceCount = 0;
    TextPiece pieces[3];
};

struct TextLayoutPlan {
    TextLayout layout = TextLayout::None;
    int runCount = 0;
    TextRun runs[2];  // download first, then upload
};

// Distance from the right edge at which the upload block is anchored, before each layout's
// adjustment.
inline constexpr float kRightOffset = 88.0f;

// Plans `layout` for a W x H client area; speeds in KB/s. None gives an empty plan.
void PlanTextLayout(TextLayout layout, int width, int height, double download, double upload,
                    TextLayoutPlan& plan);
