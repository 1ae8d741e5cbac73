// SPDX-License-Identifier: GPL-3.0-or-later
// The message dialogs and the error box, shown modally for real and answered as a user would.
#include "core/Report.h"
#include "dialogs/ErrorGuard.h"
#include "dialogs/MessageDialogs.h"
#include "tests/support/ModalHelper.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <cstdlib>
#include <stdexcept>

using ModalHelper::ModalAnswers;
using Buttons = TMsgDlgButtons;
using ModalHelper::Held;

Q_DECLARE_METATYPE(TMsgDlgType)

namespace {

const QString appTitle = QStringLiteral("Numbelo 2000");

// What Ctrl+C copies from a message, as Windows' message boxes give theirs.
QString copied(const QString &caption, const QString &text, const QStringList &buttons)
{
    const QString rule = u"---------------------------\n"_qs;
    return rule + caption + u'\n' + rule + text + u'\n' + rule +
           QString(buttons.join(u"   "_qs)).remove(u'&') + u"   \n"_qs + rule;
}

constexpr auto mbYes = TMsgDlgBtn::mbYes;
constexpr auto mbNo = TMsgDlgBtn::mbNo;
constexpr auto mbOK = TMsgDlgBtn::mbOK;

// What the user does to a dialog in the key table below.
enum class Gesture
{
    Enter,
    Escape,
    CloseBox,
    LetterN
};

} // namespace

Q_DECLARE_METATYPE(Gesture)
Q_DECLARE_METATYPE(ModalHelper::Held)

class TestDialogs : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanup();

    void looksByType_data();
    void looksByType();
    void answersByKeyboard_data();
    void answersByKeyboard();
    void heldKeysPressNoButton_data();
    void heldKeysPressNoButton();
    void buttonsSitInOneCentredRow();
    void textIsNeverClipped_data();
    void textIsNeverClipped();
    void reportShowsFiveLinesAndTheAmpersand();
    void plainMessage_data();
    void plainMessage();
    void errorBox_data();
    void errorBox();
    void guardShowsTheErrorAndStops();
    void ownerWindowGoingAwayIsSurvived();
};

void TestDialogs::initTestCase()
{
    QApplication::setApplicationDisplayName(appTitle);
}

void TestDialogs::cleanup()
{
    const QStringList stray = ModalHelper::strayWindows();
    QVERIFY2(stray.isEmpty(), qPrintable(stray.join(u", ")));
}

void TestDialogs::looksByType_data()
{
    QTest::addColumn<TMsgDlgType>("type");
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QStringList>("captions");

    QTest::newRow("warning") << TMsgDlgType::mtWarning << Buttons{mbOK} << u"Warning"_qs
                             << u"warning"_qs << QStringList{u"OK"_qs};
    QTest::newRow("error") << TMsgDlgType::mtError << Buttons{mbOK} << u"Error"_qs << u"critical"_qs
                           << QStringList{u"OK"_qs};
    QTest::newRow("information") << TMsgDlgType::mtInformation << Buttons{mbOK} << u"Information"_qs
                                 << u"information"_qs << QStringList{u"OK"_qs};
    QTest::newRow("confirmation") << TMsgDlgType::mtConfirmation << Buttons{mbYes, mbNo}
                                  << u"Confirm"_qs << u"question"_qs
                                  << QStringList{u"&Yes"_qs, u"&No"_qs};
    QTest::newRow("custom") << TMsgDlgType::mtCustom << Buttons{mbOK} << appTitle << QString()
                            << QStringList{u"OK"_qs};
    QTest::newRow("every button, given out of order")
        << TMsgDlgType::mtWarning << Buttons{mbOK, mbNo, mbYes, mbOK} << u"Warning"_qs
        << u"warning"_qs << QStringList{u"&Yes"_qs, u"&No"_qs, u"OK"_qs};
}

