#pragma once

#include <string>

#include "core/CObservable.h"

class LocaleTexts;

// A data file that could not be saved, and why.
struct SaveFailure {
    std::string folder;    // the data folder
    std::string fileName;  // the data file being written
    int errorNumber = 0;   // the system's reason (errno)
};

// Where every saver of a data file reports a save that failed, so the user is told that nothing
// is being kept: once per run, however many saves fail after it. The observers (the part that
// tells the user) are notified of the first failure only. A later save that works needs no word:
// the data simply reaches the disk again.
class CSaveFailureNotice : public CObservable {
public:
    void Report(const SaveFailure& failure);

    bool HasFailed() const { return failures_ > 0; }
    int Failures() const { return failures_; }
    // The first failure of the run.
    const SaveFailure& First() const { return first_; }

    // The first failure told in the words of `texts`: which file, which folder, the system's
    // reason, and what it means for the user.
    std::string Message(const LocaleTexts& texts) const;

private:
    SaveFailure first_;
    int failures_ = 0;
};
