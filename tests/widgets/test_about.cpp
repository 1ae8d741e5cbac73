// SPDX-License-Identifier: GPL-3.0-or-later
// The about box and the readme command as a parent or teacher meets them: opening and closing
// the box from the main window, its layout, its links and hand cursor, the donation request
// behind the picture, and where the readme is found.
#include "about/TAboutBox.h"
#include "app/TfoMain.h"
#include "startup/Startup.h"
#include "tests/support/WindowFixture.h"
#include "widgets/BevelPanel.h"

#include <QAction>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

enum class Opening
{
    BulbButton,
    MenuItem
};

enum class Closing
{
    OkButton,
    EnterKey,
    CloseBox,
    EscapeThenOk,
    HeldEnterThenEnter
};

enum class ReadmePlace
{
    CurrentFolder,
    BesideProgram,
    DataFolder,
    Nowhere
};

// The placeholders the build ships with, spelt out so that layout checks do not depend on
// what a distributor configured.
MakerDetails placeholderMaker()
{
    return {QStringLiteral("numbelo@example.org"), QStringLiteral("https://numbelo.example.org/"),
            QStringLiteral("Bank Contoh cabang Contoh"), QStringLiteral("000-000-0000")};
}

MakerDetails longMaker()
{
    return {QStringLiteral("perpustakaan.sekolah.dasar.negeri.contoh@pendidikan.example.org"),
            QStringLiteral("https://www.sekolah-dasar-negeri-contoh.example.org/numbelo/unduh/"),
            QStringLiteral("Bank Pembangunan Daerah Contoh cabang Kecamatan Sukamaju Kabupaten "
                           "Contoh Raya"),
            QStringLiteral("0123-4567-8901-2345-6789")};
}

const QString thankYou = QStringLiteral("Terima kasih telah memakai Numbelo!");

// Whether the label shows all of its text within its own rectangle.
bool showsWholeText(const QLabel *label)
{
    const int flags = int(label->alignment()) | (label->wordWrap() ? int(Qt::TextWordWrap) : 0);
    const QSize needed =
        QFontMetrics(label->font())
            .boundingRect(QRect(0, 0, label->width(), 1 << 16), flags, label->text())
            .size();
    return needed.width() <= label->width() && needed.height() <= label->height();
}

void writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(contents);
}

} // namespace

Q_DECLARE_METATYPE(Opening)
Q_DECLARE_METATYPE(Closing)
Q_DECLARE_METATYPE(ReadmePlace)
Q_DECLARE_METATYPE(MakerDetails)
Q_DECLARE_METATYPE(RecordingDesktopOpener::Answer)

class TestAbout : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void init();
    void cleanup();
    void opensAfterItsSoundAndClosesOnlyByOkEnterOrCloseBox_data();
    void opensAfterItsSoundAndClosesOnlyByOkEnterOrCloseBox();
    void layoutShowsEverythingWholeAtAFixedSize_data();
    void layoutShowsEverythingWholeAtAFixedSize();
    void pictureDoubleClickAsksForDonationUntilClosed();
    void onlyTheLinksShowTheHand();
    void linksOpenMailAndHomePage_data();
    void linksOpenMailAndHomePage();
    void readmeIsLookedForInOrder_data();
    void readmeIsLookedForInOrder();

  private:
    void openAboutBox(Opening how);
    std::unique_ptr<TAboutBox> makeBox(const MakerDetails &maker);

    WindowFixture m_fixture;
    QString m_startFolder;
};

void TestAbout::initTestCase()
{
    m_startFolder = QDir::currentPath();
    prepareApplication(*qApp);
}

void TestAbout::init()
{
    m_fixture.open();
    m_fixture.sounds.played.clear();
}

void TestAbout::cleanup()
{
    QDir::setCurrent(m_startFolder);
    m_fixture.close();
}

// Opens the about box the way a user does; returns when the box has closed.
void TestAbout::openAboutBox(Opening how)
{
    if (how == Opening::BulbButton)
        QTest::mouseClick(m_fixture->SpeedButton2, Qt::LeftButton);
    else
        m_fixture->About1->trigger();
}

std::unique_ptr<TAboutBox> TestAbout::makeBox(const MakerDetails &maker)
{
    return std::make_unique<TAboutBox>(&m_fixture.window(), m_fixture.sounds, m_fixture.opener,
                                       maker);
}

