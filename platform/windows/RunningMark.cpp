// SPDX-License-Identifier: GPL-3.0-or-later
// The sign the installers look for before they change anything: a named mutex that lives as
// long as any Numbelo runs on the computer.
#include "platform/portable/ProcessSetUp.h"

// windows.h first: the headers after it build on it.
// clang-format off
#include <windows.h>
#include <sddl.h>
// clang-format on

void markProgramRunning()
{
    // In the global namespace: on a terminal server each pupil runs Numbelo in a session of
    // their own, and the installer, in the administrator's, must see every one of them.
    // Everyone may open it to wait on it, nothing more: a second pupil's Numbelo then holds the
    // same mutex, which lives until the last one ends; the first one's access alone would let
    // no one else open it.
    PSECURITY_DESCRIPTOR rights = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
            L"D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100000;;;WD)", SDDL_REVISION_1, &rights, nullptr))
        return;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, rights, FALSE};
    // The handle is never closed: Windows closes it as the process ends.
    CreateMutexExW(&attributes, L"Global\\" NUMBELO_RUNNING_MARK, 0, SYNCHRONIZE);
    LocalFree(rights);
}
