// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Answering real modal dialogs in widget tests.
//
// A modal dialog runs its own event loop until it is closed, so a test arranges the answer
// before making the call that opens it. ModalAnswers polls for the modal dialog on top,
// writes down what it shows, and runs the next queued answer on it:
//
//     ModalHelper::ModalAnswers answers;
//     answers.add([](QWidget *dialog) { ModalHelper::pressKey(dialog, Qt::Key_Escape); });
//     const int result = MessageDlg(u"Mau belajar lagi?"_qs, TMsgDlgType::mtConfirmation,
//                                   {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo});
//     QCOMPARE(result, mrNo);
//     QCOMPARE(answers.seen().at(0).caption, u"Confirm"_qs);
//     QVERIFY(answers.unanswered().isEmpty());
//
// A dialog that has no answer left (or stays open after its answer) is written down in
// unanswered() and closed after `patienceMs`, so a wrong expectation fails the test
// instead of hanging it. At the end of a test, strayWindows() lists every top-level
// window still visible that the test did not expect (check it in cleanup()).
//
// What the program's messages look like to these helpers (dialogs/TMessageForm.h): text label
// "messageText", buttons "button<result>" (OK "button1", Yes "button6", No "button7"), an
// "iconKind" property ("warning", "critical", "information", "question" or "" for no icon);
// objectName "messageDialog", the error box "errorBox".
// Every dialog is also asked how it asks the window manager to frame it: as a fixed dialog,
// with the program's icon (set by prepareApplication, as in the program).

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <functional>

namespace ModalHelper {

// What one dialog showed when it was answered.
struct DialogSeen
{
    QString objectName;
    QString caption;          // the window title
    QString text;             // the message as shown
    QString iconKind;         // "warning", "critical", "information", "question" or ""
    QStringList buttons;      // captions left to right, "&" as written ("&Yes", "OK")
    bool fixedDialog = false; // a dialog's title bar (close button only) and a fixed size
    bool programIcon = false; // the window system is given the program's icon for it
};

// The program's icon as the window system gets it, at its drawn size.
inline QImage iconImage(const QIcon &icon)
{
    return icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The dialog's visible push buttons, left to right.
inline QList<QPushButton *> buttonsOf(QWidget *dialog)
{
    QList<QPushButton *> buttons;
    const auto all = dialog->findChildren<QPushButton *>();
    for (QPushButton *button : all) {
        if (button->isVisibleTo(dialog))
            buttons.append(button);
    }
    std::sort(buttons.begin(), buttons.end(), [dialog](QPushButton *a, QPushButton *b) {
        return a->mapTo(dialog, QPoint()).x() < b->mapTo(dialog, QPoint()).x();
    });
    return buttons;
}

inline DialogSeen describe(QWidget *dialog)
{
    DialogSeen seen;
    seen.objectName = dialog->objectName();
    seen.caption = dialog->windowTitle();
    if (auto *label = dialog->findChild<QLabel *>(QStringLiteral("messageText")))
        seen.text = label->text();
    seen.iconKind = dialog->property("iconKind").toString();
    const auto buttons = buttonsOf(dialog);
    for (QPushButton *button : buttons)
        seen.buttons.append(button->text());
    const Qt::WindowFlags flags = dialog->windowFlags();
    seen.fixedDialog = (flags & Qt::WindowType_Mask) == Qt::Dialog &&
                       flags.testFlag(Qt::WindowCloseButtonHint) &&
                       !flags.testFlag(Qt::WindowMinimizeButtonHint) &&
                       !flags.testFlag(Qt::WindowMaximizeButtonHint) &&
                       dialog->minimumSize() == dialog->maximumSize();
    const QImage program = iconImage(QApplication::windowIcon());
    seen.programIcon = dialog->windowHandle() != nullptr && !program.isNull() &&
                       iconImage(dialog->windowHandle()->icon()) == program;
    return seen;
}

// The button that returns `result` ("button<result>"), or null.
inline QPushButton *buttonFor(QWidget *dialog, int result)
{
    return dialog->findChild<QPushButton *>(QStringLiteral("button%1").arg(result));
}

// Clicks the button that returns `result` with the mouse; fails the test if there is none.
inline void pressButton(QWidget *dialog, int result)
{
    QPushButton *button = buttonFor(dialog, result);
    QVERIFY2(button, qPrintable(QStringLiteral("no button%1 in the dialog").arg(result)));
    QTest::mouseClick(button, Qt::LeftButton);
}

// Types a key where the user's keystroke would go: the dialog's focused widget.
inline void pressKey(QWidget *dialog, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *target = dialog->focusWidget() ? dialog->focusWidget() : dialog;
    QTest::keyClick(target, key, modifiers);
}

// How a key held down reaches a dialog: repeats as the X server makes them (a release and a
// press with one time stamp, which Qt flags as a repeat or not), or a second press before the
// key is released.
enum class Held
{
    FlaggedRepeats,
    RepeatsAtOneTime,
    PressedTwice
};

// Sends what a key held down sends, up to its release, each event to the widget focused then.
inline void holdKey(QWidget *dialog, Qt::Key key, const QString &text, Held how)
{
    const bool flagged = how == Held::FlaggedRepeats;
    const auto send = [&](QEvent::Type type, ulong time, bool repeat) {
        QKeyEvent event(type, key, Qt::NoModifier, text, repeat);
        event.setTimestamp(flagged ? 0 : time); // flagged: no time to tell them by
        QApplication::sendEvent(dialog->focusWidget() ? dialog->focusWidget() : dialog, &event);
    };
    for (ulong time : {500ul, 540ul}) {
        if (how != Held::PressedTwice)
            send(QEvent::KeyRelease, time, flagged);
        send(QEvent::KeyPress, time, flagged);
    }
    send(QEvent::KeyRelease, 580, false);
}

// Closes the dialog as its title bar's close box (or Alt+F4) does: with a close event.
inline void closeByTitleBar(QWidget *dialog)
{
    dialog->close();
}

// Every visible top-level window that is not one of `expected`, described for a message.
inline QStringList strayWindows(const QList<QWidget *> &expected = {})
{
    QStringList stray;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->isVisible() && !expected.contains(window)) {
            stray.append(QStringLiteral("%1 \"%2\" (%3)")
                             .arg(QString::fromLatin1(window->metaObject()->className()),
                                  window->windowTitle(), window->objectName()));
        }
    }
    return stray;
}