void TestDialogs::looksByType()
{
    QFETCH(TMsgDlgType, type);
    QFETCH(Buttons, buttons);
    QFETCH(QString, caption);
    QFETCH(QString, icon);
    QFETCH(QStringList, captions);

    ModalAnswers answers;
    QSize iconSize;
    int width = 0;
    answers.add([&iconSize, &width](QWidget *dialog) {
        if (auto *label = dialog->findChild<QLabel *>(u"messageIcon"_qs))
            iconSize = label->pixmap().deviceIndependentSize().toSize();
        width = dialog->width();
        ModalHelper::pressKey(dialog, Qt::Key_C, Qt::ControlModifier);
        ModalHelper::closeByTitleBar(dialog);
    });
    QCOMPARE(MessageDlg(u"Teks pesan"_qs, type, buttons), mrCancel);

    QCOMPARE(answers.seen().size(), 1);
    const ModalHelper::DialogSeen seen = answers.seen().at(0);
    QCOMPARE(seen.objectName, u"messageDialog"_qs);
    QCOMPARE(seen.caption, caption);
    QCOMPARE(seen.text, u"Teks pesan"_qs);
    QCOMPARE(seen.iconKind, icon);
    QCOMPARE(iconSize, icon.isEmpty() ? QSize() : QSize(32, 32));
    QCOMPARE(seen.buttons, captions);
    QVERIFY(seen.fixedDialog);
    QCOMPARE(QGuiApplication::clipboard()->text(), copied(caption, seen.text, captions));
    // A title bar that also holds an icon and three buttons (openbox puts minimise and
    // maximise on every dialog) shows the caption whole, in openbox's bold face: the report's
    // once read "Inf… ion".
    const QFontMetrics titleFace(QFont(u"DejaVu Sans"_qs, 8, QFont::Bold));
    QVERIFY2(width >= titleFace.horizontalAdvance(caption) + 110,
             qPrintable(QString::number(width)));
}

void TestDialogs::answersByKeyboard_data()
{
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<Gesture>("gesture");
    QTest::addColumn<int>("result");

    QTest::newRow("OK: Enter") << Buttons{mbOK} << Gesture::Enter << mrOk;
    QTest::newRow("OK: Escape") << Buttons{mbOK} << Gesture::Escape << mrOk;
    QTest::newRow("OK: close box") << Buttons{mbOK} << Gesture::CloseBox << mrCancel;
    QTest::newRow("Yes/No: Enter") << Buttons{mbYes, mbNo} << Gesture::Enter << mrYes;
    QTest::newRow("Yes/No: Escape") << Buttons{mbYes, mbNo} << Gesture::Escape << mrNo;
    QTest::newRow("Yes/No: close box") << Buttons{mbYes, mbNo} << Gesture::CloseBox << mrCancel;
    QTest::newRow("Yes/No: letter N") << Buttons{mbYes, mbNo} << Gesture::LetterN << mrNo;
    QTest::newRow("Yes/No/OK: Enter") << Buttons{mbYes, mbNo, mbOK} << Gesture::Enter << mrOk;
    QTest::newRow("Yes/No/OK: Escape") << Buttons{mbYes, mbNo, mbOK} << Gesture::Escape << mrNo;
}

void TestDialogs::answersByKeyboard()
{
    QFETCH(Buttons, buttons);
    QFETCH(Gesture, gesture);
    QFETCH(int, result);

    ModalAnswers answers;
    answers.add([gesture](QWidget *dialog) {
        switch (gesture) {
        case Gesture::Enter:
            ModalHelper::pressKey(dialog, Qt::Key_Return);
            break;
        case Gesture::Escape:
            ModalHelper::pressKey(dialog, Qt::Key_Escape);
            break;
        case Gesture::CloseBox:
            ModalHelper::closeByTitleBar(dialog);
            break;
        case Gesture::LetterN:
            ModalHelper::pressKey(dialog, Qt::Key_N);
            break;
        }
    });
    QCOMPARE(MessageDlg(u"Pilih"_qs, TMsgDlgType::mtConfirmation, buttons), result);
    QCOMPARE(answers.seen().size(), 1);
    QVERIFY(answers.unanswered().isEmpty());
}

