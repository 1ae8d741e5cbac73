// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/SystemDesktopOpener.h"

#include "platform/windows/ProgramFile.h"

#include <QDir>
#include <QLoggingCategory>
#include <QUrl>
#include <string>
// windows.h first: the headers after it build on it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

// Warnings only, unless turned on (README.md lists every category).
Q_LOGGING_CATEGORY(lcDesktop, "numbelo.desktop", QtWarningMsg)

namespace {
std::wstring wide(const QString &text)
{
    return text.toStdWString();
}
} // namespace

bool SystemDesktopOpener::openUrl(const QUrl &url)
{
    // No owner window, no verb, no parameters, no folder, shown normally; above 32 is success.
    const HINSTANCE result =
        ShellExecuteW(nullptr, nullptr, wide(url.toString(QUrl::FullyEncoded)).c_str(), nullptr,
                      nullptr, SW_SHOWNORMAL);
    const bool opened = reinterpret_cast<INT_PTR>(result) > 32;
    if (!opened)
        qCInfo(lcDesktop) << "the shell has no program to open" << url.toDisplayString();
    return opened;
}

bool SystemDesktopOpener::openFile(const QString &path, std::function<void()>)
{
    return openInNotepad(path);
}

bool SystemDesktopOpener::openInNotepad(const QString &file)
{
    // Notepad by its full path: a program found by name would be looked for in the current
    // folder first, and a "notepad.exe" a child saved there would run instead.
    std::wstring windows(MAX_PATH, L'\0');
    const UINT length = GetSystemWindowsDirectoryW(windows.data(), UINT(windows.size()));
    if (length == 0 || length >= windows.size())
        return false;
    windows.resize(length);
    if (windows.back() != L'\\')
        windows += L'\\';
    const std::wstring notepad = windows + L"notepad.exe";
    // Windows file names hold no quotation mark, so quoting keeps blanks in the path together.
    std::wstring commandLine =
        L"\"" + notepad + L"\" \"" + wide(QDir::toNativeSeparators(file)) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(notepad.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        qCInfo(lcDesktop) << "Notepad did not start:"
                          << QString::fromStdWString(systemErrorText(GetLastError()));
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

std::unique_ptr<DesktopOpener> makeSystemDesktopOpener()
{
    return std::make_unique<SystemDesktopOpener>();
}
