// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a child meets it: its start, choosing operation and level, starting a
// lesson and the questions painted in the bubble.
#include "app/TfoMain.h"
#include "startup/Startup.h"
#include "tests/support/WindowFixture.h"
#include "widgets/BevelPanel.h"
#include "widgets/Png.h"
#include "widgets/WindowLook.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScopeGuard>
#include <QSizeGrip>
#include <QStatusBar>
#include <QStyle>
#include <QTest>
#include <QToolButton>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

Q_DECLARE_METATYPE(Arithmetic)

class TestMainWindow : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { prepareApplication(*qApp); }
    void init() { m_fixture.open(); }
    void cleanup() { m_fixture.close(); }
    void startsIdleWithAdditionAndLevelOne();
    void startLoadsOnlyWhatTheWindowShows_data();
    void startLoadsOnlyWhatTheWindowShows();
    void drawingShowsWholeAndClear();
    void resizingKeepsTheLayout_data();
    void resizingKeepsTheLayout();
    void facesResolveToTheirFiles_data();
    void facesResolveToTheirFiles();
    void menusThatDoNotFitAreBehindTheOverflowButton();
    void lessonStartsAndAsksQuestions();
    void menuChoiceDuringLessonEndsIt_data();
    void menuChoiceDuringLessonEndsIt();
    void bubbleAndQuestionArePainted();
    void numberBoxTakesFocusOnlyByClick();
    void editMenusAreIndonesian_data();
    void editMenusAreIndonesian();
    void screenReadersFollowTheQuestions();
    void exitEndsAtOnce();

  private:
    QImage grabClient() const;
    QImage painted() const;
    bool isIdle() const;
    bool isInLesson() const;

    WindowFixture m_fixture;
};

bool TestMainWindow::isIdle() const
{
    const TfoMain &w = m_fixture.window();
    return w.btnPlay->isEnabled() && w.edName->isEnabled() && !w.edAnswer->isEnabled() &&
           !w.btnNext->isEnabled() && !w.Next1->isEnabled() && w.Mulaibelajar1->isEnabled() &&
           w.lesson.QuestionNo == 0;
}

bool TestMainWindow::isInLesson() const
{
    const TfoMain &w = m_fixture.window();
    return !w.btnPlay->isEnabled() && !w.edName->isEnabled() && w.edAnswer->isEnabled() &&
           w.btnNext->isEnabled() && w.Next1->isEnabled() && w.lesson.QuestionNo >= 1;
}

QImage TestMainWindow::grabClient() const
{
    return m_fixture->centralWidget()->grab().toImage();
}

