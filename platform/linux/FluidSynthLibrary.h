// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/MusicDevice.h"
#include "platform/portable/SharedLibrary.h"

#include <QByteArray>
#include <QLoggingCategory>
#include <fluidsynth.h>

// What the library, the synthesizer and the sequencer tell developers.
Q_DECLARE_LOGGING_CATEGORY(lcMusic)

// FluidSynth, loaded when the music first plays instead of with the program: the library and
// the nine it brings with it take as long to load as the rest of the start-up's libraries
// together, at every start, for music that stays off unless the child switches it on. The
// program is built against FluidSynth's headers only and reaches every function through the
// table below.
namespace FluidSynthLibrary {

// Every function of the library the program uses.
#define NUMBELO_FLUIDSYNTH_FUNCTIONS(F)                                                            \
    F(fluid_set_log_function)                                                                      \
    F(new_fluid_settings)                                                                          \
    F(delete_fluid_settings)                                                                       \
    F(fluid_settings_setnum)                                                                       \
    F(fluid_settings_setint)                                                                       \
    F(fluid_settings_setstr)                                                                       \
    F(new_fluid_synth)                                                                             \
    F(delete_fluid_synth)                                                                          \
    F(fluid_synth_sfload)                                                                          \
    F(fluid_synth_cc)                                                                              \
    F(fluid_synth_all_notes_off)                                                                   \
    F(fluid_synth_all_sounds_off)                                                                  \
    F(fluid_synth_write_float)                                                                     \
    F(fluid_synth_get_active_voice_count)                                                          \
    F(new_fluid_player)                                                                            \
    F(delete_fluid_player)                                                                         \
    F(fluid_player_add_mem)                                                                        \
    F(fluid_player_set_tick_callback)                                                              \
    F(fluid_player_play)                                                                           \
    F(fluid_player_stop)                                                                           \
    F(fluid_player_seek)

struct Functions
{
    NUMBELO_LIBRARY_TABLE(NUMBELO_FLUIDSYNTH_FUNCTIONS)
};

// The library file the program loads, and the Debian package that installs it; the Debian
// package of the instruments the tune was balanced with.
inline constexpr const char *defaultFileName = "libfluidsynth.so.3";
inline constexpr const char *package = "libfluidsynth3";
inline constexpr const char *instrumentsPackage = "timgm6mb-soundfont";

// Loads the library file `fileName`, on the first call for it, from any thread, and sends its
// messages to lcMusic; later calls return the same table. Returns null, with the reason in
// `problem`, when the library or one of its functions is missing; the next call tries again, so
// installing the package while the program runs is enough.
const Functions *load(const QByteArray &fileName, MusicProblem *problem);

} // namespace FluidSynthLibrary
