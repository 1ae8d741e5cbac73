// SPDX-License-Identifier: GPL-3.0-or-later
// Windows' own services, for real (under Wine in the build): the MCI sequencer the music plays
// on, where the program's libraries and Notepad come from when the current folder holds files
// of the same names, the program's folder and the regional settings read afresh.
#include "platform/portable/ProcessSetUp.h"
#include "platform/portable/SharedLibrary.h"
#include "platform/portable/SystemLocale.h"
#include "platform/windows/MciSequencer.h"
#include "platform/windows/ProgramFile.h"
#include "platform/windows/SystemDesktopOpener.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
// windows.h first: the headers after it build on it.
// clang-format off
#include <windows.h>
#include <mmsystem.h>
// clang-format on

namespace {
QString musicFile(const QString &name)
{
    return QStringLiteral(NUMBELO_TEST_DATA "/music/") + name;
}

QString modeName(unsigned mode)
{
    switch (mode) {
    case 0:
        return QStringLiteral("closed");
    case MCI_MODE_STOP:
        return QStringLiteral("stopped");
    case MCI_MODE_PLAY:
        return QStringLiteral("playing");
    case MCI_MODE_PAUSE:
        return QStringLiteral("paused");
    default:
        return QString::number(mode);
    }
}

// Where MCI says the piece of `device` is: "start", "middle", "end" (at the length or past it),
// "unknown" where it reports an error, "-" with no device.
QString placeName(unsigned device)
{
    if (device == 0)
        return QStringLiteral("-");
    MCI_STATUS_PARMS position{}, length{};
    position.dwItem = MCI_STATUS_POSITION;
    length.dwItem = MCI_STATUS_LENGTH;
    if (mciSendCommandW(device, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT,
                        reinterpret_cast<DWORD_PTR>(&position)) != 0 ||
        mciSendCommandW(device, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT,
                        reinterpret_cast<DWORD_PTR>(&length)) != 0)
        return QStringLiteral("unknown");
    if (position.dwReturn == 0)
        return QStringLiteral("start");
    return position.dwReturn < length.dwReturn ? QStringLiteral("middle") : QStringLiteral("end");
}

// The planted files, built beside the tests (support/LeavesTrace.cpp).
QString plantedFile(const char *name)
{
    return QCoreApplication::applicationDirPath() + u'/' + QLatin1String(name);
}
} // namespace

class TestWindowsPlatform : public QObject
{
    Q_OBJECT
  private slots:
    void sequencer_data();
    void sequencer();
    void programFolderHasTrailingBackslash();
    void decimalPointFollowsTheSettings();
    void plantedLibrary_data();
    void plantedLibrary();
    void plantedNotepad_data();
    void plantedNotepad();

  private:
    // A folder holding a planted copy of `planted` named `as`, made the current folder for
    // the test function; its trace file is `trace`.
    bool plant(const QString &planted, const QString &as);
    QTemporaryDir m_folder;
    QString m_trace;
    QString m_previousFolder = QDir::currentPath();
};

void TestWindowsPlatform::sequencer_data()
{
    // Steps: "open <file>", "play", "stop"; "middle" and "end" move the device, stopped, there
    // through MCI itself; "ended" posts the device's window a successful end of the piece from
    // the device, "events" lets it through. Then
    // the mode MCI reports, where the piece is, how many ends were told and whether the last
    // command failed with Windows' own words for it.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("at");
    QTest::addColumn<int>("ends");
    QTest::addColumn<bool>("fails");
    QTest::newRow("opened") << "open short.mid"
                            << "stopped"
                            << "start" << 0 << false;
    QTest::newRow("playing") << "open short.mid play"
                             << "playing"
                             << "start" << 0 << false;
    QTest::newRow("stopped") << "open short.mid play stop"
                             << "stopped"
                             << "start" << 0 << false;
    QTest::newRow("played again") << "open short.mid play stop play"
                                  << "playing"
                                  << "start" << 0 << false;
    QTest::newRow("opened again") << "open short.mid play open short.mid"
                                  << "stopped"
                                  << "start" << 0 << false;
    QTest::newRow("a missing file") << "open none.mid"
                                    << "closed"
                                    << "-" << 0 << true;
    QTest::newRow("play with nothing open") << "play"
                                            << "closed"
                                            << "-" << 0 << true;
    QTest::newRow("stopped midway, played on from there") << "open short.mid middle play stop play"
                                                          << "playing"
                                                          << "middle" << 0 << false;
    QTest::newRow("the end told, played again from the start")
        << "open short.mid middle play ended events play"
        << "playing"
        << "start" << 1 << false;
    QTest::newRow("the end still queued at a stop counts for the next play")
        << "open short.mid middle play ended stop events play"
        << "playing"
        << "start" << 0 << false;
    // Where MCI places the end past the length, as Wine's sequencer does.
    QTest::newRow("played at the end, from the start") << "open short.mid end play"
                                                       << "playing"
                                                       << "start" << 0 << false;
}

