#include "persistence/DataFile.h"

#include "core/CLocaleScope.h"
#include "persistence/TemporaryFiles.h"
#include "platform/ReadToEnd.h"

#include <errno.h>
#include <fcntl.h>
#include <locale.h>
#include <stdio.h>
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

void Report(int* errorNumber, int error) {
    if (errorNumber != nullptr) {
        *errorNumber = error;
    }
}

// False with errno set, as the failing write left it.
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

// Writes `contents` into a new temporary file beside `path` (same folder, so a rename cannot
// cross file systems; hidden; mode 0600) and syncs it. On success `temporary` names it and the
// caller gives it its final name; on failure nothing is left behind.
bool WriteTemporaryBeside(const std::string& path, std::string_view contents,
                          std::string& temporary, int& error) {
    // In the same folder, so that the rename cannot cross file systems.
    temporary = TemporaryFileTemplate(path);
    if (temporary.empty()) {
        error = EISDIR;
        return false;
    }
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    bool ok = ::fchmod(fd, 0600) == 0 && WriteAll(fd, contents) && ::fsync(fd) == 0;
    if (!ok) {
        error = errno;
    }
    if (::close(fd) != 0 && ok) {
        error = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
    }
    return ok;
}

// Renames `from` to `to` unless something of that name exists (false, errno EEXIST), in one
// step, so that two writers can never take the same name.
bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // A file system that cannot rename without replacing: a hard link refuses an existing name
    // just the same.
    if (::link(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    ::unlink(from.c_str());
    return true;
}

// The keepsakes' numbering: base, base.1, base.2, ...
std::string NumberedName(const std::string& base, int number) {
    return number == 0 ? base : base + '.' + std::to_string(number);
}

// At most this many keepsakes of one file: past that, something keeps damaging it.
constexpr int kMaxKeepsakes = 1000;

}  // namespace

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool EnsureFolder(const std::string& path, int* errorNumber) {
    if (path.empty()) {
        Report(errorNumber, ENOENT);
        return false;
    }
    // Create each level in turn: on a fresh account even ~/.local/share may be missing. The
    // first level that cannot be made tells why the folder is missing.
    int firstError = 0;
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
            if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST && firstError == 0) {
                firstError = errno;
            }
        }
        start = slash + 1;
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        Report(errorNumber, firstError != 0 ? firstError : errno);
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        Report(errorNumber, ENOTDIR);
        return false;
    }
    return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view contents, int* errorNumber) {
    std::string temporary;
    int error = 0;
    if (!WriteTemporaryBeside(path, contents, temporary, error)) {
        Report(errorNumber, error);
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        Report(errorNumber, errno);
        ::unlink(temporary.c_str());
        return false;
    }
    // Makes the rename itself durable. The new file is in place already, so a folder that
    // cannot be synced (some file systems refuse) does not make the write a failure.
    SyncFolder(FolderOf(path));
    return true;
}

std::string KeepsakePath(const std::string& path, int number) {
    return NumberedName(path + ".bad", number);
}

bool WriteKeepsake(const std::string& path, std::string_view contents, std::string* keptAs,
                   int* errorNumber) {
    std::string temporary;
    int error = 0;
    if (!WriteTemporaryBeside(path, contents, temporary, error)) {
        Report(errorNumber, error);
        return false;
    }
    if (!MoveAside(temporary, KeepsakePath(path, 0), keptAs, errorNumber)) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool MoveAside(const std::string& path, const std::string& keptBase, std::string* keptAs,
               int* errorNumber) {
    int error = 0;
    for (int number = 0; number < kMaxKeepsakes; ++number) {
        const std::string candidate = NumberedName(keptBase, number);
        if (RenameWithoutReplacing(path, candidate)) {
            if (keptAs != nullptr) {
                *keptAs = candidate;
            }
            SyncFolder(FolderOf(path));
            return true;
        }
        error = errno;
        if (error != EEXIST) {
            break;
        }
    }
    Report(errorNumber, error);
    return false;
}

bool ReadTextFile(const std::string& path, std::string& contents, int* errorNumber) {
    contents.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        Report(errorNumber, errno);
        return false;
    }
    struct stat info {};
    int error = 0;
    if (::fstat(fd, &info) != 0) {
        error = errno;
    } else if (!S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    } else if (static_cast<std::uint64_t>(info.st_size) > kMaxDataFileSize) {
        error = EFBIG;
    } else {
        contents.reserve(static_cast<std::size_t>(info.st_size) + 1);
        errno = 0;
        if (!ReadToEnd(fd, contents, kMaxDataFileSize)) {  // it may grow while being read
            error = errno != 0 ? errno : EFBIG;
        }
    }
    ::close(fd);
    if (error != 0) {
        contents.clear();
        Report(errorNumber, error);
        return false;
    }
    return true;
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
