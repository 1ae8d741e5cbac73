// SPDX-License-Identifier: GPL-3.0-or-later
// The committed sounds and pictures: the program and any WAV reader must be able to use them
// as they are, so their formats, sizes and levels are checked straight from the files. And
// the tree itself must check out whole on a file system that ignores case.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QTest>
#include <QXmlStreamReader>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

QString sourcePath(const QString &relative)
{
    return QDir(QStringLiteral(NUMBELO_SOURCE_DIR)).filePath(relative);
}

struct Wav
{
    quint16 format = 0;
    quint16 channels = 0;
    quint32 rate = 0;
    quint32 byteRate = 0;
    quint16 blockAlign = 0;
    quint16 bits = 0;
    QByteArray data;
};

// Reads a RIFF/WAVE file chunk by chunk; any inconsistency is reported through `error`.
std::optional<Wav> parseWav(const QByteArray &file, QString &error)
{
    const auto u32 = [&file](qsizetype at) {
        return qFromLittleEndian<quint32>(file.constData() + at);
    };
    const auto u16 = [&file](qsizetype at) {
        return qFromLittleEndian<quint16>(file.constData() + at);
    };
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE") {
        error = QStringLiteral("not a RIFF/WAVE file");
        return std::nullopt;
    }
    if (u32(4) != quint32(file.size() - 8)) {
        error = QStringLiteral("RIFF size %1 does not match the file size %2")
                    .arg(u32(4))
                    .arg(file.size());
        return std::nullopt;
    }
    Wav wav;
    bool haveFormat = false;
    bool haveData = false;
    qsizetype at = 12;
    while (at + 8 <= file.size()) {
        const QByteArray id = file.mid(at, 4);
        const quint32 size = u32(at + 4);
        const qsizetype body = at + 8;
        if (size > quint32(file.size() - body)) {
            error = QStringLiteral("chunk '%1' runs past the end of the file")
                        .arg(QString::fromLatin1(id));
            return std::nullopt;
        }
        if (id == "fmt ") {
            if (size < 16) {
                error = QStringLiteral("format chunk too short");
                return std::nullopt;
            }
            wav.format = u16(body);
            wav.channels = u16(body + 2);
            wav.rate = u32(body + 4);
            wav.byteRate = u32(body + 8);
            wav.blockAlign = u16(body + 12);
            wav.bits = u16(body + 14);
            haveFormat = true;
        } else if (id == "data") {
            wav.data = file.mid(body, size);
            haveData = true;
        }
        at = body + size + (size & 1);
    }
    if (!haveFormat || !haveData) {
        error = QStringLiteral("missing the format or the data chunk");
        return std::nullopt;
    }
    return wav;
}

double toDbfs(double level)
{
    return level > 0 ? 20.0 * std::log10(level) : -200.0;
}

enum class Kind
{
    Rgb24,
    Indexed16,
    Indexed256,
    Cursor
};

bool isOlive(QRgb pixel)
{
    return qAlpha(pixel) == 255 && qRed(pixel) == 128 && qGreen(pixel) == 128 && qBlue(pixel) == 0;
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestAssets : public QObject
{
    Q_OBJECT
  private slots:
    void sounds_data();
    void sounds();
    void pictures_data();
    void pictures();
    void glyphHalves_data();
    void glyphHalves();
    void cursorIsTwoColoursWithHotSpotOnTheFinger();
    void svgSources_data();
    void svgSources();
    void noTwoPathsDifferOnlyInCase();
};

void TestAssets::sounds_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("maxSeconds");
    for (int digit = 0; digit <= 9; ++digit)
        QTest::newRow(qPrintable(QStringLiteral("digit %1").arg(digit)))
            << QStringLiteral("%1.wav").arg(digit) << 1.0;
    QTest::newRow("start jingle") << QStringLiteral("Good.wav") << 1.5;
    QTest::newRow("right") << QStringLiteral("Benar.wav") << 1.2;
    QTest::newRow("wrong") << QStringLiteral("Salah.wav") << 1.2;
    QTest::newRow("spring") << QStringLiteral("Toeng.wav") << 1.0;
    QTest::newRow("laser") << QStringLiteral("Laser.wav") << 1.0;
    QTest::newRow("whistle") << QStringLiteral("Whistle.wav") << 2.0;
}

