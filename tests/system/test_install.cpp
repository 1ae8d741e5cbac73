// SPDX-License-Identifier: GPL-3.0-or-later
// Installing Numbelo as a packager does (cmake --install into a staging folder) and checking
// the result: every file in its place and nothing else, the program finding its sounds, music
// and readme there when started from another folder, a valid menu entry and AppStream data
// that agree with the program, the installed program starting, and a Debian package that
// depends on everything the program uses and that lintian passes.
#include "about/TAboutBox.h"
#include "app/TfoMain.h"
#include "platform/linux/SystemDesktopOpener.h"
#include "platform/portable/AudioEngine.h"
#include "platform/portable/MusicDevice.h"
#include "platform/portable/ProgramFolders.h"
#include "startup/Startup.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

QString sourcePath(const QString &relative)
{
    return QDir(QStringLiteral(NUMBELO_SOURCE_DIR)).filePath(relative);
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Run
{
    int exitCode = -1;
    QString output;
};

// Runs a command to its end, with its output and errors together.
Run run(const QString &program, const QStringList &arguments,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, QStringLiteral("%1 did not finish: %2").arg(program, process.errorString())};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAll())};
}

// The `[Desktop Entry]` group of a desktop file, key by key.
QHash<QString, QString> desktopEntry(const QString &path)
{
    QHash<QString, QString> entry;
    bool inGroup = false;
    const auto lines = QString::fromUtf8(contentsOf(path)).split(u'\n');
    for (const QString &line : lines) {
        if (line.startsWith(u'['))
            inGroup = line == QStringLiteral("[Desktop Entry]");
        else if (inGroup && !line.startsWith(u'#') && line.contains(u'='))
            entry.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
    }
    return entry;
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanup();
    void installsEveryFile_data();
    void installsEveryFile();
    void installsNothingElse();
    void programFindsItsSoundsFromAnotherFolder_data();
    void programFindsItsSoundsFromAnotherFolder();
    void programFindsItsReadmeFromAnotherFolder();
    void menuEntryNamesTheProgram();
    void metainfoAgreesWithTheProgram();
    void installedProgramStarts();
    void packageDependsOnWhatTheProgramUses();
    void packagePassesLintian();

  private:
    // An installed file, given relative to the installation prefix.
    QString installed(const QString &relative) const { return m_root + u'/' + relative; }
    // Where an absolute path of the installed program lies in the staging folder.
    QString staged(const QString &absolute) const { return m_stage.path() + absolute; }
    QString dataDir() const { return QStringLiteral(NUMBELO_INSTALL_DATADIR); }
    QString programPath() const
    {
        return installed(QStringLiteral(NUMBELO_INSTALL_BINDIR "/numbelo"));
    }
    // Every file the installation must hold (relative to the prefix), with the source file it
    // is a copy of, or nothing for the files made by the build.
    QList<QPair<QString, QString>> expectedFiles() const;
    // The Debian package, made once by cpack for /usr as Debian packages are; empty on failure.
    QString package();

    QTemporaryDir m_stage;
    QTemporaryDir m_packageDir;
    QString m_package;
    QTemporaryDir m_elsewhere;
    QString m_root;
    QString m_appId;
    QString m_startFolder;
};

void TestInstall::initTestCase()
{
    QVERIFY(m_stage.isValid() && m_elsewhere.isValid() && m_packageDir.isValid());
    m_startFolder = QDir::currentPath();
    prepareApplication(*qobject_cast<QApplication *>(QCoreApplication::instance()));
    m_appId = QGuiApplication::desktopFileName();
    QVERIFY(!m_appId.isEmpty());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DESTDIR"), m_stage.path());
    const Run install =
        run(QStringLiteral(NUMBELO_CMAKE_COMMAND),
            {QStringLiteral("--install"), QStringLiteral(NUMBELO_BINARY_DIR)}, environment);
    QVERIFY2(install.exitCode == 0, qPrintable(install.output));
    m_root = staged(QStringLiteral(NUMBELO_INSTALL_PREFIX));
}

void TestInstall::cleanup()
{
    QDir::setCurrent(m_startFolder);
}

