#include "skin/TrackList.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace orvel {
namespace {

TrackRow rowNamed(int i) {
    return {"take" + std::to_string(i) + ".wav",
            "/home/ann/Music/",
            "10:00:00",
            "1:05",
            "1 - Line In",
            ""};
}

// The list holds its capacity and no more; rows and paths come back whole as strings, and an
// index outside the rows gives nothing rather than another row's data.
TEST(TrackList, HoldsAHundredRowsAndReturnsThemAsStrings) {
    TrackList list;
    for (int i = 0; i < TrackList::kCapacity; ++i) {
        ASSERT_TRUE(list.add(rowNamed(i)));
    }
    EXPECT_FALSE(list.add(rowNamed(100)));
    EXPECT_EQ(list.count(), 100);
    EXPECT_EQ(list.row(99), rowNamed(99));
    EXPECT_EQ(list.path(0), "/home/ann/Music/take0.wav");
    const std::string longName(255, 'n');
    const std::string deep = "/" + std::string(600, 'd') + "/";
    list.clear();
    list.add({longName, deep, {}, {}, {}, {}});
    EXPECT_EQ(list.path(0), deep + longName);
    for (int index : {-1, 1, 100}) {
        EXPECT_FALSE(list.row(index)) << index;
        EXPECT_EQ(list.path(index), "") << index;
    }
    EXPECT_EQ(list.model()->headerData(4, Qt::Horizontal).toString(), "Audio line");
}

// A click on a row selects it and notifies its index; after the list is emptied a click
// notifies nothing and no row is current.
TEST(TrackList, ClickedRowIsSelectedAndNotified) {
    TrackList list;
    list.resize(431, 159);
    for (int i = 0; i < 3; ++i) {
        list.add(rowNamed(i));
    }
    list.show();
    QSignalSpy clicked(&list, &TrackList::rowClicked);
    const QRect second = list.visualRect(list.model()->index(1, 2));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second.center());
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.front().front().toInt(), 1);
    EXPECT_EQ(list.current(), 1);

    list.clear();
    EXPECT_EQ(list.current(), -1);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(clicked.count(), 1);
}

// At the log panel's size the five columns fit, a hundred rows or one: no horizontal scroll
// bar, and every title fits its column.
TEST(TrackList, ColumnsAndTitlesFitThePanel) {
    TrackList list;
    list.resize(431, 159);
    list.show();
    for (int rows : {1, TrackList::kCapacity}) {
        list.clear();
        for (int i = 0; i < rows; ++i) {
            list.add(rowNamed(i));
        }
        QTest::qWait(50);
        SCOPED_TRACE(rows);
        EXPECT_FALSE(list.horizontalScrollBar()->isVisible());
        EXPECT_EQ(list.verticalScrollBar()->isVisible(), rows > 1);
        const QHeaderView* header = list.horizontalHeader();
        int total = 0;
        for (int column = 0; column < header->count(); ++column) {
            const QString title = list.model()->headerData(column, Qt::Horizontal).toString();
            EXPECT_GE(header->sectionSize(column),
                      header->fontMetrics().horizontalAdvance(title) + 4)
                << title.toStdString();
            total += header->sectionSize(column);
        }
        EXPECT_LE(total, list.viewport()->width());
    }
}

}  // namespace
}  // namespace orvel
