#include "recorder/FileWait.h"

#include <utility>

namespace orvel {

FileWait::FileWait(Complete complete, QObject* parent)
    : QObject(parent), m_complete(std::move(complete)) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { end(false); });
}

void FileWait::start(int timeoutMs, Then then) {
    m_then = std::move(then);
    m_timer.start(timeoutMs);
}

void FileWait::cancel() {
    m_timer.stop();
    m_then = nullptr;
}

void FileWait::previousCompleted() {
    if (waiting() && m_complete()) {
        end(true);
    }
}

void FileWait::end(bool complete) {
    m_timer.stop();
    if (const Then then = std::exchange(m_then, nullptr)) {
        then(complete);
    }
}

}  // namespace orvel
