#pragma once

#include <cstdint>

// Real time in whole seconds since 1970 (UTC): what the hourly figures are filed under.
class UtcClock {
public:
    virtual ~UtcClock() = default;
    virtual std::int64_t NowUtc() const = 0;
};

class SystemUtcClock final : public UtcClock {
public:
    std::int64_t NowUtc() const override;
};
