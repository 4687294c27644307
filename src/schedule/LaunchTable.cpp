#include "schedule/LaunchTable.h"

#include <QLoggingCategory>
#include <algorithm>

Q_LOGGING_CATEGORY(lcLaunch, "orvel.schedule.launch")

namespace orvel {

LaunchTable::LaunchTable(platform::ViewerLauncher& launcher, StreamingPage page)
    : m_launcher(launcher), m_page(std::move(page)) {
    // One launch at a time: the launcher need not be safe for concurrent calls, and viewers
    // open in the order they were due.
    m_opener.setMaxThreadCount(1);
    m_enders.setMaxThreadCount(4);
}

LaunchTable::~LaunchTable() {
    m_opener.waitForDone();
    endAll();
    m_enders.waitForDone();
}

void LaunchTable::rebuild(const ScheduleList& list) {
    collectArrivals();
    std::vector<Record> old = std::move(m_records);
    m_records.clear();
    for (int position = 0; position < list.size(); ++position) {
        const ScheduleItem& item = list.at(position);
        if (!item.hasLaunch()) {
            continue;
        }
        if (m_records.size() == kMaxRecords) {
            qCWarning(lcLaunch) << "more than" << kMaxRecords
                                << "schedule items with a URL: the rest get no launch";
            break;
        }
        Record record(position, item);
        const auto same = std::find_if(old.begin(), old.end(), [&](const Record& r) {
            return !r.url.empty() && r.item.launchTime() == item.launchTime() &&
                   r.url == record.url;
        });
        if (same != old.end()) {
            record.launched = same->launched;
            record.viewer = std::move(same->viewer);
            record.opening = same->opening;
            same->opening = 0;
            same->url.clear();  // taken: a second equal item does not take it again
        }
        m_records.push_back(std::move(record));
    }
    for (Record& record : old) {
        endRecordViewer(record);
    }
}

std::vector<int> LaunchTable::check(const QDateTime& now, const TimeBase& timeBase) {
    collectArrivals();
    std::vector<int> launched;
    if (!now.isValid()) {
        return launched;
    }
    const int second = timeBase.position(now);
    for (Record& record : m_records) {
        if (record.item.viewerHolds(second)) {
            if (!record.launched) {
                record.launched = true;
                launch(record);
                launched.push_back(record.position);
            }
        } else if (second <= record.item.launchTime()) {
            record.launched = false;
        }
    }
    return launched;
}

void LaunchTable::endViewers(const std::vector<int>& positions) {
    collectArrivals();
    for (const int position : positions) {
        if (Record* record = recordAt(position)) {
            endRecordViewer(*record);
        }
    }
}

void LaunchTable::endAll() {
    collectArrivals();
    for (Record& record : m_records) {
        endRecordViewer(record);
    }
    for (auto& viewer : m_detached) {
        endOnWorker(std::move(viewer));
    }
    m_detached.clear();
    m_detachOnArrival.clear();
}

bool LaunchTable::waitForWorkers(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const auto left = [&deadline] {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        return int(std::max<std::chrono::milliseconds::rep>(ms.count(), 0));
    };
    if (!m_opener.waitForDone(left())) {
        return false;
    }
    // Viewers that arrived for records that no longer want them are ended now, and waited for.
    collectArrivals();
    return m_enders.waitForDone(left());
}

bool LaunchTable::hasViewer(int position) {
    collectArrivals();
    const Record* record = recordAt(position);
    return record != nullptr && (record->viewer != nullptr || record->opening != 0);
}

void LaunchTable::collectArrivals() {
    std::vector<Arrival> arrivals;
    {
        const std::lock_guard lock(m_arrivalsMutex);
        arrivals.swap(m_arrivals);
    }
    for (Arrival& arrival : arrivals) {
        const auto owner = std::find_if(m_records.begin(), m_records.end(), [&](const Record& r) {
            return r.opening == arrival.launch;
        });
        if (owner != m_records.end()) {
            owner->opening = 0;
            owner->viewer = std::move(arrival.viewer);  // null: no viewer, nothing reported
        } else if (m_detachOnArrival.erase(arrival.launch) != 0) {
            if (arrival.viewer) {
                m_detached.push_back(std::move(arrival.viewer));
            }
        } else {
            endOnWorker(std::move(arrival.viewer));
        }
    }
}

void LaunchTable::launch(Record& record) {
    // A viewer no tick has ended since the record's last launch is forgotten, not ended.
    if (record.viewer) {
        m_detached.push_back(std::move(record.viewer));
    }
    if (record.opening != 0) {
        m_detachOnArrival.insert(record.opening);
    }
    // The page file is written here, on the GUI thread, which owns it; it is a few hundred bytes.
    const std::string target = m_page.targetFor(record.url);
    const std::uint64_t id = ++m_lastLaunch;
    record.opening = id;
    m_opener.start([this, id, target] {
        std::unique_ptr<platform::ViewerProcess> viewer = m_launcher.open(target);
        if (!viewer) {
            qCInfo(lcLaunch) << "no viewer could be started for a schedule item";
        }
        const std::lock_guard lock(m_arrivalsMutex);
        m_arrivals.push_back({id, std::move(viewer)});
    });
}

void LaunchTable::endOnWorker(std::unique_ptr<platform::ViewerProcess> viewer) {
    if (!viewer) {
        return;
    }
    // std::function needs a copyable task; the process is ended and freed on the worker.
    std::shared_ptr<platform::ViewerProcess> shared(std::move(viewer));
    m_enders.start([shared] { shared->end(); });
}

void LaunchTable::endRecordViewer(Record& record) {
    endOnWorker(std::move(record.viewer));
    // A viewer still being opened finds no owner when it arrives and is ended then.
    record.opening = 0;
}

LaunchTable::Record* LaunchTable::recordAt(int position) {
    const auto found = std::find_if(m_records.begin(), m_records.end(),
                                    [position](const Record& r) { return r.position == position; });
    return found == m_records.end() ? nullptr : &*found;
}

}  // namespace orvel
