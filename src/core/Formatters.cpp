#include "core/Formatters.h"

#include <cstdio>

#include "core/Units.h"

std::string FormatSpeed(double x) {
    char text[64];
    if (x > 100000.0) {
        // Beyond any real link: a glitch, shown as nothing.
        std::snprintf(text, sizeof text, "%3.1f KB/s", 0.0);
    } else if (x < 1.0) {
        std::snprintf(text, sizeof text, "%3.1f KB/s", x * kKBPerMB);
    } else if (x < kMBPerGB) {
        std::snprintf(text, sizeof text, "%3.1f MB/s", x);
    } else if (x < kMBPerTB) {
        std::snprintf(text, sizeof text, "%3.1f GB/s", x / kMBPerGB);
    } else {
        std::snprintf(text, sizeof text, "%3.1f TB/s", x / kMBPerTB);
    }
    return text;
}
