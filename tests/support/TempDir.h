#pragma once

#include <QByteArray>
#include <QTemporaryDir>
#include <string>

namespace orvel::test {

// A temporary folder for one test, removed with it. Optionally points XDG_CONFIG_HOME (and
// XDG_DATA_HOME) into it, so that settings written by the test never touch the user's own.
class TempDir {
public:
    enum class Xdg { Keep, Redirect };
    explicit TempDir(Xdg xdg = Xdg::Keep);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string path() const;                        // no trailing "/"
    std::string file(const std::string& name) const;  // path() + "/" + name
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;

private:
    QTemporaryDir m_dir;
    bool m_redirected = false;
    QByteArray m_oldConfig;
    QByteArray m_oldData;
    bool m_hadConfig = false;
    bool m_hadData = false;
};

}  // namespace orvel::test
