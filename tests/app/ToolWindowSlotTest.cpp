#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include <vector>

#include <gtest/gtest.h>

#include "app/CToolWindowSlot.h"
#include "core/CObservable.h"

namespace {

// A tool window that observes something while it exists.
class WatchingDialog : public QDialog, public CObserver {
public:
    explicit WatchingDialog(CObservable& subject) : observation_(subject, *this) {}
    void Update() override { ++updates; }
    int updates = 0;

private:
    CScopedObservation observation_;
};

}  // namespace

TEST(ToolWindowSlot, OpensOnceAndEmptiesHoweverTheWindowCloses) {
    CObservable subject;
    CToolWindowSlot<WatchingDialog> slot;
    int made = 0;
    const auto make = [&] {
        ++made;
        return new WatchingDialog(subject);
    };

    QPointer<WatchingDialog> first = slot.Open(make);
    EXPECT_EQ(slot.Open(make), first.data());  // a second command shows the same window
    EXPECT_EQ(made, 1);
    subject.NotifyAll();
    EXPECT_EQ(first->updates, 1);

    // OK, Cancel and the close box all end in done() or close(): the window goes, and detaches.
    first->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_FALSE(slot.IsOpen());
    EXPECT_EQ(subject.ObserverCount(), 0u);

    QPointer<WatchingDialog> second = slot.Open(make);
    EXPECT_EQ(made, 2);
    second->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull());

    // At shutdown the slot deletes its window at once, while the subject still exists.
    slot.Open(make);
    slot.Destroy();
    EXPECT_FALSE(slot.IsOpen());
    EXPECT_EQ(subject.ObserverCount(), 0u);
}

// Where the graph leaves no room on the desktop, the window stays on top as the graph does, so
// the one used last is in front; elsewhere it stays an ordinary window.
TEST(ToolWindowSlot, AWindowTheGraphCannotClearStaysOnTopLikeIt) {
    CObservable subject;
    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    for (const bool covered : {false, true}) {
        CToolWindowSlot<WatchingDialog> slot;
        const QRect graph = covered ? desktop : QRect(desktop.topLeft(), QSize(40, 20));
        WatchingDialog* window = slot.Open([&] { return new WatchingDialog(subject); }, graph);
        EXPECT_EQ(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint), covered);
        EXPECT_EQ(window->frameGeometry().intersects(graph), covered);
    }
}

TEST(ToolWindowSlot, AfterCloseRunsOnceForEachClosedWindowWhenItIsGone) {
    CObservable subject;
    std::vector<bool> goneWhenRun;
    QPointer<WatchingDialog> window;
    CToolWindowSlot<WatchingDialog> slot([&] { goneWhenRun.push_back(window.isNull()); });
    const auto make = [&] { return new WatchingDialog(subject); };

    for (int round = 1; round <= 2; ++round) {
        window = slot.Open(make);
        slot.Open(make);  // shown again, not made again: still one close to come
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(window.isNull());
        QCoreApplication::processEvents();
        EXPECT_EQ(goneWhenRun, std::vector<bool>(round, true));
    }

    // A slot without it behaves as before.
    CToolWindowSlot<WatchingDialog> plain;
    plain.Open(make)->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_FALSE(plain.IsOpen());
    EXPECT_EQ(goneWhenRun.size(), 2u);
}
