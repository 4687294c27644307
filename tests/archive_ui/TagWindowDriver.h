#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

#include "skin/SkinFace.h"

namespace orvel::test {

// Runs `drive` on the window of type W once its modal loop has started (the way a user meets a
// window opened by a run function); fails the test when no such window opened.
template <class W>
void whenOpen(std::function<void(W&)> drive) {
    QTimer::singleShot(0, [drive] {
        auto* window = qobject_cast<W*>(QApplication::activeModalWidget());
        if (window == nullptr) {
            ADD_FAILURE() << "no window opened";
            return;
        }
        drive(*window);
    });
}

}  // namespace orvel::test
