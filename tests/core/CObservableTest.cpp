#include "core/CObservable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class Recorder : public CObserver {
public:
    Recorder(std::string& log, char name) : log_(log), name_(name) {}
    void Update() override { log_ += name_; }

private:
    std::string& log_;
    char name_;
};

}  // namespace

TEST(CObservable, NotifiesInAttachOrderWithDuplicatesAndDetachesFirstOccurrence) {
    std::string log;
    Recorder a(log, 'a'), b(log, 'b');
    CObservable subject;
    subject.NotifyAll();  // empty list: nothing happens
    EXPECT_EQ(log, "");

    subject.Attach(a);
    subject.Attach(b);
    subject.Attach(a);  // no duplicate check
    EXPECT_EQ(a.Observed(), &subject);
    subject.NotifyAll();
    EXPECT_EQ(log, "aba");

    log.clear();
    subject.Detach(a);  // only the first 'a' goes
    subject.NotifyAll();
    EXPECT_EQ(log, "ba");

    log.clear();
    Recorder stranger(log, 's');
    subject.Detach(stranger);  // absent: ignored
    subject.Detach(b);
    subject.Detach(a);
    subject.NotifyAll();
    EXPECT_EQ(log, "");
    EXPECT_EQ(subject.ObserverCount(), 0u);
}

TEST(CObservable, ObserverMayDetachItselfWhileBeingTold) {
    std::string log;
    CObservable subject;
    struct Leaver : CObserver {
        CObservable& s;
        std::string& log;
        Leaver(CObservable& subject, std::string& record) : s(subject), log(record) {}
        void Update() override {
            log += 'l';
            s.Detach(*this);
        }
    } leaver(subject, log);
    Recorder after(log, 'r');
    subject.Attach(leaver);
    subject.Attach(after);
    subject.NotifyAll();
    EXPECT_EQ(log, "lr");  // the observer after the leaver is still told
    subject.NotifyAll();
    EXPECT_EQ(log, "lrr");
    EXPECT_EQ(subject.ObserverCount(), 1u);
}
