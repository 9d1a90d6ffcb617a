#include "webstats/WebStatsUpload.h"

#include <gtest/gtest.h>

#include <map>

#include "TempDir.h"
#include "persistence/DataFile.h"

namespace {

// Answers each remote name as scripted (Sent when not listed) and records what was asked.
class ScriptedSession final : public FtpSession {
public:
    std::map<std::string, PutResult> answers;
    std::vector<std::pair<std::string, std::string>> puts;  // local, remote

    PutResult Put(const std::string& local, const std::string& remote,
                  std::string& error) override {
        puts.emplace_back(local, remote);
        const auto it = answers.find(remote);
        const PutResult result = it == answers.end() ? PutResult::Sent : it->second;
        if (result == PutResult::Failed) {
            error = "  Access denied: 530\n";
        }
        return result;
    }
};

class UploadTest : public ::testing::Test {
protected:
    UploadJob Job(bool sendImages) {
        UploadJob job;
        job.ticket.settings.remotePath = "/stats/";
        job.ticket.settings.pageFileName = "index.html";
        job.ticket.sendImages = sendImages;
        job.logPrefix = "10:05: ";
        job.page = "<html>\n</html>\n";
        job.pagePath = temp.Str() + "/ws.html";
        job.pictureFolder = "/opt/tallyglass/gfx/";
        return job;
    }
    TempDir temp;
};

TEST_F(UploadTest, PageThenThePicturesUnderTheRemotePathAndOneLogLine) {
    ScriptedSession session;
    const UploadOutcome outcome = RunUpload(Job(true), session);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {temp.Str() + "/ws.html", "/stats/index.html"},
        {"/opt/tallyglass/gfx/u.gif", "/stats/u.gif"},
        {"/opt/tallyglass/gfx/d.gif", "/stats/d.gif"},
        {"/opt/tallyglass/gfx/tallyglassbg.gif", "/stats/tallyglassbg.gif"},
    };
    EXPECT_EQ(session.puts, expected);
    EXPECT_TRUE(outcome.imagesSent);
    EXPECT_EQ(outcome.logLine, "10:05: Uploaded stats page");
    // The page file is the page and one more line end.
    std::string written;
    ASSERT_TRUE(ReadTextFile(temp.Str() + "/ws.html", written));
    EXPECT_EQ(written, "<html>\n</html>\n\n");
}

TEST_F(UploadTest, RefusalsAndFailuresEachGiveTheirLine) {
    struct Case {
        const char* name;
        bool sendImages;
        std::map<std::string, PutResult> answers;
        std::size_t puts;
        bool imagesSent;
        const char* line;
    };
    const Case cases[] = {
        {"only the page", false, {}, 1, false, "10:05: Uploaded stats page"},
        {"page refused",
         true,
         {{"/stats/index.html", PutResult::Refused}},
         4,
         true,
         "10:05: Could not upload the page. Check remote path value"},
        {"background refused",
         true,
         {{"/stats/tallyglassbg.gif", PutResult::Refused}},
         4,
         false,
         "10:05: Uploaded stats page"},
        {"first picture refused",
         true,
         {{"/stats/u.gif", PutResult::Refused}},
         4,
         true,
         "10:05: Uploaded stats page"},
        {"login fails",
         true,
         {{"/stats/index.html", PutResult::Failed}},
         1,
         false,
         "10:05: Access denied: 530"},
        {"connection lost",
         true,
         {{"/stats/d.gif", PutResult::Failed}},
         3,
         false,
         "10:05: Access denied: 530"},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        session.answers = c.answers;
        const UploadOutcome outcome = RunUpload(Job(c.sendImages), session);
        EXPECT_EQ(session.puts.size(), c.puts) << c.name;
        EXPECT_EQ(outcome.imagesSent, c.imagesSent) << c.name;
        EXPECT_EQ(outcome.logLine, c.line) << c.name;
    }
}

TEST_F(UploadTest, NothingGoesUpWithoutAPageFileName) {
    // As an older settings file may hold it.
    UploadJob job = Job(true);
    job.ticket.settings.pageFileName = "";
    ScriptedSession session;
    const UploadOutcome outcome = RunUpload(job, session);
    EXPECT_TRUE(session.puts.empty());
    EXPECT_FALSE(outcome.imagesSent);
    EXPECT_EQ(outcome.logLine,
              "10:05: The page has no valid file name: enter one in the WebStats window.");
}

TEST_F(UploadTest, APageThatCannotBeWrittenIsNotReplacedByAnOldOne) {
    UploadJob job = Job(true);
    job.pagePath = temp.Str() + "/missing-folder/ws.html";
    ScriptedSession session;
    const UploadOutcome outcome = RunUpload(job, session);
    EXPECT_TRUE(session.puts.empty());
    EXPECT_EQ(outcome.logLine, "10:05: Could not write the page file " + job.pagePath);
}

}  // namespace
