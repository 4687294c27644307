#include "config/SettingsStore.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace orvel {
namespace {

using test::TempDir;

class SettingsStoreTest : public ::testing::Test {
protected:
    // The store as another program (or an older version) left it, bypassing the accessors.
    static void storeRaw(const char* name, const QVariant& value) {
        QSettings raw(QSettings::NativeFormat, QSettings::UserScope, "Orvel", "Parameters");
        raw.setValue(name, value);
    }
    static QVariant readRaw(const char* name) {
        QSettings raw(QSettings::NativeFormat, QSettings::UserScope, "Orvel", "Parameters");
        return raw.value(name);
    }
    std::string configFile(const std::string& name) const {
        return m_dir.path() + "/config/" + name;
    }

    TempDir m_dir{TempDir::Xdg::Redirect};
    SettingsStore m_store;
};

TEST_F(SettingsStoreTest, NothingStoredReadsAsTheDefaults) {
    EXPECT_EQ(m_store.readFreq(), 7);
    EXPECT_EQ(m_store.readBit(), 1);
    EXPECT_EQ(m_store.readChannel(), 1);
    EXPECT_EQ(m_store.readVolume(), 32000);
    EXPECT_EQ(m_store.readDevice(), -1);
    EXPECT_EQ(m_store.readAudioLine(), -1);
    EXPECT_EQ(m_store.readThreshold(), 0);
    EXPECT_EQ(m_store.readMultiFileStatus(), 0);
    EXPECT_EQ(m_store.readLastName(), "");
    EXPECT_EQ(m_store.readInstallPath(), "");
    EXPECT_EQ(m_store.readNumber(setting::kBackgroundScale), 50);
    EXPECT_EQ(m_store.readNumber(setting::kBackgroundEnablePreview), 1);
    EXPECT_EQ(m_store.readNumber(setting::kWmaFormat), -1);
    EXPECT_EQ(m_store.readNumber(setting::kLowPass), 20000);
    EXPECT_EQ(m_store.readNumber("Alert", 42), 42);
    EXPECT_EQ(m_store.readText(setting::kBackgroundFile), "");
}

// Stored files from earlier versions use exactly these names, misspellings included.
TEST_F(SettingsStoreTest, TypedWritersStoreUnderTheirOwnNames) {
    struct Typed {
        const char* name;
        void (SettingsStore::*write)(int) const;
        int (SettingsStore::*read)() const;
        int value;
    };
    using S = SettingsStore;
    const std::vector<Typed> typed = {
        {"Freq", &S::writeFreq, &S::readFreq, 3},
        {"Bit", &S::writeBit, &S::readBit, 0},
        {"Channel", &S::writeChannel, &S::readChannel, 2},
        {"Volume", &S::writeVolume, &S::readVolume, 1234},
        {"Device", &S::writeDevice, &S::readDevice, 4},
        {"AudoLine", &S::writeAudioLine, &S::readAudioLine, 5},
        {"MP3Mode", &S::writeMp3Mode, &S::readMp3Mode, 1},
        {"MP3Bitrate", &S::writeMp3Bitrate, &S::readMp3Bitrate, 9},
        {"Threshold", &S::writeThreshold, &S::readThreshold, 10},
        {"SignalType", &S::writeSignalType, &S::readSignalType, 2},
        {"NewFileDelay", &S::writeNewFileDelay, &S::readNewFileDelay, 11},
        {"ShowSwitch", &S::writeShowSwitch, &S::readShowSwitch, 12},
        {"ScheduleType", &S::writeScheduleType, &S::readScheduleType, 13},
        {"BtnMultiFileStatus", &S::writeMultiFileStatus, &S::readMultiFileStatus, 14},
        {"BtnTimeStampedStatus", &S::writeTimeStampedStatus, &S::readTimeStampedStatus, 15}};
    // All written before any is checked, so that one writer overwriting another's value shows.
    for (const Typed& t : typed) {
        (m_store.*t.write)(t.value);
    }
    m_store.writeLastName("/home/ann/Take.WAV");
    m_store.writeAbility("01");
    for (const Typed& t : typed) {
        EXPECT_EQ(readRaw(t.name).toString(), QString::number(t.value)) << t.name;
        EXPECT_EQ((m_store.*t.read)(), t.value) << t.name;
    }
    EXPECT_EQ(readRaw("LastName").toString(), "/home/ann/Take.WAV");
    EXPECT_EQ(readRaw("Ability").toString(), "01");
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(configFile("Orvel/Parameters.conf"))));
}

