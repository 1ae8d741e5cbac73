// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <thread>

// Makes the program's faces ready for the system's font lookup on a thread of its own
// (prepareSystemFonts: Linux reads its font configuration, Windows registers the program's own
// font files). Reading the font configuration is the largest single cost of showing any text at
// all; begun before the application is made, it goes on on a second core while the application
// connects to the display, and the window's first frame comes that much sooner.
class FontWarmUp
{
  public:
    FontWarmUp();
    // Waits for the faces, if that has not happened yet.
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp &) = delete;
    FontWarmUp &operator=(const FontWarmUp &) = delete;

    // Blocks until the faces are ready. Call it before the first font is looked up: a lookup
    // while the thread still reads would read the whole configuration a second time.
    void wait();

  private:
    std::thread m_thread;
};
