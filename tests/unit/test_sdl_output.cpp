// SPDX-License-Identifier: GPL-3.0-or-later
// SDL's output: the driver the user chose is kept, and a driver that does not work falls back
// to the silent one, whose clock keeps the mix running.
#include "platform/portable/AudioEngine.h"
#include "platform/sdl/SdlAudioOutput.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSdlOutput : public QObject
{
    Q_OBJECT
  private slots:
    void brokenDriverFallsBackToSilentClock();
    void theUsersDriverIsKept_data();
    void theUsersDriverIsKept();
};

void TestSdlOutput::brokenDriverFallsBackToSilentClock()
{
    qputenv("SDL_AUDIODRIVER", "no-such-driver");
    {
        AudioEngine engine(std::make_unique<SdlAudioOutput>());
        engine.start();
        QTRY_VERIFY_WITH_TIMEOUT(engine.hasOutput(), 2000);
        QCOMPARE(engine.periodFrames(), Audio::periodFrames);
        engine.playSound(QStringLiteral("anything.wav"));
        QVERIFY(engine.mixer().effectPlaying());
        // The silent driver still pulls samples, so the effect is played to its end.
        QTRY_VERIFY_WITH_TIMEOUT(!engine.mixer().effectPlaying(), 3000);
    }
    qputenv("SDL_AUDIODRIVER", "dummy");
}

void TestSdlOutput::theUsersDriverIsKept_data()
{
    QTest::addColumn<QByteArray>("chosen");
    QTest::addColumn<QString>("plays");
    QTest::newRow("the silent driver") << QByteArray("dummy") << "dummy";
    QTest::newRow("the file driver") << QByteArray("disk") << "disk";
    QTest::newRow("a list, the first that works") << QByteArray("no-such-driver,disk") << "disk";
    QTest::newRow("none that works: the silent one") << QByteArray("no-such-driver") << "dummy";
}

// SDL_AUDIODRIVER is the user's: no driver of the program's choosing replaces it, at the first
// start or at the next one.
void TestSdlOutput::theUsersDriverIsKept()
{
    QFETCH(QByteArray, chosen);
    QFETCH(QString, plays);
    qputenv("SDL_AUDIODRIVER", chosen);
    const QTemporaryDir folder;
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(folder.filePath(QStringLiteral("out.raw"))));
    {
        Mixer mixer;
        SdlAudioOutput output;
        for (int start = 0; start < 2; ++start) {
            QVERIFY(output.start(&mixer));
            QCOMPARE(QString::fromStdString(output.driver()), plays);
            QVERIFY(!output.lost());
            output.stop();
        }
    }
    qputenv("SDL_AUDIODRIVER", "dummy");
}

QTEST_GUILESS_MAIN(TestSdlOutput)
#include "test_sdl_output.moc"
