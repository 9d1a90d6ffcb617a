#pragma once

#include <string>
#include <string_view>

class CSaveFailureNotice;

// The per-user data folder and the program folder, fixed for the life of the process, and the
// one way data files are written into the data folder.
class CDataFolder {
public:
    // `dataFolder` without a trailing slash (one is removed); `programFolder` gets one added.
    CDataFolder(std::string dataFolder, std::string programFolder);

    // A copy whose failed writes are reported to `notice`, which must outlive every copy.
    CDataFolder ReportingTo(CSaveFailureNotice& notice) const;

    const std::string& DataFolder() const { return dataFolder_; }
    const std::string& ProgramFolder() const { return programFolder_; }

    // DataFolder() + "/" + name.
    std::string DataFilePath(std::string_view name) const;
    // ProgramFolder() + relative, e.g. "gfx/warning.bmp".
    std::string ProgramFilePath(std::string_view relative) const;

    // Creates the data folder and any missing parents (mode 0700). True when it exists afterwards.
    bool EnsureDataFolder(int* errorNumber = nullptr) const;

    // Replaces the data file `name` with `contents` atomically (mode 0600), creating the folder
    // first: it may have been removed since start-up. On failure the old file is untouched, the
    // failure is reported, and false returned.
    bool WriteDataFile(std::string_view name, std::string_view contents) const;

    // Keeps `contents`, the text of data file `name` as it was found, under that file's first
    // free keepsake name before the file is rewritten; an earlier keepsake is never replaced. A
    // failure is reported and false returned.
    bool KeepDataFileCopy(std::string_view name, std::string_view contents) const;

    // Tells the notice, if there is one, that data file `name` could not be saved.
    void ReportSaveFailure(std::string_view name, int errorNumber) const;

private:
    std::string dataFolder_;
    std::string programFolder_;
    CSaveFailureNotice* saveNotice_ = nullptr;
};