// What the window paints on its client area, as the lesson stands, without the controls: on a
// transparent canvas, in the client area's font.
QImage TestMainWindow::painted() const
{
    const QWidget *board = m_fixture->centralWidget();
    QImage canvas(board->size(), QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setFont(board->font());
    m_fixture->FormPaint(painter);
    return canvas;
}

void TestMainWindow::startsIdleWithAdditionAndLevelOne()
{
    TfoMain &w = m_fixture.window();
    QCOMPARE(w.windowTitle(), QStringLiteral("Numbelo 2000"));
    QCOMPARE(m_fixture.sounds.played, QStringList{QStringLiteral("Laser.wav")});
    QVERIFY(w.Penambahan->isChecked());
    QVERIFY(w.Level1->isChecked());
    QCOMPARE(w.lesson.Operation, Arithmetic::Addition);
    QCOMPARE(w.lesson.Level, 1);
    QVERIFY(isIdle());
    QCOMPARE(w.edName->text(), QStringLiteral("Nuvanti"));
    QVERIFY(w.edNo->text().isEmpty());
    QVERIFY(w.edAnswer->text().isEmpty());
    QTRY_COMPARE(QApplication::focusWidget(), w.edName);
    QVERIFY(!w.AppDir().isEmpty() && w.AppDir().endsWith(QDir::separator()));
    QCOMPARE(w.Hidupkanmusik->text(), QStringLiteral("Hidupkan musik"));
    // The program's icon, on its window and on every other window of it.
    const QImage icon =
        ModalHelper::iconImage(QPixmap::fromImage(loadPng(QStringLiteral(":/images/icon32.png"))));
    QCOMPARE(ModalHelper::iconImage(w.windowHandle()->icon()), icon);
    QCOMPARE(ModalHelper::iconImage(QApplication::windowIcon()), icon);
}

void TestMainWindow::startLoadsOnlyWhatTheWindowShows_data()
{
    QTest::addColumn<QString>("library"); // part of the path of a library file
    QTest::newRow("image plugins: the pictures are read as PNG") << "/imageformats/";
    QTest::newRow("JPEG library") << "/libjpeg.so";
    QTest::newRow("synthesizer: loaded when the music first plays") << "/libfluidsynth.so";
}

void TestMainWindow::startLoadsOnlyWhatTheWindowShows()
{
    QFETCH(QString, library);
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    const QString mapped = QString::fromLocal8Bit(maps.readAll());
    QVERIFY2(!mapped.contains(library), qPrintable(library));
}

void TestMainWindow::drawingShowsWholeAndClear()
{
    TfoMain &w = m_fixture.window();
    // It opens as small as it may be: the whole drawing and not a pixel more.
    QCOMPARE(w.size(), w.minimumSizeHint());
    QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    const QSizeGrip *grip = w.StatusBar1->findChild<QSizeGrip *>();
    QVERIFY(grip && grip->isVisible());
    // All three menus on the bar, none behind its overflow button.
    const auto *more =
        w.MainMenu1->findChild<QToolButton *>(QStringLiteral("qt_menubar_ext_button"));
    QVERIFY(!more || !more->isVisible());

    // Each control lies whole inside its parent, clear of the others there and of the bubble;
    // no label cuts its text off.
    const QImage idle = painted();
    QVERIFY(!idle.isNull());
    const QList<QWidget *> boardControls =
        w.centralWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    const QList<QWidget *> panelControls =
        w.Panel1->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (const QList<QWidget *> &siblings : {boardControls, panelControls}) {
        for (const QWidget *control : siblings) {
            if (!control->isVisibleTo(&w))
                continue;
            const QString name = control->objectName();
            QVERIFY2(control->parentWidget()->rect().contains(control->geometry()),
                     qPrintable(name));
            for (const QWidget *other : siblings) {
                QVERIFY2(other == control || !control->geometry().intersects(other->geometry()),
                         qPrintable(name + QStringLiteral(" overlaps ") + other->objectName()));
            }
            const QRect onBoard(control->mapTo(w.centralWidget(), QPoint()), control->size());
            for (int y = onBoard.top(); y <= onBoard.bottom(); ++y) {
                for (int x = onBoard.left(); x <= onBoard.right(); ++x)
                    QVERIFY2(qAlpha(idle.pixel(x, y)) == 0,
                             qPrintable(name + " covers the bubble"));
            }
            if (const auto *label = qobject_cast<const QLabel *>(control);
                label && label->pixmap().isNull())
                QVERIFY2(label->width() >= label->sizeHint().width(),
                         qPrintable(name + " is cut off"));
        }
    }
    // The widest questions stay inside the bubble: every pixel of their text on its yellow.
    w.lesson.QuestionNo = 1;
    const QList<std::tuple<int, Arithmetic, int>> widest{{272, Arithmetic::Division, 16},
                                                         {17, Arithmetic::Multiplication, 17}};
    for (const auto &[a, operation, b] : widest) {
        std::tie(w.lesson.OperandA, w.lesson.Operation, w.lesson.OperandB) =
            std::tie(a, operation, b);
        const QImage asking = painted();
        for (int y = 0; y < asking.height(); ++y) {
            for (int x = 0; x < asking.width(); ++x) {
                QVERIFY2(asking.pixel(x, y) != qRgb(0, 0, 255) ||
                             idle.pixel(x, y) == qRgb(255, 255, 0),
                         qPrintable(w.lesson.questionText() + " leaves the bubble"));
            }
        }
    }

    // What each control tells a child pointing at it, and a screen reader.
    const auto spoken = [](QWidget *widget) {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    };
    const QList<std::pair<QWidget *, QString>> tips{
        {w.edAnswer, "Tempat menjawab"}, {w.edNo, "Nomor pertanyaan"},
        {w.btnPlay, "Mulai belajar"},    {w.SpeedButton2, "Tentang Numbelo"},
        {w.SpeedButton3, "Keluar"},      {w.btnNext, "Pertanyaan berikutnya"}};
    for (const auto &[widget, tip] : tips) {
        QCOMPARE(widget->toolTip(), tip);
        QCOMPARE(spoken(widget), widget == w.edAnswer ? QStringLiteral("Jawaban") : tip);
    }
    QCOMPARE(spoken(w.edName), QStringLiteral("Nama pelajar"));
    // Shown half a second after the mouse comes to rest, hidden two and a half seconds later.
    QCOMPARE(w.style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 500);
    QCOMPARE(w.style()->styleHint(QStyle::SH_ToolTip_FallAsleepDelay), 2500);
}

void TestMainWindow::resizingKeepsTheLayout_data()
{
    QTest::addColumn<QSize>("asked");
    QTest::addColumn<QSize>("client"); // below the menu bar, the status bar included
    QTest::addColumn<int>("state");    // asked for by a window manager; refused
    QTest::newRow("smaller") << QSize(200, 150) << QSize(334, 254) << 0;
    QTest::newRow("narrower, taller") << QSize(100, 500) << QSize(334, 500) << 0;
    QTest::newRow("larger") << QSize(520, 420) << QSize(520, 420) << 0;
    QTest::newRow("maximised") << QSize(400, 300) << QSize(400, 300) << int(Qt::WindowMaximized);
    QTest::newRow("full screen") << QSize(400, 300) << QSize(400, 300) << int(Qt::WindowFullScreen);
}

void TestMainWindow::resizingKeepsTheLayout()
{
    QFETCH(QSize, asked);
    QFETCH(QSize, client);
    QFETCH(int, state);
    TfoMain &w = m_fixture.window();
    const QSize menu(0, w.menuBar()->height());
    w.resize(asked + menu);
    QTRY_COMPARE(w.size(), client + menu);
    QVERIFY(!w.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    if (state != 0) {
        // Back to its own size: the drawing never sits in the corner of a large window.
        w.setWindowState(Qt::WindowState(state));
        QTRY_COMPARE(w.windowState(), Qt::WindowNoState);
        QTRY_COMPARE(w.size(), client + menu);
    }
    QCOMPARE(w.StatusBar1->geometry().bottom(), w.height() - 1);
    QCOMPARE(w.Panel1->geometry(), QRect(0, 0, client.width(), 30));
    QCOMPARE(w.edAnswer->geometry(), QRect(240, 50, 81, 41));
    QCOMPARE(w.edNo->geometry(), QRect(32, 40, 35, 21));
    QCOMPARE(w.Image1->geometry(), QRect(8, 120, 150, 100));
}

void TestMainWindow::facesResolveToTheirFiles_data()
{
    QTest::addColumn<QString>("control"); // whose font is checked; empty: makeFont(family)
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("resolved"); // a family without a foundry: from any foundry
    QTest::newRow("window text") << "clientArea" << QString() << "Liberation Sans";
#ifdef Q_OS_WIN
    // The program brings the face's OpenType file only, and Windows names no foundry.
    QTest::newRow("question mark") << "Label3" << QString() << "URW Bookman";
#else
    // The OpenType files, not the slower Type 1 files of the same family.
    QTest::newRow("question mark") << "Label3" << QString() << "URW Bookman [UKWN]";
#endif
    QTest::newRow("typed answer") << "edAnswer" << QString() << "DejaVu Sans Mono";
    QTest::newRow("foundry not installed: the family from another")
        << QString() << "URW Bookman [none]"
        << "URW Bookman";
}

void TestMainWindow::facesResolveToTheirFiles()
{
    QFETCH(QString, control);
    QFETCH(QString, family);
    QFETCH(QString, resolved);
    QFont font = WindowLook::makeFont(family, 20, true);
    if (!control.isEmpty()) {
        const auto *widget = m_fixture->findChild<QWidget *>(control);
        QVERIFY(widget);
        font = widget->font();
    }
    const QString found = QFontInfo(font).family();
    QVERIFY2(found == resolved ||
                 (!resolved.contains(u'[') && found.startsWith(resolved + QStringLiteral(" ["))),
             qPrintable(found));
}

void TestMainWindow::menusThatDoNotFitAreBehindTheOverflowButton()
{
    // The window is never narrower than its menus; a menu bar half as wide as they need, with
    // the same menus, shows what would happen if it were.
    QMenuBar bar;
    bar.addActions(m_fixture->menuBar()->actions());
    bar.resize(bar.sizeHint().width() / 2, bar.sizeHint().height());
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    auto *more = bar.findChild<QToolButton *>(QStringLiteral("qt_menubar_ext_button"));
    QVERIFY(more != nullptr && more->isVisible());
    QVERIFY(more->menu() != nullptr);
    QVERIFY(more->menu()->actions().contains(m_fixture->Help1->menuAction()));
    // Its picture is drawn, in the colour of the button's text.
    const QImage picture = more->icon().pixmap(16).toImage();
    const QRgb ink = more->palette().color(QPalette::ButtonText).rgb() & RGB_MASK;
    int inked = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            inked += qAlpha(picture.pixel(x, y)) > 128 && (picture.pixel(x, y) & RGB_MASK) == ink;
    }
    QVERIFY2(inked >= 8, qPrintable(QString::number(inked)));
}

// F2 starts a lesson, and starts it afresh while one runs.
void TestMainWindow::lessonStartsAndAsksQuestions()
{
    TfoMain &w = m_fixture.window();
    m_fixture.seed = 0; // the clock at midnight: draws 0 and 0, so 5 + 5 at level 1
    QTest::keyClick(w.edName, Qt::Key_F2);
    QVERIFY(isInLesson());
    QCOMPARE(w.edNo->text(), QStringLiteral("1"));
    QCOMPARE(w.lesson.questionText(), QStringLiteral("5 + 5 ="));
    QCOMPARE(m_fixture.sounds.played.last(), QStringLiteral("Good.wav"));
    QTRY_COMPARE(QApplication::focusWidget(), w.edAnswer);
    w.NewQuestion();
    QCOMPARE(w.edNo->text(), QStringLiteral("2"));
    w.lesson.Score = 1;
    QTest::keyClick(w.edAnswer, Qt::Key_F2);
    QCOMPARE(w.edNo->text(), QStringLiteral("1"));
    QCOMPARE(w.lesson.Score, 0);
    QVERIFY(isInLesson());
}

void TestMainWindow::menuChoiceDuringLessonEndsIt_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<Arithmetic>("operation");
    QTest::addColumn<int>("level");
    QTest::newRow("same operation") << "Penambahan" << Arithmetic::Addition << 1;
    QTest::newRow("subtraction") << "Pengurangan" << Arithmetic::Subtraction << 1;
    QTest::newRow("multiplication") << "Perkalian" << Arithmetic::Multiplication << 1;
    QTest::newRow("division") << "Pembagian" << Arithmetic::Division << 1;
    QTest::newRow("same level") << "Level1" << Arithmetic::Addition << 1;
    QTest::newRow("level 2") << "Level2" << Arithmetic::Addition << 2;
    QTest::newRow("level 3") << "Level3" << Arithmetic::Addition << 3;
}

