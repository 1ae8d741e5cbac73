// SPDX-License-Identifier: GPL-3.0-or-later
#include "program/FontWarmUp.h"

#include "platform/portable/ProcessSetUp.h"

FontWarmUp::FontWarmUp() : m_thread([] { prepareSystemFonts(); }) {}

FontWarmUp::~FontWarmUp()
{
    wait();
}

void FontWarmUp::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}
