#include <QLocalSocket>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
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
    int Descriptor() const { return fd_; }
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

// A folder for sockets is trusted only while nobody else can put a socket there.
TEST(InstanceChannelFolders, OnlyAFolderOfTheUsersAloneIsTrusted) {
    TempDir temp;
    using State = CInstanceChannel::FolderState;
    const auto folder = [](mode_t mode, uid_t owner) {
        return [mode, owner](const std::string& path) {
            return ::mkdir(path.c_str(), 0700) == 0 && ::chmod(path.c_str(), mode) == 0 &&
                   ::chown(path.c_str(), owner, static_cast<gid_t>(-1)) == 0;
        };
    };
    struct Case {
        const char* name;
        std::function<bool(const std::string&)> make;  // null: nothing there
        bool create;
        State state;
        bool asRoot = false;  // needs the right to give a folder away
    };
    const Case cases[] = {
        {"missing, made", nullptr, true, State::Private},
        {"missing", nullptr, false, State::Missing},
        {"ours alone", folder(0700, getuid()), false, State::Private},
        {"open to the group", folder(0750, getuid()), true, State::Unsafe},
        {"open to all, as the temporary folder", folder(01777, getuid()), true, State::Unsafe},
        {"another user's", folder(0700, 65534), true, State::Unsafe, true},
        {"a link to a folder of ours",
         [&](const std::string& path) { return ::symlink(temp.Str().c_str(), path.c_str()) == 0; },
         true, State::Unsafe},
        {"a file",
         [](const std::string& path) { return ::close(::creat(path.c_str(), 0600)) == 0; }, true,
         State::Unsafe},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.asRoot && getuid() != 0) {
            continue;
        }
        const std::string path = temp.Str() + "/" + std::to_string(++number);
        if (c.make) {
            ASSERT_TRUE(c.make(path));
        }
        QString why;
        EXPECT_EQ(CInstanceChannel::CheckPrivateFolder(QString::fromStdString(path), c.create, why),
                  c.state)
            << why.toStdString();
        struct stat info {};
        if (c.state == State::Private) {
            ASSERT_EQ(::lstat(path.c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 0777, 0700u);
        } else if (c.state == State::Unsafe) {
            EXPECT_FALSE(why.isEmpty());
        }
    }
}

// Runs `work` in a child process as the user "nobody"; its exit code, or -1.
pid_t StartAsNobody(const std::function<int()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ::_exit(dropped ? work() : 99);
    }
    return child;
}

int ExitCode(pid_t child) {
    int status = 0;
    bool ended = false;
    EXPECT_TRUE(QTest::qWaitFor([&] { return ended = ::waitpid(child, &status, WNOHANG) == child; },
                                20000));
    if (!ended) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
    }
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Without a runtime folder of the user's own (after su, in cron or a bare container) the socket
// goes into a folder of ours in the temporary folder, where another local user could otherwise
// have made the name first and answered in the meter's place.
TEST(InstanceChannelFolders, AnotherUserCanNeitherTakeTheSocketNorAnswerOnIt) {
    if (getuid() != 0) {
        GTEST_SKIP() << "needs root to act as another user";
    }
    TempDir temp;
    TempDir data;
    TempDir foreignRuntime;
    ASSERT_EQ(::chmod(foreignRuntime.Str().c_str(), 0755), 0);
    const ScopedEnv runtime("XDG_RUNTIME_DIR", foreignRuntime.Str().c_str());
    const ScopedEnv tmpdir("TMPDIR", temp.Str().c_str());
    const QString folder = QString::fromStdString(data.Str());
    const std::string ours = temp.Str() + "/tallyglass-" + std::to_string(getuid());
    const std::string socket = CInstanceChannel::SocketPath(folder).toStdString();
    ASSERT_EQ(socket.rfind(ours + "/", 0), 0u) << socket;

    {
        CInstanceChannel meter;
        meter.SetStatusSource([] { return std::optional<MeterStatus>(Figures(1)); });
        ASSERT_TRUE(meter.Listen(folder));
        // Opened up, the socket still answers only its user.
        ASSERT_EQ(::chmod(temp.Str().c_str(), 0755), 0);
        ASSERT_EQ(::chmod(ours.c_str(), 0755), 0);
        ASSERT_EQ(::chmod(socket.c_str(), 0777), 0);
        const pid_t stranger = StartAsNobody([&] {
            RawClient client(QString::fromStdString(socket));
            if (!client.Connected()) {
                return 10 + errno;
            }
            const std::string request = "tallyglass 1 status\n";
            if (::send(client.Descriptor(), request.data(), request.size(), MSG_NOSIGNAL) < 0) {
                return 3;
            }
            for (int i = 0; i < 2000 && !client.Closed(); ++i) {
                ::usleep(10000);
            }
            return client.Closed() && client.Received().empty() ? 0 : 1;
        });
        EXPECT_EQ(ExitCode(stranger), 0) << "the meter answered another user";
    }

    // Another user's socket where ours would be: not asked.
    ASSERT_EQ(::chmod(ours.c_str(), 0700), 0);
    ::unlink(socket.c_str());
    TempDir shared;
    ASSERT_EQ(::chmod(shared.Str().c_str(), 0777), 0);
    const std::string theirs = shared.Str() + "/s";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t impostor = StartAsNobody([&] {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, theirs.c_str(), sizeof address.sun_path - 1);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            return 10 + errno;
        }
        if (::listen(fd, 4) != 0 || ::write(ready[1], "r", 1) != 1) {
            return 2;
        }
        ::sleep(30);
        return 0;
    });
    ::close(ready[1]);  // a child that fails ends the read
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1) << "exit code " << ExitCode(impostor);
    ASSERT_EQ(::rename(theirs.c_str(), socket.c_str()), 0);
    MeterStatus status;
    EXPECT_EQ(CInstanceChannel::AskForStatus(folder, 5000, status),
              CInstanceChannel::Reply::Untrusted);
    ::kill(impostor, SIGKILL);
    ::waitpid(impostor, nullptr, 0);
    ::close(ready[0]);

    // A folder another user made first: the meter does not listen, and says why.
    ::unlink(socket.c_str());
    ASSERT_EQ(::chown(ours.c_str(), 65534, static_cast<gid_t>(-1)), 0);
    CInstanceChannel meter;
    QString why;
    EXPECT_FALSE(meter.Listen(folder, &why));
    EXPECT_TRUE(why.startsWith(QString::fromStdString(ours))) << why.toStdString();
    EXPECT_EQ(CInstanceChannel::AskForStatus(folder, 5000, status),
              CInstanceChannel::Reply::Untrusted);
    EXPECT_FALSE(CInstanceChannel::AskToShow(folder, 5000));
}

}  // namespace