// A key held down presses no button of a message dialog or the error box (no buttons: the
// error box); the next fresh press does, at once.
void TestDialogs::heldKeysPressNoButton_data()
{
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Held>("held");
    QTest::addColumn<int>("pressed"); // buttons pressed while it was held
    QTest::addColumn<Qt::Key>("fresh");
    QTest::addColumn<int>("result");
    using enum Held;
    const auto row = [](const char *name, const Buttons &buttons, Qt::Key key, Held held,
                        int pressed, Qt::Key fresh, int result) {
        QTest::newRow(name) << buttons << key << held << pressed << fresh << result;
    };
    row("OK, Enter flagged", {mbOK}, Qt::Key_Return, FlaggedRepeats, 0, Qt::Key_Return, mrOk);
    row("OK, Enter at one time", {mbOK}, Qt::Key_Return, RepeatsAtOneTime, 0, Qt::Key_Return, mrOk);
    row("Yes/No, Escape", {mbYes, mbNo}, Qt::Key_Escape, RepeatsAtOneTime, 0, Qt::Key_Escape, mrNo);
    row("Yes/No, Space", {mbYes, mbNo}, Qt::Key_Space, RepeatsAtOneTime, 0, Qt::Key_Space, mrYes);
    row("Yes/No, letter N", {mbYes, mbNo}, Qt::Key_N, FlaggedRepeats, 0, Qt::Key_N, mrNo);
    // Tab held: the focus goes on to No once, and Enter presses the focused button.
    row("Yes/No, Tab pressed twice", {mbYes, mbNo}, Qt::Key_Tab, PressedTwice, 0, Qt::Key_Return,
        mrNo);
    row("error box, Enter", {}, Qt::Key_Return, RepeatsAtOneTime, 0, Qt::Key_Return, mrOk);
    row("error box, Escape", {}, Qt::Key_Escape, FlaggedRepeats, 0, Qt::Key_Escape, mrOk);
}

void TestDialogs::heldKeysPressNoButton()
{
    QFETCH(Buttons, buttons);
    QFETCH(Qt::Key, key);
    QFETCH(Held, held);
    QFETCH(Qt::Key, fresh);
    ModalAnswers answers;
    int pressed = 0;
    bool stayedOpen = false;
    answers.add([&](QWidget *dialog) {
        for (auto *button : dialog->findChildren<QAbstractButton *>())
            connect(button, &QAbstractButton::clicked, dialog, [&pressed] { ++pressed; });
        const QString text = key == Qt::Key_Return   ? u"\r"_qs
                             : key == Qt::Key_Escape ? u"\x1b"_qs
                             : key == Qt::Key_Tab    ? u"\t"_qs
                                                     : QString(QChar(key).toLower());
        ModalHelper::holdKey(dialog, key, text, held);
        stayedOpen = dialog->isVisible();
        QTEST(pressed, "pressed");
        ModalHelper::pressKey(dialog, fresh);
    });
    const int result = buttons.isEmpty() ? (showErrorBox(u"Salah"_qs), mrOk)
                                         : MessageDlg(u"Pilih"_qs, TMsgDlgType::mtWarning, buttons);
    QVERIFY(stayedOpen);
    QTEST(result, "result");
    QVERIFY(answers.unanswered().isEmpty());
}

void TestDialogs::buttonsSitInOneCentredRow()
{
    // A long text makes the row narrower than the dialog, so that centring shows.
    TMessageForm form(QString(40, u'x') + u' ' + QString(40, u'y'), TMsgDlgType::mtWarning,
                      {mbYes, mbNo, mbOK});
    const auto buttons = ModalHelper::buttonsOf(&form);
    QCOMPARE(buttons.size(), 3);
    const QRect first = buttons.first()->geometry();
    const QRect last = buttons.last()->geometry();
    for (QPushButton *button : buttons) {
        QCOMPARE(button->size(), first.size());
        QCOMPARE(button->y(), first.y());
        QVERIFY(form.rect().contains(button->geometry()));
        QVERIFY(button->width() >= button->fontMetrics().horizontalAdvance(button->text()));
    }
    QVERIFY(first.right() < buttons.at(1)->x());
    const int leftGap = first.left();
    const int rightGap = form.width() - 1 - last.right();
    QVERIFY2(std::abs(leftGap - rightGap) <= 1,
             qPrintable(u"%1 vs %2"_qs.arg(leftGap).arg(rightGap)));

    auto *text = form.findChild<QLabel *>(u"messageText"_qs);
    auto *icon = form.findChild<QLabel *>(u"messageIcon"_qs);
    QVERIFY(text && icon);
    QCOMPARE(icon->y(), text->y());
    QVERIFY(icon->geometry().right() < text->x());
    QVERIFY(text->geometry().bottom() < first.top());
}