void TestAbout::opensAfterItsSoundAndClosesOnlyByOkEnterOrCloseBox_data()
{
    QTest::addColumn<Opening>("opening");
    QTest::addColumn<Closing>("closing");
    QTest::addColumn<int>("result");
    QTest::newRow("bulb button, OK")
        << Opening::BulbButton << Closing::OkButton << int(QDialog::Accepted);
    QTest::newRow("menu, Enter") << Opening::MenuItem << Closing::EnterKey
                                 << int(QDialog::Accepted);
    QTest::newRow("bulb button, close box")
        << Opening::BulbButton << Closing::CloseBox << int(QDialog::Rejected);
    QTest::newRow("menu, Escape is ignored, then OK")
        << Opening::MenuItem << Closing::EscapeThenOk << int(QDialog::Accepted);
    QTest::newRow("menu, held Enter is ignored, then Enter")
        << Opening::MenuItem << Closing::HeldEnterThenEnter << int(QDialog::Accepted);
}

void TestAbout::opensAfterItsSoundAndClosesOnlyByOkEnterOrCloseBox()
{
    QFETCH(Opening, opening);
    QFETCH(Closing, closing);
    QFETCH(int, result);

    // A lesson under way, an answer half typed.
    TfoMain &w = m_fixture.window();
    w.PlayGame(nullptr);
    QTest::keyClick(w.edAnswer, '4');
    const auto before = m_fixture.lessonState();
    m_fixture.sounds.played.clear();

    QPointer<TAboutBox> shownBox;
    QStringList soundsWhenShown;
    QWidget *owner = nullptr;
    bool modal = false;
    QPoint centre;
    bool stayedOpen = false;
    int finishedWith = -1;
    m_fixture.answers->add([&](QWidget *dialog) {
        auto *box = qobject_cast<TAboutBox *>(dialog);
        QVERIFY2(box, qPrintable(dialog->objectName()));
        shownBox = box;
        soundsWhenShown = m_fixture.sounds.played;
        owner = box->parentWidget();
        modal = box->isModal();
        centre = box->frameGeometry().center();
        connect(box, &QDialog::finished, box, [&](int code) { finishedWith = code; });
        switch (closing) {
        case Closing::OkButton:
            QTest::mouseClick(box->OKButton, Qt::LeftButton);
            break;
        case Closing::EnterKey:
            ModalHelper::pressKey(box, Qt::Key_Return);
            break;
        case Closing::CloseBox:
            ModalHelper::closeByTitleBar(box);
            break;
        case Closing::EscapeThenOk:
            ModalHelper::pressKey(box, Qt::Key_Escape);
            QCoreApplication::processEvents();
            stayedOpen = box->isVisible() && finishedWith == -1;
            QTest::mouseClick(box->OKButton, Qt::LeftButton);
            break;
        case Closing::HeldEnterThenEnter:
            ModalHelper::holdKey(box, Qt::Key_Return, QStringLiteral("\r"),
                                 ModalHelper::Held::RepeatsAtOneTime);
            stayedOpen = box->isVisible() && finishedWith == -1;
            ModalHelper::pressKey(box, Qt::Key_Return);
            break;
        }
    });
    openAboutBox(opening);

    QCOMPARE(m_fixture.answers->seen().size(), 1);
    QCOMPARE(m_fixture.answers->seen().at(0).caption, QStringLiteral("About"));
    QCOMPARE(m_fixture.answers->seen().at(0).objectName, QStringLiteral("AboutBox"));
    QVERIFY(m_fixture.answers->seen().at(0).fixedDialog &&
            m_fixture.answers->seen().at(0).programIcon);
    QCOMPARE(soundsWhenShown, QStringList{QStringLiteral("Toeng.wav")});
    QCOMPARE(m_fixture.sounds.played, QStringList{QStringLiteral("Toeng.wav")});
    QCOMPARE(owner, &m_fixture.window());
    QVERIFY(modal);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2((centre - screen.center()).manhattanLength() <= 2,
             qPrintable(QStringLiteral("centre %1,%2").arg(centre.x()).arg(centre.y())));
    if (closing == Closing::EscapeThenOk || closing == Closing::HeldEnterThenEnter)
        QVERIFY(stayedOpen);
    QCOMPARE(finishedWith, result);
    // Gone as soon as it closed.
    QVERIFY(shownBox.isNull());
    QVERIFY(w.findChildren<TAboutBox *>().isEmpty());
    QVERIFY(m_fixture.lessonState() == before);
    QVERIFY(w.edAnswer->isEnabled());
}

