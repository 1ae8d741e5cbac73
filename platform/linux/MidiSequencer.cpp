// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/MidiSequencer.h"

#include "platform/linux/FluidSynthLibrary.h"
#include "platform/portable/MidiFile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <mutex>

Q_LOGGING_CATEGORY(lcMusic, "numbelo.music", QtWarningMsg)

namespace {
// A tune is a few kilobytes; a file far bigger than any tune is not read into memory.
constexpr qint64 maxMidiFileBytes = 4 * 1024 * 1024;
// The synthesizer's own gain: with the General MIDI instruments we ship with, this puts the
// tune's peaks about 5 dB under full scale before the mixer lowers it under the effects.
constexpr double synthGain = 0.5;
// After the player stops and the last voice has died away, the reverb still rings for a
// moment; after that the synthesizer is not run at all until the next play.
constexpr int reverbTailFrames = 2 * Audio::sampleRate;
const QString instrumentsPackage = QStringLiteral("timgm6mb-soundfont");

void logFromSynth(int level, const char *message, void *)
{
    switch (level) {
    case FLUID_PANIC:
    case FLUID_ERR:
        qCWarning(lcMusic, "synthesizer: %s", message);
        break;
    case FLUID_WARN:
        qCInfo(lcMusic, "synthesizer: %s", message);
        break;
    default:
        qCDebug(lcMusic, "synthesizer: %s", message);
        break;
    }
}

// FluidSynth prints to the terminal unless told otherwise; its messages are for developers.
void routeSynthLog(const FluidSynthLibrary::Functions &fluid)
{
    static std::once_flag once;
    std::call_once(once, [&fluid] {
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
            fluid.fluid_set_log_function(level, &logFromSynth, nullptr);
    });
}

QString problemText(MidiFileProblem problem, const QString &path)
{
    const QString file = QStringLiteral("The music file \"%1\"").arg(path);
    switch (problem) {
    case MidiFileProblem::None:
        break;
    case MidiFileProblem::Empty:
        return file + QStringLiteral(" is empty");
    case MidiFileProblem::NotMidi:
        return file + QStringLiteral(" is not a MIDI file");
    case MidiFileProblem::Truncated:
        return file + QStringLiteral(" is incomplete: it ends in the middle of its data");
    case MidiFileProblem::Corrupt:
        return file + QStringLiteral(" is damaged");
    case MidiFileProblem::Unsupported:
        return file + QStringLiteral(" is in a MIDI format that cannot be played");
    case MidiFileProblem::NoMusic:
        return file + QStringLiteral(" contains no music");
    }
    return {};
}

// Reads and checks the MIDI file; on failure returns an empty array with `error` set.
QByteArray readMidiFile(const QString &path, MidiFileSummary *summary, QString *error)
{
    const QString file = QStringLiteral("The music file \"%1\"").arg(path);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        *error = file + QStringLiteral(" cannot be found");
        return {};
    }
    if (!info.isFile()) {
        *error = file + QStringLiteral(" is not a file");
        return {};
    }
    if (info.size() > maxMidiFileBytes) {
        *error = file + QStringLiteral(" is too large to be a tune");
        return {};
    }
    QFile midi(path);
    if (!midi.open(QIODevice::ReadOnly)) {
        *error = file + QStringLiteral(" cannot be read");
        return {};
    }
    QByteArray bytes = midi.read(maxMidiFileBytes + 1);
    const MidiFileCheck check = checkMidiFile(
        reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size()));
    if (!check.playable()) {
        *error = problemText(check.problem, path);
        return {};
    }
    *summary = check.summary;
    return bytes;
}

// A SoundFont file starts as a RIFF chunk of kind "sfbk".
bool looksLikeSoundFont(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(12);
    return head.size() == 12 && head.startsWith("RIFF") && head.mid(8, 4) == "sfbk";
}

