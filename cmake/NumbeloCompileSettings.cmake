# SPDX-License-Identifier: GPL-3.0-or-later
# Settings our own targets link to; third-party headers come in as system includes and are
# not held to them.

# Strict warnings, as errors, for the program, its tests, tools and benchmarks; no connect of a
# functor without a context object, which would outlive the object the functor uses
# (QT_NO_CONTEXTLESS_CONNECT is an error from Qt 6.7 on; Qt 6.4 ignores it, so until then the
# rule is kept by hand); no connect that narrows an argument.
add_library(numbelo_warnings INTERFACE)
target_compile_options(numbelo_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Werror)
target_compile_definitions(numbelo_warnings INTERFACE
  QT_NO_CONTEXTLESS_CONNECT QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)

# The program's own code also spells out the encoding of every string it shows.
add_library(numbelo_explicit_strings INTERFACE)
target_compile_definitions(numbelo_explicit_strings INTERFACE QT_NO_CAST_FROM_ASCII)

# What this build is: its version, the data folder it installs its sounds and readme to, the
# id the desktop knows it by (and the mark it shows its installers), and who made it.
add_library(numbelo_build_info INTERFACE)
target_compile_definitions(numbelo_build_info INTERFACE
  NUMBELO_VERSION="${PROJECT_VERSION}"
  NUMBELO_DATA_DIR="${NUMBELO_DATA_DIR}"
  NUMBELO_APP_ID="${NUMBELO_APP_ID}"
  NUMBELO_RUNNING_MARK="${NUMBELO_RUNNING_MARK}"
  NUMBELO_MAKER_EMAIL="${NUMBELO_MAKER_EMAIL}"
  NUMBELO_MAKER_HOMEPAGE="${NUMBELO_MAKER_HOMEPAGE}"
  NUMBELO_DONATION_BANK="${NUMBELO_DONATION_BANK}"
  NUMBELO_DONATION_ACCOUNT="${NUMBELO_DONATION_ACCOUNT}")
