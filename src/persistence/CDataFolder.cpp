#include "persistence/CDataFolder.h"

#include <utility>

#include "persistence/CSaveFailureNotice.h"
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

CDataFolder CDataFolder::ReportingTo(CSaveFailureNotice& notice) const {
    CDataFolder copy = *this;
    copy.saveNotice_ = &notice;
    return copy;
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

bool CDataFolder::EnsureDataFolder(int* errorNumber) const {
    return EnsureFolder(dataFolder_, errorNumber);
}

bool CDataFolder::WriteDataFile(std::string_view name, std::string_view contents) const {
    int error = 0;
    if (!EnsureDataFolder(&error) || !WriteFileAtomically(DataFilePath(name), contents, &error)) {
        ReportSaveFailure(name, error);
        return false;
    }
    return true;
}

bool CDataFolder::KeepDataFileCopy(std::string_view name, std::string_view contents) const {
    int error = 0;
    if (!EnsureDataFolder(&error) ||
        !WriteKeepsake(DataFilePath(name), contents, nullptr, &error)) {
        ReportSaveFailure(name, error);
        return false;
    }
    return true;
}

void CDataFolder::ReportSaveFailure(std::string_view name, int errorNumber) const {
    if (saveNotice_ != nullptr) {
        saveNotice_->Report(SaveFailure{dataFolder_, std::string(name), errorNumber});
    }
}
