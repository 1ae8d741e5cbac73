// SPDX-License-Identifier: GPL-3.0-or-later
// A child answering: typed keys, three tries, the messages, and the report at the end.
#include "app/TfoMain.h"
#include "dialogs/MessageDialogs.h"
#include "startup/Startup.h"
#include "tests/support/LocaleInForce.h"
#include "tests/support/WindowFixture.h"

#include <QAction>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <QToolButton>
#include <utility>

namespace {
void pressEnter(QWidget *dialog)
{
    ModalHelper::pressKey(dialog, Qt::Key_Return);
}

// Types into the box as the X server delivers it: a key with the text it really carries
// (`key` 0: an input method commits `text`; -1: it shows `text` as a composition under way).
void send(QWidget *box, int key, int modifiers, const QString &text)
{
    if (key <= 0) {
        const int cursor = key ? int(text.size()) : 0;
        QInputMethodEvent event(key ? text : QString(),
                                {{QInputMethodEvent::Cursor, cursor, 1, {}}});
        event.setCommitString(key ? QString() : text);
        QApplication::sendEvent(box, &event);
        QCoreApplication::processEvents(); // the commit is judged once the event is done
        return;
    }
    for (auto action : {QTest::Press, QTest::Release})
        QTest::sendKeyEvent(action, box, Qt::Key(key), text, Qt::KeyboardModifiers(modifiers));
}
} // namespace

class TestAnswers : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void init();
    void cleanup() { m_fixture.close(); }
    void threeWrongTriesRevealTheAnswer();
    void errorPathsLeaveTheLessonAlone_data();
    void errorPathsLeaveTheLessonAlone();
    void fullBoxIgnoresEnterButButtonsSubmit_data();
    void fullBoxIgnoresEnterButButtonsSubmit();
    void letterReplacesSelectedFullBoxSilently();
    void editingKeysAndTabReachTheBox();
    void realKeysAndCommits_data();
    void realKeysAndCommits();
    void commitIsJudgedOnceTheInputMethodIsDone();
    void typedNameReplacesTheOldOne_data();
    void typedNameReplacesTheOldOne();
    void digitsAfterTheMenusReachTheBox_data();
    void digitsAfterTheMenusReachTheBox();
    void wholeLesson_data();
    void wholeLesson();

  private:
    void type(const QString &keys);
    void answerRight();
    void answerWrong();

    WindowFixture m_fixture;
};

void TestAnswers::initTestCase()
{
    verifyLocaleInForce();
    prepareApplication(*qApp);
}

void TestAnswers::init()
{
    m_fixture.open();
    m_fixture->PlayGame(nullptr);
    m_fixture.sounds.played.clear();
}

void TestAnswers::type(const QString &keys)
{
    for (QChar key : keys) {
        if (key == u'\n')
            QTest::keyClick(m_fixture->edAnswer, Qt::Key_Return);
        else
            QTest::keyClick(m_fixture->edAnswer, key.toLatin1());
    }
}

void TestAnswers::answerRight()
{
    type(QString::number(m_fixture->lesson.Answer) + u'\n');
}

void TestAnswers::answerWrong()
{
    type(QString::number(m_fixture->lesson.Answer + 1) + u'\n');
}

void TestAnswers::threeWrongTriesRevealTheAnswer()
{
    const int answer = m_fixture->lesson.Answer;
    m_fixture.answers->add(pressEnter);
    for (int i = 0; i < 3; ++i)
        answerWrong();
    QCOMPARE(m_fixture.answers->seen().size(), 1);
    const ModalHelper::DialogSeen reveal = m_fixture.answers->seen().first();
    QCOMPARE(reveal.text, QStringLiteral("Jawaban yang benar adalah : %1").arg(answer));
    QCOMPARE(reveal.caption, QStringLiteral("Numbelo 2000")); // the plain message
    QCOMPARE(m_fixture->edNo->text(), QStringLiteral("2"));
}

