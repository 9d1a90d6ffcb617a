#pragma once

#include <string>

// A speed given in MB/s as the tooltip shows it: "512.0 KB/s", "1.0 MB/s", "2.0 GB/s", ...
std::string FormatSpeed(double megabytesPerSecond);
