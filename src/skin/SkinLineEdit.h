#pragma once

#include <QLineEdit>
#include <QPointer>
#include <functional>

// A field on a face whose text is checked when the user leaves it (Tab, a click into another
// field, Enter). A refused text shows its message and gives the focus back to the field; the
// message opens from a queued call, never from inside the focus change, and a guard keeps the
// field from checking again while its message is pending or open. Leaving for another window,
// or the face closing, checks nothing. OK buttons call check() once more.
//
// Thread contract: GUI thread only.
namespace orvel {

class SkinLineEdit : public QLineEdit {
    Q_OBJECT

public:
    // Returns the message for a text that is refused, or an empty string to accept it.
    using Check = std::function<QString(const QString& text)>;

    explicit SkinLineEdit(QWidget* parent = nullptr);

    // The check, and the title of its messages (empty: the program's name).
    void setCheck(Check check, const QString& title = {});

    // Checks the text now: true when it is accepted (accepted() is emitted); otherwise its
    // message shows and the field takes the focus back.
    bool check();
    // Whether a refusal's message is pending or open.
    bool refusing() const { return m_refusing; }

signals:
    // The text passed the check as the user left the field (move the slider, store it).
    void accepted(const QString& text);

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void refuse(const QString& message);

    Check m_check;
    QString m_title;
    bool m_refusing = false;
};

}  // namespace orvel
