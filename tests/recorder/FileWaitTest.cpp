#include "recorder/FileWait.h"

#include <gtest/gtest.h>
#include <QTest>

#include <vector>

namespace orvel {
namespace {

// The wait with the previous file's state in the test's hands; `ends` keeps how each wait ended.
struct Wait {
    bool complete = false;
    std::vector<bool> ends;
    FileWait wait{[this] { return complete; }};

    FileWait::Then note() {
        return [this](bool done) { ends.push_back(done); };
    }
};

// The engine may finish its run while a file it was handed is still being completed: the wait
// goes on until both are over, ends once, and its timer never ends it a second time. When the
// time is up first, a file completed later changes nothing.
TEST(FileWait, EndsOnceWhenThePreviousFileIsCompleteOrWhenItsTimeIsUp) {
    Wait w;
    w.wait.start(50, w.note());
    w.wait.previousCompleted();
    EXPECT_TRUE(w.ends.empty());
    w.complete = true;
    w.wait.previousCompleted();
    EXPECT_EQ(w.ends, std::vector<bool>{true});
    EXPECT_FALSE(w.wait.waiting());
    QTest::qWait(120);
    w.wait.previousCompleted();
    EXPECT_EQ(w.ends.size(), 1u);

    w.complete = false;
    w.wait.start(20, w.note());
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.ends.size() == 2; }, 2000));
    EXPECT_FALSE(w.ends.back());
    w.complete = true;
    w.wait.previousCompleted();
    EXPECT_EQ(w.ends.size(), 2u);
}

// Stop cancels a waiting start: it never runs, neither from its timer nor from the file. A start
// that runs from the end of a wait may itself wait again (the engine was busy once more), and
// that second wait is kept, with its own timer.
TEST(FileWait, ACancelledWaitNeverEndsAndAnEndMayWaitAgain) {
    Wait w;
    w.wait.start(20, w.note());
    w.wait.cancel();
    QTest::qWait(80);
    w.complete = true;
    w.wait.previousCompleted();
    EXPECT_TRUE(w.ends.empty());

    w.wait.start(10000, [&w](bool) {
        w.complete = false;
        w.wait.start(20, w.note());
    });
    w.wait.previousCompleted();
    EXPECT_TRUE(w.wait.waiting());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.ends.empty(); }, 2000));
    EXPECT_EQ(w.ends, std::vector<bool>{false});
}

}  // namespace
}  // namespace orvel
