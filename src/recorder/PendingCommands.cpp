#include "recorder/PendingCommands.h"

namespace orvel {

PendingCommands::PendingCommands(Post post, Held held)
    : m_post(std::move(post)),
      m_held(std::move(held)),
      m_self(std::make_shared<PendingCommands*>(this)) {}

PendingCommands::~PendingCommands() {
    *m_self = nullptr;
}

void PendingCommands::submit(Command command) {
    if (m_shut) {
        return;
    }
    if (waiting()) {
        m_waiting.push_back(std::move(command));
        return;
    }
    command();
}

void PendingCommands::resume() {
    while (!m_waiting.empty() && !waiting()) {
        Command command = std::move(m_waiting.front());
        m_waiting.pop_front();
        command();
    }
}

void PendingCommands::ask(const std::function<void(Answer)>& pose, Answer answered) {
    if (m_shut) {
        return;
    }
    const int question = ++m_asked;
    m_question = question;
    // A pointer that the destructor clears, so that late answers find nothing to act on.
    const std::shared_ptr<PendingCommands*> self = m_self;
    auto shared = std::make_shared<Answer>(std::move(answered));
    pose([self, question, shared](bool yes) {
        if (*self == nullptr) {
            return;
        }
        (*self)->m_post([self, question, shared, yes] {
            if (*self == nullptr || (*self)->m_question != question) {
                return;
            }
            (*self)->m_question = 0;
            (*shared)(yes);
            if (*self != nullptr) {
                (*self)->resume();
            }
        });
    });
}

void PendingCommands::cancel() {
    m_question = 0;
    m_waiting.clear();
}

void PendingCommands::shut() {
    cancel();
    m_shut = true;
}

}  // namespace orvel
