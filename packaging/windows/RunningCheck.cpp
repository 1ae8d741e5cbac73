// SPDX-License-Identifier: GPL-3.0-or-later
// The MSI package's custom action that keeps it from changing a running Numbelo: before any
// change (after the launch conditions), it looks for the mark every running Numbelo holds
// (platform/windows/RunningMark.cpp) and asks for it to be closed, with Retry and Cancel. Under
// /qn there is no one to ask: the installation or removal ends at once, with nothing changed.
// windows.h first: the headers after it build on it.
// clang-format off
#include <windows.h>
#include <msi.h>
#include <msiquery.h>
// clang-format on

namespace {
bool numbeloRuns()
{
    const HANDLE mark = OpenMutexW(SYNCHRONIZE, FALSE, L"Global\\" NUMBELO_RUNNING_MARK);
    if (mark != nullptr) {
        CloseHandle(mark);
        return true;
    }
    // A mark this user may not open is still a running Numbelo.
    return GetLastError() == ERROR_ACCESS_DENIED;
}

// The package has one language; the question follows the one Windows speaks.
const wchar_t *question()
{
    if (PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_INDONESIAN)
        return L"Numbelo sedang dipakai di komputer ini. Tutup semua jendela Numbelo (juga milik "
               L"pengguna lain), lalu pilih Retry. Cancel membiarkan Numbelo seperti sekarang.";
    return L"Numbelo is in use on this computer. Close every Numbelo window (other users' too), "
           L"then choose Retry. Cancel leaves Numbelo as it is.";
}
} // namespace

extern "C" __declspec(dllexport) UINT __stdcall RefuseWhileNumbeloRuns(MSIHANDLE install)
{
    while (numbeloRuns()) {
        PMSIHANDLE record = MsiCreateRecord(0);
        MsiRecordSetStringW(record, 0, question());
        const int answer = MsiProcessMessage(
            install, INSTALLMESSAGE(INSTALLMESSAGE_ERROR | MB_RETRYCANCEL | MB_ICONEXCLAMATION),
            record);
        if (answer == IDCANCEL)
            return ERROR_INSTALL_USEREXIT;
        // Without a user interface nothing is asked (0): nothing may change.
        if (answer != IDRETRY)
            return ERROR_INSTALL_FAILURE;
    }
    return ERROR_SUCCESS;
}
