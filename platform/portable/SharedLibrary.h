// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A library of the system opened when it is first needed rather than when the program starts,
// its functions reached through a table filled by name. Each operating system has its own way
// of opening one (platform/linux/SharedLibrary.cpp here).
//
// A table lists its functions once, as F(name) for each (the member is named as the function):
//
//     #define MY_FUNCTIONS(F) F(lib_open) F(lib_close)
//     struct MyLibrary { MY_FUNCTIONS(NUMBELO_LIBRARY_MEMBER) };
//
// and is filled with MY_FUNCTIONS(NUMBELO_LIBRARY_RESOLVE), where `library` is the opened
// SharedLibrary, `table` the table and `missing` a `const char *` starting as null.
class SharedLibrary
{
  public:
    // Opens the library `file`, looked for where the system looks for libraries. Once its
    // functions are in use it stays open for the rest of the program's life, as threads of the
    // library may still run its code while the program ends.
    static SharedLibrary open(const char *file);

    bool isOpen() const { return m_handle != nullptr; }
    // Why the library could not be opened.
    QString error() const { return m_error; }
    // Lets go of a library none of whose functions is in use.
    void close();

    // Looks `name` up into `function`; the first name not found is kept in `missing`.
    template <typename Function>
    void resolve(const char *name, Function &function, const char *&missing) const
    {
        function = reinterpret_cast<Function>(symbol(name));
        if (function == nullptr && missing == nullptr)
            missing = name;
    }

  private:
    void *symbol(const char *name) const;

    void *m_handle = nullptr;
    QString m_error;
};

#define NUMBELO_LIBRARY_MEMBER(name) decltype(&::name) name = nullptr;
#define NUMBELO_LIBRARY_RESOLVE(name) library.resolve(#name, table.name, missing);
