#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "audio/CaptureEngine.h"
#include "recorder/RecorderServices.h"
#include "recorder/RecorderView.h"
#include "recorder/RecordingFiles.h"

namespace orvel {

class BackgroundMixer;
class InfoLine;
class LineSearch;
class OutputNaming;
class RecorderChoices;

// A recording's run in the capture engine, from the engine's start to the last of its files
// completed. The controller decides when a recording starts, splits and stops; this carries
// it out on the engine: the options of the start (the face's choice planned by RecordStart,
// the ring budget, the encoders, the background mix), the numbered names passed over while other
// recorders hold them, the background music that joins the recording, and every file the
// engine completes, judged then (its size and length, the log line from RecordingFiles, the
// message on the info line) and handed on with fileFinished().
//
// It also names the files: the start's (never the file just closed for an automatic restart,
// never one another recording holds) and each next track's, and hands the engine the recorder's
// clock for as long as both exist.
//
// Life cycle: aimNext() at a file -> start() -> (splitTrack()...) -> stop(), or the run ends by
// itself (endedByItself()); the files handed over are judged as the engine reports them, the
// last one at the latest when its run has finished.
//
// Thread contract: called on the GUI thread; signals are emitted on it.
class RecordingRun : public QObject {
    Q_OBJECT
public:
    // A recorded file of this size or less is reported as not completed.
    static constexpr std::int64_t kUnfinishedBytes = 6143;
    // How long the info line says the background music is prepared at most.
    static constexpr int kBackgroundWaitMs = 100;

    // What a run drives and reads; everything outlives it.
    struct Parts {
        CaptureEngine& engine;
        BackgroundMusic& background;
        const SettingsStore& settings;
        const LameLibrary& lame;
        platform::SoundServer& server;
        const CaptureSourceFactory& sources;  // empty: the server's own streams
        RecorderClock& clock;
        RecorderView& view;
        InfoLine& info;
        OutputNaming& naming;
        RecorderChoices& choices;  // an MP3 start at 8 bits switches the face to 16 bits
        const LineSearch& lines;
    };

    explicit RecordingRun(const Parts& parts, QObject* parent = nullptr);
    ~RecordingRun() override;

    // Where the next start's name leads, as aimNext() finds it.
    enum class Aim {
        New,        // path() is free: the start may go on
        Ask,        // path() exists and the choices ask before it is overwritten
        NoNewName,  // an automatic restart formed the name of the file just closed again
        InUse,      // another recording holds path() (said on the info line)
    };
    // Forms the next start's file name; restart: an automatic restart. path() is left alone for
    // NoNewName.
    Aim aimNext(bool restart);
    // The file the next start goes to: the one the current or last recording went to.
    const std::string& path() const { return m_path; }
    // The file the last stopped recording went to: an automatic restart never records into it.
    const std::string& closedPath() const { return m_closedPath; }

    // Starts the engine into path() with the ring budget; armedByMode: a file that never hears
    // sound is no recording and is removed. FileInUse: another recorder holds path() (numbered
    // names are passed over a few times first), said on the info line; FormatError also writes
    // the capability report and opens it.
    StartResult start(std::size_t ringBudget, bool armedByMode,
                      const ProcessingSettings& processing);
    // The recording has started: the background music joins it, without waiting for it. The
    // info line says it is being prepared until backgroundReady().
    void joinBackground(bool paused);
    bool mixesBackground() const { return m_mixing; }
    // The background balance: the running recording's mix takes it at once.
    void setBackgroundScale(int scale);

    // What the track splitter's next track did to the file.
    enum class Split {
        Done,          // the engine completes the file and goes on into a new one with the sound
        SameFile,      // nothing reached the file yet: it already is the next track's
        NoNewName,     // no new name can be formed: the recording cannot go on
        CannotFollow,  // the new name needs the overwrite question, or the engine cannot split
    };
    Split splitTrack();
    // The run's end has put its message on the info line: the last file's judgement keeps it.
    void keepMessage() { m_keepMessage = true; }
    // Stops the engine, when a recording runs; endedMode: the message key of the mode this stop
    // ends, told should the file have heard nothing.
    void stop(std::string_view endedMode);

    // The engine's run has finished: files it did not report are judged by its result. Called
    // by the owner, which has more to do then, in order.
    void engineFinished(bool ok, const QString& error);

    // Files handed to the engine and not yet complete.
    bool waiting() const { return m_files.waiting(); }
    const std::string& oldestPath() const { return m_files.oldestPath(); }

signals:
    // The engine ended the run by itself: messageKey names the message (the line or the
    // server lost, a write failed); empty when its input ended. The owner stops the recording.
    void endedByItself(std::string_view messageKey);
    // A file is complete (or failed to complete), judged and logged.
    void fileFinished(const FinishedFile& file);
    // The background music's first block came, or the wait for it is over.
    void backgroundReady();

private:
    void fileCompleted(const CompletedFile& done);
    void soundDropped(quint64 totalBytes);
    void judge(RecordingFiles::Handed file, const CompletedFile& done);
    // False, and logged, when `path` is the name of the file before it: no new name was formed.
    bool newName(const std::string& path, const std::string& before) const;
    // Says on the info line (and logs) that another recording holds path().
    void tellInUse() const;
    std::unique_ptr<CaptureSource> source(const platform::SoundLine& line) const;
    void backgroundArrived();

    Parts m_parts;
    RecordingFiles m_files;
    std::string m_path;
    std::string m_closedPath;
    bool m_running = false;
    bool m_mixing = false;  // the background music joined the running recording
    bool m_preparing = false;
    bool m_keepMessage = false;
    std::shared_ptr<BackgroundMixer> m_mixer;
    QTimer m_backgroundWait;
    QPointer<CaptureEngine> m_engineAlive;  // the engine may be destroyed before the run
};

}  // namespace orvel
