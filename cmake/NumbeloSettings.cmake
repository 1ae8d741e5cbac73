# SPDX-License-Identifier: GPL-3.0-or-later
# The settings of a build, in one place: who made it (shown in the about box, written into
# the package and the AppStream data), the id the desktop knows the program by, and what is
# built besides the program.

# Who made this build and how to reach and support them. The defaults are placeholders:
# whoever distributes Numbelo sets their own (cmake -DNUMBELO_MAKER_EMAIL=... and so on).
set(NUMBELO_MAKER_EMAIL "numbelo@example.org" CACHE STRING
  "E-mail address shown in the about box and written into the package")
set(NUMBELO_MAKER_HOMEPAGE "https://numbelo.example.org/" CACHE STRING
  "Home page shown in the about box, the package and the AppStream data")
set(NUMBELO_DONATION_BANK "Bank Contoh cabang Contoh" CACHE STRING
  "Bank and branch named in the about box's donation request")
set(NUMBELO_DONATION_ACCOUNT "000-000-0000" CACHE STRING
  "Account number named in the about box's donation request")

# One id for the menu entry, the AppStream data, the icon and the program's own announcement
# of itself (QGuiApplication::setDesktopFileName).
set(NUMBELO_APP_ID "org.example.numbelo")
# The name of the mark a running Numbelo holds on Windows and its installers look for (in
# Windows' "Global\" namespace, platform/windows/RunningMark.cpp).
set(NUMBELO_RUNNING_MARK "${NUMBELO_APP_ID}.running")

# The libFuzzer targets need a clang build folder of their own: the "fuzz" preset, build-fuzz/
# (tests/system/fuzz/run.sh).
option(NUMBELO_FUZZ "Build the libFuzzer targets (clang only)" OFF)
