// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/Mixer.h"
#include "platform/portable/MusicDevice.h"
#include "platform/portable/Worker.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <mutex>

struct FluidSynthEngine;
namespace FluidSynthLibrary {
struct Functions;
}

// Plays one MIDI file with FluidSynth's player and synthesizer, rendered as the mixer's music
// source: the music shares the effects' output stream and needs no device of its own. This class
// holds the commands and where the piece is; the synthesizer they drive, its making and its
// teardown are FluidSynthEngine's, the library FluidSynthLibrary's.
//
// Opening checks the MIDI file completely and makes sure the instruments exist, but loads
// neither FluidSynth nor the instruments: the library takes a few milliseconds, the
// instruments a tenth of a second and some 17 MB, which a program whose music is off at every
// start need not spend while it starts. The first play() loads the library, then the
// instruments on the sequencer's loader thread, and returns at once; the piece starts from its
// beginning as soon as they are in.
//
// Threads (platform/README.md): every function but render() and active() belongs to the thread
// that made the sequencer (the window's). render() and active() run on the output's thread with
// the mixer's lock held; what they share with the window's thread is read and written only
// under that lock. The loader builds the synthesizer on its own and hands it back through the
// window's event queue, as the end of a piece is handed back from the output's thread.
class FluidSynthSequencer final : public MusicDevice, public MusicSource
{
  public:
    // Plays into `mixer` (null: nowhere to play, and open() fails) with the first SoundFont of
    // `soundFonts` and the FluidSynth library file `library` (empty: the system's).
    FluidSynthSequencer(Mixer *mixer, QStringList soundFonts, QByteArray library);
    // Stops and forgets the piece; the music source is detached from the mixer first.
    ~FluidSynthSequencer() override;
    FluidSynthSequencer(const FluidSynthSequencer &) = delete;
    FluidSynthSequencer &operator=(const FluidSynthSequencer &) = delete;

    MusicProblem open(const QString &path) override;
    // Loads FluidSynth, unless done already.
    MusicProblem prepare() override;
    MusicProblem play(bool rewindAtEnd) override;
    MusicProblem stop() override;
    bool isPlaying() const override;
    // In MIDI ticks: where playing is (past the length once the piece has ended), and where
    // the last track ends.
    int position() const override;
    int length() const override { return m_length; }
    void waitUntilReady() override;
    // The SoundFont the piece is played with.
    QString soundFont() const { return m_soundFont; }

    void render(float *out, int frames) override;
    bool active() const override;

  private:
    // Where the piece is.
    enum class PlayState
    {
        Stopped,  // not playing: never started, stopped, or its end taken by the window
        Starting, // playing from the start after a rewind: the end counts once a tick before
                  // it has gone by
        Playing,  // playing (or waiting for the instruments to start from the beginning)
        Ended,    // the end was reached and handed to the window, which has not taken it yet
    };
    enum class PlayEvent
    {
        Play,          // play from where it is
        PlayRewound,   // play from the start, having been at the end
        PlayAtEnd,     // play at the end without rewinding: ends at once
        Stop,          // stop, or close
        TickBeforeEnd, // the player passed a tick before the end
        TickAtEnd,     // the player reached the end
        EndTaken,      // the window took the end of the piece
        LoadFailed,    // the instruments could not be loaded for a play under way
    };
    // The one place the play state changes: moves it on by `event`. A command (every event
    // but the ticks) starts a new run, so that an end or failure still queued for an earlier
    // run is recognised as nobody's. With the mixer's lock held.
    void advance(PlayEvent event);

    // What the loader hands over: the engine (FluidSynthEngine.h), or why there is none.
    struct Loaded
    {
        std::unique_ptr<FluidSynthEngine> engine;
        MusicProblem problem;
    };

    static int tickCallback(void *data, int tick);
    void startLoading();
    // On the window's thread: installs what the loader made, if it is done.
    void takeLoaded();
    void tickReached(int tick);
    void postEnd(std::uint64_t run);
    void endReached(std::uint64_t run);
    void loadFailed(std::uint64_t run);
    void silenceNotes();
    void rampGain(float *out, int frames);

    Mixer *m_mixer = nullptr;
    QStringList m_soundFonts;
    QByteArray m_library;
    // Lives on the creating thread: what the other threads hand back is queued to it.
    // Destroying it drops whatever is still in the queue.
    QObject m_notifier;

    // The creating thread's view.
    const FluidSynthLibrary::Functions *m_fluid = nullptr;
    bool m_open = false;
    int m_length = 0;
    QString m_soundFont;
    QByteArray m_midi;
    bool m_loadStarted = false;

    // Handed from the loader to the creating thread.
    std::mutex m_loadedMutex;
    std::unique_ptr<Loaded> m_loaded;

    // Shared with the output's thread: read and written only with the mixer's lock held.
    std::unique_ptr<FluidSynthEngine> m_engine;
    MusicProblem m_loadProblem; // why the instruments could not be loaded
    PlayState m_state = PlayState::Stopped;
    std::uint64_t m_run = 0; // counts commands; an end is only for its own run
    int m_tick = 0;          // the player's position
    int m_quietFrames = 0;   // rendered since the player stopped and the voices died away
    bool m_silenced = false; // stopped: the output fades to nothing
    float m_gain = 1.0f;     // the level the last frame was rendered at

    // Last, so that it ends first: a load under way uses everything above.
    Worker m_loader{"MusicLoader"};
};

// The music of this system: FluidSynth, rendered into the program's mixer.
class FluidSynthMusic final : public MusicSystem
{
  public:
    // As for the sequencer.
    FluidSynthMusic(Mixer *mixer, QStringList soundFonts, QByteArray library = {});
    std::unique_ptr<MusicDevice> makeDevice() override;

  private:
    Mixer *m_mixer;
    QStringList m_soundFonts;
    QByteArray m_library;
};
