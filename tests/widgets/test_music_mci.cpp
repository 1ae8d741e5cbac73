// SPDX-License-Identifier: GPL-3.0-or-later
// The background music of the window on Windows' own sequencer (under Wine in the build), told
// of the end of the piece as Windows tells it: an MM_MCINOTIFY posted to the sequencer's
// notification window, found as any program finds a window of another, and handled by its own
// window procedure. Wine's sequencer without a MIDI device never reaches the end by itself, so
// the test posts the end, and sees the piece played again from its start once for each
// notification from the device, and nothing done for one from another device or for a play cut
// short.
#include "app/TfoMain.h"
#include "music/TMediaPlayer.h"
#include "platform/windows/MciSequencer.h"
#include "startup/Startup.h"
#include "tests/support/RecordingDesktopOpener.h"
#include "tests/support/RecordingSoundSink.h"
#include "tests/support/TestServices.h"

#include <QAction>
#include <QTest>
// windows.h first: the headers after it build on it.
// clang-format off
#include <windows.h>
#include <mmsystem.h>
// clang-format on

namespace {
// Windows' sequencer, remembering the device it made last, for its number.
class WatchedMci final : public MusicSystem
{
  public:
    std::unique_ptr<MusicDevice> makeDevice() override
    {
        auto device = std::make_unique<MciSequencer>();
        last = device.get();
        return device;
    }
    MciSequencer *last = nullptr;
};

// Moves the device, stopped, to `position`, as if the piece had played so far.
void moveTo(unsigned device, unsigned position)
{
    MCI_SEEK_PARMS seek{};
    seek.dwTo = position;
    QCOMPARE(
        mciSendCommandW(device, MCI_SEEK, MCI_TO | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&seek)),
        MCIERROR(0));
}
} // namespace

class TestMusicMci : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase() { prepareApplication(*qApp); }
    void notifications_data();
    void notifications();
};

void TestMusicMci::notifications_data()
{
    // Notifications posted one after the other, each once the one before was handled: what MCI
    // says (MCI_NOTIFY_...), and whether it is from the device playing or from another one.
    // Then how many times the piece started again from its start.
    QTest::addColumn<unsigned>("flag");
    QTest::addColumn<bool>("fromTheDevice");
    QTest::addColumn<int>("posted");
    QTest::addColumn<int>("restarts");
    QTest::newRow("the end of the piece") << unsigned(MCI_NOTIFY_SUCCESSFUL) << true << 1 << 1;
    QTest::newRow("the end, three times") << unsigned(MCI_NOTIFY_SUCCESSFUL) << true << 3 << 3;
    QTest::newRow("the end of another device")
        << unsigned(MCI_NOTIFY_SUCCESSFUL) << false << 1 << 0;
    QTest::newRow("a play cut short") << unsigned(MCI_NOTIFY_ABORTED) << true << 1 << 0;
}

void TestMusicMci::notifications()
{
    QFETCH(unsigned, flag);
    QFETCH(bool, fromTheDevice);
    QFETCH(int, posted);
    RecordingSoundSink sounds;
    RecordingDesktopOpener opener;
    WatchedMci music;
    TfoMain window(testServices(sounds, music, opener));
    MciSequencer *device = music.last;
    QVERIFY(device != nullptr && device->deviceId() != 0);
    int ends = 0;
    const auto windowNotify = window.MediaPlayer1->OnNotify;
    window.MediaPlayer1->OnNotify = [&](QObject *sender) {
        ends += window.MediaPlayer1->NotifyValue() == TMediaPlayer::TMPNotifyValues::nvSuccessful;
        windowNotify(sender);
    };
    const HWND notifyWindow = FindWindowExW(HWND_MESSAGE, nullptr, L"NumbeloMusicNotify", nullptr);
    QVERIFY(notifyWindow != nullptr);

    // Halfway through the piece, playing: switched on from the menu.
    const int middle = device->length() / 2;
    QVERIFY(middle > 0);
    moveTo(device->deviceId(), unsigned(middle));
    window.Hidupkanmusik->trigger();
    QVERIFY(device->isPlaying());
    QVERIFY(device->position() >= middle);

    const unsigned from = fromTheDevice ? device->deviceId() : device->deviceId() + 1;
    int restarts = 0;
    for (int i = 0; i < posted; ++i) {
        const int before = device->position();
        QVERIFY(PostMessageW(notifyWindow, MM_MCINOTIFY, flag, LPARAM(from)));
        // Time for a loop of its own, if the window made one.
        QTest::qWait(300);
        QVERIFY(device->isPlaying());
        if (device->position() < before)
            ++restarts;
        // Played from the start, not somewhere else before where it was.
        QVERIFY(device->position() < middle / 4 || device->position() >= before);
        // Back in the middle for the next one: moving stops the device, the menu plays on.
        moveTo(device->deviceId(), unsigned(middle));
        window.Hidupkanmusik->trigger();
        QVERIFY(device->isPlaying());
    }
    QTEST(restarts, "restarts");
    // Once for each end of the piece, and no notification that the window made itself.
    QCOMPARE(ends, flag == MCI_NOTIFY_SUCCESSFUL && fromTheDevice ? posted : 0);
}

QTEST_MAIN(TestMusicMci)
#include "test_music_mci.moc"