void TestDialogs::textIsNeverClipped_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("short") << u"Benar!"_qs;
    QTest::newRow("line breaks") << u"satu\ndua\r\ntiga\rempat"_qs;
    QTest::newRow("long sentence") << QStringList(60, u"berhitung"_qs).join(u' ');
    QTest::newRow("name typed without spaces") << u"Nama : "_qs + QString(300, u'w');
    QTest::newRow("empty") << QString();
}

void TestDialogs::textIsNeverClipped()
{
    QFETCH(QString, text);

    TMessageForm form(text, TMsgDlgType::mtInformation, {mbOK});
    auto *label = form.findChild<QLabel *>(u"messageText"_qs);
    QVERIFY(label);
    QVERIFY(!label->text().contains(u'\r'));
    QVERIFY(form.rect().contains(label->geometry()));
    const int halfScreen = QGuiApplication::primaryScreen()->availableGeometry().width() / 2;
    QVERIFY(label->width() <= halfScreen);

    // A row holds at most half a screen of letters (the spaces where lines break take no
    // room), so each line of the text needs at least that many rows; the label must be
    // tall enough for all of them.
    const QFontMetrics metrics = label->fontMetrics();
    int rows = 0;
    const QStringList lines = label->text().split(u'\n');
    for (const QString &line : lines) {
        const int width = metrics.horizontalAdvance(QString(line).remove(u' '));
        rows += std::max(1, (width + halfScreen - 1) / halfScreen);
    }
    QVERIFY2(label->height() >= rows * metrics.height(),
             qPrintable(u"%1 px for %2 rows"_qs.arg(label->height()).arg(rows)));
}

void TestDialogs::reportShowsFiveLinesAndTheAmpersand()
{
    const QString report = lessonReport(u" Ani & Budi "_qs, 2, 7, u'.');
    ModalAnswers answers;
    int labelHeight = 0;
    int lineHeight = 0;
    int labelWidth = 0;
    QString spokenName;
    QString spokenText;
    answers.add([&](QWidget *dialog) {
        // What a screen reader says when the report opens.
        const QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(dialog);
        spokenName = spoken->text(QAccessible::Name);
        spokenText = spoken->text(QAccessible::Description);
        auto *label = dialog->findChild<QLabel *>(u"messageText"_qs);
        labelHeight = label->height();
        lineHeight = label->fontMetrics().height();
        labelWidth = label->width();
        ModalHelper::pressKey(dialog, Qt::Key_Return);
    });
    QCOMPARE(MessageDlg(report, TMsgDlgType::mtInformation, {mbOK}), mrOk);

    const QString shown = answers.seen().at(0).text;
    QCOMPARE(shown, QString(report).replace(u"\r\n"_qs, u"\n"_qs));
    QVERIFY(shown.startsWith(u"Nama : Ani & Budi\n"_qs));
    QCOMPARE(spokenName, u"Information"_qs);
    QCOMPARE(spokenText, shown);
    QVERIFY(labelHeight >= 5 * lineHeight);
    // The "&" takes its own room: it is drawn, not taken as a mnemonic marker.
    const QFontMetrics metrics(QApplication::font());
    QVERIFY(labelWidth >= metrics.horizontalAdvance(u"Nama : Ani & Budi"_qs));
}

void TestDialogs::plainMessage_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::newRow("Enter") << Qt::Key_Return;
    QTest::newRow("keypad Enter") << Qt::Key_Enter;
    QTest::newRow("Escape") << Qt::Key_Escape;
}

