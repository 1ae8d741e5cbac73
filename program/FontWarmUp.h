// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <thread>

// Reads the system's font configuration on a thread of its own. Reading it (fontconfig parses
// some fifty configuration files) is the largest single cost of showing any text at all; begun
// before the application is made, it goes on on a second core while the application connects
// to the display, and the window's first frame comes that much sooner.
class FontWarmUp
{
  public:
    FontWarmUp();
    // Waits for the configuration, if that has not happened yet.
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp &) = delete;
    FontWarmUp &operator=(const FontWarmUp &) = delete;

    // Blocks until the configuration is read. Call it before the first font is looked up: a
    // lookup while the thread still reads would read the whole configuration a second time.
    void wait();

  private:
    std::thread m_thread;
};
