// Uploads to a real FTP server on 127.0.0.1 (pyftpdlib), with the time limits made short.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "FakeClocks.h"
#include "FakeLocaleTexts.h"
#include "FtpTestServer.h"
#include "TempDir.h"
#include "persistence/DataFile.h"
#include "webstats/CWebStatsPublisher.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWaitMs = 60000;  // far beyond any time limit below, for a loaded machine

std::string ReadAll(const fs::path& path) {
    std::string text;
    ReadTextFile(path.string(), text);
    return text;
}

std::vector<std::string> Listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class FtpUploadTest : public ::testing::Test {
protected:
    FtpUploadTest() {
        fs::create_directories(Root() / "stats");
        fs::create_directories(Data());
    }

    fs::path Root() const { return temp.Path() / "ftp"; }
    fs::path Data() const { return temp.Path() / "data"; }

    // A model and publisher for a server on `port`, switched on, uploading every 30 s.
    void Make(int port, const std::string& host = "127.0.0.1",
              const std::string& password = "secret", const std::string& remotePath = "/stats/") {
        WriteFileAtomically((Data() / "webstats.dat").string(),
                            "V1.0.0\n" + host + "\n" + remotePath + "\nindex.html\nuser\n" +
                                password + "\n" + std::to_string(port) + "\n30000\n1\n");
        model = std::make_unique<CWebStats>(folder, msClock, localClock);
        publisher = std::make_unique<CWebStatsPublisher>(*model, folder, localClock, texts);
        publisher->SetOptions(options);
    }

    // Lets an interval pass, starts an upload and waits for its log line. The event loop is
    // counted meanwhile: the caller's thread must never wait for the upload.
    std::string UploadOnce(int* turns = nullptr) {
        msClock.Advance(31000);
        EXPECT_TRUE(model->AddSample(1.0, 0.5));
        std::uint64_t before = 0;
        model->CopyLog(&before);
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(5);
        EXPECT_TRUE(publisher->Start());
        const bool done = QTest::qWaitFor([&] { return !model->UploadBusy(); }, kWaitMs);
        EXPECT_TRUE(done) << "the upload did not end";
        if (turns != nullptr) {
            *turns = ticks;
        }
        std::uint64_t after = 0;
        const auto lines = model->CopyLog(&after);
        EXPECT_EQ(after, before + 1) << "one log line per upload";
        return lines.empty() ? std::string() : lines.back();
    }

    TempDir temp;
    CDataFolder folder{Data().string(), TALLYGLASS_RESOURCES};
    FakeMsClock msClock{1000};
    FakeLocalClock localClock{{7, 12, 2026}, 10, 5};
    FakeLocaleTexts texts;
    FtpOptions options{2000, 4000, ""};
    std::unique_ptr<CWebStats> model;
    std::unique_ptr<CWebStatsPublisher> publisher;
};

// The choices among the sentences; the real server's failures are in the table below.
TEST(FtpFailureText, EachFailureSaysWhatToCheckInOneSentence) {
    const FtpHost host{"ftp.example", false};
    const FtpOptions options{20000, 60000, ""};
    auto failure = [](CURLcode code, long reply = 0, bool hostFound = true,
                      bool pastTotalTime = false, const char* detail = "") {
        return FtpFailure{code, reply, hostFound, pastTotalTime, detail};
    };
    const std::pair<FtpFailure, std::string> cases[] = {
        {failure(CURLE_LOGIN_DENIED, 530),
         "The server refused the login (530): check the user name and password."},
        {failure(CURLE_LOGIN_DENIED),
         "The server refused the login: check the user name and password."},
        {failure(CURLE_OPERATION_TIMEDOUT), "The server did not answer within 20 s."},
        {failure(CURLE_OPERATION_TIMEDOUT, 0, true, true),
         "A file took longer than 60 s to upload: check the network."},
        {failure(CURLE_OPERATION_TIMEDOUT, 0, false),
         "Looking up host ftp.example took longer than 20 s: check the host name and the "
         "network."},
        {failure(CURLE_OUT_OF_MEMORY, 0, true, false, "Out of memory. "),
         "The upload failed: Out of memory."},
    };
    for (const auto& [given, expected] : cases) {
        EXPECT_EQ(FtpFailureText(given, host, 2121, options), expected) << given.code;
    }
}

