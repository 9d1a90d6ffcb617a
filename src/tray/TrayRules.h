#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The tray pictures, by their resource numbers.
constexpr int kTrayIconIdle = 117;
constexpr int kTrayIconDownUp = 119;
constexpr int kTrayIconUp = 120;
constexpr int kTrayIconDown = 121;

// The picture for the latest speeds (KB/s): a direction counts as busy above 0.
int TrayIconForRates(double downloadRate, double uploadRate);

// A tooltip holds at most this many bytes.
constexpr std::size_t kTrayTipBytes = 127;

// `text` cut to at most `maxBytes` bytes of UTF-8, never inside a character.
std::string CutTrayTip(std::string_view text, std::size_t maxBytes = kTrayTipBytes);

// What the tray icon shows: the traffic picture, or the speeds written into it (for trays that
// never show a tooltip).
enum class TrayFace { Picture = 0, Speeds = 1 };

// The face a stored number names; an unknown number is the picture, the face a new user gets.
TrayFace TrayFaceFromNumber(int number);
