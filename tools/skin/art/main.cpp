// orvel-skin-art <output folder>: draws every image of the skin from the layout table, at
// scale 1 and 2, with the icon and the line window's cursor, and writes the resource list
// skin.qrc beside them. The same table gives the same bytes on every run.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>
#include <cstdio>

#include "ControlArt.h"
#include "FaceArt.h"
#include "IconArt.h"
#include "skin/layout/SkinImageTable.h"

namespace {

using namespace orvel;

struct Written {
    QString alias;  // name in the resources
    QString path;   // relative to the output folder
};

bool save(const QImage& image, const QString& folder, const QString& relative, const char* format,
          QList<Written>& written, const QString& alias) {
    const QString path = folder + "/" + relative;
    if (!image.save(path, format)) {
        std::fprintf(stderr, "orvel-skin-art: cannot write %s\n", qPrintable(path));
        return false;
    }
    written.append({alias, relative});
    return true;
}

bool writeQrc(const QString& folder, const QList<Written>& skin, const QList<Written>& icons) {
    QFile file(folder + "/skin.qrc");
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    QTextStream out(&file);
    out << "<RCC>\n  <qresource prefix=\"/skin\">\n";
    for (const Written& w : skin) {
        out << "    <file alias=\"" << w.alias << "\">" << w.path << "</file>\n";
    }
    out << "  </qresource>\n  <qresource prefix=\"/icons\">\n";
    for (const Written& w : icons) {
        out << "    <file alias=\"" << w.alias << "\">" << w.path << "</file>\n";
    }
    out << "  </qresource>\n</RCC>\n";
    return out.status() == QTextStream::Ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvel-skin-art <output folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder + "/skin") || !QDir().mkpath(folder + "/icons")) {
        std::fprintf(stderr, "orvel-skin-art: cannot create %s\n", argv[1]);
        return 1;
    }

    QList<Written> skinFiles;
    QList<Written> iconFiles;
    bool ok = true;
    for (const skin::ImageSpec& image : skin::SkinImageTable::images()) {
        const std::vector<std::string> names = skin::SkinImageTable::fileNames(image);
        const auto states = skin::SkinImageTable::states(image.states);
        for (std::size_t i = 0; i < names.size(); ++i) {
            const skin::ImageState state = states.empty() ? skin::ImageState::Up : states[i];
            for (int scale : {1, 2}) {
                QImage picture;
                if (image.kind == skin::ImageKind::Face) {
                    picture = art::FaceArt::draw(image.name, scale).value_or(QImage());
                } else {
                    picture = art::ControlArt::draw(image, state, scale);
                }
                if (picture.isNull()) {
                    std::fprintf(stderr, "orvel-skin-art: nothing draws %s\n", names[i].c_str());
                    return 1;
                }
                const QString file =
                    QString::fromStdString(names[i]) +
                    (scale == 2 ? QStringLiteral("@2x.bmp") : QStringLiteral(".bmp"));
                ok = save(picture.convertToFormat(QImage::Format_RGB32), folder, "skin/" + file,
                          "BMP", skinFiles, file) &&
                     ok;
            }
        }
    }
    const QString cursor =
        QString::fromUtf8(skin::kLineCursor.data(), static_cast<int>(skin::kLineCursor.size()));
    ok = save(art::IconArt::plugCursor(1), folder, "skin/" + cursor + ".png", "PNG", skinFiles,
              cursor + ".png") &&
         ok;
    ok = save(art::IconArt::plugCursor(2), folder, "skin/" + cursor + "@2x.png", "PNG", skinFiles,
              cursor + "@2x.png") &&
         ok;
    const QString arrow =
        QString::fromUtf8(skin::kFieldArrow.data(), static_cast<int>(skin::kFieldArrow.size()));
    for (bool off : {false, true}) {
        const QString name = arrow + (off ? QStringLiteral("_DISABLED") : QString());
        ok = save(art::IconArt::fieldArrow(1, off), folder, "skin/" + name + ".png", "PNG",
                  skinFiles, name + ".png") &&
             ok;
        ok = save(art::IconArt::fieldArrow(2, off), folder, "skin/" + name + "@2x.png", "PNG",
                  skinFiles, name + "@2x.png") &&
             ok;
    }
    for (int size : skin::kIconSizes) {
        const QString file = QStringLiteral("orvel-%1.png").arg(size);
        ok = save(art::IconArt::icon(size), folder, "icons/" + file, "PNG", iconFiles, file) && ok;
    }
    if (!ok || !writeQrc(folder, skinFiles, iconFiles)) {
        std::fprintf(stderr, "orvel-skin-art: writing failed\n");
        return 1;
    }
    return 0;
}
