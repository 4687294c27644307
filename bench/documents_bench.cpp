// The documents the recorder reads on the GUI thread, each at its worst within 1 MiB: the
// schedule list and the schedule window's copy of it, the language file and the hot-key script with
// the lookups the front face makes when it starts, and a day file of the recording log as the
// history panel opens it. No one of them may hold the GUI thread for more than 100 ms (the "ours_s"
// counter, in seconds). Each is compared with a plain path doing the core of the same work in the
// same run: the schedule with std::stable_sort of the same lines, the tag documents with one
// std::string_view::find per lookup, the day file with reading it and splitting its lines.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "archive/HistoryTree.h"
#include "config/ControlNames.h"
#include "config/HotKeyScript.h"
#include "config/KeyNames.h"
#include "config/LanguageTable.h"
#include "schedule/ScheduleDraft.h"
#include "schedule/ScheduleList.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kMiB = 1 << 20;

double since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Folder {
    QTemporaryDir dir;
    std::string write(const std::string& name, const std::string& bytes) {
        const std::string path = dir.path().toStdString() + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
};

Folder& folder() {
    static Folder f;
    return f;
}

std::string clock(int second) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", second / 3600, second / 60 % 60,
                  second % 60);
    return text;
}

// 100,000 valid lines in falling order: the loader reads the first MiB of them.
const std::string& scheduleFile() {
    static const std::string path = [] {
        std::string bytes;
        for (int i = 99999; i >= 0; --i) {
            const int start = static_cast<int>(static_cast<long long>(i) * 86398 / 100000);
            bytes += clock(start) + " - " + clock(start + 1) + "|Mon,Tue\n";
        }
        return folder().write("TimeSchedule.txt", bytes);
    }();
    return path;
}

void ScheduleLoadAgainstStableSort(benchmark::State& state) {
    const std::string& path = scheduleFile();
    orvel::bench::compare(
        state,
        [&] {
            const auto start = Clock::now();
            orvel::ScheduleList list;
            list.load(path);
            benchmark::DoNotOptimize(list.size());
            return since(start);
        },
        [&] {
            const auto start = Clock::now();
            QFile file(QString::fromStdString(path));
            file.open(QIODevice::ReadOnly);
            const QByteArray bytes = file.read(kMiB);
            std::vector<std::string> lines;
            for (const QByteArray& line : bytes.split('\n')) {
                lines.push_back(line.toStdString());
            }
            std::stable_sort(lines.begin(), lines.end());
            benchmark::DoNotOptimize(lines.data());
            return since(start);
        },
        "load", "stable_sort", 0, "schedule");
}

// The schedule window's copy of a file of 1 MiB of lines that are not items, in falling order:
// every one is kept and listed.
void ScheduleWindowCopyAgainstStableSort(benchmark::State& state) {
    std::string bytes;
    for (int i = 99999; bytes.size() < kMiB; --i) {
        bytes += "not an item " + std::to_string(100000 + i) + "\n";
    }
    const std::string path = folder().write("BadSchedule.txt", bytes);
    orvel::bench::compare(
        state,
        [&] {
            const auto start = Clock::now();
            orvel::ScheduleDraft draft;
            draft.load(path);
            benchmark::DoNotOptimize(draft.size());
            return since(start);
        },
        [&] {
            const auto start = Clock::now();
            std::vector<std::string> lines;
            for (std::size_t at = 0; at < bytes.size();) {
                const std::size_t end = bytes.find('\n', at);
                lines.push_back(bytes.substr(at, end - at));
                at = end + 1;
            }
            std::stable_sort(lines.begin(), lines.end());
            benchmark::DoNotOptimize(lines.data());
            return since(start);
        },
        "load", "stable_sort", 0, "schedule_window");
}

// The worst 1 MiB texts for the tag lookups: one byte repeated (the searches then move a byte
// at a time for every name whose second-last letter it is), and elements none of which is
// looked up (every "<" and ">" is a near miss).
std::string repeated(char c) {
    return std::string(kMiB, c);
}
std::string strangeElements() {
    std::string text;
    for (int i = 0; text.size() < kMiB - 64; ++i) {
        text +=
            "<BTN_X" + std::to_string(i % 1000) + ">CTRL+A</BTN_X" + std::to_string(i % 1000) + ">";
    }
    return text;
}

const std::vector<std::string>& worstTexts() {
    static const std::vector<std::string> texts = {repeated('E'), repeated('D'), repeated('N'),
                                                   repeated('R'), strangeElements()};
    return texts;
}

