#include "persistence/CFoundFile.h"

#include "persistence/DataFile.h"

void CFoundFile::MarkUnreadable(int errorNumber) {
    unreadable_ = true;
    unreadableError_ = errorNumber;
}

void CFoundFile::MarkDamaged(std::string text) {
    damaged_ = true;
    damagedText_ = std::move(text);
}

bool CFoundFile::ReadyToWrite(const CDataFolder& folder, std::string_view name) {
    if (unreadable_) {
        if (FileExists(folder.DataFilePath(name))) {
            folder.ReportSaveFailure(name, unreadableError_);
            return false;
        }
        unreadable_ = false;  // it has gone meanwhile
    }
    if (damaged_) {
        if (!folder.KeepDataFileCopy(name, damagedText_)) {
            return false;
        }
        damaged_ = false;
        damagedText_ = std::string();
    }
    return true;
}
