// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/FluidSynthEngine.h"

#include "platform/portable/Sound.h"

#include <QFile>

namespace {
// The synthesizer's own gain: with the General MIDI instruments we ship with, this puts the
// tune's peaks about 5 dB under full scale before the mixer lowers it under the effects.
constexpr double synthGain = 0.5;
} // namespace

std::unique_ptr<FluidSynthEngine> FluidSynthEngine::build(const FluidSynthLibrary::Functions &fluid,
                                                          const QByteArray &midi,
                                                          const QString &soundFont,
                                                          TickCallback tick, void *data,
                                                          MusicProblem *problem)
{
    std::unique_ptr<FluidSynthEngine> engine(new FluidSynthEngine(fluid));
    engine->settings = fluid.new_fluid_settings();
    if (engine->settings == nullptr) {
        *problem = {MusicProblem::Kind::SynthesizerFailed};
        return nullptr;
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
        *problem = {MusicProblem::Kind::SynthesizerFailed};
        return nullptr;
    }
    const QByteArray path = QFile::encodeName(soundFont);
    if (fluid.fluid_synth_sfload(engine->synth, path.constData(), 1) == FLUID_FAILED) {
        *problem = {MusicProblem::Kind::InstrumentsUnloadable,
                    soundFont,
                    {},
                    QLatin1String(FluidSynthLibrary::instrumentsPackage)};
        return nullptr;
    }
    engine->player = fluid.new_fluid_player(engine->synth);
    if (engine->player == nullptr ||
        fluid.fluid_player_add_mem(engine->player, midi.constData(), std::size_t(midi.size())) !=
            FLUID_OK ||
        fluid.fluid_player_set_tick_callback(engine->player, tick, data) != FLUID_OK) {
        *problem = {MusicProblem::Kind::PlayerFailed};
        return nullptr;
    }
    return engine;
}

FluidSynthEngine::~FluidSynthEngine()
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
