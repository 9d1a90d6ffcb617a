#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QString>

// The tray icon's speeds face: the download speed over the upload speed, each a short text
// ("1.2M" over "34K") in its theme colour on the theme's background, so the two colours read
// as they do in the graph whatever the panel's own colour.

struct SpeedIconColours {
    QColor download;
    QColor upload;
    QColor background;

    friend bool operator==(const SpeedIconColours&, const SpeedIconColours&) = default;
};

// The sizes trays ask for, each also drawn at twice the pixels for scaled screens.
inline constexpr int kSpeedIconSizes[] = {16, 22, 24, 32};

// One picture, `size` pixels square at `ratio` device pixels per pixel. The texts are drawn
// right-aligned in a layout that depends on the size only, never on the figures: a text padded
// with figure spaces keeps its place from sample to sample.
QImage PaintSpeedImage(const QString& download, const QString& upload,
                       const SpeedIconColours& colours, int size, qreal ratio);

// The icon, drawn for whatever size it is asked for; kSpeedIconSizes are the sizes it offers a
// tray host that takes pictures rather than drawing the icon itself.
QIcon SpeedIcon(const QString& download, const QString& upload, const SpeedIconColours& colours);
