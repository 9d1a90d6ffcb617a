#pragma once

#include <string>
#include <string_view>

// The per-user data folder and the program folder, fixed for the life of the process.
class CDataFolder {
public:
    // `dataFolder` without a trailing slash (one is removed); `programFolder` gets one added.
    CDataFolder(std::string dataFolder, std::string programFolder);

    const std::string& DataFolder() const { return dataFolder_; }
    const std::string& ProgramFolder() const { return programFolder_; }

    // DataFolder() + "/" + name.
    std::string DataFilePath(std::string_view name) const;
    // ProgramFolder() + relative, e.g. "gfx/warning.bmp".
    std::string ProgramFilePath(std::string_view relative) const;

    // Creates the data folder and any missing parents (mode 0700). True when it exists afterwards.
    bool EnsureDataFolder() const;

private:
    std::string dataFolder_;
    std::string programFolder_;
};