TEST_F(SettingsStoreTest, NamesWithBlanksAndOtherProductsStaySeparate) {
    m_store.writeNumber(setting::kBackgroundScale, 70);
    m_store.writeText(setting::kBackgroundFile, "/music/bg.mp3");
    EXPECT_EQ(readRaw("Background Scale").toInt(), 70);
    EXPECT_EQ(SettingsStore().readNumber(setting::kBackgroundScale), 70);
    EXPECT_EQ(m_store.readText("Background File"), "/music/bg.mp3");

    const SettingsStore other("OrvelOther");
    EXPECT_EQ(other.readNumber(setting::kBackgroundScale), 50);
    other.writeNumber(setting::kBackgroundScale, 10);
    EXPECT_EQ(m_store.readNumber(setting::kBackgroundScale), 70);
}

struct LoadCase {
    const char* name;
    int stored;
    int (SettingsStore::*reader)() const;
    int expected;
};

void PrintTo(const LoadCase& c, std::ostream* os) {
    *os << c.name << " stored as " << c.stored;
}

class SettingsStoreLoadRules : public SettingsStoreTest,
                               public ::testing::WithParamInterface<LoadCase> {};

TEST_P(SettingsStoreLoadRules, KeepReadValuesInTheirRange) {
    const LoadCase& c = GetParam();
    m_store.writeNumber(c.name, c.stored);
    EXPECT_EQ((m_store.*c.reader)(), c.expected) << c.name << " stored as " << c.stored;
}

INSTANTIATE_TEST_SUITE_P(
    Stored, SettingsStoreLoadRules,
    ::testing::Values(LoadCase{"Threshold", 60, &SettingsStore::readThreshold, 47},
                      LoadCase{"Threshold", -3, &SettingsStore::readThreshold, 0},
                      LoadCase{"Threshold", 47, &SettingsStore::readThreshold, 47},
                      LoadCase{"SignalType", 5, &SettingsStore::readSignalType, 0},
                      LoadCase{"SignalType", -1, &SettingsStore::readSignalType, 0},
                      LoadCase{"SignalType", 2, &SettingsStore::readSignalType, 2},
                      LoadCase{"NewFileDelay", 26, &SettingsStore::readNewFileDelay, 0},
                      LoadCase{"NewFileDelay", -1, &SettingsStore::readNewFileDelay, 0},
                      LoadCase{"NewFileDelay", 25, &SettingsStore::readNewFileDelay, 25},
                      LoadCase{"PreRoll", 2500, &SettingsStore::readPreRoll, 2000},
                      LoadCase{"PreRoll", -5, &SettingsStore::readPreRoll, 0},
                      // Indexes into the rate, bit-rate and mode tables.
                      LoadCase{"Freq", 9, &SettingsStore::readFreq, 7},
                      LoadCase{"Freq", -1, &SettingsStore::readFreq, 7},
                      LoadCase{"Freq", 0, &SettingsStore::readFreq, 0},
                      LoadCase{"MP3Bitrate", 16, &SettingsStore::readMp3Bitrate, 0},
                      LoadCase{"MP3Bitrate", 15, &SettingsStore::readMp3Bitrate, 15},
                      LoadCase{"MP3Mode", 3, &SettingsStore::readMp3Mode, 0},
                      LoadCase{"MP3Mode", 2, &SettingsStore::readMp3Mode, 2},
                      LoadCase{"Volume", 70000, &SettingsStore::readVolume, 65535},
                      LoadCase{"Volume", -5, &SettingsStore::readVolume, 0},
                      LoadCase{"Device", 3, &SettingsStore::readDevice, 3}),
    [](const ::testing::TestParamInfo<LoadCase>& p) {
        const int v = p.param.stored;
        return std::string(p.param.name) + (v < 0 ? "_minus" : "_") +
               std::to_string(v < 0 ? -v : v);
    });

