#include "tray/TrayRules.h"

int TrayIconForRates(double downloadRate, double uploadRate) {
    const bool down = downloadRate > 0.0;
    const bool up = uploadRate > 0.0;
    if (down && up) {
        return kTrayIconDownUp;
    }
    if (down) {
        return kTrayIconDown;
    }
    return up ? kTrayIconUp : kTrayIconIdle;
}

std::string CutTrayTip(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return std::string(text);
    }
    // The first byte left out must start a character; step back over continuation bytes.
    std::size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return std::string(text.substr(0, cut));
}

TrayFace TrayFaceFromNumber(int number) {
    return number == static_cast<int>(TrayFace::Speeds) ? TrayFace::Speeds : TrayFace::Picture;
}