void TestAnswers::errorPathsLeaveTheLessonAlone_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("sound");
    QTest::addColumn<QString>("error");
    const QString notDigit = QStringLiteral("Ketikkan hanya tombol angka!.");
    QTest::newRow("Enter on empty box") << "" << int(Qt::Key_Return) << 0 << "toeng.wav"
                                        << "Jawaban tidak boleh kosong!!.";
    QTest::newRow("keypad Enter on empty box") << "" << int(Qt::Key_Enter) << 0 << "toeng.wav"
                                               << "Jawaban tidak boleh kosong!!.";
    QTest::newRow("letter") << "1" << int(Qt::Key_A) << 0 << "Toeng.wav" << notDigit;
    QTest::newRow("Ctrl+V") << "12" << int(Qt::Key_V) << int(Qt::ControlModifier) << "Toeng.wav"
                            << notDigit;
    QTest::newRow("Ctrl+A") << "123" << int(Qt::Key_A) << int(Qt::ControlModifier) << "Toeng.wav"
                            << notDigit;
}

void TestAnswers::errorPathsLeaveTheLessonAlone()
{
    QFETCH(QString, before);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    TfoMain &w = m_fixture.window();
    QGuiApplication::clipboard()->setText(QStringLiteral("99"));
    w.edAnswer->setText(before);
    const auto was = m_fixture.lessonState();
    m_fixture.answers->add(pressEnter);
    QTest::keyClick(w.edAnswer, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QTEST(m_fixture.sounds.played.value(0), "sound");
    QCOMPARE(m_fixture.sounds.played.size(), 1);
    QCOMPARE(m_fixture.answers->seen().size(), 1);
    QTEST(m_fixture.answers->seen().first().text, "error");
    QCOMPARE(m_fixture.answers->seen().first().caption, QStringLiteral("Numbelo 2000"));
    QCOMPARE(m_fixture.answers->seen().first().iconKind, QStringLiteral("critical"));
    QVERIFY(m_fixture.answers->seen().first().fixedDialog &&
            m_fixture.answers->seen().first().programIcon);
    QVERIFY(m_fixture.lessonState() == was);
    // The window takes the next key as before.
    type(QStringLiteral("7"));
    QCOMPARE(w.edAnswer->text(), before.left(3) + u'7');
}

void TestAnswers::fullBoxIgnoresEnterButButtonsSubmit_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("btnNext") << "btnNext";
    QTest::newRow("F3") << "F3";
    QTest::newRow("menu item") << "Next1";
}

void TestAnswers::fullBoxIgnoresEnterButButtonsSubmit()
{
    QFETCH(QString, how);
    TfoMain &w = m_fixture.window();
    w.lesson.Answer = 12;
    type(QStringLiteral("0012"));
    QCOMPARE(m_fixture.sounds.played.size(), 4);
    type(QStringLiteral("\n"));
    QTest::keyClick(w.edAnswer, Qt::Key_Escape);
    // A full box: no sound, Enter and Escape do nothing.
    QCOMPARE(m_fixture.sounds.played.size(), 4);
    QCOMPARE(w.lesson.QuestionNo, 1);
    QVERIFY(w.edAnswer->isEnabled());
    if (how == u"btnNext")
        QTest::mouseClick(w.btnNext, Qt::LeftButton);
    else if (how == u"F3")
        QTest::keyClick(w.edAnswer, Qt::Key_F3);
    else
        w.Next1->trigger();
    QCOMPARE(m_fixture.sounds.played.last(), QStringLiteral("Benar.wav"));
    QCOMPARE(w.lesson.Score, 1);
    QCOMPARE(w.lesson.QuestionNo, 2);
}

void TestAnswers::letterReplacesSelectedFullBoxSilently()
{
    TfoMain &w = m_fixture.window();
    w.lesson.Answer = 12;
    type(QStringLiteral("9999"));
    QTest::mouseClick(w.btnNext, Qt::LeftButton);
    QCOMPARE(w.lesson.Attempt, 2);
    QCOMPARE(w.edAnswer->selectedText(), QStringLiteral("9999"));
    const qsizetype soundsBefore = m_fixture.sounds.played.size();
    type(QStringLiteral("x"));
    QCOMPARE(w.edAnswer->text(), QStringLiteral("x"));
    QCOMPARE(m_fixture.sounds.played.size(), soundsBefore);
    QVERIFY(m_fixture.answers->seen().isEmpty());
    // That text then fails to convert when submitted.
    m_fixture.answers->add(pressEnter);
    type(QStringLiteral("\n"));
    QCOMPARE(m_fixture.answers->seen().value(0).text,
             QStringLiteral("'x' is not a valid integer value."));
    QCOMPARE(w.lesson.Attempt, 2);
}