TEST_F(SettingsStoreTest, NumbersOfAnotherTypeReadAsTheDefault) {
    const std::vector<QVariant> notNumbers = {
        "abc", "12abc", "", "0x10", "1.5", "3000000000", QStringList{"1", "2"}, QByteArray("7")};
    for (const QVariant& stored : notNumbers) {
        storeRaw("Freq", stored);
        storeRaw("Alert", stored);
        EXPECT_EQ(m_store.readFreq(), 7) << stored.toString().toStdString();
        EXPECT_EQ(m_store.readNumber("Alert", 42), 42) << stored.toString().toStdString();
    }
    storeRaw("Alert", " -2147483648 ");
    EXPECT_EQ(m_store.readNumber("Alert", 42), -2147483647 - 1);
}

TEST_F(SettingsStoreTest, HandEditedFileIsReadAsItStands) {
    QDir().mkpath(QString::fromStdString(configFile("Orvel")));
    m_dir.write("config/Orvel/Parameters.conf",
                "[General]\nThreshold=60\nLastName=a, b\nFreq=x\nLanguage=Deutsch\n"
                "\x01\xff garbage line without equals\n");
    EXPECT_EQ(m_store.readThreshold(), 47);
    EXPECT_EQ(m_store.readLastName(), "");  // an unquoted comma makes it a list
    EXPECT_EQ(m_store.readFreq(), 7);
    EXPECT_EQ(m_store.readLanguage(), "Deutsch");

    // A value beside the store, organisation-wide, is not one of the store's.
    m_dir.write("config/Orvel.conf", "[General]\nShowSwitch=1\n");
    EXPECT_EQ(m_store.readShowSwitch(), 0);
}

TEST_F(SettingsStoreTest, TextsComeBackAsWritten) {
    const std::vector<std::string> texts = {"abc",
                                            "a, b",
                                            "@Variant(x)",
                                            "x=y;z#",
                                            "\"quoted\"",
                                            " blanks ",
                                            "two\nlines",
                                            "back\\slash",
                                            "/home/\xC3\x85sa/T\xC3\xB6n.wav",
                                            ""};
    for (const std::string& t : texts) {
        m_store.writeText("Artist", t);
        EXPECT_EQ(m_store.readText("Artist"), t);
    }
    // Numbers written under a name read back as their text.
    m_store.writeNumber("Year", 1999);
    EXPECT_EQ(m_store.readText(setting::kYear), "1999");
    // A zero character ends a text, as in any zero-terminated field.
    m_store.writeText("Title", std::string("ab\0cd", 5));
    EXPECT_EQ(m_store.readText("Title"), "ab");
}

TEST_F(SettingsStoreTest, TextsThatDoNotFitTheirReaderReadAsEmpty) {
    const std::string fits(999, 'a');
    m_store.writeLastName(fits);
    EXPECT_EQ(m_store.readLastName(), fits);
    m_store.writeLastName(fits + "a");
    EXPECT_EQ(m_store.readLastName(), "");
    // 997 bytes and a two-byte character make 999 bytes; one more character does not fit.
    m_store.writeText("Album", std::string(997, 'a') + "\xC3\xA9");
    EXPECT_EQ(m_store.readText("Album").size(), 999u);
    m_store.writeText("Album", std::string(998, 'a') + "\xC3\xA9");
    EXPECT_EQ(m_store.readText("Album"), "");

    m_store.writeText(setting::kInstallPath, "/" + std::string(198, 'p'));
    EXPECT_EQ(m_store.readInstallPath().size(), 199u);
    m_store.writeText(setting::kInstallPath, "/" + std::string(199, 'p'));
    EXPECT_EQ(m_store.readInstallPath(), "");
}

