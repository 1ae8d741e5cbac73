# SPDX-License-Identifier: GPL-3.0-or-later
# Strict warnings for our own code only: third-party headers come in as system includes.
add_library(numbelo_test_warnings INTERFACE)
target_compile_options(numbelo_test_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Werror)
target_compile_definitions(numbelo_test_warnings INTERFACE
  QT_NO_CONTEXTLESS_CONNECT QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  NUMBELO_VERSION="${PROJECT_VERSION}"
  NUMBELO_DATA_DIR="${NUMBELO_DATA_DIR}")

# The program's code also spells out the encoding of every string it shows.
add_library(numbelo_warnings INTERFACE)
target_link_libraries(numbelo_warnings INTERFACE numbelo_test_warnings)
target_compile_definitions(numbelo_warnings INTERFACE QT_NO_CAST_FROM_ASCII)