TEST_F(FtpUploadTest, FourFilesFirstThenOnlyThePageThenFourAgainAfterThePathChanged) {
    FtpTestServer server(Root().string());
    ASSERT_NE(server.Port(), 0) << server.Errors().toStdString();
    Make(server.Port());

    EXPECT_EQ(UploadOnce(), "10:05: Uploaded stats page");
    const std::vector<std::string> four = {"d.gif", "index.html", "tallyglassbg.gif", "u.gif"};
    EXPECT_EQ(Listing(Root() / "stats"), four);  // and no temporary names left behind
    EXPECT_EQ(ReadAll(Root() / "stats/index.html"), ReadAll(Data() / "ws.html"));
    EXPECT_EQ(ReadAll(Data() / "ws.html").substr(0, 7), "<html>\n");
    for (const char* picture : {"u.gif", "d.gif", "tallyglassbg.gif"}) {
        EXPECT_EQ(ReadAll(Root() / "stats" / picture),
                  ReadAll(fs::path(TALLYGLASS_RESOURCES) / "gfx" / picture))
            << picture;
    }
    EXPECT_TRUE(model->ImagesUploaded());

    // The second upload sends the page alone.
    for (const char* picture : {"u.gif", "d.gif", "tallyglassbg.gif"}) {
        fs::remove(Root() / "stats" / picture);
    }
    EXPECT_EQ(UploadOnce(), "10:05: Uploaded stats page");
    EXPECT_EQ(Listing(Root() / "stats"), std::vector<std::string>{"index.html"});

    // A new remote path gets all four.
    fs::create_directories(Root() / "moved");
    model->SetRemotePath("/moved/");
    EXPECT_EQ(UploadOnce(), "10:05: Uploaded stats page");
    EXPECT_EQ(Listing(Root() / "moved"), four);
}

TEST_F(FtpUploadTest, ServersThatWillNotRenameOntoAnExistingNameGetEveryPageAndNoLeftovers) {
    // --no-rename-over: the usual refusal of Windows-hosted servers; --no-rename: every rename
    // refused, so the page goes up under its own name.
    for (const char* refusal : {"--no-rename-over", "--no-rename"}) {
        SCOPED_TRACE(refusal);
        fs::remove_all(Root() / "stats");
        fs::create_directories(Root() / "stats");
        FtpTestServer server(Root().string(), {refusal});
        ASSERT_NE(server.Port(), 0) << server.Errors().toStdString();
        Make(server.Port());
        for (int upload = 1; upload <= 3; ++upload) {
            EXPECT_EQ(UploadOnce(), "10:05: Uploaded stats page") << upload;
            const std::vector<std::string> four = {"d.gif", "index.html", "tallyglassbg.gif",
                                                   "u.gif"};
            EXPECT_EQ(Listing(Root() / "stats"), four) << upload;
            // The newest page, not the first one.
            EXPECT_TRUE(ReadAll(Root() / "stats/index.html") == ReadAll(Data() / "ws.html"))
                << upload;
        }
    }
}