void TestAbout::layoutShowsEverythingWholeAtAFixedSize_data()
{
    QTest::addColumn<MakerDetails>("maker");
    QTest::addColumn<bool>("donation");
    QTest::addColumn<bool>("designedSizes");
    QTest::newRow("placeholders, thank-you") << placeholderMaker() << false << true;
    QTest::newRow("placeholders, donation request") << placeholderMaker() << true << true;
    QTest::newRow("long details, thank-you") << longMaker() << false << false;
    QTest::newRow("long details, donation request") << longMaker() << true << false;
    QTest::newRow("empty details, donation request") << MakerDetails{} << true << true;
}

void TestAbout::layoutShowsEverythingWholeAtAFixedSize()
{
    QFETCH(MakerDetails, maker);
    QFETCH(bool, donation);
    QFETCH(bool, designedSizes);

    const auto box = makeBox(maker);
    if (donation)
        box->Info(box->ProgramIcon);
    QVERIFY(ModalHelper::describe(box.get()).fixedDialog);
    QCOMPARE(box->size(), box->minimumSize());
    const QRect inside = box->Panel1->rect().adjusted(2, 2, -2, -2);
    QList<QLabel *> controls;
    for (QLabel *control : box->Panel1->findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
        if (control->isVisibleTo(box.get()))
            controls << control;
    }
    // Only a donation request too long for its place may take the description's place.
    QVERIFY(box->Comments->isVisibleTo(box.get()) || (donation && !designedSizes));
    QCOMPARE(controls.size(), 7 - int(!box->Comments->isVisibleTo(box.get())) -
                                  int(maker.email.isEmpty()) - int(maker.homePage.isEmpty()));
    for (const QLabel *control : controls) {
        const QString name = control->objectName();
        QVERIFY2(inside.contains(control->geometry()),
                 qPrintable(name + QStringLiteral(" leaves the panel")));
        if (control != box->ProgramIcon) {
            QVERIFY2(showsWholeText(control), qPrintable(name + QStringLiteral(" is cut off")));
            QVERIFY2(control->font().pointSizeF() >= 6.0,
                     qPrintable(name + QStringLiteral(" is too small")));
        }
        for (const QLabel *other : controls) {
            if (other != control) {
                QVERIFY2(!control->geometry().intersects(other->geometry()),
                         qPrintable(name + QStringLiteral(" overlaps ") + other->objectName()));
            }
        }
    }
    QCOMPARE(box->ProgramIcon->pixmap().size(), box->ProgramIcon->size());
    QVERIFY(box->rect().contains(box->Panel1->geometry()));
    QVERIFY(!box->Panel1->geometry().intersects(box->OKButton->geometry()));
    QVERIFY(box->rect().contains(box->OKButton->geometry()));
    QVERIFY(box->OKButton->width() > box->OKButton->fontMetrics().horizontalAdvance(u"OK"_qs));
    QCOMPARE(box->Version->text(), u"Versi "_qs + QCoreApplication::applicationVersion());
    // The links stand out from the text around them.
    for (const QLabel *link : {box->Label4, box->Label5}) {
        QVERIFY(link->font().underline() && !box->Version->font().underline());
        QVERIFY(link->palette().color(QPalette::WindowText) !=
                box->Version->palette().color(QPalette::WindowText));
    }
    if (designedSizes) {
        // The program's own texts keep the sizes they were designed with.
        QCOMPARE(box->Label1->font().pointSizeF(), 12.0);
        for (const QLabel *label : {box->Version, box->Comments, box->Label4, box->Label5}) {
            QVERIFY2(label->font().pointSizeF() == 8.0,
                     qPrintable(QStringLiteral("%1 at %2 pt")
                                    .arg(label->objectName())
                                    .arg(label->font().pointSizeF())));
        }
    }
    // A link too long even at the smallest size is shortened on screen, whole in its tooltip.
    const QList<QPair<const QLabel *, QString>> links{
        {box->Label4, QStringLiteral("email: ") + maker.email}, {box->Label5, maker.homePage}};
    for (const auto &[link, whole] : links) {
        if (link->text() != whole) {
            QVERIFY(!designedSizes);
            QCOMPARE(link->toolTip(), whole);
            QVERIFY(link->text().contains(QChar(0x2026)));
        }
    }
    // A build without an address or an account shows no empty link and asks for nothing.
    QCOMPARE(box->Label4->isVisibleTo(box.get()), !maker.email.isEmpty());
    QCOMPARE(box->Label5->isVisibleTo(box.get()), !maker.homePage.isEmpty());
    if (donation && maker.account.isEmpty())
        QCOMPARE(box->Thanks->text(), thankYou);
    if (donation) {
        QVERIFY(box->Thanks->text().contains(maker.bankBranch));
        QVERIFY(box->Thanks->text().contains(maker.account));
    }
}

