// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct MusicProblem;

// The sentence the error box shows for a problem of the music: what went wrong, the file it
// concerns and, where a package mends it, which one. Empty for no problem at all.
QString musicProblemText(const MusicProblem &problem);