void TestWindowsPlatform::sequencer()
{
    QFETCH(QString, steps);
    MciSequencer device;
    int ends = 0;
    device.setEndHandler([&ends] { ++ends; });
    MusicProblem problem;
    const QStringList words = steps.split(u' ');
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (words[i] == u"open") {
            problem = device.open(musicFile(words[++i]));
            QCOMPARE(device.deviceId() != 0, !problem);
            if (!problem) {
                QVERIFY(device.length() > 0);
                QCOMPARE(device.position(), 0);
            }
        } else if (words[i] == u"play") {
            problem = device.play(true);
        } else if (words[i] == u"stop") {
            problem = device.stop();
        } else if (words[i] == u"middle" || words[i] == u"end") {
            MCI_SEEK_PARMS seek{};
            seek.dwTo = DWORD(device.length() / 2);
            QCOMPARE(mciSendCommandW(device.deviceId(), MCI_SEEK,
                                     (words[i] == u"end" ? MCI_SEEK_TO_END : MCI_TO) | MCI_WAIT,
                                     reinterpret_cast<DWORD_PTR>(&seek)),
                     MCIERROR(0));
        } else if (words[i] == u"ended") {
            const HWND window =
                FindWindowExW(HWND_MESSAGE, nullptr, L"NumbeloMusicNotify", nullptr);
            QVERIFY(PostMessageW(window, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL,
                                 LPARAM(device.deviceId())));
        } else if (words[i] == u"events") {
            QCoreApplication::processEvents();
        } else {
            QFAIL(qPrintable(words[i]));
        }
    }
    QTEST(modeName(device.mode()), "mode");
    QCOMPARE(device.isPlaying(), device.mode() == MCI_MODE_PLAY);
    QTEST(placeName(device.deviceId()), "at");
    QTEST(bool(problem), "fails");
    // A failure of the device itself is told in Windows' words.
    if (problem && problem.kind == MusicProblem::Kind::PlatformText)
        QVERIFY2(!problem.detail.isEmpty(), "MCI's error has no text");
    // Nothing cut short is told as the end of the piece.
    QCoreApplication::processEvents();
    QTEST(ends, "ends");
}

void TestWindowsPlatform::programFolderHasTrailingBackslash()
{
    const QString folder = QString::fromStdWString(programFolder());
    QCOMPARE(folder, QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) + u'\\');
}

// The decimal separator is Windows' as it is now: one the user changes while the program runs
// counts from the next answer on.
void TestWindowsPlatform::decimalPointFollowsTheSettings()
{
    const QString before = systemDecimalPoint();
    QCOMPARE(before, QLocale::system().decimalPoint());
    const QString other = before == u"," ? QStringLiteral(".") : QStringLiteral(",");
    QVERIFY(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL,
                           reinterpret_cast<const wchar_t *>(other.utf16())));
    const QString after = systemDecimalPoint();
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL,
                   reinterpret_cast<const wchar_t *>(before.utf16()));
    QCOMPARE(after, other);
    QCOMPARE(systemDecimalPoint(), before);
}

bool TestWindowsPlatform::plant(const QString &planted, const QString &as)
{
    const QString copy = m_folder.filePath(as);
    m_trace = copy + QStringLiteral(".trace");
    QFile::remove(m_trace);
    return (QFile::exists(copy) || QFile::copy(planted, copy)) && QDir::setCurrent(m_folder.path());
}

void TestWindowsPlatform::plantedLibrary_data()
{
    // How the library is asked for, and whether the planted copy in the current folder loads.
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("loads");
    // The planted library really leaves its trace when loaded.
    QTest::newRow("by its full path") << "full path" << true;
    QTest::newRow("by name, by the program") << "program" << false;
    QTest::newRow("by name, by a library for the program") << "system" << false;
}

void TestWindowsPlatform::plantedLibrary()
{
    QFETCH(QString, how);
    const QString name = QStringLiteral("numbelo_planted.dll");
    QVERIFY(m_folder.isValid());
    QVERIFY(plant(plantedFile("leaves_trace.dll"), name));
    restrictLibrarySearch();
    bool loaded = false;
    if (how == u"full path") {
        const HMODULE module = LoadLibraryW(reinterpret_cast<const wchar_t *>(
            QDir::toNativeSeparators(m_folder.filePath(name)).utf16()));
        loaded = module != nullptr;
        if (module != nullptr)
            FreeLibrary(module);
    } else if (how == u"program") {
        SharedLibrary library = SharedLibrary::open("numbelo_planted.dll");
        loaded = library.isOpen();
        QVERIFY(loaded || !library.error().isEmpty());
        library.close();
    } else {
        const HMODULE module = LoadLibraryW(L"numbelo_planted.dll");
        loaded = module != nullptr;
        if (module != nullptr)
            FreeLibrary(module);
    }
    QDir::setCurrent(m_previousFolder);
    QTEST(loaded, "loads");
    QTEST(QFile::exists(m_trace), "loads");
}

void TestWindowsPlatform::plantedNotepad_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("runs");
    // What a command line "notepad.exe readme.txt" finds by name: the planted one.
    QTest::newRow("by name") << "name" << true;
    QTest::newRow("the readme command") << "readme" << false;
}

void TestWindowsPlatform::plantedNotepad()
{
    QFETCH(QString, how);
    QFETCH(bool, runs);
    QVERIFY(m_folder.isValid());
    QVERIFY(plant(plantedFile("leaves_trace.exe"), QStringLiteral("notepad.exe")));
    QFile readme(m_folder.filePath(QStringLiteral("readme.txt")));
    QVERIFY(readme.open(QIODevice::WriteOnly));
    readme.close();
    if (how == u"name") {
        std::wstring commandLine = L"notepad.exe readme.txt";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        QVERIFY(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        QVERIFY(SystemDesktopOpener::openInNotepad(QStringLiteral("readme.txt")));
    }
    // Time for a planted program to start and write its trace.
    if (runs)
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_trace), 10000);
    else
        QTest::qWait(3000);
    QDir::setCurrent(m_previousFolder);
    QCOMPARE(QFile::exists(m_trace), runs);
}

QTEST_GUILESS_MAIN(TestWindowsPlatform)
#include "test_windows_platform.moc"