void TestAbout::pictureDoubleClickAsksForDonationUntilClosed()
{
    QStringList soundsAfterSingleClick;
    QString textAtOpening;
    QString textAfterDoubleClicks;
    QString donationText;
    m_fixture.answers->add([&](QWidget *dialog) {
        auto *box = qobject_cast<TAboutBox *>(dialog);
        QVERIFY(box);
        textAtOpening = box->Thanks->text();
        QTest::mouseClick(box->ProgramIcon, Qt::LeftButton);
        soundsAfterSingleClick = m_fixture.sounds.played;
        QTest::mouseDClick(box->ProgramIcon, Qt::LeftButton);
        QTest::mouseDClick(box->ProgramIcon, Qt::LeftButton);
        textAfterDoubleClicks = box->Thanks->text();
        donationText = box->donationText();
        QTest::mouseClick(box->OKButton, Qt::LeftButton);
    });
    QString textAtReopening;
    m_fixture.answers->add([&](QWidget *dialog) {
        auto *box = qobject_cast<TAboutBox *>(dialog);
        QVERIFY(box);
        textAtReopening = box->Thanks->text();
        QTest::mouseClick(box->OKButton, Qt::LeftButton);
    });
    openAboutBox(Opening::BulbButton);
    openAboutBox(Opening::MenuItem);

    QCOMPARE(m_fixture.answers->seen().size(), 2);
    const QString toeng = QStringLiteral("Toeng.wav");
    QCOMPARE(soundsAfterSingleClick, QStringList{toeng});
    // The opening, two double-clicks, the second opening.
    QCOMPARE(m_fixture.sounds.played, QStringList({toeng, toeng, toeng, toeng}));
    QCOMPARE(textAtOpening, thankYou);
    QCOMPARE(textAfterDoubleClicks, donationText);
    const MakerDetails built = MakerDetails::fromBuild();
    QVERIFY2(donationText.contains(built.bankBranch) && donationText.contains(built.account),
             qPrintable(donationText));
    QCOMPARE(textAtReopening, thankYou);
}

void TestAbout::onlyTheLinksShowTheHand()
{
    const auto box = makeBox(placeholderMaker());
    const QImage hand = QPixmap(QStringLiteral(":/images/handpnt.png")).toImage();
    QVERIFY(!hand.isNull());
    for (const QLabel *link : {box->Label4, box->Label5}) {
        const QCursor cursor = link->cursor();
        QVERIFY2(link->testAttribute(Qt::WA_SetCursor), qPrintable(link->objectName()));
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        QCOMPARE(cursor.hotSpot(), QPoint(0, 0));
        QCOMPARE(cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
                 hand.convertToFormat(QImage::Format_ARGB32));
    }
    QWidgetList others = box->findChildren<QWidget *>();
    others.append(box.get());
    for (const QWidget *widget : std::as_const(others)) {
        if (widget == box->Label4 || widget == box->Label5)
            continue;
        QVERIFY2(!widget->testAttribute(Qt::WA_SetCursor), qPrintable(widget->objectName()));
        QCOMPARE(widget->cursor().shape(), Qt::ArrowCursor);
    }
}

