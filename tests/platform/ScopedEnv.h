#pragma once

#include <QByteArray>
#include <map>
#include <string>

namespace orvel::test {

// Sets or unsets environment variables for one test and puts the old values back after it.
class ScopedEnv {
public:
    ScopedEnv() = default;
    ~ScopedEnv() {
        for (const auto& [name, old] : m_saved) {
            if (old.had) {
                qputenv(name.c_str(), old.value);
            } else {
                qunsetenv(name.c_str());
            }
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    void set(const std::string& name, const std::string& value) {
        save(name);
        qputenv(name.c_str(), QByteArray::fromStdString(value));
    }
    void unset(const std::string& name) {
        save(name);
        qunsetenv(name.c_str());
    }

private:
    struct Old {
        bool had;
        QByteArray value;
    };
    void save(const std::string& name) {
        if (m_saved.count(name) == 0) {
            m_saved[name] = Old{qEnvironmentVariableIsSet(name.c_str()), qgetenv(name.c_str())};
        }
    }
    std::map<std::string, Old> m_saved;
};

}  // namespace orvel::test
