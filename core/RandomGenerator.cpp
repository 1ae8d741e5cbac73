// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RandomGenerator.h"

std::int32_t RandomGenerator::below(std::int32_t n)
{
    m_seed = m_seed * 134775813u + 1u;
    const std::uint64_t product = std::uint64_t(m_seed) * std::uint64_t(std::uint32_t(n));
    return std::int32_t(product >> 32);
}

std::uint32_t millisecondsOfDay(std::chrono::system_clock::time_point now)
{
    using namespace std::chrono;
    constexpr std::int64_t day = 24 * 60 * 60 * 1000;
    // The clock counts from midnight UTC; before 1970 the count is negative.
    const std::int64_t since = duration_cast<milliseconds>(now.time_since_epoch()).count();
    return std::uint32_t(((since % day) + day) % day);
}

std::uint32_t utcMillisecondsOfDay()
{
    return millisecondsOfDay(std::chrono::system_clock::now());
}
