// SPDX-License-Identifier: GPL-3.0-or-later
// Libraries opened the Windows way, with LoadLibraryExW, and only ever by their full path.
#include "platform/portable/SharedLibrary.h"

#include "platform/windows/ProgramFile.h"

#include <QDir>
#include <windows.h>

SharedLibrary SharedLibrary::open(const char *file)
{
    // A bare file name is the program's own library, beside it: Windows would otherwise look
    // for it in the current folder too. The library's own dependencies come from its folder
    // and the system's.
    QString path = QString::fromUtf8(file);
    if (QDir::isRelativePath(path))
        path = QString::fromStdWString(programFolder()) + path;
    SharedLibrary library;
    library.m_handle =
        LoadLibraryExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()),
                       nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library.m_handle == nullptr)
        library.m_error =
            path + QStringLiteral(": ") + QString::fromStdWString(systemErrorText(GetLastError()));
    return library;
}

void SharedLibrary::close()
{
    if (m_handle != nullptr)
        FreeLibrary(static_cast<HMODULE>(m_handle));
    m_handle = nullptr;
}

void *SharedLibrary::symbol(const char *name) const
{
    if (m_handle == nullptr)
        return nullptr;
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(m_handle), name));
}