// What the front face looks up when it starts: every control's and area's tooltip with its
// chords, and the messages of a start.
void faceLookups(const orvel::LanguageTable& language, const orvel::HotKeyScript& keys) {
    for (int id = orvel::ControlNames::kFirstId;
         id < orvel::ControlNames::kFirstId + orvel::ControlNames::kCount; ++id) {
        benchmark::DoNotOptimize(keys.ControlTooltip(orvel::ControlId{id}, language));
    }
    for (const auto area :
         {orvel::HotKeyScript::FaceArea::Minute, orvel::HotKeyScript::FaceArea::Second,
          orvel::HotKeyScript::FaceArea::Frequency, orvel::HotKeyScript::FaceArea::Volume}) {
        benchmark::DoNotOptimize(keys.AreaTooltip(area, language));
    }
    for (const char* key : {"ReadyToRecord", "DeviceAvailabity", "FileError", "Recording"}) {
        benchmark::DoNotOptimize(language.Message(key));
    }
}

// The plain path: the file read, and one search for each control's opening tag.
double findEachControlName(const std::string& path) {
    const auto start = Clock::now();
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    for (int id = orvel::ControlNames::kFirstId;
         id < orvel::ControlNames::kFirstId + orvel::ControlNames::kCount; ++id) {
        if (const auto name = orvel::ControlNames::NameOf(id)) {
            benchmark::DoNotOptimize(bytes.find("<" + std::string(*name) + ">"));
        }
    }
    return since(start);
}

// The language file (state.range(0) chooses the text) with the face's lookups, the built-in
// hot-key script beside it.
void LanguageFaceAgainstFind(benchmark::State& state) {
    const std::string& text = worstTexts()[static_cast<std::size_t>(state.range(0))];
    const std::string path =
        folder().write("language.xml", "<LanguageName>Worst</LanguageName>" + text);
    orvel::HotKeyScript keys;
    orvel::bench::compare(
        state,
        [&] {
            const auto start = Clock::now();
            orvel::LanguageTable language;
            language.Load(folder().dir.path().toStdString(), "Worst");
            faceLookups(language, keys);
            return since(start);
        },
        [&] { return findEachControlName(path); }, "load", "find", 0,
        "language_" + std::to_string(state.range(0)));
}

// The hot-key script (state.range(0) chooses the text, inside its front-face section) with the
// face's lookups and a key press, the built-in language beside it.
void HotKeysFaceAgainstFind(benchmark::State& state) {
    const std::string& text = worstTexts()[static_cast<std::size_t>(state.range(0))];
    folder().write(orvel::HotKeyScript::kFileName, "<FRONTFACE>" + text + "</FRONTFACE>");
    const std::string path =
        folder().dir.path().toStdString() + "/" + orvel::HotKeyScript::kFileName;
    orvel::LanguageTable language;
    orvel::bench::compare(
        state,
        [&] {
            const auto start = Clock::now();
            orvel::HotKeyScript keys;
            keys.Load(folder().dir.path().toStdString());
            faceLookups(language, keys);
            benchmark::DoNotOptimize(keys.OnKeyDown(orvel::keys::kEnter, {}, "FRONTFACE"));
            return since(start);
        },
        [&] { return findEachControlName(path); }, "load", "find", 0,
        "hotkeys_" + std::to_string(state.range(0)));
}

// A day file of 1 MiB of the shortest lines the reader takes: the history panel shows its
// newest 100.
void LogDayAgainstReadAndSplit(benchmark::State& state) {
    std::string bytes;
    while (bytes.size() + 12 <= kMiB) {
        bytes += "a,b,c,d,e,f\n";
    }
    const std::string path = folder().write("20240101.txt", bytes);
    orvel::bench::compare(
        state,
        [&] {
            const auto start = Clock::now();
            benchmark::DoNotOptimize(orvel::HistoryTree::dayRecords(path));
            return since(start);
        },
        [&] {
            const auto start = Clock::now();
            std::ifstream in(path, std::ios::binary);
            const std::string text((std::istreambuf_iterator<char>(in)), {});
            std::vector<std::string_view> lines;
            for (std::size_t at = 0; at < text.size();) {
                const std::size_t end = std::min(text.find('\n', at), text.size());
                lines.emplace_back(text.data() + at, end - at);
                at = end + 1;
            }
            benchmark::DoNotOptimize(lines.data());
            return since(start);
        },
        "read", "split", 0, "log_day");
}

}  // namespace

BENCHMARK(ScheduleLoadAgainstStableSort)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ScheduleWindowCopyAgainstStableSort)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(LanguageFaceAgainstFind)
    ->DenseRange(0, 4)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(HotKeysFaceAgainstFind)
    ->DenseRange(0, 4)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(LogDayAgainstReadAndSplit)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return orvel::bench::run(argc, argv, "orvel.*.warning=false");
}
