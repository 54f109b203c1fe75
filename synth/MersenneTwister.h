#pragma once

#include <array>
#include <cstdint>

/**
    The Mersenne Twister MT19937 with the seeding of its original 1998
    publication: word 0 is the seed and every further word is 69069 times the
    one before, modulo 2^32. Generation and tempering are the standard ones, so
    a seed always gives the same sequence; the randomizer relies on that to
    bring back an earlier variant from its seed alone.
*/
class MersenneTwister
{
public:
    explicit MersenneTwister (std::uint32_t seed = 1234);

    /** Starts a new sequence; the next draw regenerates the whole state. */
    void seed (std::uint32_t seed) noexcept;

    /** The next 32-bit value. */
    std::uint32_t next() noexcept;

    static constexpr int stateSize = 624;

private:
    void regenerate() noexcept;

    std::array<std::uint32_t, stateSize> state {};
    int index = stateSize;
};
