// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/AudioOutput.h"
#include "platform/portable/Mixer.h"
#include "platform/portable/SoundSink.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

// Plays the program's sound effects: finds a file in the sound folders, decodes it once and
// keeps it, and hands it to the mixer's effect voice, cutting off the sound before it. A
// file that is missing or unreadable plays the default chime instead. Without an output
// device everything still works, silently.
//
// The output device is open only while sound may come. Nothing is loaded or opened until
// start(), which the program calls once its window is on the screen: then a worker thread
// decodes every sound of the folders and opens the output. With nothing to play for the idle
// time (and the music off) the output closes, and the next sign of activity, wake(), opens it
// again. A sound asked for while the output is closed or opening plays, from its start, as
// soon as it runs; one asked for before its file is decoded plays once it is.
//
// Threads: every function belongs to the thread that created the engine (the window's), except
// mixer(), which the audio thread uses too. Opening, closing and decoding run on the worker.
class AudioEngine : public SoundSink
{
  public:
    static constexpr std::chrono::milliseconds defaultIdleTimeout{30000};

    // `output` may be null: then nothing is played on a device, sounds are decoded when first
    // asked for, and tests drive mixer().mix().
    explicit AudioEngine(std::unique_ptr<AudioOutput> output);
    ~AudioEngine() override;
    AudioEngine(const AudioEngine &) = delete;
    AudioEngine &operator=(const AudioEngine &) = delete;

    // The folders searched, in order, for every sound.
    void setSoundFolders(const QStringList &folders);
    QStringList soundFolders() const;

    // Decodes every sound of the folders on the worker thread, the ones already asked for
    // first, and opens the output.
    void start();
    // A sign that a sound may come soon: opens the output if it is closed, and starts the
    // idle time again.
    void wake();
    // How long the output stays open with nothing to play.
    void setIdleTimeout(std::chrono::milliseconds timeout) { m_idleTimeout = timeout; }

    void playSound(const QString &name) override;

    Mixer &mixer() { return m_mixer; }
    // Whether a device (real or the silent fallback) is pulling samples.
    bool hasOutput() const;
    int periodFrames() const;
    int sampleRate() const;

    // The decoded sound for `name` as it would be played (the default chime when the file
    // cannot be used). Loads and keeps it on first use.
    std::shared_ptr<const Sound> sound(const QString &name);
    // Blocks until the sounds start() decodes are all in.
    void waitUntilPreloaded();

  private:
    enum class OutputState
    {
        Closed,
        Open,
        Failed // neither the system's device nor the silent one: stays silent
    };

    void work();
    bool outputNeedsChange() const;
    // The sound for `name` from the cache, or loaded (with the lock let go meanwhile) and
    // kept. With m_mutex held by `guard`.
    std::shared_ptr<const Sound> cachedOrLoaded(std::unique_lock<std::mutex> &guard,
                                                const QString &name);
    // Keeps the output open, or opens it, for the idle time and `extra`.
    void keepOpen(std::chrono::milliseconds extra);
    void idleTimeReached();

    Mixer m_mixer;
    std::unique_ptr<AudioOutput> m_output;
    std::chrono::milliseconds m_idleTimeout = defaultIdleTimeout;
    QTimer m_idleTimer;
    bool m_started = false;
    std::thread m_worker;

    // Shared with the worker: read and written with m_mutex held.
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    QStringList m_folders;
    QHash<QString, std::shared_ptr<const Sound>> m_cache; // by lower-case name
    bool m_listed = false;                                // m_toDecode holds what the folders have
    std::vector<std::pair<QString, QString>> m_toDecode;  // lower-case name, path; last first
    bool m_preloaded = false; // every sound of the folders is in the cache
    QString m_waiting;        // the sound asked for before it was decoded
    bool m_wantOpen = false;
    OutputState m_state = OutputState::Closed;
    bool m_quit = false;
};
