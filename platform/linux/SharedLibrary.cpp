// SPDX-License-Identifier: GPL-3.0-or-later
// Libraries opened the Linux way, with the dynamic linker's dlopen.
#include "platform/portable/SharedLibrary.h"

#include <dlfcn.h>

SharedLibrary SharedLibrary::open(const char *file)
{
    SharedLibrary library;
    library.m_handle = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (library.m_handle == nullptr)
        library.m_error = QString::fromLocal8Bit(dlerror());
    return library;
}

void SharedLibrary::close()
{
    if (m_handle != nullptr)
        dlclose(m_handle);
    m_handle = nullptr;
}

void *SharedLibrary::symbol(const char *name) const
{
    return m_handle != nullptr ? dlsym(m_handle, name) : nullptr;
}
