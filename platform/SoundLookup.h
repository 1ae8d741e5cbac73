// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Finds `name` in the first of `folders` that has it. Names match without regard to case,
// because the program asks for "toeng.wav" and "Toeng.wav" alike. Returns the full path, or
// an empty string when no folder has the file.
QString findFileIgnoringCase(const QStringList &folders, const QString &name);
