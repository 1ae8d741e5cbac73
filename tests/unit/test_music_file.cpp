// SPDX-License-Identifier: GPL-3.0-or-later
// Checking MIDI files before they are played: the committed tune and the test files, and
// files built byte by byte for every way a file can be broken.
#include "platform/portable/MidiFile.h"

#include <QFile>
#include <QTest>

namespace {
using Kind = MusicProblem::Kind;

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int value : values)
        out.append(char(value));
    return out;
}

QByteArray quantity(quint32 value)
{
    QByteArray out(1, char(value & 0x7F));
    while ((value >>= 7) != 0)
        out.prepend(char(0x80 | (value & 0x7F)));
    return out;
}

QByteArray chunk(const char *id, const QByteArray &body, qint64 declared = -1)
{
    const quint32 length = quint32(declared < 0 ? body.size() : declared);
    return QByteArray(id, 4) +
           bytes({int(length >> 24), int((length >> 16) & 0xFF), int((length >> 8) & 0xFF),
                  int(length & 0xFF)}) +
           body;
}

QByteArray header(int format, int tracks, int division)
{
    return chunk("MThd", bytes({format >> 8, format & 0xFF, tracks >> 8, tracks & 0xFF,
                                (division >> 8) & 0xFF, division & 0xFF}));
}

// A note of `length` ticks on channel 0, struck after `delta` ticks.
QByteArray note(quint32 delta, int key, quint32 length)
{
    return quantity(delta) + bytes({0x90, key, 100}) + quantity(length) + bytes({0x80, key, 64});
}

QByteArray endOfTrack(quint32 delta = 0)
{
    return quantity(delta) + bytes({0xFF, 0x2F, 0x00});
}

QByteArray track(const QByteArray &events)
{
    return chunk("MTrk", events);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("unreadable fixture");
    return file.readAll();
}

QByteArray fixture(const QString &name)
{
    return readFile(QStringLiteral(NUMBELO_TEST_DATA "/music/") + name);
}

MidiFileCheck check(const QByteArray &data)
{
    return checkMidiFile(reinterpret_cast<const std::uint8_t *>(data.constData()),
                         std::size_t(data.size()));
}
} // namespace

Q_DECLARE_METATYPE(MusicProblem::Kind)

class TestMusicFile : public QObject
{
    Q_OBJECT
  private slots:
    void playableFiles_data();
    void playableFiles();
    void refusedFiles_data();
    void refusedFiles();
    void everyCutOfTheTuneIsRefused();
};

void TestMusicFile::playableFiles_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("tracks");
    QTest::addColumn<int>("division");
    QTest::addColumn<int>("lengthTicks");
    QTest::addColumn<int>("notes");

    // Four crotchets at 480 ticks each.
    QTest::newRow("short test tune")
        << fixture(QStringLiteral("short.mid")) << 0 << 1 << 480 << 1920 << 4;
    QTest::newRow("two tracks, the longer one counts")
        << header(1, 2, 96) + track(note(0, 60, 96) + endOfTrack()) +
               track(note(48, 64, 96) + note(0, 67, 96) + endOfTrack(10))
        << 1 << 2 << 96 << 250 << 3;
    QTest::newRow("running status, note-on with velocity 0 as note-off")
        << header(0, 1, 480) +
               track(quantity(0) + bytes({0x90, 60, 90}) + quantity(240) + bytes({60, 0}) +
                     quantity(0) + bytes({62, 90}) + quantity(240) + bytes({62, 0}) + endOfTrack())
        << 0 << 1 << 480 << 480 << 2;
    QTest::newRow("other chunks are skipped")
        << header(0, 1, 120) + chunk("XFIH", bytes({1, 2, 3})) +
               track(note(0, 60, 120) + endOfTrack())
        << 0 << 1 << 120 << 120 << 1;
    QTest::newRow("meta, sysex and controller events")
        << header(0, 1, 480) +
               track(quantity(0) + bytes({0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}) + quantity(0) +
                     bytes({0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}) + quantity(0) +
                     bytes({0xC0, 0x0C}) + quantity(0) + bytes({0xB0, 0x07, 0x64}) +
                     note(10, 72, 470) + endOfTrack())
        << 0 << 1 << 480 << 480 << 1;
    QTest::newRow("bytes after the end of the track are never read")
        << header(0, 1, 480) + track(note(0, 60, 480) + endOfTrack() + bytes({0xF4, 0xF4})) << 0
        << 1 << 480 << 480 << 1;
}

void TestMusicFile::playableFiles()
{
    QFETCH(QByteArray, data);
    const MidiFileCheck result = check(data);
    QCOMPARE(result.problem, Kind::None);
    QVERIFY(result.playable());
    QTEST(result.summary.format, "format");
    QTEST(result.summary.tracks, "tracks");
    QTEST(result.summary.division, "division");
    QTEST(result.summary.lengthTicks, "lengthTicks");
    QTEST(result.summary.notes, "notes");
}

