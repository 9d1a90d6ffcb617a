#include "webstats/WebStatsFields.h"

#include <cctype>

#include "core/TrimSpace.h"

namespace {

std::string_view StripBoth(std::string_view text, char c) {
    while (!text.empty() && text.front() == c) {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == c) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

int UploadIntervalIndex(int milliseconds) {
    for (std::size_t i = 0; i < kUploadIntervals.size(); ++i) {
        if (kUploadIntervals[i].milliseconds == milliseconds) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string NormaliseRemotePath(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    std::string path(StripBoth(text, '"'));
    if (path.empty() || path.front() != '/') {
        path.insert(path.begin(), '/');
    }
    if (path.back() != '/') {
        path.push_back('/');
    }
    return path;
}

std::string NormaliseFileName(std::string_view text) {
    std::string_view name = TrimSpace(text);
    name = StripBoth(name, '"');
    name = StripBoth(name, '\\');
    name = StripBoth(name, '/');
    return std::string(name);
}

bool IsPageFileName(std::string_view normalised) {
    const std::size_t slash = normalised.rfind('/');
    const std::string_view last =
        slash == std::string_view::npos ? normalised : normalised.substr(slash + 1);
    return !last.empty() && last != "." && last != "..";
}

bool ParsePortText(std::string_view text, int& port) {
    std::size_t i = 0;
    while (i < text.size() && kWhiteSpace.find(text[i]) != std::string_view::npos) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) {
        return false;
    }
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            return false;
        }
        value = value * 10 + (text[i] - '0');
        if (value > 65536) {
            return false;  // also keeps long digit strings from overflowing
        }
    }
    if (negative) {
        value = -value;
    }
    if (value < 0) {
        return false;
    }
    port = static_cast<int>(value);
    return true;
}
