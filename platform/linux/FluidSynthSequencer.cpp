// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/FluidSynthSequencer.h"

#include "platform/linux/FluidSynthEngine.h"
#include "platform/portable/MidiFile.h"
#include "platform/portable/ProgramFolders.h"

#include <algorithm>

namespace {
// After the player stops and the last voice has died away, the reverb still rings for a
// moment; after that the synthesizer is not run at all until the next play.
constexpr int reverbTailFrames = 2 * Audio::sampleRate;
const QString instrumentsPackage = QLatin1String(FluidSynthLibrary::instrumentsPackage);
} // namespace

FluidSynthSequencer::FluidSynthSequencer(Mixer *mixer, QStringList soundFonts, QByteArray library)
    : m_mixer(mixer), m_soundFonts(std::move(soundFonts)),
      m_library(library.isEmpty() ? QByteArray(FluidSynthLibrary::defaultFileName) : library)
{}

FluidSynthSequencer::~FluidSynthSequencer()
{
    if (!m_open)
        return;
    // Nothing renders from the engine once the mixer lets go of it.
    m_mixer->setMusicSource(nullptr);
    m_loader.waitUntilIdle();
}

MusicProblem FluidSynthSequencer::open(const QString &path)
{
    if (m_mixer == nullptr)
        return {MusicProblem::Kind::NoOutput};
    MidiFileRead midi = readMidiFile(path);
    if (!midi.check.playable())
        return {midi.check.problem, path};
    const FoundSoundFont found = findSoundFont(m_soundFonts);
    if (found.path.isEmpty() && found.unusable.isEmpty())
        return {MusicProblem::Kind::NoInstruments, {}, {}, instrumentsPackage};
    if (found.path.isEmpty())
        return {MusicProblem::Kind::InstrumentsUnusable, found.unusable, {}, instrumentsPackage};

    qCDebug(lcMusic) << "opening" << path << "with" << found.path << "length"
                     << midi.check.summary.lengthTicks << "ticks";
    m_length = midi.check.summary.lengthTicks;
    m_soundFont = found.path;
    m_midi = std::move(midi.bytes);
    {
        auto guard = m_mixer->lock();
        m_quietFrames = reverbTailFrames;
    }
    m_mixer->setMusicSource(this);
    m_open = true;
    return {};
}

MusicProblem FluidSynthSequencer::prepare()
{
    MusicProblem problem;
    if (m_fluid == nullptr)
        m_fluid = FluidSynthLibrary::load(m_library, &problem);
    return problem;
}

void FluidSynthSequencer::startLoading()
{
    if (m_loadStarted)
        return;
    m_loadStarted = true;
    m_loader.post([this, fluid = m_fluid, midi = m_midi, soundFont = m_soundFont] {
        auto loaded = std::make_unique<Loaded>();
        loaded->engine = FluidSynthEngine::build(
            *fluid, midi, soundFont, &FluidSynthSequencer::tickCallback, this, &loaded->problem);
        {
            std::lock_guard guard(m_loadedMutex);
            m_loaded = std::move(loaded);
        }
        QMetaObject::invokeMethod(
            &m_notifier, [this] { takeLoaded(); }, Qt::QueuedConnection);
    });
}

void FluidSynthSequencer::takeLoaded()
{
    std::unique_ptr<Loaded> loaded;
    {
        std::lock_guard guard(m_loadedMutex);
        loaded = std::move(m_loaded);
    }
    if (!loaded)
        return;
    auto guard = m_mixer->lock();
    if (!loaded->engine) {
        m_loadProblem = loaded->problem;
        qCWarning(lcMusic) << "loading the instruments failed:" << int(m_loadProblem.kind)
                           << m_loadProblem.file;
        // The play waiting for them ends, through the event queue as every end does.
        if (m_state != PlayState::Stopped) {
            const std::uint64_t run = m_run;
            QMetaObject::invokeMethod(
                &m_notifier, [this, run] { loadFailed(run); }, Qt::QueuedConnection);
        }
        return;
    }
    m_engine = std::move(loaded->engine);
    // A play that came while loading starts now, from the beginning.
    if (m_state == PlayState::Playing &&
        m_engine->fluid.fluid_player_play(m_engine->player) == FLUID_OK)
        m_quietFrames = 0;
}

void FluidSynthSequencer::waitUntilReady()
{
    m_loader.waitUntilIdle();
    takeLoaded();
}

MusicProblem FluidSynthSequencer::play(bool rewindAtEnd)
{
    if (!m_open)
        return {MusicProblem::Kind::NotOpen};
    if (MusicProblem problem = prepare())
        return problem;
    startLoading();
    // The output must run while the music plays, and while its instruments load.
    m_mixer->wake();
    auto guard = m_mixer->lock();
    if (m_loadProblem)
        return m_loadProblem;
    m_silenced = false;
    if (!m_engine) {
        // Still loading: the player starts, from the beginning, once the instruments are in.
        advance(PlayEvent::Play);
        return {};
    }
    const bool atEnd = m_tick >= m_length;
    if (atEnd && !rewindAtEnd) {
        // Nothing is left to play: this play ends at once.
        advance(PlayEvent::PlayAtEnd);
        return {};
    }
    if (atEnd) {
        if (m_engine->fluid.fluid_player_seek(m_engine->player, 0) != FLUID_OK)
            return {MusicProblem::Kind::PlayerFailed};
        m_tick = 0;
    }
    if (m_engine->fluid.fluid_player_play(m_engine->player) != FLUID_OK)
        return {MusicProblem::Kind::PlayerFailed};
    m_quietFrames = 0;
    advance(atEnd ? PlayEvent::PlayRewound : PlayEvent::Play);
    return {};
}

