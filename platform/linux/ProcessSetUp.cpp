// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up the Linux way: the dynamic linker and fontconfig.
#include "platform/portable/ProcessSetUp.h"

#include <fontconfig/fontconfig.h>

void restrictLibrarySearch()
{
    // The dynamic linker never looks in the current folder for a library opened by name, only
    // in the system's library folders (and those the user named in LD_LIBRARY_PATH).
}

void prepareSystemFonts()
{
    // Reading the font configuration (fontconfig parses some fifty files) is the largest single
    // cost of showing any text; Qt finds it done.
    FcInit();
}

void markProgramRunning()
{
    // The package manager replaces a running program's files without harm: nothing to show.
}
