// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/SystemDesktopOpener.h"

#include <QDesktopServices>
#include <QLoggingCategory>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <utility>

// Warnings only, unless turned on (README.md lists every category).
Q_LOGGING_CATEGORY(lcDesktop, "numbelo.desktop", QtWarningMsg)

SystemDesktopOpener::SystemDesktopOpener(std::chrono::milliseconds watch) : m_watch(watch) {}

SystemDesktopOpener::~SystemDesktopOpener()
{
    // An xdg-open still running waits for the program it started for a file. Only xdg-open
    // itself ends with the program: the editor, its child, stays open, as it would have after
    // a plain start.
    const QList<QProcess *> running = m_openers.findChildren<QProcess *>();
    for (QProcess *opener : running) {
        opener->disconnect();
        opener->kill();
        opener->waitForFinished(1000);
    }
}

bool SystemDesktopOpener::openUrl(const QUrl &url)
{
    const bool opened = QDesktopServices::openUrl(url);
    if (!opened)
        qCInfo(lcDesktop) << "the desktop has no program to open" << url.toDisplayString();
    return opened;
}

bool SystemDesktopOpener::openFile(const QString &path, std::function<void()> notShown)
{
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty()) {
        qCInfo(lcDesktop) << "no xdg-open to open" << path;
        return false;
    }
    auto *opener = new QProcess(&m_openers);
    opener->setProgram(xdgOpen);
    opener->setArguments({path});
    opener->setStandardInputFile(QProcess::nullDevice());
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setStandardErrorFile(QProcess::nullDevice());
    opener->start();
    if (!opener->waitForStarted()) {
        qCInfo(lcDesktop) << "xdg-open did not start:" << opener->errorString();
        delete opener;
        return false;
    }
    // Past the watch, xdg-open's end no longer says whether the file was shown.
    auto pending = std::make_shared<std::function<void()>>(std::move(notShown));
    QTimer::singleShot(m_watch, opener, [pending] { *pending = nullptr; });
    QObject::connect(opener, &QProcess::finished, opener,
                     [opener, pending, path](int code, QProcess::ExitStatus status) {
                         opener->deleteLater();
                         if (status == QProcess::NormalExit && code == 0)
                             return;
                         qCInfo(lcDesktop)
                             << "xdg-open could not show" << path << "status" << code << status;
                         if (const std::function<void()> tell = std::exchange(*pending, nullptr))
                             tell();
                     });
    return true;
}

std::unique_ptr<DesktopOpener> makeSystemDesktopOpener()
{
    return std::make_unique<SystemDesktopOpener>();
}
