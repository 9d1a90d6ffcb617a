#pragma once

// Graph type ids as the settings file stores them.
inline constexpr int kGraphLines = 701;
inline constexpr int kGraphBars = 702;
inline constexpr int kGraphDial = 703;  // not offered in the Graph Type list

// What the settings set on the graph view: its saved position and size, its frame delay and its
// renderer. The graph view implements it; tests use a fake.
class IGraphSettingsTarget {
public:
    virtual ~IGraphSettingsTarget() = default;

    virtual void SetPosition(int x, int y) = 0;
    virtual void SetHeight(int height) = 0;
    virtual void SetWidth(int width) = 0;

    // Milliseconds slept after each frame.
    virtual void SetFrameDelay(int ms) = 0;
    virtual int FrameDelay() const = 0;

    // Creates the renderer for a graph type (701 lines, 702 bars, 703 dial), which takes over the
    // old renderer's scroll position. Any other value changes nothing and gives false.
    virtual bool SetRenderer(int graphType) = 0;

    // The window as it is now, for keeping its rectangle on Apply.
    virtual int Left() const = 0;
    virtual int Top() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;

protected:
    IGraphSettingsTarget() = default;
    IGraphSettingsTarget(const IGraphSettingsTarget&) = default;
    IGraphSettingsTarget& operator=(const IGraphSettingsTarget&) = default;
};
