// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcessEnvironment>
#include <QString>

// What test_music_startup does each system's way: CMake compiles test_music_startup_linux.cpp
// or test_music_startup_windows.cpp.

// Puts a copy of the running test program into `folder`, as a program file of its own there,
// and readies `environment` to start it; returns the copy's path.
QString copyTestProgram(const QString &folder, QProcessEnvironment &environment);

// The error box's text when the program refuses the tune at `tune`, which its own check finds
// `reason` ("is empty"); empty when the system plays the file all the same.
QString expectedMusicError(const QString &tune, const QString &reason);
