#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <stdexcept>

namespace orvel::test {

TempDir::TempDir(Xdg xdg) {
    if (!m_dir.isValid()) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    if (xdg == Xdg::Redirect) {
        m_redirected = true;
        m_hadConfig = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        m_hadData = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        m_oldConfig = qgetenv("XDG_CONFIG_HOME");
        m_oldData = qgetenv("XDG_DATA_HOME");
        QDir(m_dir.path()).mkpath("config");
        QDir(m_dir.path()).mkpath("data");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path() + "/config"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path() + "/data"));
        // QSettings keeps the folder it computed first; tell it about the new one.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path() + "/config");
    }
}

TempDir::~TempDir() {
    if (m_redirected) {
        if (m_hadConfig) {
            qputenv("XDG_CONFIG_HOME", m_oldConfig);
        } else {
            qunsetenv("XDG_CONFIG_HOME");
        }
        if (m_hadData) {
            qputenv("XDG_DATA_HOME", m_oldData);
        } else {
            qunsetenv("XDG_DATA_HOME");
        }
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           m_hadConfig ? QFile::decodeName(m_oldConfig)
                                       : QDir::homePath() + "/.config");
    }
}

std::string TempDir::path() const { return QFile::encodeName(m_dir.path()).toStdString(); }

std::string TempDir::file(const std::string& name) const { return path() + "/" + name; }

void TempDir::write(const std::string& name, const std::string& bytes) const {
    QFile f(QString::fromStdString(file(name)));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        f.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) {
        throw std::runtime_error("cannot write " + file(name));
    }
}

std::string TempDir::read(const std::string& name) const {
    QFile f(QString::fromStdString(file(name)));
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    return f.readAll().toStdString();
}

}  // namespace orvel::test
