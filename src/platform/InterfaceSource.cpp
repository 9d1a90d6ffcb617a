#include "platform/InterfaceSource.h"

#include <algorithm>

bool IsExcludedBy(std::span<const std::string> excluded, std::string_view description) {
    const auto has = [&](std::string_view entry) {
        return std::find(excluded.begin(), excluded.end(), entry) != excluded.end();
    };
    if (has(KeptDespitePattern(description))) {
        return false;
    }
    return std::any_of(excluded.begin(), excluded.end(), [&](const std::string& entry) {
        if (!entry.empty() && entry.back() == '*') {
            return description.starts_with(std::string_view(entry).substr(0, entry.size() - 1));
        }
        return entry == description;
    });
}

std::string KeptDespitePattern(std::string_view description) {
    return "!" + std::string(description);
}
