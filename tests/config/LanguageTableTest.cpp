#include "config/LanguageTable.h"

#include <gtest/gtest.h>

#include "config/ControlNames.h"
#include "config/SettingsStore.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

std::string languageFile(const std::string& name, const std::string& body = {}) {
    return "<?xml version=\"1.0\"?>\n<DOC><LanguageName>" + name + "</LanguageName>" + body +
           "</DOC>";
}

struct Tip {
    const char* control;
    const char* text;
};

// clang-format off
// Every tooltip the built-in English text must carry, as the reader returns it.
constexpr Tip kEnglishTips[] = {
    {"BTN_RECORD", "Record"},
    {"EDIT_TAPE", "Type your folder and file name here"},
    {"BTN_PAUSE", "Pause"},
    {"BTN_STOP", "Stop"},
    {"BTN_EJECT", "Eject Click to change file name"},
    {"BTN_PLAY", "Play"},
    {"BTN_HELP", "About and Help"},
    {"BTN_DETECT", "Chose audio line"},
    {"BTN_SYSMIN", "Minimize"},
    {"BTN_SYSTRAY", "Hide"},
    {"BTN_SYSCLOSE", "Close"},
    {"BTN_TIMEINC", "Increase time value"},
    {"BTN_TIMEDEC", "Decrease time value"},
    {"BTN_TIMERESET", "Reset time value"},
    {"SLIDER_THRESHOLD", "Change threshold for signal"},
    {"BTN_AUTODETECT", "Detect audio line for playback recording automatically"},
    {"BTN_CLOSEAUDIOBOX", "Close this window"},
    {"BTN_MULTIFILE", "Multiple files"},
    {"BTN_TIMESTAMPEDFILE", "Use time stamped file name"},
    {"BTN_MUSICSET", "Set MP3 bitrate and stereo mode"},
    {"BTN_WMASET", "Set WMA parameters"},
    {"BTN_SIGNALSET", "Set threshold and action type for signal recording"},
    {"BTN_CLOCKSET", "Set time recording schedule"},
    {"BTN_BACKGROUNDSET", "Set background music parameters"},
    {"BTN_BACKGROUNDENABLE", "Apply background music to recording"},
    {"BTN_MP3FILE", "Set recorded file as MP3 format"},
    {"BTN_WAVFILE", "Set recorded file as WAV format"},
    {"BTN_WMAFILE", "Set recorded file as WMA format"},
    {"BTN_SIGNALFILE", "Start signal recording (Track Splitter)"},
    {"BTN_CLOCKFILE", "Start schedule recording"},
    {"BTN_RECORDINGCTRL", "Open system recording control window"},
    {"BTN_SHOWSWITCH", "Show input level"},
    {"BTN_STEREO", "Set to stereo"},
    {"BTN_MONO", "Set to mono"},
    {"BTN_16BIT", "Use 16 bit sample for recording ,high quality"},
    {"BTN_8BIT", "Use 8 bit sample for recording"},
    {"BTN_OK", "Ok"},
    {"BTN_CANCEL", "Cancel"},
    {"BTN_HELPBOOK", "Help"},
    {"BTN_HOME", "Go to home page https://orvel.org/"},
    {"BTN_EXIT", "Exit"},
    {"BTN_CONTINUE", "Continue"},
    {"BTN_STARTHELP", "Help"},
    {"BTN_SYSHELP", "Help"},
    {"BTN_DEFAULT", "Set to default value"},
    {"BTN_DELETE", "Remove selected items"},
    {"BTN_ADDTIME", "Add to time list, only start time less than end time will be added"},
    {"COMBO_MP3BITRATE", "Chose bitrate for MP3 file"},
    {"COMBO_MP3MODE", "Chose stereo mode for MP3 file"},
    {"COMBO_SIGNALTYPE", "Select action type when silence is met"},
    {"DATETIMEPICKER_START", "Set start time"},
    {"DATETIMEPICKER_END", "Set end time"},
    {"LIST_TIME", "Schedule list,double click on the items to set date"},
    {"SPIN_NEWFILEDELAY", "Set the delay time"},
    {"EDIT_NEWFILEDELAY", "Delay time"},
    {"RADIO_ABSOLUTE", "Using Absolute time"},
    {"RADIO_RELATIVE", "Using Relative time"},
    {"AREA_MINUTE", "Click this area to change minute"},
    {"AREA_SECOND", "Click this area to change Second"},
    {"AREA_FREQUENCY", "Set sample frequency for recording"},
    {"AREA_VOLUME", "Set Volume for recording"},
    {"BTN_NOISEGATE", "Apply noise gating effect"},
    {"BTN_LOWPASS", "Apply lowpass filter"},
    {"BTN_HIGHPASS", "Apply high pass filter"},
    {"BTN_NOISESETTING", "Set parameters for noise reduction"},
    {"BTN_AUDIT", "Monitor the recording,usually for microphone and line in"},
    {"BTN_DEVICE", "Select audio capture device"},
    {"BTN_ARCHIVE", "Open Recording history log or select file for paly"},
    {"BTN_ARCHIVECLOSE", "Close this archive window"},
    {"BTN_EDITID3TAG", "Edit MP3 ID3 tag or WMA attributes"},
};

