// SPDX-License-Identifier: GPL-3.0-or-later
// A music file of any content: the check that runs before a file reaches the synthesizer
// never crashes, describes what it accepts consistently, and every file it accepts can be
// loaded and rendered by the synthesizer without harm.
#include "platform/portable/MidiFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fluidsynth.h>
#include <vector>

namespace {
fluid_settings_t *settings = nullptr;
fluid_synth_t *synth = nullptr;

[[noreturn]] void fail(const char *what, const MidiFileSummary &s)
{
    std::fprintf(stderr, "%s: format %d, %d tracks, division %d, %d ticks, %d notes\n", what,
                 s.format, s.tracks, s.division, s.lengthTicks, s.notes);
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fluid_set_log_function(FLUID_PANIC, nullptr, nullptr);
    for (int level : {FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(level, nullptr, nullptr);
    settings = new_fluid_settings();
    fluid_settings_setint(settings, "synth.cpu-cores", 1);
    fluid_settings_setint(settings, "player.reset-synth", 0);
    synth = new_fluid_synth(settings);
    // Without instruments the player still parses and runs every event.
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const MidiFileCheck check = checkMidiFile(data, size);
    if (!check.playable())
        return 0;
    const MidiFileSummary &s = check.summary;
    if ((s.format != 0 && s.format != 1) || s.tracks < 1 || s.division <= 0 || s.lengthTicks <= 0 ||
        s.notes <= 0)
        fail("accepted with an impossible summary", s);

    fluid_player_t *player = new_fluid_player(synth);
    if (fluid_player_add_mem(player, data, size) != FLUID_OK)
        fail("accepted but refused by the synthesizer", s);
    fluid_player_play(player);
    std::vector<float> left(256), right(256);
    for (int block = 0; block < 8; ++block)
        fluid_synth_write_float(synth, 256, left.data(), 0, 1, right.data(), 0, 1);
    fluid_player_stop(player);
    fluid_synth_all_sounds_off(synth, -1);
    delete_fluid_player(player);
    return 0;
}
