// The /proc/net/dev reader on any bytes, walked the way the sampler walks it: the list and the
// table agree, every listed entry can be read and no other, names are whole, and a source that
// reuses its slots from the last walk reports exactly what a fresh one reports, also after an
// interface went away and came back.

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "platform/LinuxInterfaceSource.h"

namespace {

const std::string kTypes = TALLYGLASS_TEST_DATA "/net_dev_sys";

std::vector<InterfaceRow> Walk(LinuxInterfaceSource& source) {
    std::vector<std::uint32_t> indexes;
    source.AdapterIndexes(indexes);
    std::uint32_t count = 0;
    FUZZ_CHECK(source.TableCount(count));
    FUZZ_CHECK(count == indexes.size());
    std::vector<InterfaceRow> rows;
    for (std::uint32_t i = 0; i < count; ++i) {
        FUZZ_CHECK(indexes[i] == i);
        InterfaceRow row;
        FUZZ_CHECK(source.Entry(i, row));
        FUZZ_CHECK(row.index == i);
        FUZZ_CHECK(!row.description.empty());
        FUZZ_CHECK(row.description.find_first_of(":\n") == std::string::npos);
        const char first = row.description.front();
        const char last = row.description.back();
        FUZZ_CHECK(first != ' ' && first != '\t' && last != ' ' && last != '\t');
        rows.push_back(row);
    }
    InterfaceRow past;
    FUZZ_CHECK(!source.Entry(count, past));
    return rows;
}

bool Same(const std::vector<InterfaceRow>& a, const std::vector<InterfaceRow>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].index != b[i].index || a[i].description != b[i].description ||
            a[i].type != b[i].type || a[i].inOctets != b[i].inOctets ||
            a[i].outOctets != b[i].outOctets) {
            return false;
        }
    }
    return true;
}

// The text without its third line: the first interface line of a real table.
std::string WithoutThirdLine(std::string_view text) {
    std::size_t start = 0;
    for (int line = 0; line < 2 && start != std::string_view::npos; ++line) {
        start = text.find('\n', start);
        start = start == std::string_view::npos ? start : start + 1;
    }
    if (start == std::string_view::npos) {
        return std::string(text);
    }
    const std::size_t end = text.find('\n', start);
    std::string shorter(text.substr(0, start));
    if (end != std::string_view::npos) {
        shorter.append(text.substr(end + 1));
    }
    return shorter;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CScratchFile file;
    const std::string_view text = AsText(data, size);
    const std::string shorter = WithoutThirdLine(text);

    LinuxInterfaceSource reused(file.Path(), kTypes);
    file.Write(text);
    const std::vector<InterfaceRow> first = Walk(reused);
    FUZZ_CHECK(Same(Walk(reused), first));  // the steady state: nothing changed

    file.Write(shorter);
    const std::vector<InterfaceRow> afterRemoval = Walk(reused);
    LinuxInterfaceSource fresh(file.Path(), kTypes);
    FUZZ_CHECK(Same(afterRemoval, Walk(fresh)));

    file.Write(text);
    FUZZ_CHECK(Same(Walk(reused), first));
    return 0;
}
