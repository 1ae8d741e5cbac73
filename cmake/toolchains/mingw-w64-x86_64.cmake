# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-compiling for 64-bit Windows with Debian's mingw-w64 compilers.
#
#   cmake -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
#         -DCMAKE_PREFIX_PATH="$(tools/windows/build-toolchain.sh --print-prefix)" ...
#
# The libraries for Windows (Qt, SDL2) come from the folder that
# tools/windows/build-toolchain.sh fills (below).
# The same file builds those libraries too, so their build and ours use one compiler
# set-up.
#
# Under Wine, a Windows program does not see the build machine's QT_* variables: Wine
# passes WINEQT_QPA_PLATFORM=offscreen on as QT_QPA_PLATFORM=offscreen (likewise
# WINEQT_QPA_FONTDIR, as a Z:/ path, for the offscreen plugin's fonts).

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The "-posix" variants use winpthreads, which std::thread, std::mutex and
# std::condition_variable need; the "-win32" ones lack them in this GCC.
set(NUMBELO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${NUMBELO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NUMBELO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${NUMBELO_MINGW_TRIPLET}-windres)

# Where to look for Windows headers, libraries and CMake packages: the mingw-w64
# run-time's own folder and the prefix folders; never this machine's /usr.
# The folder is -DNUMBELO_WINDOWS_PREFIX=..., the environment variable of that name, or the
# one build-toolchain.sh names for this machine's inputs (except while that script builds it).
if(NOT NUMBELO_WINDOWS_PREFIX AND DEFINED ENV{NUMBELO_WINDOWS_PREFIX})
  set(NUMBELO_WINDOWS_PREFIX "$ENV{NUMBELO_WINDOWS_PREFIX}")
elseif(NOT NUMBELO_WINDOWS_PREFIX AND NOT DEFINED ENV{NUMBELO_BUILDING_WINDOWS_LIBRARIES})
  execute_process(COMMAND "${CMAKE_CURRENT_LIST_DIR}/../../tools/windows/build-toolchain.sh" --print-prefix
    OUTPUT_VARIABLE NUMBELO_WINDOWS_PREFIX OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(NUMBELO_WINDOWS_PREFIX "${NUMBELO_WINDOWS_PREFIX}" CACHE PATH "Qt and SDL2 built for Windows")
endif()
if(NUMBELO_WINDOWS_PREFIX)
  list(APPEND CMAKE_PREFIX_PATH "${NUMBELO_WINDOWS_PREFIX}")
  list(REMOVE_DUPLICATES CMAKE_PREFIX_PATH)
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${NUMBELO_MINGW_TRIPLET} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The prefix reaches try_compile() projects too, which see neither the cache nor -D values.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES NUMBELO_WINDOWS_PREFIX)

# pkg-config (SDL2 installs sdl2.pc) reads only the prefix folders' .pc files, not the
# build machine's.
set(_numbelo_pc_dirs "")
foreach(_numbelo_dir IN LISTS CMAKE_PREFIX_PATH)
  list(APPEND _numbelo_pc_dirs "${_numbelo_dir}/lib/pkgconfig")
endforeach()
string(REPLACE ";" ":" _numbelo_pc_dirs "${_numbelo_pc_dirs}")
set(ENV{PKG_CONFIG_LIBDIR} "${_numbelo_pc_dirs}")
set(ENV{PKG_CONFIG_PATH} "")
unset(ENV{PKG_CONFIG_SYSROOT_DIR})

# Qt's code generators (moc, uic, rcc) run on the build machine: Debian's own Qt of the
# same version (packages qt6-base-dev and qt6-base-dev-tools).
set(QT_HOST_PATH /usr CACHE PATH "Qt installation whose tools run on the build machine")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "CMake packages of that Qt")

# The compiler's run-time DLLs (libstdc++-6.dll, libgcc_s_seh-1.dll, libwinpthread-1.dll),
# which a program built here needs beside it, as the compiler itself finds them.
if(NOT NUMBELO_MINGW_RUNTIME_DLLS)
  foreach(_numbelo_dll IN ITEMS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_numbelo_dll}
      OUTPUT_VARIABLE _numbelo_path OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(IS_ABSOLUTE "${_numbelo_path}" AND EXISTS "${_numbelo_path}")
      file(REAL_PATH "${_numbelo_path}" _numbelo_path)
      list(APPEND NUMBELO_MINGW_RUNTIME_DLLS "${_numbelo_path}")
    endif()
  endforeach()
endif()
