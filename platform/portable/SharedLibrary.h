// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// A library of the system opened when it is first needed rather than when the program starts,
// its functions reached through a table filled by name. Each operating system has its own way
// of opening one (platform/linux/SharedLibrary.cpp here); loadLibraryTable() below is the one
// way the program fills a table.
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

// A table lists its library's functions once, as F(name) for each, and declares them with
// NUMBELO_LIBRARY_TABLE: a member named as each function, and resolve(), which looks them up.
//
//     #define MY_FUNCTIONS(F) F(lib_open) F(lib_close)
//     struct MyLibrary { NUMBELO_LIBRARY_TABLE(MY_FUNCTIONS) };
#define NUMBELO_LIBRARY_MEMBER(name) decltype(&::name) name = nullptr;
#define NUMBELO_LIBRARY_RESOLVE(name) library.resolve(#name, name, missing);
#define NUMBELO_LIBRARY_TABLE(FUNCTIONS)                                                           \
    FUNCTIONS(NUMBELO_LIBRARY_MEMBER)                                                              \
    void resolve(const SharedLibrary &library, const char *&missing)                               \
    {                                                                                              \
        FUNCTIONS(NUMBELO_LIBRARY_RESOLVE)                                                         \
    }

// Why a library's table could not be filled: the library would not open (`error`, in the
// system's words), or it lacks the function `missing` (an older version of it).
struct LibraryProblem
{
    QString error;
    QString missing;
};

// Opens the library `file` and fills a `Table` with its functions. Nothing, with the reason in
// `problem` when given, if it cannot be opened or lacks one of them; then it is closed again.
// Once filled, the library stays open for the rest of the program's life.
template <typename Table>
std::optional<Table> loadLibraryTable(const char *file, LibraryProblem *problem = nullptr)
{
    SharedLibrary library = SharedLibrary::open(file);
    Table table;
    const char *missing = nullptr;
    if (library.isOpen())
        table.resolve(library, missing);
    if (library.isOpen() && missing == nullptr)
        return table;
    if (problem != nullptr)
        *problem = {library.error(), QString::fromLatin1(missing)};
    library.close();
    return std::nullopt;
}