// The first usable SoundFont of `candidates`; on failure returns empty with `error` set.
QString findSoundFont(const QStringList &candidates, QString *error)
{
    QString unusable;
    for (const QString &candidate : candidates) {
        if (!QFileInfo(candidate).isFile())
            continue;
        if (looksLikeSoundFont(candidate))
            return candidate;
        if (unusable.isEmpty())
            unusable = candidate;
    }
    if (unusable.isEmpty()) {
        *error = QStringLiteral("No instrument sounds (a General MIDI SoundFont) were found "
                                "for the music; install the package %1")
                     .arg(instrumentsPackage);
    } else {
        *error = QStringLiteral("The instrument sounds in \"%1\" cannot be used; install the "
                                "package %2 again")
                     .arg(unusable, instrumentsPackage);
    }
    return {};
}
} // namespace

struct MidiSequencer::Engine
{
    const FluidSynthLibrary::Functions &fluid;
    fluid_settings_t *settings = nullptr;
    fluid_synth_t *synth = nullptr;
    fluid_player_t *player = nullptr;

    explicit Engine(const FluidSynthLibrary::Functions &functions) : fluid(functions) {}
    Engine(const Engine &) = delete;
    Engine &operator=(const Engine &) = delete;
    // The player goes before the synthesizer it plays on, and that before its settings.
    ~Engine()
    {
        if (synth != nullptr)
            fluid.fluid_synth_all_sounds_off(synth, -1);
        if (player != nullptr)
            fluid.delete_fluid_player(player);
        if (synth != nullptr)
            fluid.delete_fluid_synth(synth);
        if (settings != nullptr)
            fluid.delete_fluid_settings(settings);
    }
};

void MidiSequencer::EngineDeleter::operator()(Engine *engine) const
{
    delete engine;
}

MidiSequencer::MidiSequencer(Mixer *mixer) : m_mixer(mixer) {}

MidiSequencer::~MidiSequencer()
{
    close();
}

bool MidiSequencer::open(const QString &midiPath, const QStringList &soundFonts, QString *error)
{
    close();
    if (m_mixer == nullptr) {
        *error = QStringLiteral("There is no sound output for the music");
        return false;
    }
    MidiFileSummary summary;
    QByteArray midi = readMidiFile(midiPath, &summary, error);
    if (midi.isEmpty())
        return false;
    const QString soundFont = findSoundFont(soundFonts, error);
    if (soundFont.isEmpty())
        return false;

    qCDebug(lcMusic) << "opening" << midiPath << "with" << soundFont << "length"
                     << summary.lengthTicks << "ticks";
    m_length = summary.lengthTicks;
    m_soundFont = soundFont;
    m_midi = std::move(midi);
    {
        auto guard = m_mixer->lock();
        m_tick = 0;
        m_running = false;
        m_endArmed = false;
        m_endPosted = false;
        m_loadFailed = false;
        m_loadError.clear();
        m_quietFrames = reverbTailFrames;
        m_silenced = false;
        m_gain = 1.0f;
    }
    m_mixer->setMusicSource(this);
    m_open = true;
    return true;
}

MidiSequencer::Loaded MidiSequencer::loadEngine(const FluidSynthLibrary::Functions &fluid,
                                                const QByteArray &midi, const QString &soundFont,
                                                MidiSequencer *owner)
{
    Loaded loaded;
    EnginePtr engine(new Engine(fluid));
    engine->settings = fluid.new_fluid_settings();
    if (engine->settings == nullptr) {
        loaded.error = QStringLiteral("The synthesizer for the music cannot be started");
        return loaded;
    }
    fluid.fluid_settings_setnum(engine->settings, "synth.sample-rate", Audio::sampleRate);
    fluid.fluid_settings_setnum(engine->settings, "synth.gain", synthGain);
    fluid.fluid_settings_setint(engine->settings, "synth.cpu-cores", 1);
    // The tune asks for no chorus; the effect would cost a third of the rendering for nothing.
    fluid.fluid_settings_setint(engine->settings, "synth.chorus.active", 0);
    // Locking the samples in memory would need privileges the program does not have.
    fluid.fluid_settings_setint(engine->settings, "synth.lock-memory", 0);
    // The player is driven by the samples rendered, not by a timer thread of its own.
    fluid.fluid_settings_setstr(engine->settings, "player.timing-source", "sample");
    engine->synth = fluid.new_fluid_synth(engine->settings);
    if (engine->synth == nullptr) {
        loaded.error = QStringLiteral("The synthesizer for the music cannot be started");
        return loaded;
    }
    const QByteArray path = QFile::encodeName(soundFont);
    if (fluid.fluid_synth_sfload(engine->synth, path.constData(), 1) == FLUID_FAILED) {
        loaded.error = QStringLiteral("The instrument sounds in \"%1\" cannot be loaded; "
                                      "install the package %2 again")
                           .arg(soundFont, instrumentsPackage);
        return loaded;
    }
    engine->player = fluid.new_fluid_player(engine->synth);
    if (engine->player == nullptr ||
        fluid.fluid_player_add_mem(engine->player, midi.constData(), std::size_t(midi.size())) !=
            FLUID_OK ||
        fluid.fluid_player_set_tick_callback(engine->player, &MidiSequencer::tickCallback, owner) !=
            FLUID_OK) {
        loaded.error = QStringLiteral("The music cannot be prepared for playing");
        return loaded;
    }
    loaded.engine = std::move(engine);
    return loaded;
}

