// The launch benchmark's yardstick: a bare Qt window of the front face's size that says when it
// has painted, as the face does with QT_LOGGING_RULES="orvel.face.debug=true".
#include <QApplication>
#include <QPainter>
#include <QWidget>
#include <cstdio>

class Bare : public QWidget {
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), Qt::darkGray);
        std::fprintf(stderr, "orvel.face: first paint\n");
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Bare window;
    window.resize(592, 392);
    window.show();
    return QApplication::exec();
}
