#pragma once

#include <gtest/gtest.h>

#include "FakeClocks.h"
#include "TempDir.h"
#include "persistence/CTrafficHistory.h"

// A real history in a temporary folder, fed by hand as the per-frame update feeds it, on
// hand-moved clocks.
class StopwatchFixture : public ::testing::Test {
protected:
    // Traffic arriving: the session totals grow by these MB.
    void Traffic(double downloadMB, double uploadMB) {
        download_ += downloadMB;
        upload_ += uploadMB;
        history.Update(download_, upload_);
    }

    TempDir temp;
    FakeMsClock ms{1000};
    FakeLocalClock date;
    CTrafficHistory history{CDataFolder(temp.Str(), temp.Str()), ms, date};

private:
    double download_ = 0.0;
    double upload_ = 0.0;
};