// Answers modal dialogs, in order, with the queued actions; see the top of this file.
class ModalAnswers : public QObject
{
  public:
    using Action = std::function<void(QWidget *dialog)>;

    explicit ModalAnswers(int patienceMs = 5000) : m_patienceMs(patienceMs)
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }

    // Queues the answer for the next modal dialog that appears.
    void add(Action action) { m_actions.append(std::move(action)); }

    // Every dialog answered so far, in order.
    const QList<DialogSeen> &seen() const { return m_seen; }
    // Dialogs that found no answer, or stayed open after theirs; they were closed.
    const QList<DialogSeen> &unanswered() const { return m_unanswered; }
    // Answers queued but not used yet.
    qsizetype pending() const { return m_actions.size(); }

  private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            m_current = nullptr;
            return;
        }
        if (modal != m_current) {
            m_current = modal;
            m_shownFor.start();
        }
        if (!modal->property(answeredKey).toBool() && !m_actions.isEmpty()) {
            modal->setProperty(answeredKey, true);
            m_seen.append(describe(modal));
            const Action action = m_actions.takeFirst();
            action(modal);
            m_shownFor.start();
            return;
        }
        if (m_shownFor.elapsed() > m_patienceMs) {
            m_unanswered.append(describe(modal));
            m_current = nullptr;
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->done(QDialog::Rejected);
            else
                modal->close();
        }
    }

    static constexpr const char *answeredKey = "modalHelperAnswered";
    QTimer m_timer;
    QElapsedTimer m_shownFor;
    QPointer<QWidget> m_current;
    QList<Action> m_actions;
    QList<DialogSeen> m_seen;
    QList<DialogSeen> m_unanswered;
    int m_patienceMs;
};

// For a single dialog: runs `action` on the next modal dialog that appears within
// `patienceMs`, then cleans up after itself.
inline void answerNextModal(ModalAnswers::Action action, int patienceMs = 5000)
{
    auto *answers = new ModalAnswers(patienceMs);
    answers->add([answers, action = std::move(action)](QWidget *dialog) {
        answers->deleteLater();
        action(dialog);
    });
    QTimer::singleShot(patienceMs, answers, &QObject::deleteLater);
}

} // namespace ModalHelper