QList<QPair<QString, QString>> TestInstall::expectedFiles() const
{
    const QString data = dataDir();
    QList<QPair<QString, QString>> files{
        {QStringLiteral(NUMBELO_INSTALL_BINDIR "/numbelo"), QString()},
        {data + QStringLiteral("/numbelo/readme.txt"),
         sourcePath(QStringLiteral("resources/readme.txt"))},
        {data + QStringLiteral("/applications/") + m_appId + QStringLiteral(".desktop"), QString()},
        {data + QStringLiteral("/metainfo/") + m_appId + QStringLiteral(".metainfo.xml"),
         QString()},
        {data + QStringLiteral("/icons/hicolor/32x32/apps/") + m_appId + QStringLiteral(".png"),
         sourcePath(QStringLiteral("resources/images/icon32.png"))},
        {data + QStringLiteral("/icons/hicolor/scalable/apps/") + m_appId + QStringLiteral(".svg"),
         sourcePath(QStringLiteral("resources/art/numbelo.svg"))},
        {data + QStringLiteral("/doc/numbelo/copyright"),
         sourcePath(QStringLiteral("packaging/debian/copyright"))},
        {data + QStringLiteral("/doc/numbelo/changelog.gz"), QString()},
        {data + QStringLiteral("/man/man6/numbelo.6.gz"), QString()}};
    const QDir sounds(sourcePath(QStringLiteral("resources/sound")));
    const auto names = sounds.entryList(QDir::Files);
    for (const QString &name : names)
        files.append({data + QStringLiteral("/numbelo/sound/") + name, sounds.filePath(name)});
    return files;
}

void TestInstall::installsEveryFile_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("source");
    const auto files = expectedFiles();
    for (const auto &[relative, source] : files)
        QTest::newRow(qPrintable(relative)) << relative << source;
}

void TestInstall::installsEveryFile()
{
    QFETCH(QString, relative);
    QFETCH(QString, source);
    const QFileInfo file(installed(relative));
    QVERIFY2(file.isFile(), qPrintable(file.filePath()));
    if (!source.isEmpty())
        QVERIFY(contentsOf(file.filePath()) == contentsOf(source));
    if (relative.startsWith(QStringLiteral(NUMBELO_INSTALL_BINDIR "/")))
        QVERIFY(file.isExecutable());
    if (relative.endsWith(QStringLiteral(".png")))
        QCOMPARE(QImage(file.filePath()).size(), QSize(32, 32));
    // gzip -9n: no flags (so no name), no time, best compression.
    if (relative.endsWith(QStringLiteral(".gz")))
        QVERIFY(
            contentsOf(file.filePath()).startsWith(QByteArray("\x1f\x8b\x08\0\0\0\0\0\x02", 9)));
}

void TestInstall::installsNothingElse()
{
    QStringList found;
    QDirIterator walk(m_stage.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        const QString path = walk.next();
        found << (path.startsWith(m_root + u'/') ? path.mid(m_root.size() + 1) : path);
    }
    QStringList expected;
    const auto files = expectedFiles();
    for (const auto &file : files)
        expected << file.first;
    found.sort();
    expected.sort();
    QCOMPARE(found, expected);
}

void TestInstall::programFindsItsSoundsFromAnotherFolder_data()
{
    QTest::addColumn<QString>("name");
    const auto names = QDir(sourcePath(QStringLiteral("resources/sound"))).entryList(QDir::Files);
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << name;
    // The program asks for one sound in lower case.
    QTest::newRow("toeng.wav, as the empty answer asks for it") << QStringLiteral("toeng.wav");
}

void TestInstall::programFindsItsSoundsFromAnotherFolder()
{
    QFETCH(QString, name);
    QVERIFY(QDir::setCurrent(m_elsewhere.path()));
    // The folders the installed program searches, as they lie in the staging folder.
    QStringList folders;
    const QStringList searched =
        ProgramFolders::forExecutable(QFileInfo(programPath()).absoluteFilePath()).soundDirs();
    for (const QString &folder : searched)
        folders << (folder.startsWith(m_stage.path()) ? folder : staged(folder));
    const QString found = findFileIgnoringCase(folders, name);
    QVERIFY2(found.startsWith(installed(dataDir() + QStringLiteral("/numbelo/sound/"))),
             qPrintable(QStringLiteral("\"%1\" found at \"%2\" in %3")
                            .arg(name, found, folders.join(QStringLiteral(", ")))));
}

