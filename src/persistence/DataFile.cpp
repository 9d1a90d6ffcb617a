#include "persistence/DataFile.h"

#include "persistence/TemporaryFiles.h"
#include "platform/ReadToEnd.h"

#include <errno.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <type_traits>

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        const ssize_t written = ::write(fd, contents.data(), contents.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

// Switches the calling thread to the "C" numeric conventions for as long as it lives.
class CLocaleScope {
public:
    CLocaleScope() {
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
        if (cLocale != static_cast<locale_t>(0)) {
            previous_ = uselocale(cLocale);
        }
    }
    ~CLocaleScope() {
        if (previous_ != static_cast<locale_t>(0)) {
            uselocale(previous_);
        }
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t previous_ = static_cast<locale_t>(0);
};

}  // namespace

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool EnsureFolder(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    // Create each level in turn: on a fresh account even ~/.local/share may be missing.
    std::string partial;
    partial.reserve(path.size());
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string::npos) {
            slash = path.size();
        }
        if (slash > start) {
            partial.assign(path, 0, slash);
            ::mkdir(partial.c_str(), 0700);  // fails harmlessly for levels that exist
        }
        start = slash + 1;
    }
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool WriteFileAtomically(const std::string& path, std::string_view contents) {
    // In the same folder, so that the rename cannot cross file systems.
    std::string temporary = TemporaryFileTemplate(path);
    if (temporary.empty()) {
        return false;
    }
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool ok = ::fchmod(fd, 0600) == 0 && WriteAll(fd, contents) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) {
        ok = ::rename(temporary.c_str(), path.c_str()) == 0;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Makes the rename itself durable. The new file is in place already, so a folder that
    // cannot be synced (some file systems refuse) does not make the write a failure.
    SyncFolder(FolderOf(path));
    return true;
}

bool ReadTextFile(const std::string& path, std::string& contents) {
    contents.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
              static_cast<std::uint64_t>(info.st_size) <= kMaxDataFileSize;
    if (ok) {
        contents.reserve(static_cast<std::size_t>(info.st_size) + 1);
        ok = ReadToEnd(fd, contents, kMaxDataFileSize);  // it may grow while being read
    }
    ::close(fd);
    if (!ok) {
        contents.clear();
    }
    return ok;
}

void AppendFormatted(std::string& out, const char* format, ...) {
    CLocaleScope cLocale;
    char buffer[512];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length < 0) {
        return;
    }
    if (static_cast<std::size_t>(length) < sizeof buffer) {
        out.append(buffer, static_cast<std::size_t>(length));
        return;
    }
    // Rare: a very long text or number. Format again straight into the string.
    const std::size_t oldSize = out.size();
    out.resize(oldSize + static_cast<std::size_t>(length));
    va_start(args, format);
    std::vsnprintf(out.data() + oldSize, static_cast<std::size_t>(length) + 1, format, args);
    va_end(args);
}

bool CTextReader::AtEndIgnoringSpace() const {
    for (std::size_t i = pos_; i < text_.size(); ++i) {
        if (!IsSpace(text_[i])) {
            return false;
        }
    }
    return true;
}

bool CTextReader::ReadLine(std::string_view& line) {
    if (AtEnd()) {
        return false;
    }
    std::size_t end = text_.find('\n', pos_);
    const std::size_t next = end == std::string_view::npos ? text_.size() : end + 1;
    if (end == std::string_view::npos) {
        end = text_.size();
    }
    if (end > pos_ && text_[end - 1] == '\r') {
        --end;
    }
    line = text_.substr(pos_, end - pos_);
    pos_ = next;
    return true;
}

void CTextReader::SkipSpace() {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) {
        ++pos_;
    }
}

template <typename Number>
bool CTextReader::ScanNumber(Number& value) {
    SkipSpace();
    std::size_t start = pos_;
    // from_chars takes a minus sign but not a plus sign; scanf takes both.
    if (start < text_.size() && text_[start] == '+') {
        ++start;
        if (start < text_.size() && text_[start] == '-') {
            return false;
        }
    }
    Number parsed{};
    const char* first = text_.data() + start;
    const char* last = text_.data() + text_.size();
    // Locale-independent, unlike strtod and scanf: "." is the decimal point whatever the locale.
    const auto [end, error] = std::from_chars(first, last, parsed);
    if (error != std::errc()) {
        return false;
    }
    if constexpr (std::is_floating_point_v<Number>) {
        if (!std::isfinite(parsed)) {
            return false;
        }
    }
    value = parsed;
    pos_ = static_cast<std::size_t>(end - text_.data());
    return true;
}

bool CTextReader::ScanInt(int& value) {
    return ScanNumber(value);
}

bool CTextReader::ScanDouble(double& value) {
    return ScanNumber(value);
}

void CTextReader::SkipLineEnd() {
    const std::size_t end = text_.find('\n', pos_);
    pos_ = end == std::string_view::npos ? text_.size() : end + 1;
}
