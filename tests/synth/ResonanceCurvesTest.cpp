#include "synth/ResonanceCurves.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
const ResonanceCurves::Curve& curveFor (double rate)
{
    for (int row = 0; row < ResonanceCurves::numRates; ++row)
        if (ResonanceCurves::rates[row] == rate)
            return ResonanceCurves::get (row);

    return ResonanceCurves::get (-1);
}
} // namespace

TEST (ResonanceCurvesTest, RowsHoldTheirRatesAndLengths)
{
    const std::pair<double, int> expected[] = { { 44100.0, 31 }, { 48000.0, 31 }, { 88200.0, 33 },
                                                { 96000.0, 33 }, { 192000.0, 33 } };

    for (int row = 0; row < ResonanceCurves::numRates; ++row)
    {
        EXPECT_EQ (ResonanceCurves::rates[row], expected[row].first);
        EXPECT_EQ (ResonanceCurves::get (row).length, expected[row].second);
    }
}

TEST (ResonanceCurvesTest, EveryCurveSharesTheFirst29InputsAndRisesStrictly)
{
    const auto& first = ResonanceCurves::get (0);

    for (int row = 0; row < ResonanceCurves::numRates; ++row)
    {
        const auto& curve = ResonanceCurves::get (row);

        for (int i = 0; i < 29; ++i)
            EXPECT_EQ (curve.inputs[i], first.inputs[i]) << row << " " << i;

        for (int i = 1; i < curve.length; ++i)
            EXPECT_LT (curve.inputs[i - 1], curve.inputs[i]) << row << " " << i;
    }
}

TEST (ResonanceCurvesTest, LookUpReturnsEachBreakpointsGain)
{
    for (int row = 0; row < ResonanceCurves::numRates; ++row)
    {
        const auto& curve = ResonanceCurves::get (row);

        for (int i = 1; i < curve.length; ++i)
            EXPECT_DOUBLE_EQ (ResonanceCurves::lookUp (curve, curve.inputs[i]), curve.gains[i]) << row << " " << i;
    }
}

TEST (ResonanceCurvesTest, LookUpInterpolatesBetweenBreakpointsAndExtendsTheLastSegment)
{
    const auto at48000 = 0.999 * 48000.0 / 44100.0;
    const auto at192000 = 0.999 * 192000.0 / 44100.0;   // about 4.349, beyond the last breakpoint 4.3
    const std::tuple<double, double, double> table[] = {
        { 44100.0, 0.35, 0.5785 },                  // between 0.3 (0.565) and 0.4 (0.592)
        { 44100.0, 0.999, 0.25 },                   // the upper cutoff limit falls on a breakpoint
        { 48000.0, at48000, 0.34 + (0.23 - 0.34) * (at48000 - 1.0) / 0.1 },
        { 192000.0, at192000, 0.23 + (0.23 - 0.6) / (4.3 - 2.1) * (at192000 - 4.3) },
    };

    for (const auto& [rate, x, expected] : table)
        EXPECT_NEAR (ResonanceCurves::lookUp (curveFor (rate), x), expected, 1.0e-12) << rate << " " << x;
}

TEST (ResonanceCurvesTest, AnUnknownRowGetsThe44100Curve)
{
    EXPECT_EQ (ResonanceCurves::get (5).gains, ResonanceCurves::get (0).gains);
    EXPECT_EQ (ResonanceCurves::get (-1).gains, ResonanceCurves::get (0).gains);
}
