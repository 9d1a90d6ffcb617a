#pragma once

#include <QRect>

#include <GL/gl.h>

#include <ostream>
#include <vector>

#include "statistics/CStatisticsChart.h"

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "(" << c.r << "," << c.g << "," << c.b << ")";
}

// Colours as the chart's smooth, blended lines leave them over the blue background.
inline bool IsGreen(const Rgb& c) {
    return c.g > c.b + 40 && c.g > c.r + 40;
}
inline bool IsYellow(const Rgb& c) {
    return c.r > c.b + 40 && c.g > c.b + 40;
}
inline bool IsLine(const Rgb& c) {
    return IsGreen(c) || IsYellow(c);
}
inline bool IsWhite(const Rgb& c) {
    return c.r > 225 && c.g > 225 && c.b > 225;
}
// The dark blue of the chart's texts.
inline bool IsText(const Rgb& c) {
    return c.r < 60 && c.g < 70 && c.b < 110;
}

// The chart's picture, drawn again into its back buffer and read back whole. Positions are
// given in the chart's own coordinates (-1..1, y up) as they land on the screen, or in pixels
// counted from the top-left corner.
class ChartPixels {
public:
    explicit ChartPixels(CStatisticsChart& chart) : width_(chart.width()), height_(chart.height()) {
        rendered_ = chart.Render();
        pixels_.resize(static_cast<std::size_t>(width_) * height_ * 4);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels_.data());
    }

    bool Rendered() const { return rendered_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    int Column(double x) const { return static_cast<int>((x + 1.0) / 2.0 * width_); }
    int Row(double y) const { return height_ - 1 - static_cast<int>((y + 1.0) / 2.0 * height_); }

    Rgb At(int column, int row) const {
        const std::size_t i = (static_cast<std::size_t>(height_ - 1 - row) * width_ + column) * 4;
        return {pixels_[i], pixels_[i + 1], pixels_[i + 2]};
    }

    // The first row from the top in a column whose pixel matches, or -1.
    template <typename Match>
    int TopmostRow(int column, Match match) const {
        for (int row = 0; row < height_; ++row) {
            if (match(At(column, row))) {
                return row;
            }
        }
        return -1;
    }

    template <typename Match>
    int Count(const QRect& area, Match match) const {
        int count = 0;
        for (int row = std::max(0, area.top()); row <= std::min(height_ - 1, area.bottom());
             ++row) {
            for (int column = std::max(0, area.left());
                 column <= std::min(width_ - 1, area.right()); ++column) {
                count += match(At(column, row)) ? 1 : 0;
            }
        }
        return count;
    }

private:
    int width_;
    int height_;
    bool rendered_ = false;
    std::vector<unsigned char> pixels_;
};
