#include "synth/ResonanceCurves.h"

#include <gtest/gtest.h>

#include <tuple>

TEST (ResonanceCurvesTest, LookUpReturnsEachBreakpointsGainOverRisingInputs)
{
    for (int row = 0; row < ResonanceCurves::numRates; ++row)
    {
        const auto& curve = ResonanceCurves::get (row);

        for (int i = 1; i < curve.length; ++i)
        {
            EXPECT_LT (curve.inputs[i - 1], curve.inputs[i]) << row << " " << i;
            EXPECT_DOUBLE_EQ (ResonanceCurves::lookUp (curve, curve.inputs[i]), curve.gains[i]) << row << " " << i;
        }
    }
}

TEST (ResonanceCurvesTest, LookUpInterpolatesBetweenBreakpointsAndExtendsTheLastSegment)
{
    const auto at48000 = 0.999 * 48000.0 / 44100.0;
    const auto at192000 = 0.999 * 192000.0 / 44100.0;   // about 4.349, beyond the last breakpoint 4.3
    const std::tuple<int, double, double> table[] = {
        { 0, 0.35, 0.5785 },                  // 44100 Hz, between 0.3 (0.565) and 0.4 (0.592)
        { 0, 0.999, 0.25 },                   // the upper cutoff limit falls on a breakpoint
        { 1, at48000, 0.34 + (0.23 - 0.34) * (at48000 - 1.0) / 0.1 },
        { 4, at192000, 0.23 + (0.23 - 0.6) / (4.3 - 2.1) * (at192000 - 4.3) },
    };

    for (const auto& [row, x, expected] : table)
        EXPECT_NEAR (ResonanceCurves::lookUp (ResonanceCurves::get (row), x), expected, 1.0e-12) << row << " " << x;
}

TEST (ResonanceCurvesTest, AnUnknownRowGetsThe44100Curve)
{
    EXPECT_EQ (ResonanceCurves::get (5).gains, ResonanceCurves::get (0).gains);
    EXPECT_EQ (ResonanceCurves::get (-1).gains, ResonanceCurves::get (0).gains);
}

TEST (ResonanceCurvesTest, ALookUpFromTheLastSegmentFindsWhatASearchFromTheStartFinds)
{
    // The cutoff sweeps both ways, slowly and by jumps; a remembered segment out of
    // range (another rate's curve was longer) is brought back into the table.
    const double path[] = { 0.0001, 0.004, 0.005, 0.0051, 0.2, 0.9995, 4.349, 1.0, 0.999, 0.12, 0.11, 0.1, 0.0099, 0.7, 0.0001 };

    for (int row = 0; row < ResonanceCurves::numRates; ++row)
    {
        const auto& curve = ResonanceCurves::get (row);

        for (const auto staleSegment : { 1, 0, 32, 100 })
        {
            auto segment = staleSegment;

            for (const auto x : path)
                EXPECT_EQ (ResonanceCurves::lookUp (curve, x, segment), ResonanceCurves::lookUp (curve, x))
                    << row << " " << x << " " << staleSegment;
        }
    }
}
