#include "ui/schedule/ScheduleWindow.h"

#include <QDateEdit>
#include <QListWidget>
#include <QLoggingCategory>
#include <QPainter>
#include <QSignalBlocker>

#include "config/Product.h"
#include "config/Text.h"
#include "skin/PlainMessage.h"
#include "skin/SkinButton.h"
#include "skin/SkinLineEdit.h"
#include "skin/SkinSlider.h"
#include "skin/SkinStrings.h"
#include "skin/layout/SkinStyle.h"

Q_LOGGING_CATEGORY(lcScheduleWindow, "orvel.schedule.window")

namespace orvel {

namespace {

constexpr ControlId kWeekdays[7] = {
    ControlId::kSunday,   ControlId::kMonday, ControlId::kTuesday, ControlId::kWednesday,
    ControlId::kThursday, ControlId::kFriday, ControlId::kSaturday};
// Start hour, minute, second, end hour, minute, second.
constexpr ControlId kTimeFields[6] = {ControlId::EDIT_STARTHOUR,   ControlId::EDIT_STARTMINUTE,
                                      ControlId::EDIT_STARTSECOND, ControlId::EDIT_ENDHOUR,
                                      ControlId::EDIT_ENDMINUTE,   ControlId::EDIT_ENDSECOND};
constexpr skin::SliderId kTimeSliders[6] = {
    skin::SliderId::StartHour, skin::SliderId::StartMinute, skin::SliderId::StartSecond,
    skin::SliderId::EndHour,   skin::SliderId::EndMinute,   skin::SliderId::EndSecond};
constexpr ScheduleItem::TimeField kTimeKinds[6] = {
    ScheduleItem::TimeField::Hour,   ScheduleItem::TimeField::Minute,
    ScheduleItem::TimeField::Second, ScheduleItem::TimeField::Hour,
    ScheduleItem::TimeField::Minute, ScheduleItem::TimeField::Second};
// The day field as drawn: its text starts this far inside the grey box.
constexpr int kDayFieldInset = 3;

QString fromStd(std::string_view text) {
    return toQString(text);
}

int numberIn(const QString& text) {
    return text::leadingNumber(text.toStdString());
}

QString twoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

}  // namespace

bool ScheduleWindow::run(QWidget* parent, const SettingsStore& store) {
    ScheduleWindow window(store, ScheduleList::pathIn(store.effectiveInstallFolder()), parent);
    return window.runModal() == QDialog::Accepted;
}

ScheduleWindow::ScheduleWindow(const SettingsStore& store, std::string schedulePath,
                               QWidget* parent)
    : SkinFace(skin::FaceId::Schedule, parent),
      m_store(store),
      m_path(std::move(schedulePath)),
      m_list(qobject_cast<QListWidget*>(control(ControlId::LIST_SCHEDULE))),
      m_date(qobject_cast<QDateEdit*>(control(ControlId::kScheduleDate))) {
    for (int i = 0; i < 6; ++i) {
        bindTimeField(kTimeFields[i], kTimeSliders[i], kTimeKinds[i]);
    }
    auto* loading = qobject_cast<SkinLineEdit*>(edit(ControlId::EDIT_LOADINGTIME));
    loading->setCheck([](const QString& text) {
        return fromStd(ScheduleItem::message(ScheduleItem::checkLoadingTime(numberIn(text))));
    });

    connect(button(ControlId::BTN_ADD), &SkinButton::clicked, this, &ScheduleWindow::addItem);
    connect(button(ControlId::BTN_CHANGE), &SkinButton::clicked, this, &ScheduleWindow::changeItem);
    connect(button(ControlId::BTN_DELETE), &SkinButton::clicked, this, &ScheduleWindow::deleteItem);
    connect(button(ControlId::BTN_ABSOLUTE), &SkinButton::clicked, this,
            [this] { chooseRelative(false); });
    connect(button(ControlId::BTN_RELATIVE), &SkinButton::clicked, this,
            [this] { chooseRelative(true); });
    connect(button(ControlId::BTN_OK), &SkinButton::clicked, this, &ScheduleWindow::confirm);
    connect(button(ControlId::BTN_CANCEL), &SkinButton::clicked, this, &ScheduleWindow::reject);
    connect(button(ControlId::BTN_ONTHEDAY), &SkinButton::clicked, this,
            [this] { setOnTheDay(!m_onTheDay); });
    for (int day = 0; day < 7; ++day) {
        connect(button(kWeekdays[day]), &SkinButton::clicked, this,
                [this, day] { toggleWeekday(day); });
    }
    connect(button(ControlId::CHECK_STREAMINGURL), &SkinButton::clicked, this,
            [this] { setStreaming(!m_streaming); });
    connect(m_list, &QListWidget::currentRowChanged, this, &ScheduleWindow::entrySelected);
    m_date->setDisplayFormat(QStringLiteral("M/d/yyyy"));
    {
        // The picker reports programmatic changes too; this one must not become a day field.
        const QSignalBlocker quiet(m_date);
        m_date->setDate(QDate::currentDate());
    }
    connect(m_date, &QDateEdit::dateChanged, this, &ScheduleWindow::dateChosen);

    // Opening: the day box on with no weekday chosen (an empty day field), streaming off, the
    // time mode as stored, every time at 0.
    setOnTheDay(true);
    setStreaming(false);
    chooseRelative(m_store.readScheduleType() != 0);
    for (int i = 0; i < 6; ++i) {
        edit(kTimeFields[i])->setText(QStringLiteral("00"));
        slider(kTimeSliders[i])->setValue(0);
    }
    const ScheduleList::LoadReport report = m_draft.load(m_path);
    if (report.skipped > 0) {
        qCInfo(lcScheduleWindow) << report.skipped
                                 << "lines of the schedule are not items; they are listed and kept";
    }
    showEntries(-1);
}

void ScheduleWindow::bindTimeField(ControlId fieldId, skin::SliderId sliderId,
                                   ScheduleItem::TimeField kind) {
    auto* field = qobject_cast<SkinLineEdit*>(edit(fieldId));
    SkinSlider* bar = slider(sliderId);
    field->setCheck([kind](const QString& text) {
        return fromStd(ScheduleItem::message(ScheduleItem::checkTimeField(kind, numberIn(text))));
    });
    connect(field, &SkinLineEdit::accepted, bar,
            [bar](const QString& text) { bar->setValue(numberIn(text)); });
    auto follow = [field](int value) { field->setText(twoDigits(value)); };
    connect(bar, &SkinSlider::moved, field, follow);
    connect(bar, &SkinSlider::released, field, follow);
}

void ScheduleWindow::showEntries(int select) {
    {
        const QSignalBlocker quiet(m_list);
        m_list->clear();
        for (const ScheduleDraft::Entry& entry : m_draft.entries()) {
            auto* row = new QListWidgetItem(QString::fromStdString(entry.text), m_list);
            if (!entry.item) {
                // Kept as written, but the schedule does not run it: show it as such.
                row->setForeground(skin::SkinStyle::colour(skin::palette::kFieldDisabledText));
                row->setToolTip(PlainMessage::tooltip(
                    tr("Not a schedule item (%1): it records nothing. Change replaces it, "
                       "Delete removes it.")
                        .arg(fromStd(ScheduleItem::message(entry.error)))));
            }
        }
        m_list->setCurrentRow(select);
        if (select < 0) {
            m_list->clearSelection();
        }
    }
    entrySelected(select);
}

void ScheduleWindow::entrySelected(int row) {
    const bool selected = row >= 0 && row < m_draft.size();
    button(ControlId::BTN_CHANGE)->setEnabled(selected);
    button(ControlId::BTN_DELETE)->setEnabled(selected);
    if (!selected) {
        return;
    }
    const std::optional<ScheduleDraft::Editors> editors = ScheduleDraft::editorsOf(m_draft.at(row));
    if (!editors) {
        return;
    }
    if (editors->hasUrl) {
        edit(ControlId::EDIT_STREAMINGURL)->setText(QString::fromStdString(editors->url));
        edit(ControlId::EDIT_LOADINGTIME)->setText(QString::fromStdString(editors->loadingTime));
        if (!m_streaming) {
            setStreaming(true);
        }
    }
    if (!editors->dayField.empty() && !m_onTheDay) {
        setOnTheDay(true);
    }
    m_weekdays = editors->weekdays;
    for (int day = 0; day < 7; ++day) {
        button(kWeekdays[day])->setLatched((m_weekdays >> day) & 1);
    }
    if (editors->date.isValid()) {
        const QSignalBlocker quiet(m_date);
        m_date->setDate(editors->date);
    }
    setDayField(editors->dayField);
    for (int i = 0; i < 6; ++i) {
        const QString text = QString::fromStdString(editors->times[std::size_t(i)]);
        edit(kTimeFields[i])->setText(text);
        slider(kTimeSliders[i])->setValue(numberIn(text));
    }
}

std::optional<ScheduleItem> ScheduleWindow::buildItem() {
    ScheduleItem::Fields fields;
    int* times[6] = {&fields.startHour, &fields.startMinute, &fields.startSecond,
                     &fields.endHour,   &fields.endMinute,   &fields.endSecond};
    for (int i = 0; i < 6; ++i) {
        *times[i] = numberIn(edit(kTimeFields[i])->text());
    }
    fields.dayField = m_dayField;
    fields.streaming = m_streaming;
    fields.url = edit(ControlId::EDIT_STREAMINGURL)->text().toStdString();
    fields.loadingTime = edit(ControlId::EDIT_LOADINGTIME)->text().toStdString();
    ScheduleItem::Result built = ScheduleItem::build(fields);
    if (!built.item) {
        tell(fromStd(ScheduleItem::messageTitle(built.error)),
             fromStd(ScheduleItem::message(built.error)));
    }
    return built.item;
}

void ScheduleWindow::addItem() {
    if (const std::optional<ScheduleItem> item = buildItem()) {
        const int selected = m_list->currentRow();
        const int at = m_draft.add(*item);
        const QSignalBlocker quiet(m_list);
        m_list->insertItem(at, QString::fromStdString(item->text()));
        // The entry that was selected stays selected, one row further down when needed.
        if (selected >= 0) {
            m_list->setCurrentRow(selected + (at <= selected ? 1 : 0));
        }
    }
}

void ScheduleWindow::changeItem() {
    const int row = m_list->currentRow();
    if (row < 0) {
        return;
    }
    if (const std::optional<ScheduleItem> item = buildItem()) {
        showEntries(m_draft.change(row, *item));
    }
}

void ScheduleWindow::deleteItem() {
    const int row = m_list->currentRow();
    if (row >= 0) {
        showEntries(m_draft.remove(row));
    }
}

void ScheduleWindow::setOnTheDay(bool on) {
    m_onTheDay = on;
    button(ControlId::BTN_ONTHEDAY)->setLatched(on);
    for (int day = 0; day < 7; ++day) {
        button(kWeekdays[day])->setEnabled(on);
    }
    m_date->setEnabled(on);
    setDayField(on ? ScheduleItem::weekdayField(m_weekdays) : std::string());
}

void ScheduleWindow::toggleWeekday(int day) {
    m_weekdays ^= 1u << day;
    button(kWeekdays[day])->setLatched((m_weekdays >> day) & 1);
    // The weekdays replace a date chosen before.
    setDayField(ScheduleItem::weekdayField(m_weekdays));
}

void ScheduleWindow::dateChosen(const QDate& date) {
    if (!date.isValid()) {
        tell({}, tr("Date not set!"));
        return;
    }
    m_weekdays = 0;
    for (int day = 0; day < 7; ++day) {
        button(kWeekdays[day])->setLatched(false);
    }
    setDayField(ScheduleItem::dateField(date));
}

void ScheduleWindow::setStreaming(bool on) {
    m_streaming = on;
    button(ControlId::CHECK_STREAMINGURL)->setLatched(on);
    edit(ControlId::EDIT_STREAMINGURL)->setEnabled(on);
    edit(ControlId::EDIT_LOADINGTIME)->setEnabled(on);
}

void ScheduleWindow::chooseRelative(bool relative) {
    m_relative = relative;
    button(ControlId::BTN_ABSOLUTE)->setLatched(!relative);
    button(ControlId::BTN_RELATIVE)->setLatched(relative);
}

void ScheduleWindow::setDayField(const std::string& field) {
    m_dayField = field;
    update(areaRect(skin::AreaId::DayField));
}

void ScheduleWindow::confirm() {
    const ScheduleList::SaveResult saved = m_draft.save(m_path);
    if (!saved.ok) {
        qCWarning(lcScheduleWindow) << "the schedule was not saved:" << saved.error.c_str();
        tell({}, tr("The schedule could not be saved to %1: %2. The file was left as it was.")
                     .arg(QString::fromStdString(m_path), QString::fromStdString(saved.error)));
        return;
    }
    m_store.writeScheduleType(m_relative ? 1 : 0);
    accept();
}

void ScheduleWindow::tell(const QString& title, const QString& text) {
    PlainMessage::show(this, QMessageBox::Warning, title, text);
}

void ScheduleWindow::paintContents(QPainter& painter) {
    const QRect day = areaRect(skin::AreaId::DayField);
    painter.fillRect(day, skin::SkinStyle::colour(skin::palette::kDayField));
    painter.save();
    painter.setClipRect(day);
    painter.setFont(skin::SkinStyle::font(skin::FontRole::Small));
    painter.setPen(Qt::black);
    painter.drawText(day.adjusted(kDayFieldInset, 0, 0, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     QString::fromStdString(m_dayField));
    painter.restore();
}

}  // namespace orvel
