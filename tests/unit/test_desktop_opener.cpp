// SPDX-License-Identifier: GPL-3.0-or-later
// The readme handed to the desktop's opener, xdg-open, as the program hands it: played here by
// small scripts that stand in for xdg-open on the PATH and end as a real one ends.
#include "platform/linux/SystemDesktopOpener.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;

class TestDesktopOpener : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanupTestCase();
    void fileNotShownIsTold_data();
    void fileNotShownIsTold();

  private:
    QTemporaryDir m_dir;
    QByteArray m_path;
};

void TestDesktopOpener::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_path = qgetenv("PATH");
}

void TestDesktopOpener::cleanupTestCase()
{
    qputenv("PATH", m_path);
}

// What the stand-in does after writing down what it was asked: "" (no xdg-open at all), or the
// end of its script. The opener watches for 600 ms.
void TestDesktopOpener::fileNotShownIsTold_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("started");
    QTest::addColumn<bool>("told"); // notShown was called
    QTest::newRow("no xdg-open") << "" << false << false;
    QTest::newRow("no program for text, at once") << "exit 3" << true << true;
    QTest::newRow("the action failed, a moment later") << "/bin/sleep 0.2; exit 4" << true << true;
    QTest::newRow("crashed") << "kill -SEGV $$" << true << true;
    QTest::newRow("opened") << "exit 0" << true << false;
    QTest::newRow("editor still open") << "/bin/sleep 2" << true << false;
    QTest::newRow("failed only after the watch") << "/bin/sleep 1.2; exit 4" << true << false;
}

void TestDesktopOpener::fileNotShownIsTold()
{
    QFETCH(QString, script);
    QFETCH(bool, started);
    QFETCH(bool, told);
    // A folder of its own for each row: the PATH holds this stand-in alone.
    const QString bin = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(bin));
    const QString asked = bin + QStringLiteral("/asked.txt");
    if (!script.isEmpty()) {
        QFile xdgOpen(bin + QStringLiteral("/xdg-open"));
        QVERIFY(xdgOpen.open(QIODevice::WriteOnly));
        xdgOpen.write(
            QStringLiteral("#!/bin/sh\necho \"$1\" >'%1'\n%2\n").arg(asked, script).toUtf8());
        xdgOpen.close();
        QVERIFY(xdgOpen.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    qputenv("PATH", bin.toLocal8Bit());

    int calls = 0;
    {
        SystemDesktopOpener opener(600ms);
        const QString readme = QStringLiteral("/tmp/Numbelo dan kawan/readme.txt");
        QCOMPARE(opener.openFile(readme, [&calls] { ++calls; }), started);
        if (started) {
            QTRY_VERIFY(QFile::exists(asked));
            QFile file(asked);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll().trimmed(), readme.toUtf8());
        }
        QTest::qWait(1500);
    }
    QCOMPARE(calls, told ? 1 : 0);
}

QTEST_MAIN(TestDesktopOpener)
#include "test_desktop_opener.moc"