struct Msg {
    const char* key;
    const char* line1;
    const char* line2;
    const char* line3;
};

// The messages the recorder looks up by key (StartFace stands for its MainMsg lines).
constexpr Msg kEnglishMessages[] = {
    {"StartFace", "The Program is going to test audio line for recording",
     "Please close all other media players before you continue",
     "For details,please click the help button to get information"},
    {"TapeEject", "Click the left side of the tape", "to push it back", ""},
    {"MemError", "Memory error !", "Please try later", ""},
    {"FileError", "File  error ! Please check file name", "and folder name", ""},
    {"WMASupport", "Failed to Init WMA encoder", "Please contact the support team", ""},
    {"WMAError", "Failed to write WMA file", "Please contact the support team", ""},
    {"MP3Support", "MP3 eocoder is not found on your", "computer try to reinstall the software",
     ""},
    {"MP3Frequency", "MP3 only support 32 KHZ or", "higher, please see help", ""},
    {"MP3BitRate", "8 bit  not support for MP3", "please see help", ""},
    {"FormatError", "Can not record in this format", "try other formats", ""},
    {"DeviceAvailabity", "Recording device not available", "please try later", ""},
    {"BackgroundError", "Background file open error", "record without background", ""},
    {"PrepareBackground", "Please wait", "Preparing background file", ""},
    {"DeviceError", "Audio device error", "try to reboot system", ""},
    {"UnknowType", "", "Unknown type of file", ""},
    {"RecordingTest", "Testing Recording Line", "Line", ""},
    {"LineFound", "Record Line Found", "Ready To Record", ""},
    {"LineNotFound", "Record Line Not Found", "Try Manual Testing", ""},
    {"AutoConfig", "Auto Config Audio Line", "wait for several second", ""},
    {"InvalidFile", "", "The file cannot be played", ""},
    {"TestFinish", "Testing Recording Line", "Line", "Finish"},
    {"PlayBackSupport", "Recording line not found, click", "config button to find audio line", ""},
    {"RecordNotFinished", "Alert ! Recording is not completed", "The file may not be  playable",
     ""},
    {"SignalEnded", "Signal recording ended", "Ready to record", ""},
    {"ScheduleEnded", "Schedule recording ended", "Ready to record", ""},
    {"SoundLost", "Alert ! Recording could not keep up", "Sound lost, milliseconds:", ""},
    {"RecordingStop", "", "Recording will stop at", ""},
    {"RecordingStart", "", "Recording will start at", ""},
    {"WaitingForSound", "Waiting for sound", "", ""},
};

struct Label {
    const char* section;
    const char* key;
    const char* text;
};

constexpr Label kEnglishLabels[] = {
    {"StartFace", "Tip", "Start up"}, {"FaceMP3Setting", "Tip", "MP3 Setup"},
    {"FaceMP3Setting", "Mode", "Mode:"}, {"FaceMP3Setting", "BitRate", "Bitrate:"},
    {"FaceSignalSetting", "Tip", "Signal"}, {"FaceSignalSetting", "Threshold", "Threshold:"},
    {"FaceSignalSetting", "Action", "Action:"},
    {"FaceSignalSetting", "DelayTime", "Delay(seconds):"},
    {"FaceScheduleSetting", "Tip", "Schedule"}, {"FaceScheduleSetting", "StartTime", "Start Time:"},
    {"FaceScheduleSetting", "EndTime", "End Time:"},
    {"FaceScheduleSetting", "TimeRange", "Time range"},
    {"FaceScheduleSetting", "List", "Schedule list"},
    {"FaceScheduleSetting", "Absolute", "Absolute time"},
    {"FaceScheduleSetting", "Relative", "Relative time"},
    {"FaceAbout", "Tip", "About"}, {"FaceAbout", "Version", "Version:"},
    {"FaceAbout", "Language", "Language:"},
    {"FaceDate", "TimeInfo", "Record during the time of"},
    {"FaceDate", "DateInfo", "On the day of"},
};
// clang-format on

