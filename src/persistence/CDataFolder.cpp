#include "persistence/CDataFolder.h"

#include <utility>

#include "persistence/DataFile.h"

CDataFolder::CDataFolder(std::string dataFolder, std::string programFolder)
    : dataFolder_(std::move(dataFolder)), programFolder_(std::move(programFolder)) {
    while (dataFolder_.size() > 1 && dataFolder_.back() == '/') {
        dataFolder_.pop_back();
    }
    if (!programFolder_.empty() && programFolder_.back() != '/') {
        programFolder_ += '/';
    }
}

std::string CDataFolder::DataFilePath(std::string_view name) const {
    std::string path;
    path.reserve(dataFolder_.size() + 1 + name.size());
    path += dataFolder_;
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    path += name;
    return path;
}

std::string CDataFolder::ProgramFilePath(std::string_view relative) const {
    std::string path = programFolder_;
    path += relative;
    return path;
}

bool CDataFolder::EnsureDataFolder() const {
    return EnsureFolder(dataFolder_);
}
