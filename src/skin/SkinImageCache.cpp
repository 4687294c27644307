#include "skin/SkinImageCache.h"

#include <QHash>
#include <QImage>
#include <QSet>

#include "skin/layout/SkinImageTable.h"

Q_LOGGING_CATEGORY(lcSkin, "orvel.skin")

// The generated skin resources live in a static library of their own; naming their
// initialiser here makes the linker keep them.
static void initSkinResources() {
    Q_INIT_RESOURCE(skin);
}

namespace orvel {

namespace {

struct Cache {
    Cache() { initSkinResources(); }
    QHash<QString, QPixmap> pixmaps;
    QSet<QString> missing;
};

Cache& cache() {
    static Cache instance;
    return instance;
}

bool keyed(std::string_view file) {
    const skin::ImageSpec* image = skin::SkinImageTable::find(file);
    return image &&
           (image->kind == skin::ImageKind::Track || image->kind == skin::ImageKind::Thumb);
}

QImage withoutKeyColour(const QImage& source) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = qRgb(255, 0, 255);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((row[x] | 0xff000000u) == key) {
                row[x] = 0;
            }
        }
    }
    return image;
}

}  // namespace

QPixmap SkinImageCache::pixmap(std::string_view file, qreal devicePixelRatio) {
    const int scale = devicePixelRatio > 1.0 ? 2 : 1;
    const QString name = QString::fromUtf8(file.data(), static_cast<int>(file.size()));
    const QString key = scale == 2 ? name + QStringLiteral("@2x") : name;
    Cache& c = cache();
    if (const auto it = c.pixmaps.constFind(key); it != c.pixmaps.cend()) {
        return *it;
    }
    QImage image(QStringLiteral(":/skin/%1.bmp").arg(key));
    if (image.isNull() && scale == 2) {
        // A picture without its double-size twin still shows, at scale 1.
        return pixmap(file, 1.0);
    }
    if (image.isNull()) {
        if (!c.missing.contains(name)) {
            c.missing.insert(name);
            qCWarning(lcSkin) << "skin picture missing:" << name;
        }
        return {};
    }
    if (keyed(file)) {
        image = withoutKeyColour(image);
    }
    QPixmap result = QPixmap::fromImage(image);
    result.setDevicePixelRatio(scale);
    c.pixmaps.insert(key, result);
    return result;
}

void SkinImageCache::replace(std::string_view file, const QImage& image) {
    const QString name = QString::fromUtf8(file.data(), static_cast<int>(file.size()));
    Cache& c = cache();
    const QPixmap pixmap = QPixmap::fromImage(image);
    c.pixmaps.insert(name, pixmap);
    c.pixmaps.insert(name + QStringLiteral("@2x"), pixmap);
}

void SkinImageCache::forget(std::string_view file) {
    const QString name = QString::fromUtf8(file.data(), static_cast<int>(file.size()));
    Cache& c = cache();
    c.pixmaps.remove(name);
    c.pixmaps.remove(name + QStringLiteral("@2x"));
}

void SkinImageCache::registerResources() {
    cache();
}

QIcon SkinImageCache::programIcon() {
    cache();
    QIcon icon;
    for (int size : skin::kIconSizes) {
        icon.addFile(QStringLiteral(":/icons/orvel-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

QCursor SkinImageCache::lineCursor(qreal devicePixelRatio) {
    cache();
    const bool twice = devicePixelRatio > 1.0;
    const QString file = QStringLiteral(":/skin/%1%2.png")
                             .arg(QString::fromUtf8(skin::kLineCursor.data(),
                                                    static_cast<int>(skin::kLineCursor.size())),
                                  twice ? QStringLiteral("@2x") : QString());
    QPixmap picture(file);
    if (picture.isNull()) {
        return QCursor(Qt::PointingHandCursor);
    }
    picture.setDevicePixelRatio(twice ? 2 : 1);
    return QCursor(picture, skin::kLineCursorHotSpot.x, skin::kLineCursorHotSpot.y);
}

}  // namespace orvel
