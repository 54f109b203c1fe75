#include "synth/MersenneTwister.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace
{
// The standard library's engine, loaded with the state that the multiplicative
// seeding gives: its textual form is exactly the 624 state words, after which
// the next draw regenerates. (std::mt19937's own seeding differs.)
std::mt19937 standardEngineSeededLikeThe1998Original (std::uint32_t seed)
{
    std::ostringstream words;
    std::uint32_t word = seed;

    for (int i = 0; i < MersenneTwister::stateSize; ++i)
    {
        words << word << ' ';
        word = 69069u * word;
    }

    std::mt19937 engine;
    std::istringstream in (words.str());
    in >> engine;
    return engine;
}
} // namespace

TEST (MersenneTwister, MatchesTheStandardGenerationAndTemperingForTheMultiplicativeSeedingAndReseeding)
{
    MersenneTwister generator (42);
    generator.next();

    for (const std::uint32_t seed : { 1u, 1234u, 4357u, 1000000u, 0xdeadbeefu })
    {
        generator.seed (seed);   // after the previous seed's draws
        auto reference = standardEngineSeededLikeThe1998Original (seed);

        for (int i = 0; i < 2000; ++i)
            ASSERT_EQ (generator.next(), reference()) << "seed " << seed << " draw " << i;
    }

    EXPECT_EQ (MersenneTwister (1234).next(), standardEngineSeededLikeThe1998Original (1234)());
}
