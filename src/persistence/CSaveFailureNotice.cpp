#include "persistence/CSaveFailureNotice.h"

#include <cstring>

void CSaveFailureNotice::Report(const SaveFailure& failure) {
    if (failures_++ > 0) {
        return;
    }
    first_ = failure;
    NotifyAll();
}

std::string CSaveFailureNotice::Message() const {
    if (!HasFailed()) {
        return std::string();
    }
    // strerror: saves run on the user-interface thread only.
    return "Cannot save " + first_.fileName + " in " + first_.folder + ": " +
           std::strerror(first_.errorNumber) +
           ". The meter keeps running, but its figures are not kept until saving works again.";
}