TEST(LanguageTableBuiltin, CarriesEveryTooltipOfTheControls) {
    LanguageTable table;
    EXPECT_EQ(table.Document().FirstText("LanguageName", 100), "English");
    EXPECT_EQ(table.Document().CountChildren("Controls"),
              static_cast<int>(std::size(kEnglishTips)));
    for (const Tip& tip : kEnglishTips) {
        EXPECT_EQ(table.Tooltip(tip.control), tip.text) << tip.control;
        // Every tooltip belongs to a control of the name table, or to one of the face's areas.
        EXPECT_TRUE(ControlNames::IdOf(tip.control) != 0 ||
                    std::string_view(tip.control).rfind("AREA_", 0) == 0)
            << tip.control;
    }
}

TEST(LanguageTableBuiltin, CarriesEveryMessageAndLabel) {
    LanguageTable table;
    for (const Msg& msg : kEnglishMessages) {
        const LanguageTable::MessageLines lines = table.Message(msg.key);
        EXPECT_EQ(lines.line1, msg.line1) << msg.key;
        EXPECT_EQ(lines.line2, msg.line2) << msg.key;
        EXPECT_EQ(lines.line3, msg.line3) << msg.key;
    }
    for (const Label& label : kEnglishLabels) {
        EXPECT_EQ(table.Text(label.section, label.key), label.text) << label.key;
    }
    // Messages of the settings faces are carried for translators, in their sections.
    EXPECT_EQ(table.Text("FaceMP3Setting", "Line2"), "bitrate of MP3 file in kBit/s");
    EXPECT_EQ(table.Text("FaceScheduleSetting", "Line1"), "Set schedule for recording using");
    EXPECT_EQ(table.Text("FaceScheduleSetting", "Line2"), "");
}

TEST(LanguageTableLoad, EnglishOrNoNameNeverOpensAFile) {
    test::TempDir dir;
    dir.write("a.xml", languageFile("English", "<BTN_STOP>Halt</BTN_STOP>"));
    LanguageTable table;
    EXPECT_FALSE(table.Load(dir.path(), "English"));
    EXPECT_TRUE(table.Document().IsBuiltin());
    EXPECT_EQ(table.Tooltip("BTN_STOP"), "Stop");
    EXPECT_FALSE(table.Load(dir.path(), ""));
    EXPECT_EQ(table.Tooltip("BTN_STOP"), "Stop");
    EXPECT_EQ(table.Folder(), dir.path() + "/");
}

TEST(LanguageTableLoad, FirstFileInNameOrderWinsAndExtensionCaseDoesNot) {
    test::TempDir dir;
    dir.write("b.xml", languageFile("Deutsch", "<BTN_STOP>Halt B</BTN_STOP>"));
    dir.write("a.XML", languageFile("Deutsch", "<BTN_STOP>Halt A</BTN_STOP>"));
    dir.write("c.txt", languageFile("Francais"));
    LanguageTable table;
    ASSERT_TRUE(table.Load(dir.path() + "/", "Deutsch"));
    EXPECT_EQ(table.Tooltip("BTN_STOP"), "Halt A");
    EXPECT_EQ(table.FindFile("Deutsch"), "a.XML");
    EXPECT_EQ(table.FindFile("deutsch"), "");  // names compare exactly
    // A name no file bears falls back to the built-in text.
    EXPECT_FALSE(table.Load(dir.path(), "Francais"));
    EXPECT_EQ(table.Tooltip("BTN_STOP"), "Stop");
}

TEST(LanguageTableLoad, LanguageNameMustStandInTheFirst1000Bytes) {
    test::TempDir dir;
    const std::string padding(990, ' ');
    dir.write("late.xml", "<DOC>" + padding + "<LanguageName>Late</LanguageName></DOC>");
    // Its closing tag ends exactly at byte 1000: still inside the window.
    dir.write("edge.xml", std::string(967, ' ') + "<LanguageName>Edge</LanguageName>");
    LanguageTable table;
    table.Load(dir.path(), "");
    EXPECT_EQ(table.LanguageNameOf("late.xml"), "");
    EXPECT_EQ(table.LanguageNameOf("edge.xml"), "Edge");
    EXPECT_EQ(table.FindFile("Late"), "");
    EXPECT_FALSE(table.Load(dir.path(), "Late"));
    EXPECT_EQ(table.ListLanguages("Late").names, (std::vector<std::string>{"Edge", "English"}));
    EXPECT_EQ(table.LanguageNameOf("absent.xml"), "");
}

