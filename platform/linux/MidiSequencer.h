// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/Mixer.h"

#include <QLoggingCategory>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>

Q_DECLARE_LOGGING_CATEGORY(lcMusic)

namespace FluidSynthLibrary {
struct Functions;
}

// Plays one MIDI file with FluidSynth's player and synthesizer, rendered as the mixer's music
// source: the music shares the effects' output stream and needs no device of its own.
//
// Threads: every function but render() belongs to the thread that created the sequencer (the
// window's). render() runs on the audio thread with the mixer's lock held; the functions that
// change the player take the same lock, so the two never touch FluidSynth at once. The end of
// a piece is seen on the audio thread and handed back through the creating thread's event
// queue, never called from the audio thread.
//
// Opening checks the MIDI file completely and makes sure the instruments exist, but loads
// neither FluidSynth nor the instruments: the library takes a few milliseconds, the
// instruments a tenth of a second and some 17 MB, which a program whose music is off at every
// start need not spend while it starts. The first play() loads the library, then the
// instruments on a worker thread, and returns at once; the piece starts from its beginning as
// soon as they are in.
class MidiSequencer final : public MusicSource
{
  public:
    // `mixer` may be null: then open() fails, as there is nowhere to play.
    explicit MidiSequencer(Mixer *mixer);
    ~MidiSequencer() override;
    MidiSequencer(const MidiSequencer &) = delete;
    MidiSequencer &operator=(const MidiSequencer &) = delete;

    // Called, on the creating thread through its event queue, when a piece that play() started
    // reaches its end. Not called for a play that stop(), a later play() or close() cut short.
    void setEndHandler(std::function<void()> handler) { m_endHandler = std::move(handler); }
    // Called likewise when the instruments could not be loaded for a play that was waiting
    // for them, with the reason; that play has then ended.
    void setFailureHandler(std::function<void(const QString &)> handler)
    {
        m_failureHandler = std::move(handler);
    }

    // Opens `midiPath` with the first usable SoundFont of `soundFonts`. On failure returns
    // false with a message for the user in `error`.
    bool open(const QString &midiPath, const QStringList &soundFonts, QString *error);
    // Stops and forgets the piece; the music source is detached from the mixer first.
    void close();
    bool isOpen() const { return m_open; }

    // Loads FluidSynth, unless done already, on the calling thread: play() does it first.
    // Returns false, with a message for the user in `error`, when the library is missing.
    bool loadSynthesizer(QString *error);
    // Plays from the current position; at the end of the piece, from the start when
    // `rewindAtEnd`. Playing while playing goes on where it is. Fails when FluidSynth is
    // missing or loading the instruments has failed.
    bool play(bool rewindAtEnd, QString *error);
    // Blocks until the instruments that the first play() started loading are in (at once if
    // no load is under way). For code that renders the music itself, such as tests and tools.
    void waitUntilLoaded();
    // Pauses: the position stays, and the next play() goes on from it.
    bool stop(QString *error);
    bool isPlaying() const { return m_playing; }

    // In MIDI ticks: where playing is (past the length once the piece has ended), and where
    // the last track ends.
    int position() const;
    int length() const { return m_length; }
    // The SoundFont in use (empty while closed).
    QString soundFont() const { return m_soundFont; }

    void render(float *out, int frames) override;
    bool active() const override;

  private:
    struct Engine;
    struct EngineDeleter
    {
        void operator()(Engine *engine) const;
    };
    using EnginePtr = std::unique_ptr<Engine, EngineDeleter>;
    // What the worker thread hands over: the engine, or why there is none.
    struct Loaded
    {
        EnginePtr engine;
        QString error;
    };

    static Loaded loadEngine(const FluidSynthLibrary::Functions &fluid, const QByteArray &midi,
                             const QString &soundFont, MidiSequencer *owner);
    static int tickCallback(void *data, int tick);
    void startLoading();
    void install(Loaded loaded);
    void tickReached(int tick);
    void postEnd(std::uint64_t run);
    void pieceEnded(std::uint64_t run);
    void loadFailed(std::uint64_t run);
    void silenceNotes();
    void rampGain(float *out, int frames);

    Mixer *m_mixer = nullptr;
    std::function<void()> m_endHandler;
    std::function<void(const QString &)> m_failureHandler;
    // Lives on the creating thread: the end of a piece is queued to it. Destroying it drops
    // an end still in the queue.
    QObject m_notifier;

    // The creating thread's view.
    const FluidSynthLibrary::Functions *m_fluid = nullptr;
    bool m_open = false;
    bool m_playing = false;
    int m_length = 0;
    QString m_soundFont;
    QByteArray m_midi;
    std::future<void> m_loading;

    // Shared with the audio thread and the loading thread: read and written only with the
    // mixer's lock held.
    EnginePtr m_engine;
    bool m_loadFailed = false;
    QString m_loadError;
    bool m_running = false;   // the player is meant to advance
    std::uint64_t m_run = 0;  // counts plays and stops; an end is only for its own run
    int m_tick = 0;           // the player's position
    bool m_endArmed = false;  // a tick before the end was seen since the last play
    bool m_endPosted = false; // the end of this run has been handed back already
    int m_quietFrames = 0;    // rendered since the player stopped and the voices died away
    bool m_silenced = false;  // stopped: the output fades to nothing
    float m_gain = 1.0f;      // the level the last frame was rendered at
};
