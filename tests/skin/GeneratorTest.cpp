#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdint>

#include "skin/layout/SkinImageTable.h"

namespace orvel::skin {
namespace {

std::uint32_t le(const QByteArray& b, int at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    }
    return v;
}

bool generate(const QString& folder) {
    QProcess generator;
    generator.setProcessChannelMode(QProcess::ForwardedChannels);
    generator.start(QStringLiteral(ORVEL_SKIN_ART_PATH), {folder});
    return generator.waitForFinished(120'000) && generator.exitStatus() == QProcess::NormalExit &&
           generator.exitCode() == 0;
}

QStringList filesUnder(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files << QDir(folder).relativeFilePath(it.next());
    }
    files.sort();
    return files;
}

// Every picture the windows ask for exists, as the 24-bit BMP the skin is made of, at its
// size and at twice its size; and the artwork does not change from one build to the next.
TEST(Generator, DrawsEveryPictureAsBmpAtItsSizesTheSameOnEveryRun) {
    QTemporaryDir first;
    QTemporaryDir second;
    ASSERT_TRUE(generate(first.path()));
    ASSERT_TRUE(generate(second.path()));

    int pictures = 0;
    for (const ImageSpec& image : SkinImageTable::images()) {
        for (const std::string& name : SkinImageTable::fileNames(image)) {
            for (int scale : {1, 2}) {
                const QString file =
                    QStringLiteral("%1/skin/%2%3.bmp")
                        .arg(first.path(), QString::fromStdString(name), scale == 2 ? "@2x" : "");
                SCOPED_TRACE(file.toStdString());
                QFile bmp(file);
                ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
                const QByteArray header = bmp.read(54);
                ASSERT_EQ(header.size(), 54);
                EXPECT_EQ(header.left(2), "BM");
                EXPECT_EQ(le(header, 14, 4), 40u);  // BITMAPINFOHEADER
                EXPECT_EQ(le(header, 18, 4), static_cast<std::uint32_t>(image.size.width * scale));
                EXPECT_EQ(le(header, 22, 4), static_cast<std::uint32_t>(image.size.height * scale));
                EXPECT_EQ(le(header, 28, 2), 24u);
                EXPECT_EQ(le(header, 30, 4), 0u);  // uncompressed
                ++pictures;
            }
        }
    }
    EXPECT_EQ(pictures, 2 * 194);

    const QStringList files = filesUnder(first.path());
    ASSERT_EQ(files, filesUnder(second.path()));
    for (const QString& file : files) {
        QFile a(first.path() + "/" + file);
        QFile b(second.path() + "/" + file);
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        EXPECT_TRUE(a.readAll() == b.readAll()) << file.toStdString() << " differs between runs";
    }
    // The resource list names what was written.
    QFile qrc(first.path() + "/skin.qrc");
    ASSERT_TRUE(qrc.open(QIODevice::ReadOnly));
    const QByteArray list = qrc.readAll();
    for (const QString& file : files) {
        if (file != "skin.qrc") {
            EXPECT_TRUE(list.contains(file.toUtf8())) << file.toStdString();
        }
    }
}

}  // namespace
}  // namespace orvel::skin
