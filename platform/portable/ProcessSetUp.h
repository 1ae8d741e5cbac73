// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the system the program runs on needs done before the program's first library and first
// font: main calls both before the application is made.

// Libraries opened by name, by the program or by the libraries it uses, come only from the
// program's own folder and the system's: never from the current folder, which may hold
// anything a child saved there.
void restrictLibrarySearch();

// Makes the faces the program writes with ready for the system's font lookup. It may take a
// while, and runs on a thread of its own (startup/FontWarmUp.h).
void prepareSystemFonts();

// Shows the program's installers that it runs, so that they change none of its files while it
// does. Held until the process ends, however it ends.
void markProgramRunning();