MusicProblem FluidSynthSequencer::stop()
{
    if (!m_open)
        return {};
    // From now on the output may close once it has been quiet for a while.
    m_mixer->wake();
    auto guard = m_mixer->lock();
    advance(PlayEvent::Stop);
    m_silenced = true;
    if (m_engine) {
        // Stopping the player pauses it where it is; the notes still sounding are released.
        m_engine->fluid.fluid_player_stop(m_engine->player);
        silenceNotes();
    }
    return {};
}

void FluidSynthSequencer::advance(PlayEvent event)
{
    switch (event) {
    case PlayEvent::Play:
        m_state = PlayState::Playing;
        break;
    case PlayEvent::PlayRewound:
        m_state = PlayState::Starting;
        break;
    case PlayEvent::PlayAtEnd:
        m_state = PlayState::Ended;
        break;
    case PlayEvent::Stop:
    case PlayEvent::EndTaken:
    case PlayEvent::LoadFailed:
        m_state = PlayState::Stopped;
        break;
    case PlayEvent::TickBeforeEnd:
        if (m_state == PlayState::Starting)
            m_state = PlayState::Playing;
        return;
    case PlayEvent::TickAtEnd:
        if (m_state == PlayState::Playing) {
            m_state = PlayState::Ended;
            postEnd(m_run);
        }
        return;
    }
    ++m_run;
    if (m_state == PlayState::Ended)
        postEnd(m_run);
}

void FluidSynthSequencer::postEnd(std::uint64_t run)
{
    QMetaObject::invokeMethod(
        &m_notifier, [this, run] { endReached(run); }, Qt::QueuedConnection);
}

void FluidSynthSequencer::silenceNotes()
{
    constexpr int channels = 16;
    constexpr int sustainPedal = 64;
    for (int channel = 0; channel < channels; ++channel)
        m_engine->fluid.fluid_synth_cc(m_engine->synth, channel, sustainPedal, 0);
    m_engine->fluid.fluid_synth_all_notes_off(m_engine->synth, -1);
}

bool FluidSynthSequencer::isPlaying() const
{
    if (!m_open)
        return false;
    auto guard = m_mixer->lock();
    return m_state != PlayState::Stopped;
}

int FluidSynthSequencer::position() const
{
    if (!m_open)
        return 0;
    auto guard = m_mixer->lock();
    return m_tick;
}

void FluidSynthSequencer::render(float *out, int frames)
{
    const std::size_t count = std::size_t(frames) * Audio::channels;
    if (!m_engine || m_quietFrames >= reverbTailFrames) {
        std::fill(out, out + count, 0.0f);
        return;
    }
    const FluidSynthLibrary::Functions &fluid = m_engine->fluid;
    fluid.fluid_synth_write_float(m_engine->synth, frames, out, 0, Audio::channels, out, 1,
                                  Audio::channels);
    if (m_state == PlayState::Stopped &&
        fluid.fluid_synth_get_active_voice_count(m_engine->synth) == 0)
        m_quietFrames += frames;
    rampGain(out, frames);
}

// The music's level moves towards full while it may sound and towards nothing after a stop,
// a little every frame, so that stopping never cuts a note off in one step.
void FluidSynthSequencer::rampGain(float *out, int frames)
{
    const float target = m_silenced ? 0.0f : 1.0f;
    if (m_gain == target && target == 1.0f)
        return;
    constexpr float step = 1.0f / float(Mixer::fadeFrames);
    for (int f = 0; f < frames; ++f) {
        m_gain =
            target > m_gain ? std::min(target, m_gain + step) : std::max(target, m_gain - step);
        for (int c = 0; c < Audio::channels; ++c)
            out[std::size_t(f) * Audio::channels + std::size_t(c)] *= m_gain;
    }
}

bool FluidSynthSequencer::active() const
{
    return m_state != PlayState::Stopped;
}

int FluidSynthSequencer::tickCallback(void *data, int tick)
{
    static_cast<FluidSynthSequencer *>(data)->tickReached(tick);
    return FLUID_OK;
}

// On the output's thread, inside render(), with the mixer's lock held.
void FluidSynthSequencer::tickReached(int tick)
{
    m_tick = tick;
    advance(tick < m_length ? PlayEvent::TickBeforeEnd : PlayEvent::TickAtEnd);
}

void FluidSynthSequencer::loadFailed(std::uint64_t run)
{
    MusicProblem reason;
    {
        auto guard = m_mixer->lock();
        if (run != m_run || m_state == PlayState::Stopped)
            return;
        advance(PlayEvent::LoadFailed);
        reason = m_loadProblem;
    }
    failed(reason);
}

void FluidSynthSequencer::endReached(std::uint64_t run)
{
    {
        auto guard = m_mixer->lock();
        // A stop, a new play or the end of the device came first: this end belongs to nobody.
        if (run != m_run || m_state != PlayState::Ended)
            return;
        advance(PlayEvent::EndTaken);
        // The player would go on counting ticks into the silence after the piece.
        m_engine->fluid.fluid_player_stop(m_engine->player);
    }
    pieceEnded();
}

FluidSynthMusic::FluidSynthMusic(Mixer *mixer, QStringList soundFonts, QByteArray library)
    : m_mixer(mixer), m_soundFonts(std::move(soundFonts)), m_library(std::move(library))
{}

std::unique_ptr<MusicDevice> FluidSynthMusic::makeDevice()
{
    return std::make_unique<FluidSynthSequencer>(m_mixer, m_soundFonts, m_library);
}

std::unique_ptr<MusicSystem> makeSystemMusic(Mixer *mixer, const ProgramFolders &folders)
{
    return std::make_unique<FluidSynthMusic>(mixer, folders.soundFontCandidates());
}
