#include <QLocalSocket>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "ScopedEnv.h"
#include "TempDir.h"
#include "channel/CInstanceChannel.h"

namespace {

// A client of the test's own on a plain socket, so that it can misbehave: say nothing, say too
// much, never read. It never blocks: the meter's end runs on this same thread.
class RawClient {
public:
    explicit RawClient(const QString& path)
        : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = path.toLocal8Bit();
        std::memcpy(address.sun_path, name.constData(),
                    std::min<std::size_t>(name.size(), sizeof address.sun_path - 1));
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~RawClient() { Hangup(); }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool Connected() const { return connected_; }
    void Send(const std::string& bytes) {
        ASSERT_EQ(::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }
    // Reads what has come; true once the meter has closed the connection.
    bool Closed() {
        char buffer[4096];
        for (;;) {
            const ssize_t got = ::recv(fd_, buffer, sizeof buffer, 0);
            if (got > 0) {
                received_.append(buffer, static_cast<std::size_t>(got));
            } else {
                return got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
            }
        }
    }
    const std::string& Received() const { return received_; }
    std::size_t Lines() const { return std::count(received_.begin(), received_.end(), '\n'); }
    void Hangup() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

private:
    int fd_;
    bool connected_ = false;
    std::string received_;
};

MeterStatus Figures(std::uint64_t sample) {
    MeterStatus status;
    status.sample = sample;
    status.downloadRate = 12.5;
    status.todayDownload = 3.0;
    return status;
}

class InstanceChannelTest : public ::testing::Test {
protected:
    InstanceChannelTest() : runtime_("XDG_RUNTIME_DIR", runtimeDir_.Str().c_str()) {
        channel_.SetStatusSource([this] { return std::optional<MeterStatus>(Figures(sample_)); });
    }

    void SetUp() override { ASSERT_TRUE(channel_.Listen(Folder())); }

    QString Folder() const { return QString::fromStdString(dataDir_.Str()); }
    QString Path() const { return CInstanceChannel::SocketPath(Folder()); }

    // Generous: the point is that it happens, not how soon.
    static bool Eventually(const std::function<bool()>& condition) {
        return QTest::qWaitFor(condition, 20000);
    }

