#include "synth/FastMath.h"

#include <cmath>

FastMath::Entry FastMath::saturationTable[2 * FastMath::tableCentre + 1];

void FastMath::prepareTables() noexcept
{
    static const bool built = []
    {
        // Each step holds the quadratic through tanh at three Chebyshev nodes of its
        // interval (t from -0.5 to 0.5 around the step), close to the best quadratic:
        // the error stays below max |tanh'''| / 6 * (0.5 / stepsPerUnit)^3 / 4, about 5e-9.
        const long double node = 0.5L * std::sqrt (3.0L) / 2.0L;

        for (int j = -tableCentre; j <= tableCentre; ++j)
        {
            const auto at = [j] (long double t) { return std::tanh ((j + t) / static_cast<long double> (stepsPerUnit)); };
            const auto below = at (-node), centre = at (0.0L), above = at (node);

            auto& entry = saturationTable[tableCentre + j];
            entry.c0 = static_cast<double> (centre);
            entry.c1 = static_cast<double> ((above - below) / (2.0L * node));
            entry.c2 = static_cast<double> ((above + below - 2.0L * centre) / (2.0L * node * node));
            entry.unused = 0.0;
        }

        return true;
    }();

    static_cast<void> (built);
}
