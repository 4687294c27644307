#pragma once

#include <QDateTime>
#include <QThreadPool>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "archive/StreamingPage.h"
#include "platform/ViewerLauncher.h"
#include "platform/ViewerProcess.h"
#include "schedule/ScheduleList.h"
#include "schedule/TimeBase.h"

namespace orvel {

// The planned viewer launches of the schedule: one record for each item with a usable URL (at
// most 100), keyed by the item's list position, so that a viewer is ended for its own item.
//
// A record starts as launched, so nothing is opened for a launch time already passed when the
// table is built; it becomes ready once the clock has been at or before its launch time, and
// its viewer is opened when the clock is past the launch time and before the item's end. The
// day field does not restrict launching.
//
// The GUI thread never waits here. Opening asks the desktop which browser to use (a process
// with waits of its own), so it runs on a worker, one launch at a time; the viewer is taken
// over by the next call on the GUI thread. Ending a viewer waits up to a second for it, so it is
// handed to a worker too. A viewer that is still running when its record is launched again (no
// tick ended it) is forgotten: it moves to a detached list that is ended at program close,
// never destroyed in a tick.
//
// Thread contract: every method is called on the GUI thread. The launcher's open() is called
// on one worker thread at a time; ViewerProcess::end() on workers.
class LaunchTable {
public:
    static constexpr std::size_t kMaxRecords = 100;

    LaunchTable(platform::ViewerLauncher& launcher, StreamingPage page);
    // Ends every viewer and waits for the workers: for program close only.
    ~LaunchTable();
    LaunchTable(const LaunchTable&) = delete;
    LaunchTable& operator=(const LaunchTable&) = delete;

    // Builds the records from the list. A running (or opening) viewer whose launch time and URL
    // are still in the new list stays with that item; the others are ended.
    void rebuild(const ScheduleList& list);
    // The launch check of one tick. Returns the positions whose viewer is being opened.
    std::vector<int> check(const QDateTime& now, const TimeBase& timeBase);
    // Ends the viewers of these positions (the ones not running are passed over).
    void endViewers(const std::vector<int>& positions);
    // Ends every viewer, the detached ones too (program close).
    void endAll();
    // Waits until the workers have nothing left to do; false when the time ran out. For program
    // close and for tests.
    bool waitForWorkers(std::chrono::milliseconds timeout);

    std::size_t size() const { return m_records.size(); }
    // Whether the record of that position holds a viewer or waits for one being opened.
    bool hasViewer(int position);
    std::size_t detachedCount() const { return m_detached.size(); }

private:
    struct Record {
        Record(int at, const ScheduleItem& of) : position(at), item(of), url(of.launchUrl()) {}

        int position;
        ScheduleItem item;
        std::string url;
        bool launched = true;
        std::unique_ptr<platform::ViewerProcess> viewer;
        std::uint64_t opening = 0;  // the launch being opened on the worker, 0 when none
    };
    struct Arrival {
        std::uint64_t launch = 0;
        std::unique_ptr<platform::ViewerProcess> viewer;
    };

    // Takes over the viewers the worker has opened since the last call.
    void collectArrivals();
    void launch(Record& record);
    void endOnWorker(std::unique_ptr<platform::ViewerProcess> viewer);
    // Ends the record's viewer; a viewer still being opened is ended when it arrives.
    void endRecordViewer(Record& record);
    Record* recordAt(int position);

    platform::ViewerLauncher& m_launcher;
    StreamingPage m_page;
    std::vector<Record> m_records;
    std::vector<std::unique_ptr<platform::ViewerProcess>> m_detached;
    std::unordered_set<std::uint64_t> m_detachOnArrival;
    std::uint64_t m_lastLaunch = 0;

    std::mutex m_arrivalsMutex;
    std::vector<Arrival> m_arrivals;  // guarded by m_arrivalsMutex

    // Declared last: destroyed first, after the destructor has waited for them.
    QThreadPool m_enders;
    QThreadPool m_opener;
};

}  // namespace orvel
