#include "platform/HeapRelease.h"

#include <cstdlib>
#include <cstring>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {
// glibc's own starting values of both thresholds.
constexpr int kMmapThreshold = 128 * 1024;
constexpr int kTrimThreshold = 128 * 1024;
}  // namespace

bool HeapTunedByUser(const char* mmapThreshold, const char* trimThreshold, const char* tunables) {
    return mmapThreshold != nullptr || trimThreshold != nullptr ||
           (tunables != nullptr && std::strstr(tunables, "glibc.malloc.") != nullptr);
}

void FixHeapThresholds() {
#if defined(__GLIBC__)
    if (HeapTunedByUser(std::getenv("MALLOC_MMAP_THRESHOLD_"),
                        std::getenv("MALLOC_TRIM_THRESHOLD_"), std::getenv("GLIBC_TUNABLES"))) {
        return;
    }
    mallopt(M_MMAP_THRESHOLD, kMmapThreshold);
    mallopt(M_TRIM_THRESHOLD, kTrimThreshold);
#endif
}

void ReleaseFreeHeap() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