void TestInstall::programFindsItsReadmeFromAnotherFolder()
{
    // Started from a menu, the program has neither the readme in its current folder nor
    // beside it: the installed data folder it was built for must hold it.
    QVERIFY(QDir::setCurrent(m_elsewhere.path()));
    QVERIFY(!QFileInfo::exists(QStringLiteral("readme.txt")));
    QVERIFY(!QFileInfo::exists(QFileInfo(programPath()).absolutePath() +
                               QStringLiteral("/readme.txt")));
    QCOMPARE(QStringLiteral(NUMBELO_DATA_DIR), QStringLiteral(NUMBELO_INSTALL_PREFIX) + u'/' +
                                                   dataDir() + QStringLiteral("/numbelo"));
    QVERIFY(QFileInfo(staged(QStringLiteral(NUMBELO_DATA_DIR "/readme.txt"))).isFile());
}

void TestInstall::menuEntryNamesTheProgram()
{
    const QString path = installed(dataDir() + QStringLiteral("/applications/") + m_appId +
                                   QStringLiteral(".desktop"));
    const auto entry = desktopEntry(path);
    QCOMPARE(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
    QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Numbelo"));
    QVERIFY(entry.contains(QStringLiteral("Name[id]")));
    QVERIFY(!entry.value(QStringLiteral("Comment")).isEmpty());
    QCOMPARE(entry.value(QStringLiteral("Comment[id]")),
             QStringLiteral("Latihan berhitung untuk anak SD"));
    const QStringList categories =
        entry.value(QStringLiteral("Categories")).split(u';', Qt::SkipEmptyParts);
    QVERIFY(categories.contains(QStringLiteral("Education")));
    QVERIFY(categories.contains(QStringLiteral("Math")));
    QCOMPARE(entry.value(QStringLiteral("Icon")), m_appId);
    QCOMPARE(entry.value(QStringLiteral("Terminal")), QStringLiteral("false"));
    // The entry starts the program where it is installed.
    const QString exec = entry.value(QStringLiteral("Exec"));
    QCOMPARE(exec, QStringLiteral(NUMBELO_INSTALL_PREFIX "/" NUMBELO_INSTALL_BINDIR "/numbelo"));
    QVERIFY(QFileInfo(staged(exec)).isExecutable());

    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        QSKIP("desktop-file-validate is not installed (package desktop-file-utils)");
    const Run validation = run(validator, {path});
    QVERIFY2(validation.exitCode == 0 && validation.output.trimmed().isEmpty(),
             qPrintable(validation.output));
}

void TestInstall::metainfoAgreesWithTheProgram()
{
    const QString path = installed(dataDir() + QStringLiteral("/metainfo/") + m_appId +
                                   QStringLiteral(".metainfo.xml"));
    QXmlStreamReader xml(contentsOf(path));
    QString id;
    QString launchable;
    QString homePage;
    QStringList releases;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"id")
            id = xml.readElementText();
        else if (xml.name() == u"launchable")
            launchable = xml.readElementText();
        else if (xml.name() == u"url" &&
                 xml.attributes().value(QStringLiteral("type")) == u"homepage")
            homePage = xml.readElementText();
        else if (xml.name() == u"release")
            releases << xml.attributes().value(QStringLiteral("version")).toString();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(id, m_appId);
    QCOMPARE(launchable, m_appId + QStringLiteral(".desktop"));
    QCOMPARE(homePage, MakerDetails::fromBuild().homePage);
    QCOMPARE(releases.value(0), QStringLiteral("1.0.0.3"));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("1.0.0.3"));

    const QString validator = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (validator.isEmpty())
        QSKIP("appstreamcli is not installed (package appstream)");
    const Run validation = run(validator, {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                           QStringLiteral("--pedantic"), path});
    QVERIFY2(validation.exitCode == 0, qPrintable(validation.output));
}

void TestInstall::installedProgramStarts()
{
    // Started from another folder, the installed program comes up and keeps running until
    // it is told to end.
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(m_elsewhere.path());
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(programPath(), {});
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
    QVERIFY2(!program.waitForFinished(2000),
             qPrintable(QStringLiteral("ended with %1: %2")
                            .arg(program.exitCode())
                            .arg(QString::fromLocal8Bit(program.readAll()))));
    program.terminate();
    QVERIFY(program.waitForFinished(10000));
}

