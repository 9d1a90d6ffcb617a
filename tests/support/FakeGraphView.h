#pragma once

#include <string>
#include <vector>

#include "appearance/IGraphSettingsTarget.h"

// Records every call the settings make on the graph view. Renderers exist for 701-703 only.
class FakeGraphView final : public IGraphSettingsTarget {
public:
    void SetPosition(int x, int y) override { Log("position", x, y); }
    void SetHeight(int h) override { Log("height", h); }
    void SetWidth(int w) override { Log("width", w); }
    void SetFrameDelay(int ms) override { Log("delay", frameDelay = ms); }
    int FrameDelay() const override { return frameDelay; }
    bool SetRenderer(int graphType) override {
        Log("renderer", graphType);
        const bool known = graphType >= 701 && graphType <= 703;
        renderer = known ? graphType : renderer;
        return known;
    }
    int Left() const override { return left; }
    int Top() const override { return top; }
    int Width() const override { return width; }
    int Height() const override { return height; }

    void Log(std::string call, int a, int b = 0) {
        calls.push_back(call + " " + std::to_string(a) +
                        (call == "position" ? " " + std::to_string(b) : ""));
    }

    std::vector<std::string> calls;
    int frameDelay = 0;
    int renderer = 0;  // none yet
    int left = 0, top = 0, width = 0, height = 0;
};
