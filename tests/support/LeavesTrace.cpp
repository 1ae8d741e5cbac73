// SPDX-License-Identifier: GPL-3.0-or-later
// A file that must never run, planted where a careless program would pick it up: built as an
// .exe (planted as "notepad.exe") and as a .dll, it writes "<its own file name>.trace" beside
// itself the moment it runs or is loaded. A test that finds no trace knows it never ran.
#include <windows.h>

namespace {
void leaveTrace(HMODULE module)
{
    wchar_t path[MAX_PATH + 8] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    lstrcatW(path, L".trace");
    const HANDLE file =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}
} // namespace

#ifdef NUMBELO_TRACE_DLL
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        leaveTrace(instance);
    return TRUE;
}
#else
int main()
{
    leaveTrace(nullptr);
    return 0;
}
#endif
