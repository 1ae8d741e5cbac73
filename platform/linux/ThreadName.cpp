// SPDX-License-Identifier: GPL-3.0-or-later
// Thread names the Linux way: the kernel's own, seen in /proc/<pid>/task/<tid>/comm.
#include "platform/portable/ThreadName.h"

#include <pthread.h>

void nameThisThread(const char *name)
{
    pthread_setname_np(pthread_self(), name);
}

std::string thisThreadName()
{
    char name[16] = {}; // the kernel's limit, with the closing null
    if (pthread_getname_np(pthread_self(), name, sizeof name) != 0)
        return {};
    return name;
}