void TestDialogs::plainMessage()
{
    QFETCH(Qt::Key, key);
    ModalAnswers answers;
    answers.add([key](QWidget *dialog) { ModalHelper::pressKey(dialog, key); });
    ShowMessage(u"Jawaban yang benar adalah 12"_qs);

    QCOMPARE(answers.seen().size(), 1);
    const ModalHelper::DialogSeen seen = answers.seen().at(0);
    QCOMPARE(seen.caption, appTitle);
    QCOMPARE(seen.text, u"Jawaban yang benar adalah 12"_qs);
    QCOMPARE(seen.iconKind, QString());
    QCOMPARE(seen.buttons, QStringList{u"OK"_qs});
    QVERIFY(answers.unanswered().isEmpty());
}

void TestDialogs::errorBox_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<Gesture>("gesture");
    QTest::addColumn<QString>("shown");

    QTest::newRow("after !!, Enter") << u"Jawaban tidak boleh kosong!!"_qs << Gesture::Enter
                                     << u"Jawaban tidak boleh kosong!!."_qs;
    QTest::newRow("after !, Escape") << u"Ketikkan hanya tombol angka!"_qs << Gesture::Escape
                                     << u"Ketikkan hanya tombol angka!."_qs;
    QTest::newRow("after a full stop, close box")
        << u"Selesai."_qs << Gesture::CloseBox << u"Selesai.."_qs;
    QTest::newRow("ampersand as typed")
        << u"'A&B' is not a valid integer value"_qs << Gesture::Enter
        << u"'A&B' is not a valid integer value."_qs;
}

void TestDialogs::errorBox()
{
    QFETCH(QString, message);
    QFETCH(Gesture, gesture);
    QFETCH(QString, shown);

    ModalAnswers answers;
    answers.add([gesture](QWidget *dialog) {
        ModalHelper::pressKey(dialog, Qt::Key_C, Qt::ControlModifier);
        if (gesture == Gesture::Enter)
            ModalHelper::pressKey(dialog, Qt::Key_Return);
        else if (gesture == Gesture::Escape)
            ModalHelper::pressKey(dialog, Qt::Key_Escape);
        else
            ModalHelper::closeByTitleBar(dialog);
    });
    showErrorBox(message);

    QCOMPARE(answers.seen().size(), 1);
    const ModalHelper::DialogSeen seen = answers.seen().at(0);
    QCOMPARE(seen.objectName, u"errorBox"_qs);
    QCOMPARE(seen.caption, appTitle);
    QCOMPARE(seen.text, shown);
    QCOMPARE(seen.iconKind, u"critical"_qs);
    QCOMPARE(seen.buttons, QStringList{u"OK"_qs});
    QVERIFY(seen.fixedDialog);
    QCOMPARE(QGuiApplication::clipboard()->text(), copied(appTitle, shown, {u"OK"_qs}));
    QVERIFY(answers.unanswered().isEmpty());
}

void TestDialogs::guardShowsTheErrorAndStops()
{
    ModalAnswers answers;
    answers.add([](QWidget *dialog) { ModalHelper::pressButton(dialog, mrOk); });
    answers.add([](QWidget *dialog) { ModalHelper::pressButton(dialog, mrOk); });

    bool reachedTheEnd = false;
    QVERIFY(!guarded([&] {
        throw EConvertError(u"'x' is not a valid integer value"_qs);
        reachedTheEnd = true;
    }));
    QVERIFY(!guarded([] { throw std::runtime_error("disk full"); }));
    QVERIFY(guarded([&] { reachedTheEnd = true; }));
    QVERIFY(reachedTheEnd);

    QCOMPARE(answers.seen().size(), 2);
    QCOMPARE(answers.seen().at(0).text, u"'x' is not a valid integer value."_qs);
    QCOMPARE(answers.seen().at(1).text, u"disk full."_qs);
}

void TestDialogs::ownerWindowGoingAwayIsSurvived()
{
    // The dialog belongs to the active window; if that window is destroyed while the
    // dialog is open, the dialog goes with it and the call still returns.
    auto *window = new QWidget;
    window->setWindowTitle(u"owner"_qs);
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));

    ModalAnswers answers;
    answers.add([window](QWidget *dialog) {
        QCOMPARE(dialog->parentWidget(), window);
        delete window;
    });
    QCOMPARE(MessageDlg(u"Tutup?"_qs, TMsgDlgType::mtConfirmation, {mbYes, mbNo}), mrCancel);
    QCOMPARE(answers.seen().size(), 1);
}

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
