// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "music/TMediaPlayer.h"

#include <QStringList>
#include <QTest>
#include <functional>

// Which notifications the music control gives for a sequence of commands, whatever sequencer
// is under it: the table the tests share that drive the control over the system's sequencer and
// over a device that only writes the commands down.
namespace MusicNotifications {

// Columns: the commands ("play", "stop", "open", "close", "notify+" and "notify-" as the
// control's own; "end" plays the piece past its end without letting notifications through yet),
// the notifications then delivered, and whether a play still waits for the end of the piece.
inline void addRows()
{
    QTest::addColumn<QString>("commands");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("stillWaiting");
    QTest::newRow("play waits for the end") << "play" << QStringList{} << true;
    QTest::newRow("stop aborts the waiting play") << "play stop" << QStringList{"aborted"} << false;
    QTest::newRow("stop asked to notify")
        << "play notify+ stop" << QStringList{"aborted", "successful"} << false;
    QTest::newRow("play asked not to notify") << "notify- play stop" << QStringList{} << false;
    QTest::newRow("the mark holds for one command only")
        << "notify- play stop play stop" << QStringList{"aborted"} << false;
    QTest::newRow("the last setting counts")
        << "play notify+ notify- stop" << QStringList{"aborted"} << false;
    QTest::newRow("a second play supersedes") << "play play" << QStringList{"superseded"} << true;
    QTest::newRow("a second play without notify supersedes too")
        << "play notify- play stop" << QStringList{"superseded"} << false;
    QTest::newRow("close aborts") << "play close" << QStringList{"aborted"} << false;
    QTest::newRow("open aborts and may notify itself")
        << "play notify+ open" << QStringList{"aborted", "successful"} << false;
    QTest::newRow("an end already reached but not yet delivered is aborted by stop")
        << "play end stop" << QStringList{"aborted"} << false;
    QTest::newRow("an end not yet delivered is superseded by play")
        << "play end play" << QStringList{"superseded"} << true;
    QTest::newRow("stop before play notifies when asked")
        << "notify+ stop" << QStringList{"successful"} << false;
    QTest::newRow("the piece ends") << "play end" << QStringList{"successful"} << false;
}

inline QString nameOf(TMediaPlayer::TMPNotifyValues value)
{
    using Values = TMediaPlayer::TMPNotifyValues;
    switch (value) {
    case Values::nvSuccessful:
        return QStringLiteral("successful");
    case Values::nvSuperseded:
        return QStringLiteral("superseded");
    case Values::nvAborted:
        return QStringLiteral("aborted");
    case Values::nvFailure:
        return QStringLiteral("failure");
    }
    return QStringLiteral("?");
}

// Gives `player`, opened, the commands of the current row; `playToTheEnd` plays the piece past
// its end without letting the event queue through.
inline void run(TMediaPlayer &player, const QString &commands,
                const std::function<void()> &playToTheEnd)
{
    for (const QString &command : commands.split(u' ')) {
        if (command == u"play")
            player.Play();
        else if (command == u"stop")
            player.Stop();
        else if (command == u"open")
            player.Open();
        else if (command == u"close")
            player.Close();
        else if (command == u"notify+")
            player.setNotify(true);
        else if (command == u"notify-")
            player.setNotify(false);
        else if (command == u"end")
            playToTheEnd();
        else
            QFAIL(qPrintable(command));
    }
}

// Checks the notifications `notified` collected for the current row: none from inside a
// command, the expected ones once the event queue has run, and later only the end of a play
// that still waits for it, once `playOn` has played the piece to its end, letting the event
// queue through.
inline void check(const QStringList &notified, const QString &commands,
                  const std::function<void()> &playOn)
{
    QFETCH(QStringList, expected);
    QFETCH(bool, stillWaiting);
    // Notifications come through the event queue, never from inside a command.
    QVERIFY(notified.isEmpty() || commands.endsWith(u"end"));
    QCoreApplication::processEvents();
    QCOMPARE(notified, expected);
    // Later only the end of a play still waiting for it; never an end a command cut short.
    if (stillWaiting)
        expected << QStringLiteral("successful");
    playOn();
    QCoreApplication::processEvents();
    QCOMPARE(notified, expected);
}

} // namespace MusicNotifications
