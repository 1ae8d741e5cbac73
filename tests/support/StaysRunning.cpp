// SPDX-License-Identifier: GPL-3.0-or-later
// A program that runs until it is ended and shows nothing: put in the place of numbelo.exe, it
// stands for a version of Numbelo from before the mark a running Numbelo holds.
#include <windows.h>

int main()
{
    Sleep(INFINITE);
}
