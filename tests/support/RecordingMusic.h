// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/MusicDevice.h"

#include <QCoreApplication>
#include <QObject>
#include <QStringList>
#include <memory>

// The system's music as a device that plays nothing and writes down, in `log`, every command
// the music control gives it: "open <file>", "prepare", "play" (with "rewind" when asked to go
// back to the start at the end), "stop", "mode", "position", "length" and "close". The test
// moves the piece on, plays it to its end (as a sequencer reports it: through the event queue),
// and chooses the failures.
class RecordingMusicDevice final : public MusicDevice
{
  public:
    static constexpr int pieceLength = 1000;

    // `lastMade`, when given, points at this device until it goes.
    RecordingMusicDevice(QStringList &log, RecordingMusicDevice **lastMade)
        : m_log(log), m_lastMade(lastMade)
    {
    }
    ~RecordingMusicDevice() override
    {
        m_log << QStringLiteral("close");
        if (m_lastMade != nullptr && *m_lastMade == this)
            *m_lastMade = nullptr;
    }

    MusicProblem open(const QString &path) override
    {
        m_log << QStringLiteral("open ") + path;
        return openProblem;
    }
    MusicProblem prepare() override
    {
        m_log << QStringLiteral("prepare");
        return prepareProblem;
    }
    MusicProblem play(bool rewindAtEnd) override
    {
        m_log << (rewindAtEnd ? QStringLiteral("play rewind") : QStringLiteral("play"));
        if (playProblem)
            return playProblem;
        ++m_plays;
        if (rewindAtEnd && at >= pieceLength)
            at = 0;
        m_playing = at < pieceLength;
        if (!m_playing)
            postEnd(); // nothing left to play: it ends at once
        return {};
    }
    MusicProblem stop() override
    {
        m_log << QStringLiteral("stop");
        ++m_plays;
        m_playing = false;
        return stopProblem;
    }
    bool isPlaying() const override
    {
        m_log << QStringLiteral("mode");
        return m_playing;
    }
    int position() const override
    {
        m_log << QStringLiteral("position");
        return at;
    }
    int length() const override
    {
        m_log << QStringLiteral("length");
        return pieceLength;
    }

    // Plays the piece to its end; the end is told through the event queue.
    void playToTheEnd()
    {
        if (!m_playing)
            return;
        at = pieceLength;
        m_playing = false;
        postEnd();
    }
    // A play under way that cannot go on.
    void failWhilePlaying(const MusicProblem &problem)
    {
        m_playing = false;
        failed(problem);
    }

    int at = 0; // where the piece is
    MusicProblem openProblem, prepareProblem, playProblem, stopProblem;

  private:
    // An end still queued when a later play, stop or the close comes belongs to a play that is
    // over, and is dropped, as the sequencers drop theirs.
    void postEnd()
    {
        QMetaObject::invokeMethod(
            &m_context,
            [this, play = m_plays] {
                if (play == m_plays)
                    pieceEnded();
            },
            Qt::QueuedConnection);
    }

    QStringList &m_log;
    RecordingMusicDevice **m_lastMade;
    bool m_playing = false;
    int m_plays = 0;   // commands given that end a play: an end queued before them is stale
    QObject m_context; // drops an end still queued when the device goes
};

// Makes a recording device for every Open; `device` is the last one made.
class RecordingMusic final : public MusicSystem
{
  public:
    std::unique_ptr<MusicDevice> makeDevice() override
    {
        auto made = std::make_unique<RecordingMusicDevice>(log, &device);
        made->openProblem = nextOpenProblem;
        device = made.get();
        return made;
    }

    QStringList log;
    RecordingMusicDevice *device = nullptr; // the last made; null once the control closed it
    MusicProblem nextOpenProblem;
};
