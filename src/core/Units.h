#pragma once

// Traffic units: powers of 1024 throughout.
inline constexpr double kBytesPerKB = 1024.0;
inline constexpr double kBytesPerMB = 1048576.0;
inline constexpr double kKBPerMB = 1024.0;
inline constexpr double kMBPerGB = 1024.0;
inline constexpr double kMBPerTB = 1048576.0;
