#include <gtest/gtest.h>

#include "cli/AppsCommand.h"

namespace {

TEST(AppsTable, JsonListsTheApplicationsThenTheOtherTraffic) {
    AppTraffic app;
    app.app = "say \"hi\"";
    app.processes = {{12, "", "", {}}, {34, "", "", {}}};
    app.downKiBs = 1.5;
    app.downBytes = 1536;
    app.upBytes = 7;
    OtherTraffic other;
    other.upBytes = 99;
    other.attributedExceededTotal = true;
    const std::string json = FormatAppsTable({app}, other, AppsFormat::Json);
    EXPECT_EQ(json,
              "[\n  {\"app\": \"say \\\"hi\\\"\", \"pids\": [12,34], \"download_kib_s\": 1.500, "
              "\"upload_kib_s\": 0.000, \"download_bytes\": 1536, \"upload_bytes\": 7, "
              "\"other\": false},\n  {\"app\": \"Other traffic (UDP, other users, system)\", "
              "\"pids\": [], \"download_kib_s\": 0.000, \"upload_kib_s\": 0.000, "
              "\"download_bytes\": 0, \"upload_bytes\": 99, \"other\": true, "
              "\"attributed_exceeds_total\": true}\n]\n");
    const std::string text = FormatAppsTable({app}, other, AppsFormat::Text);
    EXPECT_NE(text.find("12,34"), std::string::npos);
    EXPECT_NE(text.find("loopback not monitored"), std::string::npos);
}

}  // namespace
