// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/FontWarmUp.h"

#include "platform/portable/ProcessSetUp.h"
#include "platform/portable/ThreadName.h"

FontWarmUp::FontWarmUp()
    : m_thread([] {
          nameThisThread("FontWarmUp");
          prepareSystemFonts();
      })
{}

FontWarmUp::~FontWarmUp()
{
    wait();
}

void FontWarmUp::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}