void TestAssets::sounds()
{
    QFETCH(QString, name);
    QFETCH(double, maxSeconds);

    const QDir dir(sourcePath(QStringLiteral("resources/sound")));
    // The exact spelling matters on case-sensitive file systems.
    QVERIFY2(dir.entryList(QDir::Files).contains(name),
             qPrintable(name + QStringLiteral(" is missing")));
    QFile file(dir.filePath(name));
    QVERIFY(file.open(QIODevice::ReadOnly));

    QString error;
    const std::optional<Wav> wav = parseWav(file.readAll(), error);
    QVERIFY2(wav, qPrintable(error));
    QCOMPARE(wav->format, quint16(1)); // plain PCM, not WAVE_FORMAT_EXTENSIBLE
    QCOMPARE(wav->channels, quint16(1));
    QCOMPARE(wav->bits, quint16(16));
    QVERIFY2(wav->rate == 22050 || wav->rate == 44100, qPrintable(QString::number(wav->rate)));
    QCOMPARE(wav->blockAlign, quint16(2));
    QCOMPARE(wav->byteRate, wav->rate * 2);
    QCOMPARE(wav->data.size() % 2, 0);

    const qsizetype count = wav->data.size() / 2;
    const double seconds = double(count) / wav->rate;
    QVERIFY2(seconds > 0.1 && seconds <= maxSeconds,
             qPrintable(QStringLiteral("%1 s, limit %2 s").arg(seconds).arg(maxSeconds)));

    QList<int> samples(count);
    for (qsizetype i = 0; i < count; ++i)
        samples[i] = qFromLittleEndian<qint16>(wav->data.constData() + 2 * i);

    int peak = 0;
    int clipped = 0;
    for (int s : samples) {
        peak = std::max(peak, std::abs(s));
        if (s >= 32767 || s <= -32768)
            ++clipped;
    }
    const double peakDb = toDbfs(peak / 32768.0);
    QVERIFY2(peakDb > -20.0, qPrintable(QStringLiteral("peak %1 dBFS").arg(peakDb)));
    QVERIFY2(clipped <= 3, qPrintable(QStringLiteral("%1 clipped samples").arg(clipped)));

    // Silence is trimmed: the sound starts and ends within 50 ms of the file's ends.
    const int quiet = int(32768 * std::pow(10.0, -50.0 / 20)); // -50 dBFS
    const auto loud = [quiet](int s) { return std::abs(s) > quiet; };
    const qsizetype lead = std::find_if(samples.cbegin(), samples.cend(), loud) - samples.cbegin();
    const qsizetype tail =
        std::find_if(samples.crbegin(), samples.crend(), loud) - samples.crbegin();
    QVERIFY2(lead <= wav->rate / 20,
             qPrintable(QStringLiteral("%1 silent samples at the start").arg(lead)));
    QVERIFY2(tail <= wav->rate / 20,
             qPrintable(QStringLiteral("%1 silent samples at the end").arg(tail)));

    // One common loudness: the loudest tenth of a second of every sound lies in a band
    // wide enough for different timbres, narrow enough that none drowns the others.
    const qsizetype window = std::min<qsizetype>(count, wav->rate / 10);
    double sum = 0;
    double loudest = 0;
    for (qsizetype i = 0; i < count; ++i) {
        sum += double(samples[i]) * samples[i];
        if (i >= window)
            sum -= double(samples[i - window]) * samples[i - window];
        if (i + 1 >= window)
            loudest = std::max(loudest, sum / window);
    }
    const double loudestDb = toDbfs(std::sqrt(loudest) / 32768.0);
    QVERIFY2(loudestDb > -24.0 && loudestDb < -6.0,
             qPrintable(QStringLiteral("loudest 100 ms at %1 dBFS").arg(loudestDb)));
}

void TestAssets::pictures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<Kind>("kind");
    QTest::newRow("children") << QStringLiteral("image1.png") << QSize(150, 110) << Kind::Rgb24;
    for (const char *glyph : {"glyph_play", "glyph_about", "glyph_exit", "glyph_next"})
        QTest::newRow(glyph) << QStringLiteral("%1.png").arg(QLatin1StringView(glyph))
                             << QSize(32, 16) << Kind::Indexed16;
    QTest::newRow("icon") << QStringLiteral("icon32.png") << QSize(32, 32) << Kind::Indexed16;
    QTest::newRow("about icon") << QStringLiteral("about_icon.png") << QSize(32, 32)
                                << Kind::Indexed256;
    QTest::newRow("cursor") << QStringLiteral("handpnt.png") << QSize(32, 32) << Kind::Cursor;
}

void TestAssets::pictures()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(Kind, kind);

    const QDir dir(sourcePath(QStringLiteral("resources/images")));
    QVERIFY2(dir.entryList(QDir::Files).contains(name),
             qPrintable(name + QStringLiteral(" is missing")));
    const QImage image(dir.filePath(name));
    QVERIFY2(!image.isNull(), qPrintable(name + QStringLiteral(" does not load")));
    QCOMPARE(image.size(), size);

    switch (kind) {
    case Kind::Rgb24:
        QCOMPARE(image.format(), QImage::Format_RGB32);
        QVERIFY(!image.hasAlphaChannel());
        break;
    case Kind::Indexed16:
    case Kind::Cursor:
        QCOMPARE(image.format(), QImage::Format_Indexed8);
        QVERIFY(image.colorCount() >= 2);
        QVERIFY2(image.colorCount() <= 16, qPrintable(QString::number(image.colorCount())));
        break;
    case Kind::Indexed256:
        QCOMPARE(image.format(), QImage::Format_Indexed8);
        QVERIFY(image.colorCount() >= 2);
        QVERIFY(image.colorCount() <= 256);
        break;
    }

    // A picture, not a blank: at least a handful of different opaque colours.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 255)
                colours.insert(image.pixel(x, y));
    QVERIFY2(colours.size() >= (kind == Kind::Cursor ? 2 : 5),
             qPrintable(QStringLiteral("%1 colours").arg(colours.size())));
}

