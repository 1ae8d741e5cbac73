// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Every thread the program starts names itself as its first act, so that a debugger, `top -H`
// and the benchmarks' per-thread table tell them apart (a thread is otherwise called as the
// program is). platform/README.md lists the names.

// Names the calling thread: at most 15 characters, as Linux keeps no more. Windows has names
// from 10 1607 on; before that the thread stays unnamed.
void nameThisThread(const char *name);

// The calling thread's name; empty where the system keeps none.
std::string thisThreadName();