    TempDir runtimeDir_;
    TempDir dataDir_;
    ScopedEnv runtime_;
    CInstanceChannel channel_;
    std::uint64_t sample_ = 1;
};

TEST_F(InstanceChannelTest, AnswersEachGoodRequestAndClosesOnlyTheBadOnes) {
    struct stat info {};
    ASSERT_EQ(::stat(Path().toLocal8Bit().constData(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 077, 0u) << std::oct << info.st_mode;  // the user's alone

    // A follower sits through all of it and still hears the next sample.
    RawClient follower(Path());
    ASSERT_TRUE(follower.Connected());
    follower.Send("tallyglass 1 follow\n");
    ASSERT_TRUE(Eventually([&] { return !follower.Closed() && follower.Lines() == 1; }));
    EXPECT_EQ(follower.Received(), EncodeStatusAnswer(Figures(1)));

    QSignalSpy shown(&channel_, &CInstanceChannel::ShowRequested);
    struct Case {
        const char* name;
        std::string request;
        std::string answer;  // empty: closed unanswered
        int shows;
    };
    const Case cases[] = {
        {"status", "tallyglass 1 status\n", EncodeStatusAnswer(Figures(1)), 0},
        {"show", "tallyglass 1 show\n", "tallyglass 1 shown\n", 1},
        {"another version", "tallyglass 2 status\n", "", 0},
        {"unversioned", "show\n", "", 0},
        {"unknown verb", "tallyglass 1 stop\n", "", 0},
        {"too long", std::string(kMaxRequestLength + 10, 'x'), "", 0},
        {"too long a line", "tallyglass 1 status" + std::string(kMaxRequestLength, ' ') + "\n", "",
         0},
        {"more after it", "tallyglass 1 show\nshow\n", "", 0},
        {"binary", std::string("\0\xff\n", 3), "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        shown.clear();
        RawClient client(Path());
        ASSERT_TRUE(client.Connected());
        client.Send(c.request);
        EXPECT_TRUE(Eventually([&] { return client.Closed(); }));
        EXPECT_EQ(client.Received(), c.answer);
        EXPECT_EQ(shown.count(), c.shows);
    }

    sample_ = 2;
    channel_.PublishStatus();
    EXPECT_TRUE(Eventually([&] { return !follower.Closed() && follower.Lines() == 2; }));
    EXPECT_EQ(follower.Received(), EncodeStatusAnswer(Figures(1)) + EncodeStatusAnswer(Figures(2)));
    EXPECT_EQ(channel_.FollowerCount(), 1);

    // A follower that talks on is not one of ours.
    follower.Send("tallyglass 1 status\n");
    EXPECT_TRUE(Eventually([&] { return follower.Closed(); }));
    EXPECT_TRUE(Eventually([&] { return channel_.FollowerCount() == 0; }));
}

TEST_F(InstanceChannelTest, ClientsThatSayOrReadNothingAreLetGo) {
    channel_.SetRequestTimeout(300);
    RawClient silent(Path());
    RawClient deaf(Path());    // follows, never reads
    RawClient reader(Path());  // follows and reads
    RawClient hungUp(Path());  // follows, then goes away
    for (RawClient* follower : {&deaf, &reader, &hungUp}) {
        follower->Send("tallyglass 1 follow\n");
    }
    ASSERT_TRUE(Eventually([&] { return channel_.FollowerCount() == 3; }));
    hungUp.Hangup();

    EXPECT_TRUE(Eventually([&] { return silent.Closed(); }));
    EXPECT_EQ(silent.Received(), "");

    // Samples go on; the deaf one's backlog grows until it is dropped. Nothing here waits on
    // it: publishing never blocks.
    for (int i = 0; i < 100000 && channel_.FollowerCount() > 1; ++i) {
        ++sample_;
        channel_.PublishStatus();
        QCoreApplication::processEvents();
        reader.Closed();
    }
    EXPECT_EQ(channel_.FollowerCount(), 1);
    // The reader had every sample, in order.
    EXPECT_TRUE(Eventually([&] { return !reader.Closed() && reader.Lines() == sample_; }));
    EXPECT_TRUE(Eventually([&] { return deaf.Closed(); }));
    // The connections let go are gone on the meter's side too.
    EXPECT_TRUE(Eventually([&] { return channel_.ConnectionCount() == 1; }));
}

// The status client against the real meter, a hung one and one that ends is the end-to-end
// test's; here the cases it cannot make.
TEST_F(InstanceChannelTest, ClientsTellAMeterNotReadyFromNoMeterAtAll) {
    // Each client call blocks, so it runs on a thread of its own while this one serves.
    const auto ask = [](const QString& folder, MeterStatus& status) {
        CInstanceChannel::Reply reply{};
        std::unique_ptr<QThread> thread(QThread::create(
            [&] { reply = CInstanceChannel::AskForStatus(folder, 10000, status); }));
        thread->start();
        EXPECT_TRUE(QTest::qWaitFor([&] { return thread->isFinished(); }, 30000));
        thread->wait();
        return reply;
    };

    MeterStatus status;
    EXPECT_EQ(ask(Folder(), status), CInstanceChannel::Reply::Answered);
    EXPECT_EQ(status, Figures(1));
    // Still starting: it cannot tell its figures yet.
    channel_.SetStatusSource([] { return std::nullopt; });
    EXPECT_EQ(ask(Folder(), status), CInstanceChannel::Reply::NoAnswer);

    // A folder nothing listens on; one where a meter that was killed left its socket.
    TempDir elsewhere;
    const QString other = QString::fromStdString(elsewhere.Str());
    EXPECT_EQ(ask(other, status), CInstanceChannel::Reply::NoMeter);
    const int left = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = CInstanceChannel::SocketPath(other).toLocal8Bit();
    std::memcpy(address.sun_path, path.constData(), path.size());
    ASSERT_EQ(::bind(left, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(left);  // the file stays, nobody listens
    EXPECT_EQ(ask(other, status), CInstanceChannel::Reply::NoMeter);
}

}  // namespace
