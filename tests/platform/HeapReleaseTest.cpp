#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/HeapRelease.h"

namespace {

TEST(HeapRelease, ThresholdsTheUserChoseAreLeftAlone) {
    struct Case {
        const char* mmap;
        const char* trim;
        const char* tunables;
        bool tuned;
    };
    const Case cases[] = {
        {nullptr, nullptr, nullptr, false},
        {"65536", nullptr, nullptr, true},
        {nullptr, "0", nullptr, true},
        {nullptr, nullptr, "glibc.malloc.mmap_threshold=65536", true},
        {nullptr, nullptr, "glibc.cpu.hwcaps=-AVX2:glibc.malloc.trim_threshold=1", true},
        {nullptr, nullptr, "glibc.cpu.hwcaps=-AVX2",
         false},  // other tunables are no choice of ours
        {nullptr, nullptr, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.mmap ? c.mmap : "-") << " " << (c.trim ? c.trim : "-")
                                        << " " << (c.tunables ? c.tunables : "-"));
        EXPECT_EQ(HeapTunedByUser(c.mmap, c.trim, c.tunables), c.tuned);
    }
}

[[maybe_unused]] long ResidentKb() {  // unused where the test is skipped
    long pages = 0;
    long resident = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) {
        return -1;
    }
    const int read = std::fscanf(statm, "%ld %ld", &pages, &resident);
    std::fclose(statm);
    return read == 2 ? resident * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

TEST(HeapRelease, FreedBlocksInsideTheHeapGoBackToTheSystem) {
#if !defined(__GLIBC__) || defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "only glibc's own allocator keeps freed blocks this way";
#else
    FixHeapThresholds();
    // 64 MB of blocks below the mapping threshold, held down by one block after them, so that
    // freeing them leaves a hole that the heap's top cannot give back.
    constexpr std::size_t kBlock = 32 * 1024;
    std::vector<void*> blocks(2048);
    for (void*& block : blocks) {
        block = std::malloc(kBlock);
        ASSERT_NE(block, nullptr);
        std::memset(block, 1, kBlock);
        asm volatile("" : : "r"(block) : "memory");  // the compiler may not drop unread blocks
    }
    void* pin = std::malloc(kBlock);  // from the top: no hole of its size is free yet
    asm volatile("" : : "r"(pin) : "memory");
    for (void* block : blocks) {
        std::free(block);
    }
    const long held = ResidentKb();
    ReleaseFreeHeap();
    const long after = ResidentKb();
    std::free(pin);
    ASSERT_GT(held, 0);
    EXPECT_LT(after, held - 32 * 1024) << "held " << held << " kB, after " << after << " kB";
#endif
}

}  // namespace
