#include <QApplication>

#include "app/StopSignals.h"
#include "app/ui/RecorderApp.h"

// orvel: the recorder with its window (see app/ui/RecorderApp.h).
int main(int argc, char** argv) {
    orvel::StopSignals::ignoreWriteSignals();
    QApplication app(argc, argv);
    return orvel::RecorderApp().run(argc, argv);
}