void TestAnswers::editingKeysAndTabReachTheBox()
{
    TfoMain &w = m_fixture.window();
    type(QStringLiteral("123"));
    m_fixture.sounds.played.clear();
    QTest::keyClick(w.edAnswer, Qt::Key_Home);
    QTest::keyClick(w.edAnswer, Qt::Key_Delete);
    QTest::keyClick(w.edAnswer, Qt::Key_End);
    QTest::keyClick(w.edAnswer, Qt::Key_Left);
    QTest::keyClick(w.edAnswer, Qt::Key_Backspace);
    QCOMPARE(w.edAnswer->text(), QStringLiteral("3"));
    QVERIFY(m_fixture.sounds.played.isEmpty());
    QVERIFY(m_fixture.answers->seen().isEmpty());
    QTest::keyClick(w.edAnswer, Qt::Key_Tab);
    QVERIFY(m_fixture.answers->seen().isEmpty());
    QCOMPARE(QApplication::focusWidget(), w.edAnswer); // the name box is disabled
}

// Keys as the X server sends them (with their real texts), input-method commits and pastes, in a
// lesson ("#" before the text: the name box, the lesson reset). "1|2": the box's text with the
// cursor; "[1234]": all of it selected. Each Toeng comes with the error box.
void TestAnswers::realKeysAndCommits_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("key"); // 0: committed by an input method, -1: composing, -2: pasted
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("sounds");
    QTest::addColumn<QString>("after");
    const int ctrl = Qt::ControlModifier, alt = Qt::AltModifier;
    const QStringList none, toeng{QStringLiteral("Toeng.wav")};
    const auto row = [](const char *name, const char *before, int key, int modifiers,
                        const QString &text, const QStringList &sounds, const char *after) {
        QTest::newRow(name) << before << key << modifiers << text << sounds << after;
    };
    row("Delete", "1|2", Qt::Key_Delete, 0, "\x7f", none, "1");
    row("Ctrl+Delete", "1|2", Qt::Key_Delete, ctrl, "\x7f", none, "1");
    row("Shift+Delete", "1|2", Qt::Key_Delete, Qt::ShiftModifier, "\x7f", none, "12");
    row("keypad Delete", "1|2", Qt::Key_Delete, Qt::KeypadModifier, "", none, "1");
    row("dead key", "1|2", Qt::Key_Dead_Acute, 0, "", none, "12");
    row("Ctrl+1", "1|2", Qt::Key_1, ctrl, "1", none, "12");
    row("Ctrl+2", "1|2", Qt::Key_2, ctrl, QString(QChar(0)), none, "12");
    row("Ctrl+3", "1|2", Qt::Key_3, ctrl, "\x1b", none, "12");
    row("Alt+4", "1|2", Qt::Key_4, alt, "4", none, "12");
    row("Alt+x", "1|2", Qt::Key_X, alt, "x", none, "12");
    row("Alt+4, full box selected", "[1234]", Qt::Key_4, alt, "4", none, "1234");
    row("Ctrl+C", "[12]", Qt::Key_C, ctrl, "\x03", toeng, "12");
    row("Ctrl+Enter", "12", Qt::Key_Return, ctrl, "\r", toeng, "12");
    row("Ctrl+Backspace", "12", Qt::Key_Backspace, ctrl, "\b", toeng, "12");
    row("Ctrl+\\", "12", Qt::Key_Backslash, ctrl, "\x1c", toeng, "12");
    row("AltGr+5", "12", 0x20ac, Qt::GroupSwitchModifier, "€", toeng, "12");
    row("composed letter", "1", 0, 0, "á", toeng, "1");
    row("accent, then a digit", "1", 0, 0, "´5", {"Toeng.wav", "5.wav"}, "15");
    row("committed digit", "1", 0, 0, "7", {"7.wav"}, "17");
    row("letter with combining accent", "", 0, 0, "e\u0301", toeng, "");
    row("commit to a full box", "1234", 0, 0, "5", none, "1234");
    row("commit to a full box selected", "[1234]", 0, 0, "x", none, "x");
    row("composition under way", "1", -1, 0, "´", none, "1");
    row("answer pasted", "", -2, 0, "1😀😀😀😀", none, "1😀😀😀");
    row("3 characters, digit", "1😀😀", Qt::Key_5, 0, "5", {"5.wav"}, "1😀😀5");
    row("4 characters, digit", "1😀😀5", Qt::Key_6, 0, "6", none, "1😀😀5");
    row("9 letters, emoji", "#Nuvantiab", Qt::Key_unknown, 0, "😀", none, "Nuvantiab😀");
    row("10 letters, emoji", "#Nuvantiabc", Qt::Key_unknown, 0, "😀", none, "Nuvantiabc");
    row("9 letters, e and accent", "#Nuvantiab", -2, 0, "e\u0301", none, "Nuvantiabe\u0301");
    row("long name pasted", "#", -2, 0, "Nuvanti😀😀😀😀", none, "Nuvanti😀😀😀");
    row("name pasted on two lines", "#", -2, 0, "Ani\r\nBudi\tS", none, "Ani Budi S");
    row("line break pasted mid-name", "#An|i", -2, 0, "\nBudi\n", none, "An Budi i");
    row("emoji committed", "#Nuvanti", 0, 0, "😀😀😀😀", none, "Nuvanti😀😀😀");
}

