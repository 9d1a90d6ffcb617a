#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "channel/MeterStatus.h"

// The lines spoken on the running meter's local socket, by both ends. Every line ends with "\n".
//
// A client sends one request and nothing after it:
//   "tallyglass 1 show"    the meter shows its window and answers "tallyglass 1 shown"
//   "tallyglass 1 status"  the meter answers one status line and closes
//   "tallyglass 1 follow"  one status line now and one after every sample, until either end goes
// A status line:
//   "tallyglass 1 status sample=N down=KB/s up=KB/s today_down=MB today_up=MB session_down=MB
//    session_up=MB [quota=% exceeded=0|1 [projected=%] limit=total|download|upload]"
// in one line, numbers in their shortest exact form with "." whatever the locale. A reader skips
// fields it does not know, so the meter may tell more without a new version. The meter closes
// the connection of a request that is longer than kMaxRequestLength, not of this form or of
// another version.

inline constexpr int kChannelVersion = 1;
// With its line end. Far longer than any request of ours.
inline constexpr std::size_t kMaxRequestLength = 256;
// With its line end. A status line takes about 200 bytes.
inline constexpr std::size_t kMaxAnswerLength = 1024;

enum class ChannelVerb { Show, Status, Follow };
enum class RequestCheck { Valid, Malformed, UnknownVersion };

// Reads one request line (its line end included). Only the exact form above is valid; a line of
// that form with another version number is UnknownVersion.
RequestCheck ParseChannelRequest(std::string_view line, ChannelVerb& verb);
std::string ChannelRequest(ChannelVerb verb);

std::string ShownAnswer();

std::string EncodeStatusAnswer(const MeterStatus& status);
// False for anything but one status line of this version with every required field once and
// finite numbers; `status` is then unchanged.
bool DecodeStatusAnswer(std::string_view line, MeterStatus& status);
