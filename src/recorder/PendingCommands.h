#pragma once

#include <deque>
#include <functional>
#include <memory>

namespace orvel {

// The recorder's commands that arrive while it cannot take them yet, and the one question that
// may be open. While a question is open, or the owner holds the commands for a reason of its own
// (the first-run window and its line search, a start waiting for the previous file), every
// command submitted waits; once nothing holds they run in the order they came, each on the state
// the one before it left, as if no question had been asked. A command that holds again (a start
// that asks) leaves the rest waiting for that.
//
// A question is asked without waiting: the view answers later through the callback it is given,
// and the answer runs from the event loop (through `post`), never inside the call that gave it.
// An answer to a question no longer open (cancelled, or a newer one asked) does nothing, and so
// does one that comes after this object is gone.
//
// Life cycle: open until shut(); from then on commands are dropped and answers ignored (the
// program is closing).
//
// Thread contract: called on the GUI thread; `post` runs its function later on the GUI thread.
class PendingCommands {
public:
    using Command = std::function<void()>;
    using Post = std::function<void(Command)>;
    using Held = std::function<bool()>;
    using Answer = std::function<void(bool yes)>;

    // held: whether the owner holds the commands besides an open question.
    PendingCommands(Post post, Held held);
    ~PendingCommands();
    PendingCommands(const PendingCommands&) = delete;
    PendingCommands& operator=(const PendingCommands&) = delete;

    // Runs the command now when nothing holds, else once nothing does, after the ones before it.
    void submit(Command command);
    // Runs the waiting commands, in order, for as long as nothing holds. The owner calls it when
    // a reason of its own to hold has ended.
    void resume();

    // Opens a question: `pose` shows it and is handed the callback the view answers through.
    // Once answered, `answered` runs with the answer, then the waiting commands.
    void ask(const std::function<void(Answer)>& pose, Answer answered);
    bool questionOpen() const { return m_question != 0; }
    // A question is open or the owner holds.
    bool waiting() const { return questionOpen() || m_held(); }

    // The question closes without its answer running; the waiting commands stay.
    void closeQuestion() { m_question = 0; }
    // Stop: the question closes without its answer running, and the waiting commands are
    // dropped.
    void cancel();
    // Close: as cancel(), and every later command is dropped.
    void shut();

private:
    Post m_post;
    Held m_held;
    std::deque<Command> m_waiting;
    int m_question = 0;  // the open question's number; 0: none
    int m_asked = 0;
    bool m_shut = false;
    // The answers' way back to this object, cleared when it goes.
    std::shared_ptr<PendingCommands*> m_self;
};

}  // namespace orvel
