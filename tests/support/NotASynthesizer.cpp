// SPDX-License-Identifier: GPL-3.0-or-later
// A library that is not the synthesizer: the music tests put it where the synthesizer's library
// should be.
extern "C" int numbelo_not_a_synthesizer()
{
    return 0;
}