void TestAssets::glyphHalves_data()
{
    QTest::addColumn<QString>("name");
    for (const char *glyph : {"glyph_play", "glyph_about", "glyph_exit", "glyph_next"})
        QTest::newRow(glyph) << QStringLiteral("%1.png").arg(QLatin1StringView(glyph));
}

void TestAssets::glyphHalves()
{
    QFETCH(QString, name);
    const QImage image(sourcePath(QStringLiteral("resources/images/") + name));
    QCOMPARE(image.size(), QSize(32, 16));
    // The buttons take the bottom-left pixel as the transparent colour, and it must be olive.
    QVERIFY(!image.hasAlphaChannel());
    QVERIFY(isOlive(image.pixel(0, 15)));

    int normalShape = 0;
    int disabledShape = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (isOlive(pixel))
                continue;
            if (x < 16) {
                ++normalShape;
            } else {
                ++disabledShape;
                // The disabled picture is greyed out: shades of grey only.
                QVERIFY2(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel),
                         qPrintable(QStringLiteral("colour at (%1,%2)").arg(x).arg(y)));
            }
        }
    }
    QVERIFY2(normalShape >= 20, qPrintable(QString::number(normalShape)));
    QVERIFY2(disabledShape >= 20, qPrintable(QString::number(disabledShape)));
}

void TestAssets::cursorIsTwoColoursWithHotSpotOnTheFinger()
{
    const QImage image(sourcePath(QStringLiteral("resources/images/handpnt.png")));
    QCOMPARE(image.size(), QSize(32, 32));
    int clear = 0;
    int black = 0;
    int white = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 0)
                ++clear;
            else if (pixel == qRgb(0, 0, 0))
                ++black;
            else if (pixel == qRgb(255, 255, 255))
                ++white;
            else
                QFAIL(qPrintable(
                    QStringLiteral("(%1,%2) is neither black, white nor clear").arg(x).arg(y)));
        }
    }
    QVERIFY(clear > 0 && black > 0 && white > 0);
    // The fingertip is drawn on the hot spot, so a click lands where the finger points.
    QVERIFY(qAlpha(image.pixel(0, 0)) == 255);
    // The finger goes down-right from there; the far corner is empty.
    QCOMPARE(qAlpha(image.pixel(31, 31)), 0);
}

void TestAssets::svgSources_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(sourcePath(QStringLiteral("resources/art")));
    const QStringList files = dir.entryList({QStringLiteral("*.svg")}, QDir::Files);
    QVERIFY(files.contains(QStringLiteral("numbelo.svg")));
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << dir.filePath(file);
}

void TestAssets::svgSources()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    // Installed icons and our own drawings are self-contained: well-formed XML whose only
    // references point inside the file.
    QXmlStreamReader xml(&file);
    bool sawRoot = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (!sawRoot) {
            QCOMPARE(xml.name(), u"svg");
            QVERIFY(xml.attributes().hasAttribute(QStringLiteral("viewBox")));
            sawRoot = true;
        }
        QVERIFY2(xml.name() != u"image" && xml.name() != u"script",
                 qPrintable(xml.name().toString()));
        for (const QXmlStreamAttribute &attribute : xml.attributes()) {
            if (attribute.name() == u"href")
                QVERIFY2(attribute.value().startsWith(u'#'),
                         qPrintable(attribute.value().toString()));
            QVERIFY2(!attribute.value().contains(u"url(http"),
                     qPrintable(attribute.value().toString()));
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(sawRoot);
}

void TestAssets::noTwoPathsDifferOnlyInCase()
{
    // Build folders (they hold a CMakeCache.txt) and hidden folders are not part of the tree.
    const QDir root(QStringLiteral(NUMBELO_SOURCE_DIR));
    QHash<QString, QString> byFoldedPath;
    QStringList clashes;
    QList<QString> folders{root.path()};
    while (!folders.isEmpty()) {
        const QDir folder(folders.takeLast());
        const QFileInfoList entries =
            folder.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::NoSymLinks);
        for (const QFileInfo &entry : entries) {
            if (entry.isDir() && (entry.fileName().startsWith(u'.') ||
                                  QFileInfo::exists(entry.filePath() + "/CMakeCache.txt")))
                continue;
            const QString path = root.relativeFilePath(entry.filePath());
            const QString other = byFoldedPath.value(path.toCaseFolded());
            if (!other.isEmpty())
                clashes << other + QStringLiteral(" ~ ") + path;
            byFoldedPath.insert(path.toCaseFolded(), path);
            if (entry.isDir())
                folders << entry.filePath();
        }
    }
    QVERIFY2(byFoldedPath.contains(QStringLiteral("app/main.cpp")), "the tree was not walked");
    QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(QStringLiteral(", "))));
}

QTEST_GUILESS_MAIN(TestAssets)
#include "test_assets.moc"
