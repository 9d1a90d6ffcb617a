#pragma once

#include <string>
#include <string_view>

// Helpers shared by the readers and writers of the data files.

// The first line of every data file. Readers skip it without checking it.
inline constexpr std::string_view kFileHeader = "V1.0.0";

// Files larger than this are not data files of ours; reading them is refused.
inline constexpr std::size_t kMaxDataFileSize = 64u * 1024u * 1024u;

// True when anything of that name exists (a folder counts too).
bool FileExists(const std::string& path);

// The operations below that can fail take an optional `errorNumber`: on failure it receives the
// system's reason (an errno value), for telling the user.

// Creates the folder and any missing parents with mode 0700. True when it is a folder afterwards.
bool EnsureFolder(const std::string& path, int* errorNumber = nullptr);

// Replaces the file with `contents` so that it holds either the old or the new contents, never a
// mix: a temporary file (mode 0600) in the same folder is written, synced and renamed over it.
// On failure the old file is untouched, the temporary file removed, and false returned.
bool WriteFileAtomically(const std::string& path, std::string_view contents,
                         int* errorNumber = nullptr);

// The name of the `number`th keepsake of `path` (from 0): path + ".bad", then path + ".bad.1",
// path + ".bad.2", ...
std::string KeepsakePath(const std::string& path, int number);

// Keeps `contents` (a data file we could not take whole) beside `path` under the first keepsake
// name that is free, written and synced like a data file. An earlier keepsake is never replaced,
// not even by another process writing one at the same moment. `keptAs` receives the name used.
bool WriteKeepsake(const std::string& path, std::string_view contents,
                   std::string* keptAs = nullptr, int* errorNumber = nullptr);

// Renames `path` to `keptBase`, or to keptBase + ".1", ".2", ... when that name is taken, never
// replacing an existing file. `keptAs` receives the name used.
bool MoveAside(const std::string& path, const std::string& keptBase, std::string* keptAs = nullptr,
               int* errorNumber = nullptr);

// Reads a whole regular file. False when it is missing, not a regular file, unreadable or larger
// than kMaxDataFileSize; `contents` is then empty.
bool ReadTextFile(const std::string& path, std::string& contents, int* errorNumber = nullptr);

// Appends printf-style text, always with "." as the decimal point: the files must read back the
// same whatever numeric locale the program runs in.
void AppendFormatted(std::string& out, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Reads text the way the data files are read: whole lines (LF or CR LF, the last line end may be
// missing) and "%d" / "%f" numbers separated by any white space, line ends included.
class CTextReader {
public:
    explicit CTextReader(std::string_view text) : text_(text) {}

    // True when nothing is left.
    bool AtEnd() const { return pos_ >= text_.size(); }
    // True when only white space is left.
    bool AtEndIgnoringSpace() const;

    // The rest of the current line without its line end. False when nothing is left.
    bool ReadLine(std::string_view& line);

    // Like a scan of "%d" / "%f": skip white space, then read one number. On failure the value
    // is unchanged and only the white space has been consumed. Out-of-range integers and
    // non-finite reals ("nan", "inf") fail: no data file holds them.
    bool ScanInt(int& value);
    bool ScanDouble(double& value);

    // Consumes the rest of the current line and its line end, as after the last number of a
    // line that is followed by text lines.
    void SkipLineEnd();

private:
    void SkipSpace();
    template <typename Number>
    bool ScanNumber(Number& value);

    std::string_view text_;
    std::size_t pos_ = 0;
};
