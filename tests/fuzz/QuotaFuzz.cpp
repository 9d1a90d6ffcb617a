// The quota reader on any bytes: every value it keeps lies in the range its field takes, and
// what it read, saved and read again is read whole and saves the same text.

#include <cmath>
#include <cstdint>

#include "FuzzSupport.h"
#include "persistence/CQuotaFile.h"

namespace {

bool UsableLimit(double value) {
    return value == -1.0 || (std::isfinite(value) && value >= 0.0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QuotaValues read;
    ParseQuota(AsText(data, size), read);
    FUZZ_CHECK(read.resetDay == -1 || (read.resetDay >= 1 && read.resetDay <= 31));
    FUZZ_CHECK(read.nextPeriodDay >= 0 && read.nextPeriodDay <= 31);
    FUZZ_CHECK(read.nextPeriodMonth >= 0 && read.nextPeriodMonth <= 12);
    FUZZ_CHECK(read.nextPeriodYear >= 0 && read.nextPeriodYear <= 9999);
    FUZZ_CHECK(UsableLimit(read.allowedTotal));
    FUZZ_CHECK(UsableLimit(read.allowedUpload));
    FUZZ_CHECK(UsableLimit(read.allowedDownload));
    FUZZ_CHECK(std::isfinite(read.uploaded) && read.uploaded >= 0.0);
    FUZZ_CHECK(std::isfinite(read.downloaded) && read.downloaded >= 0.0);

    const std::string saved = FormatQuota(read);
    QuotaValues reread;
    FUZZ_CHECK(ParseQuota(saved, reread));
    FUZZ_CHECK(FormatQuota(reread) == saved);
    return 0;
}
