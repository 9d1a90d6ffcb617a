// The settings reader on any bytes: the frame delay it hands on keeps the window moving, and
// what it read, saved and read again, saves the same text (nothing shifts from one line to the
// next, nothing grows from one save to the next).

#include <cstdint>

#include "FuzzSupport.h"
#include "persistence/CSettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SettingsValues read;  // the starting values of a first run
    ParseSettings(AsText(data, size), read);
    FUZZ_CHECK(read.frameDelay >= kMinFrameDelay && read.frameDelay <= kMaxFrameDelay);
    FUZZ_CHECK(read.excludedDescriptions.size() <= size);

    const std::string saved = FormatSettings(read);
    SettingsValues reread;
    ParseSettings(saved, reread);
    FUZZ_CHECK(FormatSettings(reread) == saved);
    FUZZ_CHECK(reread.excludedDescriptions.size() == read.excludedDescriptions.size());
    return 0;
}
