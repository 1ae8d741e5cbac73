// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The folder of the running program's file, with its trailing backslash, as Windows names it
// (GetModuleFileNameW): where the program's own DLLs and fonts are. Empty when Windows cannot
// say.
std::wstring programFolder();

// The message Windows has for the error `code` (GetLastError), without the line break it ends
// with.
std::wstring systemErrorText(unsigned long code);
