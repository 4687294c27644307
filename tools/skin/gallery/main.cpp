// orvel-skin-gallery: every face of the skin, each the recorder's own window reading sample
// settings from a private settings folder (the user's own are never touched); the front face
// records from the sound server (the private one where there is none).
//
//   orvel-skin-gallery                       every face, one after the other (close to go on)
//   orvel-skin-gallery <variant>             one face; --list names the variants
//   orvel-skin-gallery --shots <folder> [--suffix <s>] [<variant>...]
//                                            screen grabs (with the shape) as <variant><s>.png
//   --home <folder>, before the rest         the sample user's home: the files the windows show
//                                            go to its Music folder (default: a private one)

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <cstdio>

#include "RealFront.h"
#include "RealWindows.h"
#include "skin/SkinImageCache.h"

namespace {

using orvel::gallery::RealFront;
using orvel::gallery::RealWindows;

QString s_samples;  // the private folder the sample settings and the log go to
QString s_music;    // the sample user's music folder, where the files the windows name stand

QStringList allVariants() {
    return RealFront::variants() + RealWindows::variants();
}

QDialog* makeWindow(const QString& variant) {
    if (QDialog* front = RealFront::make(variant, s_samples, s_music)) {
        return front;
    }
    return RealWindows::make(variant, s_samples, s_music);
}

// A plain screen-wide window behind the faces: their cut-off corners show it in the grabs.
class Backdrop : public QWidget {
public:
    Backdrop() : QWidget(nullptr, Qt::FramelessWindowHint) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), QColor(214, 218, 224));
    }
};

void settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

int shoot(const QString& folder, const QString& suffix, QStringList variants) {
    if (variants.isEmpty()) {
        variants = allVariants();
    }
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "orvel-skin-gallery: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    Backdrop backdrop;
    backdrop.setGeometry(screen->geometry());
    backdrop.show();
    settle(200);
    for (const QString& variant : variants) {
        QDialog* face = makeWindow(variant);
        if (!face) {
            std::fprintf(stderr, "orvel-skin-gallery: no face %s\n", qPrintable(variant));
            return 2;
        }
        face->show();
        settle(400);
        const int margin = 12;
        const QRect area = face->frameGeometry().adjusted(-margin, -margin, margin, margin);
        const QPixmap shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
        const QString file = QStringLiteral("%1/%2%3.png").arg(folder, variant, suffix);
        if (!shot.save(file)) {
            std::fprintf(stderr, "orvel-skin-gallery: cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
        delete face;
        settle(50);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir samples;
    if (!samples.isValid()) {
        std::fprintf(stderr, "orvel-skin-gallery: no temporary folder\n");
        return 1;
    }
    s_samples = samples.path();
    QStringList args = app.arguments().mid(1);
    QString home = samples.filePath("home");
    if (args.value(0) == "--home") {
        home = QDir::cleanPath(QDir(args.value(1)).absolutePath());
        args = args.mid(2);
    }
    s_music = home + QStringLiteral("/Music");
    if (!QDir().mkpath(s_music)) {
        std::fprintf(stderr, "orvel-skin-gallery: cannot create %s\n", qPrintable(s_music));
        return 1;
    }
    // The windows find the music folder as a user's programs do: in the home folder.
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(samples.filePath("config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(samples.filePath("data")));
    QApplication::setWindowIcon(orvel::SkinImageCache::programIcon());
    if (args.value(0) == "--list") {
        for (const QString& variant : allVariants()) {
            std::printf("%s\n", qPrintable(variant));
        }
        return 0;
    }
    if (args.value(0) == "--shots") {
        const QString folder = args.value(1);
        args = args.mid(2);
        QString suffix;
        if (args.value(0) == "--suffix") {
            suffix = args.value(1);
            args = args.mid(2);
        }
        return folder.isEmpty() ? 2 : shoot(folder, suffix, args);
    }
    const QStringList variants = args.isEmpty() ? allVariants() : args;
    for (const QString& variant : variants) {
        QDialog* face = makeWindow(variant);
        if (!face) {
            std::fprintf(stderr, "orvel-skin-gallery: no face %s (see --list)\n",
                         qPrintable(variant));
            return 2;
        }
        face->exec();
        delete face;
    }
    return 0;
}