TEST_F(SettingsStoreTest, InstallFolderFallsBackToTheUsersDataFolder) {
    const std::string data = m_dir.path() + "/data/orvel";
    EXPECT_EQ(m_store.effectiveInstallFolder(), data);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(data)).isDir());
    EXPECT_EQ(m_store.autostartProgramPath(),
              QCoreApplication::applicationFilePath().toStdString());

    m_store.writeText(setting::kInstallPath, "/opt/orvel//");
    EXPECT_EQ(m_store.effectiveInstallFolder(), "/opt/orvel");
    EXPECT_EQ(m_store.autostartProgramPath(), "/opt/orvel/orvel");
    m_store.writeText(setting::kInstallPath, "/opt/orvel");
    EXPECT_EQ(m_store.autostartProgramPath(), "/opt/orvel/orvel");
    m_store.writeText(setting::kInstallPath, "/");
    EXPECT_EQ(m_store.effectiveInstallFolder(), "/");
    EXPECT_EQ(m_store.autostartProgramPath(), "/orvel");
    // A path too long for its reader is no installation folder.
    m_store.writeText(setting::kInstallPath, "/" + std::string(300, 'p'));
    EXPECT_EQ(m_store.effectiveInstallFolder(), data);
}

// Reads an Exec value as desktop-entry readers do: the string escapes first, then the quoted
// arguments, then the doubled percent signs.
std::vector<std::string> execArguments(const std::string& value) {
    const std::map<char, char> escapes = {
        {'\\', '\\'}, {'n', '\n'}, {'t', '\t'}, {'r', '\r'}, {'s', ' '}};
    std::string s;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            s += value[i];
        } else if (++i < value.size() && escapes.count(value[i]) == 1) {
            s += escapes.at(value[i]);
        } else {
            ADD_FAILURE() << "invalid string escape in " << value;
        }
    }
    std::vector<std::string> args;
    std::string arg;
    bool quoted = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (quoted && c == '\\') {
            const char next = i + 1 < s.size() ? s[++i] : '?';
            EXPECT_NE(std::string("\"`$\\").find(next), std::string::npos) << value;
            arg += next;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ' ' && !quoted) {
            args.push_back(arg);
            arg.clear();
        } else if (c == '%') {
            EXPECT_TRUE(i + 1 < s.size() && s[i + 1] == '%') << "field code in " << value;
            arg += '%';
            ++i;
        } else {
            arg += c;
        }
    }
    EXPECT_FALSE(quoted) << value;
    args.push_back(arg);
    return args;
}

TEST_F(SettingsStoreTest, AutostartEntryStartsTheProgramArmedAndHidden) {
    const std::string entryFile = "config/autostart/orvel.desktop";
    const std::vector<std::string> paths = {"/opt/orvel/orvel",      "/opt/My Rec/orvel",
                                            "/a\"b/`c`/$HOME/orvel", "/a\\b/orvel",
                                            "/100%/%u/orvel",        "/tab\there/new\nline"};
    for (const std::string& path : paths) {
        ASSERT_TRUE(m_store.writeAutostart(path));
        const QStringList lines =
            QString::fromStdString(m_dir.read(entryFile)).split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 4) << path;
        EXPECT_EQ(lines[0], "[Desktop Entry]");
        EXPECT_EQ(lines[1], "Type=Application");
        EXPECT_EQ(lines[2], "Name=Orvel");
        ASSERT_TRUE(lines[3].startsWith("Exec=")) << lines[3].toStdString();
        const std::vector<std::string> args = execArguments(lines[3].mid(5).toStdString());
        EXPECT_EQ(args, (std::vector<std::string>{path, "/rs", "/hide"}));
    }
}

TEST_F(SettingsStoreTest, AutostartEntryThatCannotBeWrittenIsReported) {
    EXPECT_FALSE(m_store.writeAutostart(""));
    EXPECT_EQ(m_dir.read("config/autostart/orvel.desktop"), "");
    m_dir.write("config/autostart", "a file where the folder belongs");
    EXPECT_FALSE(m_store.writeAutostart("/opt/orvel/orvel"));
}

}  // namespace
}  // namespace orvel
