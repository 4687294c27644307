#include "FaceHarness.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTest>

#include "../engine_sound/EngineSoundSupport.h"
#include "../platform_sound/SoundTestSupport.h"
#include "skin/SkinButton.h"

namespace orvel::test {

FaceHarness::FaceHarness() {
    QDir(QString::fromStdString(m_dir.path())).mkpath("install");
    m_settings.writeText(setting::kInstallPath, m_dir.file("install"));
    // Never the user's own music folder.
    m_settings.writeLastName(m_dir.file("Orvel.wav"));
}

FaceHarness::~FaceHarness() {
    if (m_face) {
        m_parts->engine().stop();
        m_parts->engine().waitUntilIdle(std::chrono::seconds(10));
    }
    m_face.reset();
    m_parts.reset();
}

bool FaceHarness::make(Options options) {
    m_server = connectWithLine(m_settings, options.line);
    if (m_server == nullptr) {
        return false;
    }
    m_parts = std::make_unique<RecorderParts>(*m_server, m_settings);
    m_face = std::make_unique<TestFace>(m_parts->services(), m_keys);
    m_face->initialise();
    m_face->show();
    return QTest::qWaitForWindowExposed(m_face.get());
}

std::vector<std::string> FaceHarness::logLines() const {
    std::vector<std::string> lines;
    QDirIterator it(QString::fromStdString(m_dir.file("install/Log")), {"*.txt"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : file.readAll().split('\n')) {
                if (!line.trimmed().isEmpty()) {
                    lines.push_back(line.trimmed().toStdString());
                }
            }
        }
    }
    return lines;
}

void FaceHarness::click(ControlId id) {
    SkinButton* button = m_face->button(id);
    ASSERT_NE(button, nullptr) << static_cast<int>(id);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

void FaceHarness::clickAt(const QPoint& point) {
    QTest::mouseClick(m_face.get(), Qt::LeftButton, {}, point);
}

bool FaceHarness::waitFor(const std::function<bool()>& condition,
                          std::chrono::milliseconds timeout) {
    return waitUntil(condition, timeout);
}

void FaceHarness::run(std::chrono::milliseconds time) {
    waitUntil([] { return false; }, time);
}

}  // namespace orvel::test