void TestMainWindow::menuChoiceDuringLessonEndsIt()
{
    QFETCH(QString, item);
    TfoMain &w = m_fixture.window();
    w.edName->setText(QStringLiteral("Budi"));
    w.Mulaibelajar1->trigger();
    QVERIFY(isInLesson());
    auto *action = w.findChild<QAction *>(item);
    QVERIFY(action);
    action->trigger();
    QVERIFY(isIdle());
    QVERIFY(action->isChecked());
    QTEST(w.lesson.Operation, "operation");
    QTEST(w.lesson.Level, "level");
    QCOMPARE(w.edName->text(), QStringLiteral("Budi"));
    QVERIFY(w.edNo->text().isEmpty());
    // The radio groups keep exactly one choice each.
    const int operationsChecked = int(w.Penambahan->isChecked()) + w.Pengurangan->isChecked() +
                                  w.Perkalian->isChecked() + w.Pembagian->isChecked();
    const int levelsChecked =
        int(w.Level1->isChecked()) + w.Level2->isChecked() + w.Level3->isChecked();
    QCOMPARE(operationsChecked, 1);
    QCOMPARE(levelsChecked, 1);
}

void TestMainWindow::bubbleAndQuestionArePainted()
{
    TfoMain &w = m_fixture.window();
    const QRgb yellow = qRgb(255, 255, 0);
    QImage idle = grabClient();
    QCOMPARE(idle.pixel(140, 67), yellow);  // inside the bubble
    QCOMPARE(idle.pixel(120, 100), yellow); // inside the tail
    QVERIFY(idle.pixel(60, 67) != yellow);  // left of the bubble
    // From its middle outwards, the first black pixel is the bubble's one-pixel outline.
    const QList<QPair<QPoint, QPoint>> edges{
        {{-1, 0}, {70, 67}}, {{1, 0}, {209, 67}}, {{0, -1}, {139, 40}}, {{0, 1}, {139, 94}}};
    for (const auto &[step, edge] : edges) {
        QPoint at(139, 67);
        while (idle.rect().contains(at) && idle.pixel(at) != qRgb(0, 0, 0))
            at += step;
        QCOMPARE(at, edge);
        QVERIFY(idle.pixel(at + step) != qRgb(0, 0, 0));
    }

    auto bluePixels = [](const QImage &image) {
        int count = 0;
        for (int y = 40; y < 95; ++y)
            for (int x = 70; x < 210; ++x)
                count += image.pixel(x, y) == qRgb(0, 0, 255);
        return count;
    };
    QCOMPARE(bluePixels(idle), 0);

    m_fixture.seed = 4321;
    w.PlayGame(nullptr);
    const QImage asking = grabClient();
    QVERIFY2(bluePixels(asking) > 50, "the question is written in blue inside the bubble");
    QCOMPARE(asking.pixel(205, 44), idle.pixel(205, 44)); // outside the ellipse: untouched

    // Covering and uncovering repaints the same question; after a reset, the empty bubble.
    w.hide();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QRect bubble(60, 35, 160, 80);
    QCOMPARE(grabClient().copy(bubble), asking.copy(bubble));
    w.ResetLesson();
    QCOMPARE(bluePixels(grabClient()), 0);
}

