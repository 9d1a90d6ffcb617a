#include "platform/LinuxInterfaceSource.h"

#include "platform/ReadToEnd.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace {

constexpr int kColumns = 16;        // numbers per interface line
constexpr int kBytesInColumn = 0;   // received bytes
constexpr int kBytesOutColumn = 8;  // transmitted bytes

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Parses one interface line "  name: n1 n2 ... n16" in [p, end). False when it is not one.
bool ParseLine(const char* p, const char* end, std::string_view& name, std::uint64_t& in,
               std::uint64_t& out) {
    while (p < end && IsBlank(*p)) {
        ++p;
    }
    const char* nameStart = p;
    while (p < end && *p != ':') {
        ++p;
    }
    if (p == end) {
        return false;
    }
    const char* nameEnd = p;
    while (nameEnd > nameStart && IsBlank(nameEnd[-1])) {
        --nameEnd;
    }
    if (nameEnd == nameStart) {
        return false;
    }
    ++p;  // the colon; the first number may follow it without a space

    for (int column = 0; column < kColumns; ++column) {
        while (p < end && IsBlank(*p)) {
            ++p;
        }
        if (p == end || !IsDigit(*p)) {
            return false;
        }
        std::uint64_t value = 0;
        while (p < end && IsDigit(*p)) {
            value = value * 10 + static_cast<std::uint64_t>(*p - '0');
            ++p;
        }
        if (column == kBytesInColumn) {
            in = value;
        } else if (column == kBytesOutColumn) {
            out = value;
        }
    }
    name = std::string_view(nameStart, static_cast<std::size_t>(nameEnd - nameStart));
    return true;
}

}  // namespace

LinuxInterfaceSource::LinuxInterfaceSource(std::string procNetDev, std::string sysClassNet)
    : procNetDev_(std::move(procNetDev)), sysClassNet_(std::move(sysClassNet)) {}

void LinuxInterfaceSource::AdapterIndexes(std::vector<std::uint32_t>& indexes) {
    indexes.clear();
    readable_ = ReadSnapshot();
    count_ = 0;
    if (!readable_) {
        return;
    }
    Parse();
    for (std::size_t i = 0; i < count_; ++i) {
        indexes.push_back(static_cast<std::uint32_t>(i));
    }
}

bool LinuxInterfaceSource::TableCount(std::uint32_t& count) {
    if (!readable_) {
        return false;
    }
    count = static_cast<std::uint32_t>(count_);  // "lo" is one of the listed interfaces
    return true;
}

bool LinuxInterfaceSource::Entry(std::uint32_t index, InterfaceRow& row) {
    if (index >= count_) {
        return false;
    }
    const Adapter& adapter = adapters_[index];
    row.index = index;
    row.description = adapter.name;  // short names: stays within the string's own storage
    row.type = adapter.type;
    row.inOctets = adapter.inOctets;
    row.outOctets = adapter.outOctets;
    return true;
}

bool LinuxInterfaceSource::ReadSnapshot() {
    buffer_.clear();
    const int fd = ::open(procNetDev_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ReadToEnd(fd, buffer_, kMaxSnapshotBytes);
    ::close(fd);
    return ok;
}

void LinuxInterfaceSource::Parse() {
    const char* p = buffer_.data();
    const char* const end = p + buffer_.size();
    int line = 0;
    while (p < end) {
        const char* lineEnd = p;
        while (lineEnd < end && *lineEnd != '\n') {
            ++lineEnd;
        }
        std::string_view name;
        std::uint64_t in = 0;
        std::uint64_t out = 0;
        // The first two lines are the column headings.
        if (line++ >= 2 && ParseLine(p, lineEnd, name, in, out)) {
            if (count_ == adapters_.size()) {
                adapters_.emplace_back();
            }
            Adapter& adapter = adapters_[count_++];
            if (adapter.name != name) {  // in the steady state every name stays in its place
                adapter.name.assign(name);
                adapter.type = TypeOf(name);
            }
            adapter.inOctets = in;
            adapter.outOctets = out;
        }
        p = lineEnd < end ? lineEnd + 1 : end;
    }
}

std::uint32_t LinuxInterfaceSource::TypeOf(std::string_view name) {
    for (const KnownType& known : types_) {
        if (known.name == name) {
            return known.type;
        }
    }
    const std::uint32_t type = ReadType(name);
    types_.push_back(KnownType{std::string(name), type});
    return type;
}

std::uint32_t LinuxInterfaceSource::ReadType(std::string_view name) const {
    // The name becomes part of a path: never let it leave the folder.
    if (name == "." || name == ".." ||
        name.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) {
        return 0;
    }
    std::string path;
    path.reserve(sysClassNet_.size() + name.size() + 6);
    path.append(sysClassNet_).append("/").append(name).append("/type");
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    char text[32];
    ssize_t n;
    do {
        n = ::read(fd, text, sizeof text);
    } while (n < 0 && errno == EINTR);
    ::close(fd);
    std::uint32_t type = 0;
    for (ssize_t i = 0; i < n && IsDigit(text[i]); ++i) {
        type = type * 10 + static_cast<std::uint32_t>(text[i] - '0');
    }
    return type;
}
