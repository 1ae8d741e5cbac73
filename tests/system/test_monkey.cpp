// SPDX-License-Identifier: GPL-3.0-or-later
// A child let loose on the main window: tens of thousands of random keys, menu choices,
// button clicks, pastes and dialog answers from a fixed, printed seed. After every action the
// lesson must still make sense: idle or in a lesson exactly as the controls say, the
// counters in range, and the question on the board one that the question rules can make.
//
// NUMBELO_MONKEY_SEED and NUMBELO_MONKEY_ACTIONS replay or lengthen a run.
#include "app/TfoMain.h"
#include "app/WholeCharacters.h"
#include "core/Lesson.h"
#include "platform/portable/AudioEngine.h"
#include "platform/portable/DesktopOpener.h"
#include "platform/portable/Mixer.h"
#include "platform/portable/Sound.h"
#include "startup/Startup.h"
#include "tests/support/LocaleInForce.h"
#include "tests/support/ModalHelper.h"
#include "tests/support/RecordingDesktopOpener.h"
#include "tests/support/TestServices.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMap>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <array>
#include <deque>
#include <vector>

namespace {

constexpr quint32 defaultSeed = 20001208;
constexpr int defaultActions = 20000;

int fromEnvironment(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

// Written from the question rules, not with the program's own question code, so that a fault
// there cannot agree with itself: operands of level L are 0 … 6L-1 (|R(11L) - 5L|); a
// subtraction is turned round so its answer is never negative; a division has a divisor of at
// least 1 and an exact answer, its dividend made a multiple of the divisor (a x b) only
// when the drawn dividend was not one already.
bool questionFollowsTheRules(char operation, std::int32_t level, std::int32_t a, std::int32_t b,
                             std::int32_t answer)
{
    const std::int32_t largest = 6 * level - 1;
    const auto inRange = [largest](std::int32_t v) { return v >= 0 && v <= largest; };
    switch (operation) {
    case '+':
        return inRange(a) && inRange(b) && answer == a + b;
    case '-':
        return inRange(a) && inRange(b) && b <= a && answer == a - b;
    case 'X':
        return inRange(a) && inRange(b) && answer == a * b;
    case ':':
        return b >= 1 && b <= largest && answer >= 1 && answer <= largest && a == answer * b &&
               (a <= largest || answer % b != 0);
    default:
        return false;
    }
}

// Presses and releases a key as the X server sends it: with the text it really carries.
void sendKey(QWidget *box, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    QTest::sendKeyEvent(QTest::Press, box, key, text, modifiers);
    QTest::sendKeyEvent(QTest::Release, box, key, text, modifiers);
}

// Answers every modal dialog as soon as its event loop runs, with a random choice of the
// ways a child closes one; a dialog that stays open is answered again, and after a few tries
// it is dismissed so that the run never hangs.
class DialogAnswerer : public QObject
{
  public:
    explicit DialogAnswerer(QRandomGenerator &random) : m_random(random)
    {
        m_timer.setInterval(0);
        connect(&m_timer, &QTimer::timeout, this, [this] { answer(); });
        m_timer.start();
    }

    int answered = 0;
    int forced = 0;
    QStringList stayedOpen;   // dialogs that six answers did not close
    QMap<QString, int> kinds; // dialogs seen, by caption
    QStringList badMarks;     // report lines whose mark is not a number of the system's locale

  private:
    void answer()
    {
        QWidget *dialog = QApplication::activeModalWidget();
        if (dialog == nullptr)
            return;
        const int tries = dialog->property(triesKey).toInt() + 1;
        dialog->setProperty(triesKey, tries);
        if (tries > 6) {
            ++forced;
            stayedOpen.append(dialog->objectName());
            if (auto *asDialog = qobject_cast<QDialog *>(dialog))
                asDialog->done(QDialog::Rejected);
            else
                dialog->close();
            return;
        }
        ++answered;
        if (tries == 1) {
            ++kinds[dialog->windowTitle()];
            checkMark(dialog->accessibleDescription());
        }
        const auto buttons = ModalHelper::buttonsOf(dialog);
        switch (m_random.bounded(5)) {
        case 0:
        case 1:
            if (!buttons.isEmpty()) {
                buttons.at(m_random.bounded(int(buttons.size())))->click();
                break;
            }
            [[fallthrough]];
        case 2:
            ModalHelper::pressKey(dialog, Qt::Key_Return);
            break;
        case 3:
            ModalHelper::pressKey(dialog, Qt::Key_Escape);
            break;
        default:
            ModalHelper::closeByTitleBar(dialog);
            break;
        }
    }

    void checkMark(const QString &text)
    {
        static const QRegularExpression mark(
            u"^Nilai belajar : (\\d+(%1\\d\\d?)?)?\r?$"_qs.arg(
                QRegularExpression::escape(QLocale::system().decimalPoint())),
            QRegularExpression::MultilineOption);
        if (text.contains(u"Nilai belajar"_qs) && !mark.match(text).hasMatch())
            badMarks.append(text);
    }

    static constexpr const char *triesKey = "monkeyTries";
    QRandomGenerator &m_random;
    QTimer m_timer;
};

} // namespace

class TestMonkey : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void randomActionsKeepTheLessonConsistent();

