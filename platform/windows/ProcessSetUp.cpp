// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up the Windows way: where DLLs may come from, and the program's own fonts.
#include "platform/portable/ProcessSetUp.h"

#include "platform/windows/ProgramFile.h"

#include <windows.h>

void restrictLibrarySearch()
{
    // From now on a DLL loaded by name, by the program or by Qt, SDL and Windows' own
    // libraries on its behalf, comes from the program's folder or the system's; without this
    // Windows looks in the current folder as well. The DLLs the program file itself names were
    // loaded before main, from the program's folder and the system's, ahead of the current one.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    // Child processes no longer look in the current folder for their DLLs either.
    SetDllDirectoryW(L"");
}

namespace {
bool isFontFile(const std::wstring &name)
{
    const std::size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos)
        return false;
    const std::wstring extension = name.substr(dot);
    return CompareStringOrdinal(extension.c_str(), -1, L".ttf", -1, TRUE) == CSTR_EQUAL ||
           CompareStringOrdinal(extension.c_str(), -1, L".otf", -1, TRUE) == CSTR_EQUAL;
}
} // namespace

void prepareSystemFonts()
{
    // The program's faces come with it, in the "fonts" folder beside it, and are known to this
    // process only: nothing is installed into Windows, and nothing stays when it ends.
    const std::wstring folder = programFolder() + L"fonts\\";
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && isFontFile(found.cFileName))
            AddFontResourceExW((folder + found.cFileName).c_str(), FR_PRIVATE, nullptr);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}
