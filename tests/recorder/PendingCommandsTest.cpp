#include "recorder/PendingCommands.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace orvel {
namespace {

// The queue with the event loop in the test's hands: posted functions run when it says so.
struct Queue {
    std::vector<std::string> ran;
    std::vector<PendingCommands::Command> posted;
    std::vector<PendingCommands::Answer> answers;  // the views' callbacks, in the order asked
    bool held = false;
    std::unique_ptr<PendingCommands> pending = std::make_unique<PendingCommands>(
        [this](PendingCommands::Command call) { posted.push_back(std::move(call)); },
        [this] { return held; });

    PendingCommands::Command note(std::string what) {
        return [this, what] { ran.push_back(what); };
    }
    void ask(const std::string& name) {
        pending->ask([this](PendingCommands::Answer answer) { answers.push_back(answer); },
                     [this, name](bool yes) { ran.push_back(name + (yes ? ":yes" : ":no")); });
    }
    void runPosted() {
        while (!posted.empty()) {
            PendingCommands::Command call = std::move(posted.front());
            posted.erase(posted.begin());
            call();
        }
    }
};

// Commands given while the question is open run once it is answered, after the answer, in the
// order they came; the answer itself runs from the event loop, never inside the call that gave
// it. A command that asks again holds the rest until that second answer.
TEST(PendingCommands, CommandsRunAfterTheAnswerInOrderAndAStartThatAsksHoldsTheRest) {
    Queue q;
    q.ask("overwrite");
    q.pending->submit([&q] { q.ask("second"); });
    q.pending->submit(q.note("pause"));
    q.pending->submit(q.note("format"));
    EXPECT_TRUE(q.ran.empty());
    ASSERT_EQ(q.answers.size(), 1u);
    q.answers[0](true);
    EXPECT_TRUE(q.ran.empty());  // not inside the view's call
    q.runPosted();
    EXPECT_EQ(q.ran, (std::vector<std::string>{"overwrite:yes"}));
    EXPECT_TRUE(q.pending->questionOpen());
    ASSERT_EQ(q.answers.size(), 2u);
    q.answers[1](false);
    q.runPosted();
    EXPECT_EQ(q.ran, (std::vector<std::string>{"overwrite:yes", "second:no", "pause", "format"}));
    q.pending->submit(q.note("now"));
    EXPECT_EQ(q.ran.back(), "now");
}

// Stop closes the question unanswered and drops what waited: a late answer, even one already
// on its way through the event loop, changes nothing; nor does the answer to an older question
// once a newer one is open.
TEST(PendingCommands, StopDropsTheQuestionAndWhatWaitedAndLateAnswersDoNothing) {
    Queue q;
    q.ask("first");
    q.pending->submit(q.note("record"));
    q.answers[0](true);  // posted, not yet run
    q.pending->cancel();
    q.runPosted();
    EXPECT_TRUE(q.ran.empty());
    EXPECT_FALSE(q.pending->questionOpen());

    q.ask("second");
    q.pending->closeQuestion();
    q.ask("third");
    q.answers[1](true);
    q.runPosted();
    EXPECT_TRUE(q.ran.empty());
    EXPECT_TRUE(q.pending->questionOpen());
    q.answers[2](false);
    q.runPosted();
    EXPECT_EQ(q.ran, (std::vector<std::string>{"third:no"}));
}

// The owner's own hold (the first run) keeps commands waiting until it resumes them; after
// shut() nothing runs any more, and an answer that comes after the queue is gone finds nothing.
TEST(PendingCommands, HeldCommandsWaitForResumeAndNothingRunsAfterShutOrDestruction) {
    Queue q;
    q.held = true;
    q.pending->submit(q.note("record"));
    q.pending->resume();
    EXPECT_TRUE(q.ran.empty());
    q.held = false;
    q.pending->resume();
    EXPECT_EQ(q.ran, (std::vector<std::string>{"record"}));

    q.pending->shut();
    q.pending->submit(q.note("after close"));
    EXPECT_EQ(q.ran.size(), 1u);

    Queue gone;
    gone.ask("overwrite");
    gone.answers[0](true);
    PendingCommands::Answer late = gone.answers[0];
    gone.pending.reset();
    gone.runPosted();
    late(true);
    EXPECT_TRUE(gone.ran.empty());
    EXPECT_TRUE(gone.posted.empty());
}

}  // namespace
}  // namespace orvel
