// SPDX-License-Identifier: GPL-3.0-or-later
// Thread names the Windows way: a thread's description, which debuggers and Windows' own tools
// show (Wine hands it on to the Linux thread as well).
#include "platform/portable/ThreadName.h"

#include <windows.h>

namespace {
using SetDescription = HRESULT(WINAPI *)(HANDLE, PCWSTR);
using GetDescription = HRESULT(WINAPI *)(HANDLE, PWSTR *);

// From Windows 10 1607 on; looked up at the call rather than linked, so that the program still
// starts where the function is missing, with its threads unnamed.
template <typename Function> Function kernelFunction(const char *name)
{
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel != nullptr
               ? reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(kernel, name)))
               : nullptr;
}
} // namespace

void nameThisThread(const char *name)
{
    const auto describe = kernelFunction<SetDescription>("SetThreadDescription");
    if (describe == nullptr)
        return;
    const std::string narrow(name);
    const std::wstring wide(narrow.begin(), narrow.end()); // our names are plain ASCII
    describe(GetCurrentThread(), wide.c_str());
}

std::string thisThreadName()
{
    const auto read = kernelFunction<GetDescription>("GetThreadDescription");
    PWSTR description = nullptr;
    if (read == nullptr || FAILED(read(GetCurrentThread(), &description)))
        return {};
    std::string name;
    for (const wchar_t *c = description; *c != L'\0'; ++c)
        name += char(*c);
    LocalFree(description);
    return name;
}
