// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/MusicProblem.h"

#include <functional>
#include <memory>

class Mixer;
struct ProgramFolders;

// One piece of music opened on the system's sequencer: what the music control drives. Every
// function belongs to the thread that made the device (the window's); the end of a piece and a
// failure after the fact come back on that thread, through its event queue.
class MusicDevice
{
  public:
    virtual ~MusicDevice() = default;

    // Called when a piece that play() started reaches its end; not for a play that stop(), a
    // later play() or the device's end cut short.
    void setEndHandler(std::function<void()> handler) { m_endHandler = std::move(handler); }
    // Called when a play that was under way could not go on (its instruments failed to load);
    // that play has then ended.
    void setFailureHandler(std::function<void(const MusicProblem &)> handler)
    {
        m_failureHandler = std::move(handler);
    }

    // Opens the music file at `path`, checking it completely.
    virtual MusicProblem open(const QString &path) = 0;
    // Whatever the device needs before it can play at all (a synthesizer loaded when the music
    // is first wanted); every play fails the same way until it is there.
    virtual MusicProblem prepare() { return {}; }
    // Plays from the current position; at the end of the piece, from the start when
    // `rewindAtEnd`. Playing while playing goes on where it is.
    virtual MusicProblem play(bool rewindAtEnd) = 0;
    // Pauses: the position stays, and the next play() goes on from it.
    virtual MusicProblem stop() = 0;
    virtual bool isPlaying() const = 0;
    // Where playing is and where the piece ends, in the device's own units.
    virtual int position() const = 0;
    virtual int length() const = 0;
    // For code that renders the music itself (tests and tools): blocks until what the first
    // play() started loading is in.
    virtual void waitUntilReady() {}

  protected:
    void pieceEnded()
    {
        if (m_endHandler)
            m_endHandler();
    }
    void failed(const MusicProblem &problem)
    {
        if (m_failureHandler)
            m_failureHandler(problem);
    }

  private:
    std::function<void()> m_endHandler;
    std::function<void(const MusicProblem &)> m_failureHandler;
};

// The system's music: makes a device for every piece opened.
class MusicSystem
{
  public:
    virtual ~MusicSystem() = default;
    virtual std::unique_ptr<MusicDevice> makeDevice() = 0;
};

// The music of the system the program runs on, played into `mixer` where the system's
// sequencer needs one (null: there is no sound output), with what it needs found through
// `folders`.
std::unique_ptr<MusicSystem> makeSystemMusic(Mixer *mixer, const ProgramFolders &folders);