void TestMainWindow::numberBoxTakesFocusOnlyByClick()
{
    TfoMain &w = m_fixture.window();
    w.activateWindow();
    QTRY_VERIFY(QApplication::focusWidget() != nullptr);
    for (const bool lesson : {false, true}) {
        if (lesson)
            w.PlayGame(nullptr);
        for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Backtab}) {
            QTest::keyClick(QApplication::focusWidget(), key);
            QVERIFY(QApplication::focusWidget() != w.edNo);
        }
    }
    QTest::mouseClick(w.edNo, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), w.edNo);
}

void TestMainWindow::editMenusAreIndonesian_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("pasted"); // by the menu's Tempel, after "12"
    QTest::addColumn<QString>("result");
    QTest::addColumn<QStringList>("items"); // "-" for a separator
    const QStringList editable{u"Urungkan"_qs, u"-"_qs,     u"Potong"_qs, u"Salin"_qs,
                               u"Tempel"_qs,   u"Hapus"_qs, u"-"_qs,      u"Pilih Semua"_qs};
    QTest::newRow("answer") << u"edAnswer"_qs << u"3"_qs << u"123"_qs << editable;
    QTest::newRow("answer, four at most") << u"edAnswer"_qs << u"345"_qs << u"1234"_qs << editable;
    QTest::newRow("answer, letters as before")
        << u"edAnswer"_qs << u"a"_qs << u"12a"_qs << editable;
    QTest::newRow("name") << u"edName"_qs << u"ab"_qs << u"12ab"_qs << editable;
    QTest::newRow("number, read-only") << u"edNo"_qs << u"3"_qs << u"12"_qs
                                       << QStringList{u"Salin"_qs, u"-"_qs, u"Pilih Semua"_qs};
}

