#pragma once

// Where a picture goes in an area it must fit whole: as large as fits with its aspect ratio
// kept, centred; the rest of the area is left to the caller's background.
struct PictureRect {
    float left = 0.0f;
    float top = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    float scale = 0.0f;  // picture pixels to area pixels
};

PictureRect FitPicture(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight);

// How many times over each picture pixel is repeated before the last, smoothed step of an
// enlargement by `scale`: the whole part of it, at least 1. Repeating keeps the edges sharp
// where smoothing alone would blur them over several pixels, and smoothing the rest keeps the
// pixels even where repeating alone would make some rows twice as tall as others.
int WholeEnlargement(float scale);
