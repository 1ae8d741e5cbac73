// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/linux/FluidSynthLibrary.h"
#include "platform/portable/MusicProblem.h"

#include <QByteArray>
#include <QString>
#include <memory>

// One FluidSynth synthesizer with its player and their settings, made for one piece and one
// SoundFont: what the sequencer (FluidSynthSequencer) renders. Building it loads the
// instruments, a tenth of a second, and so runs on the sequencer's loader thread; whoever holds
// it then uses it under the mixer's lock.
struct FluidSynthEngine
{
    using TickCallback = int (*)(void *data, int tick);

    // The engine for the MIDI file `midi` (its bytes, checked) with the instruments of
    // `soundFont`, its player driven by the samples rendered and calling `tick` with `data` at
    // every tick; null, with the reason in `problem`, when a part of it would not start.
    static std::unique_ptr<FluidSynthEngine> build(const FluidSynthLibrary::Functions &fluid,
                                                   const QByteArray &midi, const QString &soundFont,
                                                   TickCallback tick, void *data,
                                                   MusicProblem *problem);
    // Every sound off; then the player goes before the synthesizer it plays on, and that
    // before its settings.
    ~FluidSynthEngine();
    FluidSynthEngine(const FluidSynthEngine &) = delete;
    FluidSynthEngine &operator=(const FluidSynthEngine &) = delete;

    const FluidSynthLibrary::Functions &fluid;
    fluid_settings_t *settings = nullptr;
    fluid_synth_t *synth = nullptr;
    fluid_player_t *player = nullptr;

  private:
    explicit FluidSynthEngine(const FluidSynthLibrary::Functions &functions) : fluid(functions) {}
};