TEST(LanguageTableLoad, ListsLanguagesInOrderWithEnglishOnce) {
    test::TempDir dir;
    LanguageTable table;
    table.Load(dir.path(), "");
    LanguageTable::LanguageList list = table.ListLanguages("Deutsch");
    EXPECT_EQ(list.names, std::vector<std::string>{"English"});
    EXPECT_EQ(list.selected, 0);

    dir.write("1.xml", languageFile("Svenska"));
    dir.write("2.xml", languageFile("Deutsch"));
    dir.write("3.xml", languageFile(""));
    dir.write("HotKey.XML", "<ORVELDOC><HOTKEYSCRIPT></HOTKEYSCRIPT></ORVELDOC>");
    list = table.ListLanguages("Deutsch");
    EXPECT_EQ(list.names, (std::vector<std::string>{"Svenska", "Deutsch", "English"}));
    EXPECT_EQ(list.selected, 1);
    EXPECT_EQ(table.ListLanguages("Klingon").selected, 0);

    dir.write("0.xml", languageFile("English"));
    list = table.ListLanguages("English");
    EXPECT_EQ(list.names, (std::vector<std::string>{"English", "Svenska", "Deutsch"}));
    EXPECT_EQ(list.selected, 0);
}

TEST(LanguageTableLookups, LinesAndTooltipsAreCleanedAndCut) {
    LanguageTable table;
    const std::string longLine(600, 'x');
    table.LoadText(
        languageFile("Test",
                     "<BTN_STOP>  Stop\r\nnow  </BTN_STOP><Only2><Line2> second </Line2></Only2>"
                     "<Long><Line1>" +
                         longLine +
                         "</Line1><Line2>\xC3\xA9\xC3\xA9</Line2></Long>"
                         "<Big><Line1>" +
                         std::string(1000, 'y') + "</Line1><Line2>cut off</Line2></Big>"));
    EXPECT_EQ(table.Tooltip("BTN_STOP"), "Stop  now");
    EXPECT_EQ(table.Tooltip("BTN_STOP", 5), "Stop");
    EXPECT_EQ(table.Tooltip("BTN_NONE"), "");

    const LanguageTable::MessageLines only2 = table.Message("Only2");
    EXPECT_EQ(only2.line1, "");
    EXPECT_EQ(only2.line2, "second");

    const LanguageTable::MessageLines big = table.Message("Long");
    EXPECT_EQ(big.line1, std::string(500, 'x'));
    EXPECT_EQ(table.Message("Long", 4).line2, "\xC3\xA9");  // never half a character
    // The message element itself holds 1023 bytes: a line beyond them is lost.
    EXPECT_EQ(table.Message("Big").line2, "");
    EXPECT_EQ(table.Message("Missing").line2, "");
    EXPECT_EQ(table.Text("Only2", "Line2", 4), "sec");
}

// The recorder's own keys are missing from every language file made before them: such a file
// shows their English lines, while the file's own keys stay as the file has them.
TEST(LanguageTableLookups, OwnKeysFallBackToEnglishWhereTheFileLacksThem) {
    test::TempDir dir;
    dir.write("de.xml",
              languageFile("Deutsch", "<FileError><Line1>Dateifehler</Line1></FileError>"));
    dir.write("fr.xml", languageFile("Francais",
                                     "<WaitingForSound><Line1>En attente</Line1>"
                                     "</WaitingForSound>"));
    LanguageTable table;
    ASSERT_TRUE(table.Load(dir.path(), "Deutsch"));
    EXPECT_EQ(table.OwnMessage("WaitingForSound").line1, "Waiting for sound");
    EXPECT_EQ(table.OwnMessage("FileError").line1, "Dateifehler");
    ASSERT_TRUE(table.Load(dir.path(), "Francais"));
    EXPECT_EQ(table.OwnMessage("WaitingForSound").line1, "En attente");
}

TEST(LanguageTableLoad, LanguageFolderIsTheInstallFolder) {
    test::TempDir dir(test::TempDir::Xdg::Redirect);
    const SettingsStore settings;
    const std::string folder = LanguageTable::LanguageFolder(settings);
    EXPECT_EQ(folder, settings.effectiveInstallFolder() + "/");
    EXPECT_EQ(LanguageTable::WithSeparator("/"), "/");
    EXPECT_EQ(LanguageTable::WithSeparator(""), "");
}

}  // namespace
}  // namespace orvel
