// SPDX-License-Identifier: GPL-3.0-or-later
// A line edit, a message box and check-result.txt say whether SDL2.dll, opened from the program's
// folder, started audio on the disk driver; quits after argv[1] s (10). CHECK_TEST: a QtTest test.
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#ifdef CHECK_TEST
#include <QTest>
class LineEditTest : public QObject
{
    Q_OBJECT
  private slots:
    void typing()
    {
        QLineEdit edit;
        QTest::keyClicks(&edit, QStringLiteral("7+5"));
        QCOMPARE(edit.text(), QStringLiteral("7+5"));
    }
};
QTEST_MAIN(LineEditTest)
#include "check.moc"
#else
#include <QDir>
#include <QFile>
#include <QStyle>
#include <QTimer>
#define SDL_MAIN_HANDLED // or SDL.h renames main() to SDL_main
#include <SDL.h>
#include <windows.h>
static QString startSdlAudio()
{
    const HMODULE sdl = LoadLibraryW(qUtf16Printable(
        QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + "/SDL2.dll")));
#define RESOLVE(name) reinterpret_cast<decltype(&name)>(GetProcAddress(sdl, #name))
    const auto init = RESOLVE(SDL_InitSubSystem);
    const auto driver = RESOLVE(SDL_GetCurrentAudioDriver);
    qputenv(SDL_HINT_AUDIODRIVER, "disk"); // SDL reads each hint from the environment too
    if (!sdl || !init || !driver || init(SDL_INIT_AUDIO) != 0)
        return QStringLiteral("SDL2.dll or its audio failed to start");
    return QStringLiteral("SDL audio driver: ") + QString::fromUtf8(driver());
}
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString result = QStringLiteral("%1; Qt platform: %2; style: %3")
                               .arg(startSdlAudio(), app.platformName(), app.style()->name());
    QLineEdit edit(result);
    edit.show();
    QMessageBox box(QMessageBox::Information, QStringLiteral("Toolchain check"), result);
    box.show();
    QFile out(QCoreApplication::applicationDirPath() + QStringLiteral("/check-result.txt"));
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        out.write(result.toUtf8() + '\n');
    QTimer::singleShot(QByteArray(argc > 1 ? argv[1] : "10").toInt() * 1000, &app,
                       &QApplication::quit);
    return app.exec();
}
#endif
