#pragma once

#include <QString>
#include <optional>
#include <string>

#include "config/SettingsStore.h"
#include "schedule/ScheduleDraft.h"
#include "skin/SkinFace.h"

class QDateEdit;
class QListWidget;

namespace orvel {

class SkinLineEdit;

// The schedule window: the editor of the schedule file. It loads the file when it opens, adds,
// changes and deletes items in a working copy (ScheduleDraft) and writes the file and
// ScheduleType only on OK. Items are built by ScheduleItem::build, so the window refuses what
// the runner could not keep: a time outside 0..23 or 0..59, a start not earlier than the end,
// "|" or a line break in the URL or the loading time, a line longer than the shared capacity.
// Lines of the file that are not items are listed (greyed) and kept; selecting one loads
// nothing into the editors. A save that fails says why and leaves the window open with the old
// file whole.
//
// Use: ScheduleWindow::run(face). When it returns, whatever the way it closed, the caller
// reloads its runtime list and ScheduleType (RecorderController::scheduleWindowClosed, which
// hands the new list to ScheduleRunner::reload while schedule mode runs).
//
// Thread contract: GUI thread only; run() runs a nested modal loop, so call it from a button's
// click, never from a timer tick or a posted event.
class ScheduleWindow : public SkinFace {
    Q_OBJECT

public:
    // Returns whether the user confirmed (the file and ScheduleType were written).
    static bool run(QWidget* parent, const SettingsStore& store = SettingsStore());

    ScheduleWindow(const SettingsStore& store, std::string schedulePath, QWidget* parent = nullptr);

    // The day field new items get: a date, weekday names or empty.
    const std::string& dayField() const { return m_dayField; }

protected:
    void paintContents(QPainter& painter) override;

private:
    void bindTimeField(ControlId fieldId, skin::SliderId sliderId, ScheduleItem::TimeField kind);
    void showEntries(int select);
    void entrySelected(int row);
    std::optional<ScheduleItem> buildItem();
    void addItem();
    void changeItem();
    void deleteItem();
    void setOnTheDay(bool on);
    void toggleWeekday(int day);
    void dateChosen(const QDate& date);
    void setStreaming(bool on);
    void chooseRelative(bool relative);
    void setDayField(const std::string& field);
    void confirm();
    void tell(const QString& title, const QString& text);

    SettingsStore m_store;
    std::string m_path;
    ScheduleDraft m_draft;
    std::string m_dayField;
    bool m_onTheDay = false;
    unsigned m_weekdays = 0;
    bool m_streaming = false;
    bool m_relative = false;
    QListWidget* m_list;
    QDateEdit* m_date;
};

}  // namespace orvel
