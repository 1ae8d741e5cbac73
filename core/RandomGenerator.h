// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>

// The question dice: a 32-bit linear congruential generator. Each draw advances the seed
// as seed * 134775813 + 1 (wrapping at 32 bits) and scales it to 0 … n-1 by taking the
// upper half of the 64-bit product seed * n.
class RandomGenerator
{
  public:
    explicit RandomGenerator(std::uint32_t seed = 0) : m_seed(seed) {}

    void reseed(std::uint32_t seed) { m_seed = seed; }
    std::uint32_t seed() const { return m_seed; }

    // A whole number 0 … n-1 for n >= 1.
    std::int32_t below(std::int32_t n);

  private:
    std::uint32_t m_seed;
};

// The seed the generator takes before every question: the UTC time of day of `now` in
// milliseconds, ((hour * 60 + minute) * 60 + second) * 1000 + millisecond.
std::uint32_t millisecondsOfDay(std::chrono::system_clock::time_point now);

// The same for the system clock's time now.
std::uint32_t utcMillisecondsOfDay();
