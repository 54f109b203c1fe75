#include "synth/MersenneTwister.h"

#include <cstddef>

MersenneTwister::MersenneTwister (std::uint32_t initialSeed)
{
    seed (initialSeed);
}

void MersenneTwister::seed (std::uint32_t newSeed) noexcept
{
    state[0] = newSeed;

    for (std::size_t i = 1; i < state.size(); ++i)
        state[i] = 69069u * state[i - 1];

    index = stateSize;
}

void MersenneTwister::regenerate() noexcept
{
    constexpr std::uint32_t upperMask = 0x80000000u, lowerMask = 0x7fffffffu, matrix = 0x9908b0dfu;
    constexpr std::size_t shift = 397, size = stateSize;

    for (std::size_t i = 0; i < size; ++i)
    {
        const auto y = (state[i] & upperMask) | (state[(i + 1) % size] & lowerMask);
        state[i] = state[(i + shift) % size] ^ (y >> 1) ^ ((y & 1u) != 0 ? matrix : 0u);
    }

    index = 0;
}

std::uint32_t MersenneTwister::next() noexcept
{
    if (index >= stateSize)
        regenerate();

    auto y = state[static_cast<std::size_t> (index++)];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= y >> 18;
    return y;
}