void TestMusicFile::refusedFiles_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<Kind>("problem");
    const QByteArray oneNote = note(0, 60, 480) + endOfTrack();

    QTest::newRow("empty.mid") << fixture(QStringLiteral("empty.mid")) << Kind::FileEmpty;
    QTest::newRow("garbage.mid") << fixture(QStringLiteral("garbage.mid")) << Kind::NotMidi;
    QTest::newRow("truncated.mid")
        << fixture(QStringLiteral("truncated.mid")) << Kind::FileTruncated;
    QTest::newRow("notes_none.mid") << fixture(QStringLiteral("notes_none.mid")) << Kind::NoMusic;
    QTest::newRow("a wave file") << QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16) << Kind::NotMidi;
    QTest::newRow("three bytes") << QByteArray("MTh") << Kind::NotMidi;
    QTest::newRow("header cut short") << header(0, 1, 480).left(11) << Kind::FileTruncated;
    QTest::newRow("header too small")
        << chunk("MThd", bytes({0, 0, 0, 1})) + track(oneNote) << Kind::FileCorrupt;
    QTest::newRow("no tracks declared") << header(1, 0, 480) << Kind::FileCorrupt;
    QTest::newRow("format 0 with two tracks")
        << header(0, 2, 480) + track(oneNote) + track(oneNote) << Kind::FileCorrupt;
    QTest::newRow("format 3") << header(3, 1, 480) + track(oneNote) << Kind::FileCorrupt;
    QTest::newRow("division 0") << header(0, 1, 0) + track(oneNote) << Kind::FileCorrupt;
    QTest::newRow("format 2") << header(2, 1, 480) + track(oneNote) << Kind::FileUnsupported;
    QTest::newRow("frame-based time")
        << header(0, 1, 0xE728) + track(oneNote) << Kind::FileUnsupported;
    QTest::newRow("fewer tracks than declared")
        << header(1, 2, 480) + track(oneNote) << Kind::FileTruncated;
    QTest::newRow("track longer than the file")
        << header(0, 1, 480) + chunk("MTrk", oneNote, oneNote.size() + 10) << Kind::FileTruncated;
    QTest::newRow("no end of track")
        << header(0, 1, 480) + track(note(0, 60, 480)) << Kind::FileTruncated;
    QTest::newRow("event cut in the middle")
        << header(0, 1, 480) + track(quantity(0) + bytes({0x90, 60})) << Kind::FileTruncated;
    QTest::newRow("meta text longer than the track")
        << header(0, 1, 480) + track(quantity(0) + bytes({0xFF, 0x03, 0x20, 'a'}))
        << Kind::FileTruncated;
    QTest::newRow("running status with nothing to run on")
        << header(0, 1, 480) + track(quantity(0) + bytes({60, 100}) + endOfTrack())
        << Kind::FileCorrupt;
    QTest::newRow("status byte where data belongs")
        << header(0, 1, 480) + track(quantity(0) + bytes({0x90, 0x90, 100}) + endOfTrack())
        << Kind::FileCorrupt;
    QTest::newRow("real-time message in a track")
        << header(0, 1, 480) + track(quantity(0) + bytes({0xF8}) + endOfTrack())
        << Kind::FileCorrupt;
    QTest::newRow("delta time of five bytes")
        << header(0, 1, 480) +
               track(bytes({0x81, 0x80, 0x80, 0x80, 0x00, 0x90, 60, 100}) + endOfTrack())
        << Kind::FileCorrupt;
    QTest::newRow("chunk name that is not text")
        << header(0, 1, 480) + chunk("\x01\x02\x03\x04", oneNote) << Kind::FileCorrupt;
    QTest::newRow("silent notes only")
        << header(0, 1, 480) + track(quantity(0) + bytes({0x90, 60, 0}) + quantity(480) +
                                     bytes({0x80, 60, 0}) + endOfTrack())
        << Kind::NoMusic;
    QTest::newRow("a note of no length at tick 0")
        << header(0, 1, 480) + track(note(0, 60, 0) + endOfTrack()) << Kind::NoMusic;
}

void TestMusicFile::refusedFiles()
{
    QFETCH(QByteArray, data);
    const MidiFileCheck result = check(data);
    QTEST(result.problem, "problem");
    QVERIFY(!result.playable());
}

void TestMusicFile::everyCutOfTheTuneIsRefused()
{
    const QByteArray tune =
        readFile(QStringLiteral(NUMBELO_SOURCE_DIR "/resources/sound/zamba.mid"));
    const MidiFileCheck whole = check(tune);
    QVERIFY(whole.playable());
    // 40 bars of 6/8 at 480 ticks a crotchet: 40 * 3 * 480 ticks, all six tracks read.
    QCOMPARE(whole.summary.lengthTicks, 40 * 3 * 480);
    QCOMPARE(whole.summary.tracks, 6);
    QVERIFY(whole.summary.notes > 200);
    // However the tune is cut short, the cut is found; never a smaller piece by mistake.
    for (qsizetype size = 0; size < tune.size(); ++size) {
        const MidiFileCheck cut = check(tune.left(size));
        if (cut.playable())
            QFAIL(qPrintable(QStringLiteral("the first %1 bytes pass as a whole file").arg(size)));
    }
}

QTEST_APPLESS_MAIN(TestMusicFile)
#include "test_music_file.moc"