void TestAbout::linksOpenMailAndHomePage_data()
{
    QTest::addColumn<MakerDetails>("maker");
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("releasedOnLink");
    QTest::addColumn<RecordingDesktopOpener::Answer>("desktop");
    QTest::addColumn<QList<QUrl>>("opened");
    const MakerDetails school{QStringLiteral("ibu.guru@sekolah.example.org"),
                              QStringLiteral("https://sekolah.example.org/numbelo/"), QString(),
                              QString()};
    using Answer = RecordingDesktopOpener::Answer;
    QTest::newRow("e-mail link") << placeholderMaker() << QStringLiteral("Label4") << true
                                 << Answer::Opened
                                 << QList<QUrl>{QUrl(QStringLiteral("mailto:numbelo@example.org"))};
    QTest::newRow("home-page link")
        << placeholderMaker() << QStringLiteral("Label5") << true << Answer::Opened
        << QList<QUrl>{QUrl(QStringLiteral("https://numbelo.example.org/"))};
    QTest::newRow("a school's e-mail")
        << school << QStringLiteral("Label4") << true << Answer::Opened
        << QList<QUrl>{QUrl(QStringLiteral("mailto:ibu.guru@sekolah.example.org"))};
    QTest::newRow("a school's home page")
        << school << QStringLiteral("Label5") << true << Answer::Opened
        << QList<QUrl>{QUrl(QStringLiteral("https://sekolah.example.org/numbelo/"))};
    QTest::newRow("a long address, shortened on screen")
        << longMaker() << QStringLiteral("Label4") << true << Answer::Opened
        << QList<QUrl>{QUrl(QStringLiteral("mailto:") + longMaker().email)};
    QTest::newRow("no mail program")
        << placeholderMaker() << QStringLiteral("Label4") << true << Answer::NoProgram
        << QList<QUrl>{QUrl(QStringLiteral("mailto:numbelo@example.org"))};
    QTest::newRow("pressed on the link, released elsewhere")
        << placeholderMaker() << QStringLiteral("Label5") << false << Answer::Opened
        << QList<QUrl>{};
}

void TestAbout::linksOpenMailAndHomePage()
{
    QFETCH(MakerDetails, maker);
    QFETCH(QString, link);
    QFETCH(bool, releasedOnLink);
    QFETCH(RecordingDesktopOpener::Answer, desktop);
    QFETCH(QList<QUrl>, opened);

    m_fixture.opener.answer = desktop;
    const auto box = makeBox(maker);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    auto *label = box->findChild<QLabel *>(link);
    QVERIFY(label);
    const QPoint onLink = label->rect().center();
    QTest::mousePress(label, Qt::LeftButton, Qt::NoModifier, onLink);
    QTest::mouseRelease(label, Qt::LeftButton, Qt::NoModifier,
                        releasedOnLink ? onLink : onLink + QPoint(0, label->height() * 3));
    QCOMPARE(m_fixture.opener.opened, opened);
    // Whatever the desktop answered, nothing is shown and the box stays as it was.
    QVERIFY(box->isVisible());
    QCOMPARE(ModalHelper::strayWindows({&m_fixture.window(), box.get()}), QStringList());
    QVERIFY(m_fixture.sounds.played.isEmpty());
}

void TestAbout::readmeIsLookedForInOrder_data()
{
    QTest::addColumn<bool>("inCurrentFolder");
    QTest::addColumn<bool>("besideProgram");
    QTest::addColumn<RecordingDesktopOpener::Answer>("desktop");
    QTest::addColumn<ReadmePlace>("expected");
    QTest::addColumn<bool>("ownWindow"); // the program shows the readme itself
    using Answer = RecordingDesktopOpener::Answer;
    const bool installed = QFileInfo(QStringLiteral(NUMBELO_DATA_DIR "/readme.txt")).isFile();
    QTest::newRow("both: the current folder's")
        << true << true << Answer::Opened << ReadmePlace::CurrentFolder << false;
    QTest::newRow("current folder only")
        << true << false << Answer::Opened << ReadmePlace::CurrentFolder << false;
    QTest::newRow("beside the program only")
        << false << true << Answer::Opened << ReadmePlace::BesideProgram << false;
    QTest::newRow("neither: the installed one, if any")
        << false << false << Answer::Opened
        << (installed ? ReadmePlace::DataFolder : ReadmePlace::Nowhere) << false;
    // Where the desktop cannot open it, the program shows it in a window of its own.
    QTest::newRow("no text editor")
        << false << true << Answer::NoProgram << ReadmePlace::BesideProgram << true;
    QTest::newRow("the editor cannot be started")
        << true << false << Answer::Throws << ReadmePlace::CurrentFolder << true;
    QTest::newRow("the opener fails once started")
        << false << true << Answer::FailsLater << ReadmePlace::BesideProgram << true;
    QTest::newRow("neither, no text editor")
        << false << false << Answer::NoProgram
        << (installed ? ReadmePlace::DataFolder : ReadmePlace::Nowhere) << installed;
}