void MidiSequencer::startLoading()
{
    if (m_loading.valid())
        return;
    m_loading = std::async(std::launch::async,
                           [this, fluid = m_fluid, midi = m_midi, soundFont = m_soundFont] {
                               install(loadEngine(*fluid, midi, soundFont, this));
                           });
}

// On the loading thread.
void MidiSequencer::install(Loaded loaded)
{
    auto guard = m_mixer->lock();
    if (!loaded.engine) {
        m_loadFailed = true;
        m_loadError = loaded.error;
        qCWarning(lcMusic) << "loading the instruments failed:" << m_loadError;
        if (m_running) {
            const std::uint64_t run = m_run;
            QMetaObject::invokeMethod(
                &m_notifier, [this, run] { loadFailed(run); }, Qt::QueuedConnection);
        }
        return;
    }
    m_engine = std::move(loaded.engine);
    // A play that came while loading starts now, from the beginning.
    if (m_running && m_engine->fluid.fluid_player_play(m_engine->player) == FLUID_OK)
        m_quietFrames = 0;
}

void MidiSequencer::waitUntilLoaded()
{
    if (m_loading.valid())
        m_loading.wait();
}

void MidiSequencer::close()
{
    if (!m_open)
        return;
    // Nothing renders from the engine once the mixer lets go of it.
    m_mixer->setMusicSource(nullptr);
    if (m_loading.valid())
        m_loading.get();
    m_loading = {};
    m_engine.reset();
    m_midi.clear();
    ++m_run;
    m_open = false;
    m_playing = false;
    m_running = false;
    m_length = 0;
    m_tick = 0;
    m_soundFont.clear();
    m_loadFailed = false;
    m_loadError.clear();
}

bool MidiSequencer::loadSynthesizer(QString *error)
{
    if (m_fluid == nullptr) {
        m_fluid = FluidSynthLibrary::load(error);
        if (m_fluid == nullptr)
            return false;
        routeSynthLog(*m_fluid);
    }
    return true;
}

bool MidiSequencer::play(bool rewindAtEnd, QString *error)
{
    if (!m_open) {
        *error = QStringLiteral("The music is not open");
        return false;
    }
    if (!loadSynthesizer(error))
        return false;
    startLoading();
    // The output must run while the music plays, and while its instruments load.
    m_mixer->wake();
    auto guard = m_mixer->lock();
    if (m_loadFailed) {
        *error = m_loadError;
        return false;
    }
    if (!m_engine) {
        // Still loading: the player starts, from the beginning, once the instruments are in.
        ++m_run;
        m_running = true;
        m_silenced = false;
        m_endArmed = true;
        m_endPosted = false;
        m_playing = true;
        return true;
    }
    const bool atEnd = m_tick >= m_length;
    if (atEnd && rewindAtEnd) {
        if (m_engine->fluid.fluid_player_seek(m_engine->player, 0) != FLUID_OK) {
            *error = QString();
            return false;
        }
        m_tick = 0;
    } else if (atEnd) {
        // Nothing is left to play: this play ends at once.
        ++m_run;
        m_running = true;
        m_silenced = false;
        m_playing = true;
        m_endPosted = true;
        postEnd(m_run);
        return true;
    }
    if (m_engine->fluid.fluid_player_play(m_engine->player) != FLUID_OK) {
        *error = QString();
        return false;
    }
    ++m_run;
    m_endArmed = !atEnd;
    m_endPosted = false;
    m_running = true;
    m_silenced = false;
    m_quietFrames = 0;
    m_playing = true;
    return true;
}

