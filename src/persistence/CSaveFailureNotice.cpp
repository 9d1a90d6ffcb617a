#include "persistence/CSaveFailureNotice.h"

#include <cstring>

#include "platform/LocaleTexts.h"

void CSaveFailureNotice::Report(const SaveFailure& failure) {
    if (failures_++ > 0) {
        return;
    }
    first_ = failure;
    NotifyAll();
}

std::string CSaveFailureNotice::Message(const LocaleTexts& texts) const {
    if (!HasFailed()) {
        return std::string();
    }
    // strerror: saves run on the user-interface thread only.
    return FillArgs(texts.Translate("CSaveFailureNotice",
                                    "Cannot save %1 in %2: %3. The meter keeps running, but its "
                                    "figures are not kept until saving works again."),
                    {first_.fileName, first_.folder, std::strerror(first_.errorNumber)});
}