void TestAnswers::realKeysAndCommits()
{
    QFETCH(QString, before);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(QStringList, sounds);
    const bool nameBox = before.startsWith(u'#');
    if (nameBox)
        m_fixture->ResetLesson();
    QLineEdit *box = nameBox ? m_fixture->edName : m_fixture->edAnswer;
    box->setText(QString(before).remove(QRegularExpression(QStringLiteral("[#|\\[\\]]"))));
    if (before.contains(u'|'))
        box->setCursorPosition(int(QString(before).remove(u'#').indexOf(u'|')));
    if (before.startsWith(u'['))
        box->selectAll();
    const QVariant cursorWas = box->inputMethodQuery(Qt::ImCursorRectangle);
    const qsizetype errors = sounds.count(QStringLiteral("Toeng.wav"));
    for (qsizetype i = 0; i < errors; ++i)
        m_fixture.answers->add(pressEnter);
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(key == -2 ? text : QStringLiteral("99"));
    if (key == -2)
        box->paste(); // as the box's context menu does
    else
        send(box, key, modifiers, text);
    QTEST(box->text(), "after");
    QCOMPARE(m_fixture.sounds.played, sounds);
    QCOMPARE(m_fixture.answers->seen().size(), errors);
    for (const auto &seen : m_fixture.answers->seen())
        QCOMPARE(seen.text, QStringLiteral("Ketikkan hanya tombol angka!."));
    QCOMPARE(clipboard->text(), key == -2 ? text : QStringLiteral("99")); // nothing copied
    QCOMPARE(m_fixture->lesson.QuestionNo, nameBox ? 0 : 1);
    QVERIFY(box->isEnabled());
    if (key == -1) // a composition is not drawn: the text cursor stays where it was
        QCOMPARE(box->inputMethodQuery(Qt::ImCursorRectangle), cursorWas);
}

// ibus commits its composition once more when the focus moves while it is still delivering a
// commit: the error box must open only once that delivery is over, or error boxes pile up.
void TestAnswers::commitIsJudgedOnceTheInputMethodIsDone()
{
    bool delivering = true;
    // Disconnected when the test ends, as `delivering` goes: the window, and the focus
    // changes its closing brings, outlive the test function.
    const QMetaObject::Connection watch =
        connect(qApp, &QApplication::focusChanged, &m_fixture.window(), [&](QWidget *old) {
            if (old == m_fixture->edAnswer && std::exchange(delivering, false))
                send(old, 0, 0, QStringLiteral("´")); // what ibus does when the focus moves
        });
    const auto unwatch = qScopeGuard([&watch] { QObject::disconnect(watch); });
    m_fixture.answers->add(pressEnter);
    QInputMethodEvent accent;
    accent.setCommitString(QStringLiteral("´"));
    QApplication::sendEvent(m_fixture->edAnswer, &accent);
    delivering = false;
    QTRY_COMPARE(m_fixture.answers->seen().size(), 1);
    QCOMPARE(m_fixture.sounds.played, QStringList{QStringLiteral("Toeng.wav")});
}

