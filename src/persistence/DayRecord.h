#pragma once

// The traffic of one calendar day, in MB.
struct DayRecord {
    int day = 1;    // 1-31
    int month = 1;  // 1-12
    int year = 1970;
    double lastDownload = 0.0;  // session totals at this record's last update
    double lastUpload = 0.0;
    double downloaded = 0.0;  // counted on this day
    double uploaded = 0.0;
};