void TestAbout::readmeIsLookedForInOrder()
{
    QFETCH(bool, inCurrentFolder);
    QFETCH(bool, besideProgram);
    QFETCH(RecordingDesktopOpener::Answer, desktop);
    QFETCH(ReadmePlace, expected);
    QFETCH(bool, ownWindow);

    QTemporaryDir current;
    QTemporaryDir program;
    QVERIFY(current.isValid() && program.isValid());
    if (inCurrentFolder)
        writeFile(current.filePath(QStringLiteral("readme.txt")),
                  "dari folder kerja \xe2\x80\x94 selamat belajar\n");
    if (besideProgram)
        writeFile(program.filePath(QStringLiteral("readme.txt")),
                  "dari samping program \xc2\xb7 Numbelo\n");
    QVERIFY(QDir::setCurrent(current.path()));
    // The window of a program in `program`, with the same sounds and music as this one.
    ProgramFolders folders = testProgramFolders();
#ifdef Q_OS_WIN
    // A link there is a shortcut file, which no program follows as a folder: the tune is copied.
    QVERIFY(QDir(program.path()).mkpath(QStringLiteral("sound")));
    QVERIFY(QFile::copy(folders.programDir + QStringLiteral("sound/zamba.mid"),
                        program.filePath(QStringLiteral("sound/zamba.mid"))));
#else
    QVERIFY(QFile::link(folders.programDir + QStringLiteral("sound"),
                        program.filePath(QStringLiteral("sound"))));
#endif
    folders.programDir = program.path() + u'/';
    m_fixture.open(folders);
    m_fixture.opener.answer = desktop;
    const auto before = m_fixture.lessonState();

    m_fixture->Readme1->trigger();
    QTest::qWait(50);

    QList<QUrl> wanted;
    switch (expected) {
    case ReadmePlace::CurrentFolder:
        wanted << QUrl::fromLocalFile(current.filePath(QStringLiteral("readme.txt")));
        break;
    case ReadmePlace::BesideProgram:
        wanted << QUrl::fromLocalFile(program.filePath(QStringLiteral("readme.txt")));
        break;
    case ReadmePlace::DataFolder:
        wanted << QUrl::fromLocalFile(QStringLiteral(NUMBELO_DATA_DIR "/readme.txt"));
        break;
    case ReadmePlace::Nowhere:
        break;
    }
    QCOMPARE(m_fixture.opener.opened, wanted);
    const QString windowName = QStringLiteral("readmeWindow");
    if (ownWindow)
        QTRY_VERIFY(m_fixture->findChild<QWidget *>(windowName) != nullptr);
    QPointer<QWidget> shown = m_fixture->findChild<QWidget *>(windowName);
    QCOMPARE(shown && shown->isVisible(), ownWindow);
    if (ownWindow) {
        QFile file(wanted.value(0).toLocalFile());
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const auto *text = shown->findChild<QPlainTextEdit *>();
        QVERIFY(text && text->isReadOnly());
        QCOMPARE(text->toPlainText(), QString::fromUtf8(file.readAll()));
        QCOMPARE(shown->windowTitle(), QStringLiteral("Readme"));
        QVERIFY(!shown->isModal());
        m_fixture->Readme1->trigger(); // asked again: the same window
        QTest::qWait(50);              // a late answer of the desktop's included
        QCOMPARE(m_fixture->findChildren<QWidget *>(windowName).size(), 1);
        shown->close();
        QTRY_VERIFY(shown.isNull());
    }
    // No dialog, no other window, and the lesson is as it was.
    QVERIFY(m_fixture.answers->seen().isEmpty());
    QCOMPARE(ModalHelper::strayWindows({&m_fixture.window()}), QStringList());
    QVERIFY(m_fixture.lessonState() == before);
    QVERIFY(m_fixture->btnPlay->isEnabled());
}

QTEST_MAIN(TestAbout)
#include "test_about.moc"