// Back to idle, the name box gets the focus back with its name kept and selected, so a new name
// replaces it; no question stays, and nothing is asked.
void TestAnswers::typedNameReplacesTheOldOne_data()
{
    QTest::addColumn<QString>("when");
    QTest::newRow("at start") << "start";
    QTest::newRow("after Escape in the answer box") << "Escape";
    QTest::newRow("after Ctrl+[ in the answer box") << "Ctrl+[";
    QTest::newRow("after a menu choice") << "menu";
}

void TestAnswers::typedNameReplacesTheOldOne()
{
    QFETCH(QString, when);
    if (when == u"start")
        m_fixture.open();
    else if (when.contains(u'['))
        send(m_fixture->edAnswer, Qt::Key_BracketLeft, Qt::ControlModifier, QStringLiteral("\x1b"));
    else if (when == u"Escape")
        send(m_fixture->edAnswer, Qt::Key_Escape, 0, QStringLiteral("\x1b"));
    else
        m_fixture->Pengurangan->trigger();
    QTRY_COMPARE(QApplication::focusWidget(), m_fixture->edName);
    QCOMPARE(m_fixture->edName->selectedText(), QStringLiteral("Nuvanti"));
    QVERIFY(m_fixture->btnPlay->isEnabled() && !m_fixture->edAnswer->isEnabled());
    QCOMPARE(m_fixture->lesson.QuestionNo, 0);
    QVERIFY(m_fixture.answers->seen().isEmpty());
    for (QChar letter : QStringLiteral("Rina"))
        send(m_fixture->edName, Qt::Key_A + letter.toUpper().unicode() - u'A', 0, letter);
    QCOMPARE(m_fixture->edName->text(), QStringLiteral("Rina"));
}

// The menus left as a child leaves them, or still open, then digits typed: the menu bar shows
// that it holds the keyboard (its title highlighted), and a digit no open menu takes goes into
// the box with its sound, as if typed there ("idle": the name box, no lesson running).
void TestAnswers::digitsAfterTheMenusReachTheBox_data()
{
    QTest::addColumn<QString>("menus");
    QTest::addColumn<bool>("keyboardMode"); // the bar holds the keyboard, no menu open
    QTest::newRow("Alt alone") << "Alt" << true;
    QTest::newRow("Pilihan by Alt+P, Escape") << "Alt+P Escape" << true;
    QTest::newRow("Pilihan by mouse, Escape") << "click Escape" << true;
    QTest::newRow("Pilihan open") << "click" << false;
    QTest::newRow("Belajar open") << "Alt+P Right" << false;
    QTest::newRow("idle, Alt alone") << "idle Alt" << true;
}

void TestAnswers::digitsAfterTheMenusReachTheBox()
{
    QFETCH(QString, menus);
    QFETCH(bool, keyboardMode);
    TfoMain &w = m_fixture.window();
    const bool idle = menus.startsWith(u"idle");
    if (idle)
        w.ResetLesson();
    QLineEdit *box = idle ? w.edName : w.edAnswer;
    box->clear();
    QTRY_COMPARE(QApplication::focusWidget(), box);
    const QRect title = w.MainMenu1->actionGeometry(w.Pilihan1->menuAction());
    const QRect first = w.MainMenu1->actionGeometry(w.MainMenu1->actions().first());
    const QImage before = w.MainMenu1->grab().toImage();
    auto focus = [] {
        QWidget *popup = QApplication::activePopupWidget();
        return popup ? popup : QApplication::focusWidget();
    };
    for (const QString &gesture : menus.split(u' ')) {
        if (gesture == u"Alt") {
            // Alt pressed and released alone, as the X server sends it.
            QTest::sendKeyEvent(QTest::Press, focus(), Qt::Key_Alt, QString(), Qt::AltModifier);
            QTest::sendKeyEvent(QTest::Release, focus(), Qt::Key_Alt, QString(), Qt::NoModifier);
        } else if (gesture == u"Alt+P") {
            QTest::keyClick(focus(), Qt::Key_P, Qt::AltModifier);
        } else if (gesture == u"click") {
            QTest::mouseClick(w.MainMenu1, Qt::LeftButton, {}, title.center());
        } else if (gesture != u"idle") {
            QTest::keyClick(focus(), QKeySequence(gesture)[0].key());
        }
    }
    QTRY_VERIFY(keyboardMode ? QApplication::activePopupWidget() == nullptr
                             : QApplication::activePopupWidget() != nullptr);
    if (keyboardMode) {
        // The highlighted title is the one the keys will open: File after Alt, else Pilihan.
        const QRect highlighted = menus.contains(u"Escape") ? title : first;
        const QImage shown = w.MainMenu1->grab().toImage();
        QVERIFY2(shown.copy(highlighted) != before.copy(highlighted),
                 "the menu bar holds the keyboard, but no title is highlighted");
    }
    m_fixture.sounds.played.clear();
    for (const Qt::Key digit : {Qt::Key_4, Qt::Key_2})
        QTest::keyClick(focus(), digit);
    QCOMPARE(box->text(), QStringLiteral("42"));
    const QStringList spoken{QStringLiteral("4.wav"), QStringLiteral("2.wav")};
    QCOMPARE(m_fixture.sounds.played, idle ? QStringList() : spoken);
    QCOMPARE(QApplication::focusWidget(), box);
    QVERIFY(QApplication::activePopupWidget() == nullptr);
    QVERIFY(w.MainMenu1->activeAction() == nullptr);
    QVERIFY(m_fixture.answers->seen().isEmpty());
}

