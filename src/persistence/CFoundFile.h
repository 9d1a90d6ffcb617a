#pragma once

#include <string>
#include <string_view>

#include "persistence/CDataFolder.h"

// How a data file was found when it was loaded, and what that asks of its first save: a file
// that could not be read is never replaced while it is there, and one that held lines the
// program could not take is first kept under a keepsake name, so no save loses what the user's
// file held.
class CFoundFile {
public:
    // The file existed but could not be read (the system's error number).
    void MarkUnreadable(int errorNumber);
    // The file was read, but held lines that the next save will not write back.
    void MarkDamaged(std::string text);

    // Before each save of data file `name` in `folder`: false when it must not be written now
    // (the failure has been reported to the folder's notice).
    bool ReadyToWrite(const CDataFolder& folder, std::string_view name);

private:
    bool unreadable_ = false;
    int unreadableError_ = 0;
    bool damaged_ = false;
    std::string damagedText_;
};
