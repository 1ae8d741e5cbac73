// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RandomGenerator.h"

#include <chrono>

std::int32_t RandomGenerator::below(std::int32_t n)
{
    m_seed = m_seed * 134775813u + 1u;
    const std::uint64_t product = std::uint64_t(m_seed) * std::uint64_t(std::uint32_t(n));
    return std::int32_t(product >> 32);
}

std::uint32_t utcMillisecondsOfDay()
{
    using namespace std::chrono;
    constexpr std::int64_t day = 24 * 60 * 60 * 1000;
    const std::int64_t now =
        duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    return std::uint32_t(((now % day) + day) % day);
}