// A whole lesson, seven right at the first try, the name put in the box by its own menu: the
// report reads the name as the box shows it (an "&" as typed, a line break as a space), its
// mark with the system's decimal separator, and the answer to "again?" starts a lesson or not.
void TestAnswers::wholeLesson_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("replay");
    QTest::newRow("blanks around, Yes") << u"  Ani  "_qs << u"Ani"_qs << u"yes"_qs;
    QTest::newRow("ampersand, No") << u"Tom&Jerry"_qs << u"Tom&Jerry"_qs << u"no"_qs;
    QTest::newRow("two lines, Escape") << u"Ani\nBudi"_qs << u"Ani Budi"_qs << u"escape"_qs;
    QTest::newRow("close box") << u"Budi"_qs << u"Budi"_qs << u"close"_qs;
}

void TestAnswers::wholeLesson()
{
    QFETCH(QString, pasted);
    QFETCH(QString, replay);
    TfoMain &w = m_fixture.window();
    w.edName->clear();
    QGuiApplication::clipboard()->setText(pasted);
    w.edName->paste();
    m_fixture.answers->add(pressEnter);
    m_fixture.answers->add([replay](QWidget *dialog) {
        if (replay == u"yes")
            ModalHelper::pressButton(dialog, mrYes);
        else if (replay == u"no")
            ModalHelper::pressButton(dialog, mrNo);
        else if (replay == u"escape")
            ModalHelper::pressKey(dialog, Qt::Key_Escape);
        else
            ModalHelper::closeByTitleBar(dialog);
    });
    for (int q = 1; q <= 11; ++q) {
        if (q > 7)
            answerWrong(); // then right at the second try: no score
        answerRight();
    }
    QTRY_COMPARE(m_fixture.answers->pending(), 0);
    const QList<ModalHelper::DialogSeen> seen = m_fixture.answers->seen();
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[0].caption, QStringLiteral("Information"));
    // The report's CR LF line breaks shown as plain line breaks; ctest also runs this test under
    // a comma locale.
    QTEST(seen[0].text.section(u'\n', 0, 0).mid(7), "shown");
    QCOMPARE(seen[0].text.section(u'\n', 1),
             QStringLiteral("Level pelajaran : 1\nNilai belajar : 63.64\nJumlah benar : 7\n"
                            "Jumlah salah : 4")
                 .replace(u'.', QLocale::system().decimalPoint()));
    QCOMPARE(seen[1].caption, QStringLiteral("Confirm"));
    QCOMPARE(seen[1].text, QStringLiteral("Mau belajar berhitung lagi?"));
    for (const ModalHelper::DialogSeen &dialog : seen)
        QVERIFY(dialog.fixedDialog && dialog.programIcon);
    QVERIFY(m_fixture.sounds.played.contains(QStringLiteral("Whistle.wav")));
    const bool again = replay == u"yes";
    QCOMPARE(w.lesson.QuestionNo, again ? 1 : 0);
    QCOMPARE(w.edAnswer->isEnabled(), again);
    QCOMPARE(m_fixture.sounds.played.last(), again ? u"Good.wav"_qs : u"Whistle.wav"_qs);
    QCOMPARE(w.edName->text(), QString(pasted).replace(u'\n', u' '));
}

QTEST_MAIN(TestAnswers)
#include "test_answers.moc"