  private:
    void act();
    void typeInto(QLineEdit *box);
    void pasteInto(QLineEdit *box);
    void answerWith(std::int32_t number);
    QString checkInvariants() const;
    QLineEdit *typingTarget(QLineEdit *wanted) const;
    void note(const QString &what);

    QRandomGenerator m_random;
    RecordingDesktopOpener m_desktop; // the readme and the about box's links open nothing
    std::unique_ptr<AudioEngine> m_audio;
    std::unique_ptr<MusicSystem> m_music;
    std::unique_ptr<TfoMain> m_window;
    std::deque<QString> m_recent; // the last actions, for the failure message
    bool m_calm = false;
    int m_closes = 0;
    int m_lessonsStarted = 0;
};

namespace {
QtMessageHandler defaultHandler = nullptr;

// The offscreen platform warns at every dialog that it cannot pass on size hints; thousands
// of those lines would bury anything that matters.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    defaultHandler(type, context, message);
}
} // namespace

void TestMonkey::initTestCase()
{
    verifyLocaleInForce();
    defaultHandler = qInstallMessageHandler(quietHandler);
    prepareApplication(*qApp);
    // "Keluar" closes the window; the run shows it again instead of ending.
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestMonkey::note(const QString &what)
{
    m_recent.push_back(what);
    if (m_recent.size() > 12)
        m_recent.pop_front();
}

// A real keyboard only reaches a box that is enabled; a key meant for a disabled box goes to
// the other one.
QLineEdit *TestMonkey::typingTarget(QLineEdit *wanted) const
{
    if (wanted->isEnabled())
        return wanted;
    QLineEdit *other = wanted == m_window->edAnswer ? m_window->edName : m_window->edAnswer;
    return other->isEnabled() ? other : nullptr;
}

void TestMonkey::typeInto(QLineEdit *box)
{
    static const std::array<Qt::Key, 12> editingKeys = {
        Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left,  Qt::Key_Right,
        Qt::Key_Home,      Qt::Key_End,    Qt::Key_Tab,   Qt::Key_Up,
        Qt::Key_Down,      Qt::Key_Insert, Qt::Key_Space, Qt::Key_Backtab};
    static const QStringList foreignTexts = {
        QStringLiteral("é"),  QStringLiteral("ß"), QStringLiteral("ж"),  QStringLiteral("٣"),
        QStringLiteral("五"), QStringLiteral("😀"), QStringLiteral("ä1"), QStringLiteral("½")};
    const char *boxName = box == m_window->edAnswer ? "edAnswer" : "edName";
    const quint32 kind = m_random.bounded(100);
    if (kind < 40) {
        const char digit = char('0' + m_random.bounded(10));
        note(QStringLiteral("%1: digit %2").arg(boxName).arg(digit));
        QTest::keyClick(box, digit);
    } else if (kind < 50) {
        note(QStringLiteral("%1: Enter").arg(boxName));
        if (m_random.bounded(2))
            QTest::keyClick(box, Qt::Key_Return);
        else
            sendKey(box, Qt::Key_Enter, Qt::KeypadModifier, QStringLiteral("\r"));
    } else if (kind < 55) {
        note(QStringLiteral("%1: Escape").arg(boxName));
        QTest::keyClick(box, Qt::Key_Escape);
    } else if (kind < 68) {
        const Qt::Key key = editingKeys.at(m_random.bounded(int(editingKeys.size())));
        note(QStringLiteral("%1: key 0x%2").arg(boxName).arg(int(key), 0, 16));
        const auto modifiers = m_random.bounded(4) == 0 ? Qt::ShiftModifier : Qt::NoModifier;
        if (key == Qt::Key_Delete)
            sendKey(box, key, modifiers, QString(QChar(0x7f)));
        else
            QTest::keyClick(box, key, modifiers);
    } else if (kind < 78) {
        const char letter = char((m_random.bounded(2) ? 'a' : 'A') + m_random.bounded(26));
        note(QStringLiteral("%1: letter %2").arg(boxName).arg(letter));
        QTest::keyClick(box, letter);
    } else if (kind < 86) {
        const auto key = Qt::Key(Qt::Key_A + int(m_random.bounded(26)));
        note(QStringLiteral("%1: Ctrl+%2").arg(boxName).arg(QChar(key)));
        sendKey(box, key, Qt::ControlModifier, QString(QChar(key - Qt::Key_A + 1)));
    } else if (kind < 92) {
        const int index = int(m_random.bounded(int(foreignTexts.size())));
        const QString text = foreignTexts.at(index);
        note(QStringLiteral("%1: text %2").arg(boxName, text));
        // As a keyboard layout types it (one key event carrying the text), or as an input
        // method commits it.
        if (index % 2 == 0) {
            sendKey(box, Qt::Key_unknown, Qt::NoModifier, text);
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QApplication::sendEvent(box, &commit);
            QCoreApplication::processEvents();
        }
    } else {
        static const std::array<char, 8> punctuation = {'+', '-', '$', ' ', '.', ',', '/', '&'};
        const char sign = punctuation.at(m_random.bounded(int(punctuation.size())));
        note(QStringLiteral("%1: punctuation %2").arg(boxName).arg(sign));
        QTest::keyClick(box, sign);
    }
}

void TestMonkey::pasteInto(QLineEdit *box)
{
    static const QStringList clips = {
        QStringLiteral("7"),          QStringLiteral("12"),        QStringLiteral("0012"),
        QStringLiteral("+5"),         QStringLiteral("-3"),        QStringLiteral("$1F"),
        QStringLiteral("abc"),        QStringLiteral(" 9"),        QStringLiteral("99999999"),
        QStringLiteral("１２"),       QStringLiteral("\t\n"),      QStringLiteral(""),
        QStringLiteral("2147483648"), QStringLiteral("$FFFFFFFF"), QStringLiteral("٣٤")};
    QString clip = clips.at(m_random.bounded(int(clips.size())));
    if (clip == u"12" && m_random.bounded(2))
        clip = QString::number(m_window->lesson.Answer); // sometimes the right answer
    QGuiApplication::clipboard()->setText(clip);
    note(QStringLiteral("paste \"%1\" into %2").arg(clip, box->objectName()));
    box->paste();
}

// Clears the answer box with the keyboard, types a number and presses Enter.
void TestMonkey::answerWith(std::int32_t number)
{
    QLineEdit *box = m_window->edAnswer;
    QTest::keyClick(box, Qt::Key_End);
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(box, Qt::Key_Backspace);
    const QString digits = QString::number(number);
    for (QChar digit : digits)
        QTest::keyClick(box, digit.toLatin1());
    QTest::keyClick(box, Qt::Key_Return);
}

void TestMonkey::act()
{
    TfoMain &w = *m_window;
    // Stretches of calm, where the child mostly answers, let lessons reach their report;
    // the rest of the time anything goes.
    if (m_calm && w.edAnswer->isEnabled() && m_random.bounded(100) < 85) {
        const bool right = m_random.bounded(3) != 0;
        note(QStringLiteral("answer %1 (%2)").arg(w.lesson.Answer).arg(right ? "right" : "wrong"));
        answerWith(right ? w.lesson.Answer
                         : w.lesson.Answer + 1 + std::int32_t(m_random.bounded(9)));
        return;
    }
    const quint32 kind = m_random.bounded(1000);
    if (kind < 600) {
        QLineEdit *box = typingTarget(m_random.bounded(4) ? w.edAnswer : w.edName);
        if (box != nullptr)
            typeInto(box);
    } else if (kind < 640) {
        QLineEdit *box = typingTarget(w.edAnswer);
        if (box != nullptr)
            pasteInto(box);
    } else if (kind < 700) {
        // The function keys, pressed where the keyboard focus is.
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &w;
        const Qt::Key key = m_random.bounded(2) ? Qt::Key_F2 : Qt::Key_F3;
        note(key == Qt::Key_F2 ? QStringLiteral("F2") : QStringLiteral("F3"));
        QTest::keyClick(target, key);
    } else if (kind < 850) {
        const std::array<QAction *, 13> items = {
            w.Mulaibelajar1, w.Next1,   w.Penambahan,   w.Pengurangan, w.Perkalian,
            w.Pembagian,     w.Level1,  w.Level2,       w.Level3,      w.Hidupkanmusik,
            w.About1,        w.Readme1, w.Mulaibelajar1};
        QAction *item = items.at(m_random.bounded(int(items.size())));
        note(QStringLiteral("menu %1").arg(item->objectName()));
        // The desktop opens the readme, has no program for it, or fails outright.
        m_desktop.answer = RecordingDesktopOpener::Answer(m_random.bounded(3));
        item->trigger(); // as the menu does: nothing when the item is disabled
        // The readme the program showed itself, because the desktop could not, is read and
        // closed.
        if (auto *readme = w.findChild<QWidget *>(QStringLiteral("readmeWindow")))
            readme->close();
    } else if (kind < 960) {
        const std::array<QToolButton *, 3> buttons = {w.btnPlay, w.btnNext, w.SpeedButton2};
        QToolButton *button = buttons.at(m_random.bounded(int(buttons.size())));
        note(QStringLiteral("button %1").arg(button->objectName()));
        button->click(); // nothing when the button is disabled
    } else if (kind < 990) {
        // Repaint the bubble in whatever state the lesson is, and let the mixer play a little
        // of what was asked for.
        note(QStringLiteral("repaint and mix"));
        w.repaint();
        std::array<float, Audio::periodFrames * Audio::channels> buffer{};
        m_audio->mixer().mix(buffer.data(), Audio::periodFrames);
    } else {
        const bool byMenu = m_random.bounded(2) != 0;
        note(byMenu ? QStringLiteral("menu Keluar1") : QStringLiteral("button SpeedButton3"));
        if (byMenu)
            w.Keluar1->trigger();
        else
            w.SpeedButton3->click();
        QVERIFY2(!w.isVisible(), "the window stayed open after Keluar");
        ++m_closes;
        w.show();
    }
}

QString TestMonkey::checkInvariants() const
{
    const TfoMain &w = *m_window;
    const bool idleControls = w.btnPlay->isEnabled() && !w.edAnswer->isEnabled() &&
                              !w.btnNext->isEnabled() && !w.Next1->isEnabled() &&
                              w.edName->isEnabled();
    const bool lessonControls = !w.btnPlay->isEnabled() && w.edAnswer->isEnabled() &&
                                w.btnNext->isEnabled() && w.Next1->isEnabled() &&
                                !w.edName->isEnabled();
    if (!w.isVisible())
        return QStringLiteral("the window is not shown");
    // At most 4 whole characters ("😀683" is 4), and never half of one.
    const QString answer = w.edAnswer->text();
    if (wholeCharacterCount(answer) > 4 || !answer.isValidUtf16())
        return QStringLiteral("the answer box holds \"%1\"").arg(answer);
    if (wholeCharacterCount(w.edName->text()) > 10 || !w.edName->text().isValidUtf16())
        return QStringLiteral("the name box holds \"%1\"").arg(w.edName->text());
    if (w.lesson.Level < 1 || w.lesson.Level > 3)
        return QStringLiteral("Level is %1").arg(w.lesson.Level);
    const std::array<QAction *, 4> operationItems = {w.Penambahan, w.Pengurangan, w.Perkalian,
                                                     w.Pembagian};
    const char operation = glyph(w.lesson.Operation).toLatin1();
    if (!operationItems.at(std::size_t(w.lesson.Operation))->isChecked())
        return QStringLiteral("the menu does not check operation %1").arg(operation);
    const std::array<QAction *, 3> levelItems = {w.Level1, w.Level2, w.Level3};
    if (!levelItems.at(w.lesson.Level - 1)->isChecked())
        return QStringLiteral("the menu does not check level %1").arg(w.lesson.Level);
    if (w.lesson.Score < 0 || w.lesson.Score > QuestionsPerLesson)
        return QStringLiteral("Score is %1").arg(w.lesson.Score);

    if (w.lesson.isFinished())
        return QStringLiteral("the lesson is over, but its report never came");
    if (w.lesson.QuestionNo == 0) {
        if (!idleControls)
            return QStringLiteral("QuestionNo is 0 but the controls are not idle");
        if (!w.edAnswer->text().isEmpty() || !w.edNo->text().isEmpty())
            return QStringLiteral("idle with text left in the boxes");
        return QString();
    }
    if (!lessonControls)
        return QStringLiteral("question %1 but the controls are not those of a lesson")
            .arg(w.lesson.QuestionNo);
    if (w.lesson.QuestionNo < 1 || w.lesson.QuestionNo > QuestionsPerLesson)
        return QStringLiteral("QuestionNo is %1").arg(w.lesson.QuestionNo);
    if (w.edNo->text() != QString::number(w.lesson.QuestionNo))
        return QStringLiteral("question %1 shows number \"%2\"")
            .arg(w.lesson.QuestionNo)
            .arg(w.edNo->text());
    if (w.lesson.Attempt < 1 || w.lesson.Attempt > 3)
        return QStringLiteral("Attempt is %1").arg(w.lesson.Attempt);
    // Only questions already answered can have scored.
    if (w.lesson.Score > w.lesson.QuestionNo - 1)
        return QStringLiteral("Score %1 at question %2")
            .arg(w.lesson.Score)
            .arg(w.lesson.QuestionNo);
    if (w.lesson.IsLastQuestion != (w.lesson.QuestionNo == QuestionsPerLesson))
        return QStringLiteral("IsLastQuestion is %1 at question %2")
            .arg(w.lesson.IsLastQuestion)
            .arg(w.lesson.QuestionNo);
    if (!questionFollowsTheRules(operation, w.lesson.Level, w.lesson.OperandA, w.lesson.OperandB,
                                 w.lesson.Answer))
        return QStringLiteral("%1 %2 %3 = %4 cannot be a level %5 question")
            .arg(w.lesson.OperandA)
            .arg(operation)
            .arg(w.lesson.OperandB)
            .arg(w.lesson.Answer)
            .arg(w.lesson.Level);
    return QString();
}

void TestMonkey::randomActionsKeepTheLessonConsistent()
{
    const quint32 seed = quint32(fromEnvironment("NUMBELO_MONKEY_SEED", int(defaultSeed)));
    const int actions = fromEnvironment("NUMBELO_MONKEY_ACTIONS", defaultActions);
    qInfo("monkey: seed %u, %d actions", seed, actions);
    m_random.seed(seed);

    DialogAnswerer dialogs(m_random); // before the window: opening the music may fail
    m_audio = std::make_unique<AudioEngine>(nullptr);
    m_music = testMusic(&m_audio->mixer());
    m_window = std::make_unique<TfoMain>(testServices(*m_audio, *m_music, m_desktop));
    m_window->setSeedClock([this] { return m_random.generate(); });
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->activateWindow();

    int lessonActions = 0;
    for (int i = 0; i < actions; ++i) {
        const int questionBefore = m_window->lesson.QuestionNo;
        if (i % 250 == 0)
            m_calm = m_random.bounded(2) != 0;
        act();
        // Back to the event loop, as after every real key, click or choice.
        QCoreApplication::processEvents();
        if (QTest::currentTestFailed())
            return;
        const QString broken = checkInvariants();
        if (!broken.isEmpty()) {
            QStringList recent(m_recent.begin(), m_recent.end());
            QFAIL(qPrintable(QStringLiteral("after action %1 of seed %2: %3\nlast actions:\n  %4")
                                 .arg(i + 1)
                                 .arg(seed)
                                 .arg(broken, recent.join(QStringLiteral("\n  ")))));
        }
        if (m_window->lesson.QuestionNo > 0)
            ++lessonActions;
        if (questionBefore == 0 && m_window->lesson.QuestionNo == 1)
            ++m_lessonsStarted;
    }
    const QStringList stray = ModalHelper::strayWindows({m_window.get()});
    QVERIFY2(stray.isEmpty(), qPrintable(stray.join(u',')));
    dialogs.stayedOpen.removeDuplicates();
    QStringList kinds;
    for (auto it = dialogs.kinds.cbegin(); it != dialogs.kinds.cend(); ++it)
        kinds.append(QStringLiteral("%1 \"%2\"").arg(it.value()).arg(it.key()));
    qInfo("monkey: %d actions, %d in a lesson, %d lessons started, %d closes; dialogs: %s; "
          "%d answers, %d dialogs closed after six answers did not (%s)",
          actions, lessonActions, m_lessonsStarted, m_closes, qPrintable(kinds.join(u", ")),
          dialogs.answered, dialogs.forced, qPrintable(dialogs.stayedOpen.join(u' ')));
    // A run that never got into lessons or dialogs proved nothing.
    QVERIFY(lessonActions > actions / 4);
    QVERIFY(dialogs.answered > actions / 100);
    QVERIFY2(dialogs.kinds.value(QStringLiteral("Information")) > 0,
             "no lesson reached its report");
    QVERIFY2(dialogs.badMarks.isEmpty(), qPrintable(dialogs.badMarks.value(0)));

    QVERIFY(!m_desktop.opened.isEmpty()); // the readme was asked for
    m_window.reset();
    m_music.reset();
    m_audio.reset();
}

QTEST_MAIN(TestMonkey)
#include "test_monkey.moc"