TEST_F(FtpUploadTest, EveryFailureEndsAsOneLogLineWhileTheCallerKeepsRunning) {
    TempDir tls;
    FtpTestServer good(Root().string());
    FtpTestServer hung(Root().string(), {"--hang"});
    ASSERT_NE(good.Port(), 0) << good.Errors().toStdString();
    ASSERT_NE(hung.Port(), 0) << hung.Errors().toStdString();
    struct Case {
        const char* name;
        int port;
        const char* password;
        const char* remotePath;
        std::string expected;  // the line after the time
    };
    const int down = ClosedPort();
    const Case cases[] = {
        {"refused path", good.Port(), "secret", "/missing/",
         "Could not upload the page. Check remote path value"},
        {"wrong password", good.Port(), "wrong", "/stats/",
         "The server refused the login (530): check the user name and password."},
        {"server down", down, "secret", "/stats/",
         "Could not connect to 127.0.0.1 port " + std::to_string(down) +
             ": check the host name and the port, and that the server is running."},
        {"server never answers", hung.Port(), "secret", "/stats/",
         "The server did not answer within 2 s."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Make(c.port, "127.0.0.1", c.password, c.remotePath);
        int turns = 0;
        const std::string line = UploadOnce(&turns);
        EXPECT_EQ(line, "10:05: " + c.expected);
        EXPECT_FALSE(model->ImagesUploaded());
        if (std::string(c.name) == "server never answers") {
            // Two seconds of waiting for a greeting: the event loop went on turning.
            EXPECT_GT(turns, 20) << line;
        }
        std::cout << c.name << ": " << line << "\n";
    }
    EXPECT_TRUE(Listing(Root() / "stats").empty());
}

TEST_F(FtpUploadTest, FtpsHostUploadsOverTlsAndChecksTheCertificate) {
    TempDir keys;
    const QString cert = QString::fromStdString((keys.Path() / "cert.pem").string());
    const QString key = QString::fromStdString((keys.Path() / "key.pem").string());
    CSpawnedProgram openssl(
        "openssl",
        {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1",
         "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", cert});
    openssl.CloseInput();
    ASSERT_TRUE(openssl.Started() && openssl.Wait(kWaitMs) == 0) << openssl.Errors().toStdString();
    FtpTestServer server(Root().string(), {"--tls", cert, key});
    ASSERT_NE(server.Port(), 0) << server.Errors().toStdString();

    // Not trusted: nothing is sent.
    Make(server.Port(), "ftps://127.0.0.1");
    std::string line = UploadOnce();
    EXPECT_NE(line.find("certificate"), std::string::npos) << line;
    EXPECT_TRUE(Listing(Root() / "stats").empty());

    // A plain host against a server that insists on TLS: refused at the login.
    Make(server.Port(), "127.0.0.1");
    line = UploadOnce();
    EXPECT_EQ(line.find("Uploaded"), std::string::npos) << line;
    EXPECT_TRUE(Listing(Root() / "stats").empty());

    options.caFile = cert.toStdString();
    Make(server.Port(), "ftps://127.0.0.1");
    EXPECT_EQ(UploadOnce(), "10:05: Uploaded stats page");
    EXPECT_EQ(Listing(Root() / "stats").size(), 4u);
    EXPECT_EQ(ReadAll(Root() / "stats/index.html"), ReadAll(Data() / "ws.html"));
}

TEST_F(FtpUploadTest, AServerThatNeverAnswersQuitHoldsUpNeitherTheLogLineNorTheEnd) {
    FtpTestServer server(Root().string(), {"--ignore-quit"});
    ASSERT_NE(server.Port(), 0) << server.Errors().toStdString();
    options = FtpOptions{600000, 600000, ""};  // its silence would hold a wait for ten minutes
    Make(server.Port());
    // The line comes once the files are up, not when the server has said goodbye.
    ASSERT_EQ(UploadOnce(), "10:05: Uploaded stats page");
    EXPECT_EQ(UploadOnce(), "10:05: Uploaded stats page");
}

TEST_F(FtpUploadTest, QuittingDuringAHungUploadHandsItBackUnloggedWithoutWaiting) {
    FtpTestServer hung(Root().string(), {"--hang"});
    ASSERT_NE(hung.Port(), 0);
    options = FtpOptions{120000, 120000, ""};  // the time limits would take minutes
    Make(hung.Port());
    msClock.Advance(31000);
    model->AddSample(1.0, 0.5);
    ASSERT_TRUE(publisher->Start());
    ASSERT_TRUE(model->UploadBusy());
    publisher.reset();
    // The model may start again (with a new publisher) and has no line of an upload that
    // never finished.
    EXPECT_FALSE(model->UploadBusy());
    EXPECT_TRUE(model->CopyLog().empty());
}

}  // namespace