void TestInstall::packageDependsOnWhatTheProgramUses()
{
    for (const char *tool : {"dpkg-deb", "dpkg-shlibdeps", "dpkg", "fc-match"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
    }
    const QString deb = package();
    QVERIFY(!deb.isEmpty());
    const auto field = [&deb](const char *name) {
        return run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), deb, QLatin1String(name)})
            .output.trimmed();
    };
    QCOMPARE(field("Package"), QStringLiteral("numbelo"));
    QCOMPARE(field("Version"), QStringLiteral("1.0.0.3"));
    const QString depends = field("Depends");
    QStringList dependencies;
    const auto alternatives = depends.split(u',');
    for (const QString &alternative : alternatives) {
        for (const QString &choice : alternative.split(u'|'))
            dependencies << choice.trimmed().section(u' ', 0, 0);
    }

    // The libraries the program links, found by the package tools.
    QStringList wanted{QStringLiteral("libqt6widgets6"), QStringLiteral("libsdl2-2.0-0"),
                       QStringLiteral("libfluidsynth3")};
    // The instruments the music is played with.
    wanted << QStringLiteral("timgm6mb-soundfont");
    // The package of every font family the windows ask for, on this machine.
    AudioEngine audio(nullptr);
    SystemDesktopOpener desktop;
    const ProgramFolders folders =
        ProgramFolders::forExecutable(QCoreApplication::applicationFilePath());
    const std::unique_ptr<MusicSystem> music = makeSystemMusic(&audio.mixer(), folders);
    TfoMain window({folders, audio, *music, desktop});
    TAboutBox box(&window, audio, desktop);
    QSet<QString> families;
    QWidgetList widgets = window.findChildren<QWidget *>() + box.findChildren<QWidget *>();
    widgets << &window << &box;
    for (const QWidget *widget : std::as_const(widgets))
        families << widget->font().family();
    for (const QString &family : std::as_const(families)) {
        // "Family [foundry]" as Qt names it is "Family:foundry=foundry" to fontconfig.
        QString pattern = family;
        pattern.replace(QRegularExpression(QStringLiteral("^(.+) \\[(.+)\\]$")),
                        QStringLiteral("\\1:foundry=\\2"));
        const Run match = run(QStringLiteral("fc-match"),
                              {QStringLiteral("-f"), QStringLiteral("%{file}"), pattern});
        const Run owner = run(QStringLiteral("dpkg"), {QStringLiteral("-S"), match.output});
        QVERIFY2(owner.exitCode == 0, qPrintable(family + QStringLiteral(": ") + owner.output));
        wanted << owner.output.section(u':', 0, 0);
    }
    for (const QString &package : std::as_const(wanted))
        QVERIFY2(dependencies.contains(package),
                 qPrintable(package + QStringLiteral(" missing from: ") + depends));
}

void TestInstall::packagePassesLintian()
{
    for (const char *tool : {"lintian", "dpkg-shlibdeps"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
    }
    const QString deb = package();
    QVERIFY(!deb.isEmpty());
    QStringList arguments{QStringLiteral("--fail-on"), QStringLiteral("error,warning"), deb};
    // The package is made for /usr whatever prefix this folder was configured with; the menu
    // entry names the program under the configured prefix, which is then not in the package.
    if (QStringLiteral(NUMBELO_INSTALL_PREFIX) != QStringLiteral("/usr"))
        arguments << QStringLiteral("--suppress-tags")
                  << QStringLiteral("desktop-command-not-in-package");
    const Run check = run(QStringLiteral("lintian"), arguments);
    QVERIFY2(check.exitCode == 0, qPrintable(check.output));
}

QString TestInstall::package()
{
    if (m_package.isEmpty()) {
        const Run pack = run(QStringLiteral(NUMBELO_CPACK_COMMAND),
                             {QStringLiteral("--config"),
                              QStringLiteral(NUMBELO_BINARY_DIR "/CPackConfig.cmake"),
                              QStringLiteral("-B"), m_packageDir.path(), QStringLiteral("-D"),
                              QStringLiteral("CPACK_PACKAGING_INSTALL_PREFIX=/usr")});
        const QStringList debs = QDir(m_packageDir.path()).entryList({QStringLiteral("*.deb")});
        if (pack.exitCode != 0 || debs.size() != 1)
            qWarning("%s", qPrintable(pack.output));
        else
            m_package = m_packageDir.filePath(debs.first());
    }
    return m_package;
}

QTEST_MAIN(TestInstall)
#include "test_install.moc"
