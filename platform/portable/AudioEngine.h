// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/AudioOutput.h"
#include "platform/portable/Mixer.h"
#include "platform/portable/OutputKeeper.h"
#include "platform/portable/SoundCache.h"
#include "platform/portable/SoundSink.h"
#include "platform/portable/Worker.h"

#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>
#include <mutex>

// Plays the program's sound effects: takes each from the sound cache and hands it to the
// mixer's effect voice, cutting off the sound before it, while the output keeper has the
// device open. Without an output device everything still works, silently.
//
// Nothing is loaded or opened until start(), which the program calls once its window is on
// the screen: then the sound worker opens the device and decodes every sound of the folders.
// A sound asked for while the device is closed or opening plays, from its start, as soon as it
// runs; one asked for before its file is decoded is decoded first, and plays then.
//
// Threads (platform/README.md): every function belongs to the thread that made the engine (the
// window's), except mixer(), which the output's thread uses too; decoding, opening and closing
// run on the sound worker.
class AudioEngine : public SoundSink
{
  public:
    static constexpr std::chrono::milliseconds defaultIdleTimeout =
        OutputKeeper::defaultIdleTimeout;

    // `output` may be null: then nothing is played on a device, sounds are decoded when first
    // asked for, and tests drive mixer().mix().
    explicit AudioEngine(std::unique_ptr<AudioOutput> output);
    ~AudioEngine() override;
    AudioEngine(const AudioEngine &) = delete;
    AudioEngine &operator=(const AudioEngine &) = delete;

    // The folders searched, in order, for every sound.
    void setSoundFolders(const QStringList &folders);

    // Opens the output and decodes every sound of the folders, the ones already asked for
    // first, on the sound worker.
    void start();
    // A sign that a sound may come soon: opens the output if it is closed, and starts the idle
    // time again.
    void wake() { m_output.wake(); }
    // How long the output stays open with nothing to play.
    void setIdleTimeout(std::chrono::milliseconds timeout) { m_output.setIdleTimeout(timeout); }
    // How often an open device is checked for having gone away.
    void setCheckInterval(std::chrono::milliseconds interval)
    {
        m_output.setCheckInterval(interval);
    }

    void playSound(const QString &name) override;

    Mixer &mixer() { return m_mixer; }
    // Whether a device (real or the silent fallback) is pulling samples.
    bool hasOutput() const { return m_output.isOpen(); }
    int periodFrames() const { return m_output.periodFrames(); }
    int sampleRate() const { return m_output.sampleRate(); }

    // The decoded sound for `name` as it would be played (the default chime when the file
    // cannot be used). Decodes and keeps it on first use.
    std::shared_ptr<const Sound> sound(const QString &name) { return m_cache.load(name); }
    // Blocks until the sounds start() decodes are all in.
    void waitUntilPreloaded();

  private:
    // On the worker: decodes the sound a play waits for and starts it, unless another came.
    void playWhenDecoded(const QString &name);
    // On the worker: lists the folders' sounds and queues each for decoding.
    void preload();

    // Declared in the order they must outlive each other: the worker, which runs jobs on all
    // of them, goes first.
    Mixer m_mixer;
    SoundCache m_cache;
    OutputKeeper m_output;
    std::mutex m_mutex;
    QString m_waiting;        // the sound asked for before it was decoded; with m_mutex
    bool m_preloaded = false; // every sound of the folders is in; with m_mutex
    Worker m_worker;
};