void MidiSequencer::postEnd(std::uint64_t run)
{
    QMetaObject::invokeMethod(
        &m_notifier, [this, run] { pieceEnded(run); }, Qt::QueuedConnection);
}

bool MidiSequencer::stop(QString *)
{
    if (!m_open)
        return true;
    // From now on the output may close once it has been quiet for a while.
    m_mixer->wake();
    auto guard = m_mixer->lock();
    ++m_run;
    m_playing = false;
    m_running = false;
    m_silenced = true;
    if (m_engine) {
        // Stopping the player pauses it where it is; the notes still sounding are released.
        m_engine->fluid.fluid_player_stop(m_engine->player);
        silenceNotes();
    }
    return true;
}

void MidiSequencer::silenceNotes()
{
    constexpr int channels = 16;
    constexpr int sustainPedal = 64;
    for (int channel = 0; channel < channels; ++channel)
        m_engine->fluid.fluid_synth_cc(m_engine->synth, channel, sustainPedal, 0);
    m_engine->fluid.fluid_synth_all_notes_off(m_engine->synth, -1);
}

int MidiSequencer::position() const
{
    if (!m_open)
        return 0;
    auto guard = m_mixer->lock();
    return m_tick;
}

void MidiSequencer::render(float *out, int frames)
{
    const std::size_t count = std::size_t(frames) * Audio::channels;
    if (!m_engine || m_quietFrames >= reverbTailFrames) {
        std::fill(out, out + count, 0.0f);
        return;
    }
    const FluidSynthLibrary::Functions &fluid = m_engine->fluid;
    fluid.fluid_synth_write_float(m_engine->synth, frames, out, 0, Audio::channels, out, 1,
                                  Audio::channels);
    if (!m_running && fluid.fluid_synth_get_active_voice_count(m_engine->synth) == 0)
        m_quietFrames += frames;
    rampGain(out, frames);
}

// The music's level moves towards full while it may sound and towards nothing after a stop,
// a little every frame, so that stopping never cuts a note off in one step.
void MidiSequencer::rampGain(float *out, int frames)
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

bool MidiSequencer::active() const
{
    return m_running;
}

int MidiSequencer::tickCallback(void *data, int tick)
{
    static_cast<MidiSequencer *>(data)->tickReached(tick);
    return FLUID_OK;
}

// On the audio thread, inside render(), with the mixer's lock held.
void MidiSequencer::tickReached(int tick)
{
    m_tick = tick;
    if (!m_running)
        return;
    if (tick < m_length) {
        m_endArmed = true;
        return;
    }
    if (!m_endArmed || m_endPosted)
        return;
    m_endPosted = true;
    postEnd(m_run);
}

void MidiSequencer::loadFailed(std::uint64_t run)
{
    QString reason;
    {
        auto guard = m_mixer->lock();
        if (run != m_run || !m_running)
            return;
        ++m_run;
        m_running = false;
        reason = m_loadError;
    }
    m_playing = false;
    if (m_failureHandler)
        m_failureHandler(reason);
}

void MidiSequencer::pieceEnded(std::uint64_t run)
{
    {
        auto guard = m_mixer->lock();
        // A stop, a new play or a close came first: this end belongs to nobody.
        if (run != m_run || !m_running)
            return;
        ++m_run;
        m_running = false;
        // The player would go on counting ticks into the silence after the piece.
        m_engine->fluid.fluid_player_stop(m_engine->player);
    }
    m_playing = false;
    if (m_endHandler)
        m_endHandler();
}
