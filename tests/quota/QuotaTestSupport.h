#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "FakeClocks.h"
#include "FakeLocaleTexts.h"
#include "TempDir.h"
#include "persistence/CQuotaFile.h"
#include "persistence/CTrafficHistory.h"
#include "persistence/DataFile.h"
#include "quota/CTrafficQuota.h"

// An active quota in total mode with `limit` MB allowed and the amounts used so far; its periods
// begin on `resetDay`, the next one on `next`.
inline QuotaValues ActiveTotalQuota(double limit, double downloaded, double uploaded = 0.0,
                                    int resetDay = 1, LocalDate next = {1, 1, 2027}) {
    QuotaValues values;
    values.resetDay = resetDay;
    values.nextPeriodDay = next.day;
    values.nextPeriodMonth = next.month;
    values.nextPeriodYear = next.year;
    values.allowedTotal = limit;
    values.allowedUpload = values.allowedDownload = -1.0;
    values.downloaded = downloaded;
    values.uploaded = uploaded;
    values.active = true;
    values.limitTotal = true;
    return values;
}

// A temporary data folder with a history and a quota loaded from it, on hand-moved clocks.
class QuotaFixture : public ::testing::Test {
protected:
    explicit QuotaFixture(LocalDate today) : localClock(today) {}

    // A new history, then a quota loaded from `file` (none: from what the folder holds).
    CTrafficQuota& StartQuota(const QuotaValues* file) {
        if (file != nullptr) {
            EXPECT_TRUE(WriteQuotaFile(folder, *file));
        }
        quota.reset();
        history = std::make_unique<CTrafficHistory>(folder, msClock, localClock);
        quota = std::make_unique<CTrafficQuota>(*history, folder, msClock, localClock);
        return *quota;
    }

    std::string QuotaFile() const {
        std::string text;
        ReadTextFile(folder.DataFilePath(kQuotaFileName), text);
        return text;
    }

    TempDir temp;
    CDataFolder folder{temp.Str(), temp.Str()};
    FakeMsClock msClock{5000};
    FakeLocalClock localClock;
    FakeLocaleTexts texts;  // English sentences
    std::unique_ptr<CTrafficHistory> history;
    std::unique_ptr<CTrafficQuota> quota;
};
