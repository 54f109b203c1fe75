#include "synth/FastMath.h"

#include <cmath>

double FastMath::saturationTable[3][FastMath::tableSize];
std::uintptr_t FastMath::biasedTable[3];

void FastMath::prepareTables() noexcept
{
    static const bool built = []
    {
        // Step j holds the quadratic through tanh at three Chebyshev nodes of its interval
        // (z from j - 0.5 to j + 0.5), close to the best quadratic: its error stays below
        // max |tanh'''| / 6 * (0.5 / stepsPerUnit)^3 / 4, about 5e-9. It is found in t = z - j
        // and written out in z in long double; each of its terms in z is then at most a few
        // units, so rounding them costs nothing beside that error.
        const long double node = 0.5L * std::sqrt (3.0L) / 2.0L;

        for (int j = -tableCentre; j <= tableCentre; ++j)
        {
            const auto at = [j] (long double t) { return std::tanh ((j + t) / static_cast<long double> (stepsPerUnit)); };
            const auto below = at (-node), centre = at (0.0L), above = at (node);

            const auto c1 = (above - below) / (2.0L * node);
            const auto c2 = (above + below - 2.0L * centre) / (2.0L * node * node);
            const auto i = static_cast<std::size_t> (tableCentre + j);

            saturationTable[0][i] = static_cast<double> (centre - c1 * j + c2 * j * j);
            saturationTable[1][i] = static_cast<double> (c1 - 2.0L * c2 * j);
            saturationTable[2][i] = static_cast<double> (c2);
        }

        std::uint64_t shiftBits;
        const auto shift = roundingShift;
        std::memcpy (&shiftBits, &shift, sizeof (shiftBits));

        for (int k = 0; k < 3; ++k)
            biasedTable[k] = reinterpret_cast<std::uintptr_t> (saturationTable[k])
                               + (static_cast<std::uintptr_t> (tableCentre) - shiftBits) * sizeof (double);

        return true;
    }();

    static_cast<void> (built);
}