void TestMainWindow::editMenusAreIndonesian()
{
    QFETCH(QString, box);
    QFETCH(QString, pasted);
    QFETCH(QStringList, items);
    TfoMain &w = m_fixture.window();
    w.PlayGame(nullptr);
    m_fixture.sounds.played.clear();
    auto *edit = w.findChild<QLineEdit *>(box);
    edit->setEnabled(true);
    edit->setText(u"12"_qs);
    QApplication::clipboard()->setText(pasted);
    const QPoint at = edit->rect().center();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, at, edit->mapToGlobal(at));
    QApplication::sendEvent(edit, &rightClick);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QStringList shown;
    for (QAction *action : menu->actions()) {
        shown << (action->isSeparator() ? u"-"_qs : action->text());
        if (action->text() == u"Tempel"_qs)
            action->trigger();
    }
    menu->close();
    QCOMPARE(shown, items);
    QTEST(edit->text(), "result");
    QVERIFY(m_fixture.sounds.played.isEmpty()); // the paste passed no key filter
}

void TestMainWindow::screenReadersFollowTheQuestions()
{
    TfoMain &w = m_fixture.window();
    QAccessibleInterface *board = QAccessible::queryAccessibleInterface(w.centralWidget());
    QCOMPARE(board->role(), QAccessible::StaticText);
    QCOMPARE(board->text(QAccessible::Name), QString());
    // Announcements are made only while a screen reader listens, as Qt's platform layer says.
    QPlatformAccessibility *platform =
        QGuiApplicationPrivate::platformIntegration()->accessibility();
    platform->setActive(true);
    static QObjectList nameChanges;
    nameChanges.clear();
    const auto previous = QAccessible::installUpdateHandler([](QAccessibleEvent *event) {
        if (event->type() == QAccessible::NameChanged)
            nameChanges << event->object();
    });
    const auto restore = qScopeGuard([&] {
        QAccessible::installUpdateHandler(previous);
        platform->setActive(false);
    });
    const auto question = [&w] {
        return u"%1 %2 %3 ="_qs.arg(w.lesson.OperandA)
            .arg(glyph(w.lesson.Operation))
            .arg(w.lesson.OperandB);
    };
    w.PlayGame(nullptr);
    QCOMPARE(board->text(QAccessible::Name), question());
    w.NewQuestion();
    QCOMPARE(board->text(QAccessible::Name), question());
    w.ResetLesson();
    QCOMPARE(board->text(QAccessible::Name), QString());
    // Both questions and the return to idle were announced.
    QCOMPARE(nameChanges.count(w.centralWidget()), 3);
}

void TestMainWindow::exitEndsAtOnce()
{
    TfoMain &w = m_fixture.window();
    w.PlayGame(nullptr);
    QTest::mouseClick(w.SpeedButton3, Qt::LeftButton);
    QVERIFY(!w.isVisible());
    w.show();
    w.Keluar1->trigger();
    QVERIFY(!w.isVisible());
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
