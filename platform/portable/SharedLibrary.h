// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <dlfcn.h>

// A system library opened when it is first needed rather than when the program starts, its
// functions reached through a table filled by name. A table lists its functions once, as
// F(name) for each (the member is named as the function):
//
//     #define MY_FUNCTIONS(F) F(lib_open) F(lib_close)
//     struct MyLibrary { MY_FUNCTIONS(NUMBELO_LIBRARY_MEMBER) };
//
// and is filled with MY_FUNCTIONS(NUMBELO_LIBRARY_RESOLVE), where `library` is the opened
// library, `table` the table and `missing` a `const char *` starting as null.
namespace SharedLibrary {

// Opens `file` for the rest of the program's life: it is never closed once its functions are
// in use, as threads of the library may still run its code while the program ends.
inline void *open(const char *file)
{
    return dlopen(file, RTLD_NOW | RTLD_LOCAL);
}

// Looks `name` up in `library` into `function`; the first name not found is kept in `missing`.
template <typename Function>
void resolve(void *library, const char *name, Function &function, const char *&missing)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (function == nullptr && missing == nullptr)
        missing = name;
}

} // namespace SharedLibrary

#define NUMBELO_LIBRARY_MEMBER(name) decltype(&::name) name = nullptr;
#define NUMBELO_LIBRARY_RESOLVE(name) SharedLibrary::resolve(library, #name, table.name, missing);
