#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "skin/PlainMessage.h"
#include "skin/SkinFace.h"
#include "skin/SkinLineEdit.h"

namespace orvel {
namespace {

QList<QMessageBox*> openMessages() {
    QList<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
            boxes << box;
        }
    }
    return boxes;
}

// Leaving a field with a refused text shows its message once, as plain text, and gives the
// field the focus back when the message closes; a good text goes on to the face.
TEST(SkinLineEdit, RefusedTextShowsOneMessageAndKeepsTheFocus) {
    SkinFace face(skin::FaceId::Noise);
    auto* threshold = qobject_cast<SkinLineEdit*>(face.edit(ControlId::EDIT_THRESHOLD));
    auto* release = qobject_cast<SkinLineEdit*>(face.edit(ControlId::EDIT_RELEASETIME));
    ASSERT_TRUE(threshold && release);
    auto range = [](const QString& text) {
        const int n = text.toInt();
        return n >= -48 && n <= -1 ? QString()
                                   : QStringLiteral("Please input the threshold <value> & more");
    };
    threshold->setCheck(range);
    release->setCheck([](const QString&) { return QStringLiteral("never accepted"); });
    QSignalSpy accepted(threshold, &SkinLineEdit::accepted);
    face.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&face));

    threshold->setFocus(Qt::OtherFocusReason);
    threshold->setText("-49");
    QTest::keyClick(threshold, Qt::Key_Tab);
    QTRY_COMPARE(openMessages().size(), 1);
    QMessageBox* box = openMessages().front();
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->text(), "Please input the threshold <value> & more");
    EXPECT_TRUE(threshold->refusing());
    // Focus moving about while the message is open checks nothing again.
    QCoreApplication::processEvents();
    EXPECT_EQ(openMessages().size(), 1);

    box->accept();
    QTRY_VERIFY(!threshold->refusing());
    EXPECT_EQ(face.focusWidget(), threshold);
    EXPECT_EQ(openMessages().size(), 0) << "taking the focus back made another field check";
    EXPECT_EQ(accepted.count(), 0);

    threshold->setText("-24");
    QTest::keyClick(threshold, Qt::Key_Return);
    ASSERT_EQ(accepted.count(), 1);
    EXPECT_EQ(accepted.at(0).at(0).toString(), "-24");
    EXPECT_TRUE(threshold->check());
    face.reject();
}

// A question asked without waiting: the caller hears which button closed it, and the box goes.
TEST(PlainMessage, ReportsTheButtonThatClosedIt) {
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    QPointer<QMessageBox> box = PlainMessage::show(
        nullptr, QMessageBox::Question, {}, "The folder:\n\n/tmp/<new>\n\ndoes not exist.",
        QMessageBox::Yes | QMessageBox::No,
        [&](QMessageBox::StandardButton button) { answer = button; });
    ASSERT_TRUE(box);
    EXPECT_EQ(box->windowTitle(), "Orvel");
    EXPECT_EQ(answer, QMessageBox::NoButton) << "show() waited for the user";
    box->button(QMessageBox::No)->click();
    EXPECT_EQ(answer, QMessageBox::No);
    QTRY_VERIFY(box.isNull());
}

}  // namespace
}  // namespace orvel
