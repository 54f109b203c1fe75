#pragma once

/*  The voice filter's resonance compensation: for each supported sample rate a
    curve of feedback gains over x, the cutoff coefficient times rate / 44100.
    The curves were tuned by ear per rate, so they are data, not formulas.
*/
struct ResonanceCurves
{
    /** One rate's breakpoints: ascending inputs and their gains, both of length. */
    struct Curve
    {
        const double* inputs;
        const double* gains;
        int length;
    };

    static constexpr int numRates = 5;

    /** The supported rates, in the order of their rows. */
    static constexpr double rates[numRates] = { 44100.0, 48000.0, 88200.0, 96000.0, 192000.0 };

    /** The curve of row 0 to 4; an out-of-range row gets the 44100 Hz curve. */
    static const Curve& get (int row) noexcept
    {
        static constexpr Curve curves[numRates] = {
            { inputs44100,  gains44100,  31 },
            { inputs48000,  gains48000,  31 },
            { inputs88200,  gains88200,  33 },
            { inputs96000,  gains96000,  33 },
            { inputs192000, gains192000, 33 }
        };

        return curves[(row >= 0 && row < numRates) ? row : 0];
    }

    /** The gain at x by linear interpolation between the breakpoints around it.
        Past the last breakpoint the last segment is extended (192000 Hz reaches
        x = 4.349 against a last breakpoint of 4.3), so no index leaves the table.
    */
    static double lookUp (const Curve& curve, double x) noexcept
    {
        int segment = 1;
        return lookUp (curve, x, segment);
    }

    /** The same, searching from the segment where the last look-up ended (x moves
        little from one sample to the next) and leaving the one it ends in.
    */
    static double lookUp (const Curve& curve, double x, int& segment) noexcept
    {
        auto i = segment < 1 ? 1 : (segment > curve.length - 1 ? curve.length - 1 : segment);

        while (i < curve.length - 1 && curve.inputs[i] < x)
            ++i;

        while (i > 1 && curve.inputs[i - 1] >= x)
            --i;

        segment = i;
        const auto x0 = curve.inputs[i - 1];
        const auto g0 = curve.gains[i - 1];
        return g0 + (curve.gains[i] - g0) * (x - x0) / (curve.inputs[i] - x0);
    }

private:
    // The first 29 inputs are shared by every rate; the tails differ.
    #define TARVELIN_SHARED_CURVE_INPUTS \
        0.0, 0.005, 0.01, 0.02, 0.03, 0.04, 0.05, 0.06, 0.07, 0.08, 0.09, 0.1, 0.11, 0.125, 0.14, \
        0.15, 0.16, 0.18, 0.2, 0.225, 0.25, 0.275, 0.3, 0.4, 0.5, 0.625, 0.75, 0.85, 0.9

    static constexpr double inputs44100[31]  = { TARVELIN_SHARED_CURVE_INPUTS, 0.999, 1.0 };
    static constexpr double inputs48000[31]  = { TARVELIN_SHARED_CURVE_INPUTS, 1.0, 1.1 };
    static constexpr double inputs88200[33]  = { TARVELIN_SHARED_CURVE_INPUTS, 0.999, 1.0, 1.5, 2.0 };
    static constexpr double inputs96000[33]  = { TARVELIN_SHARED_CURVE_INPUTS, 0.999, 1.0, 1.5, 2.2 };
    static constexpr double inputs192000[33] = { TARVELIN_SHARED_CURVE_INPUTS, 0.999, 1.0, 2.1, 4.3 };

    #undef TARVELIN_SHARED_CURVE_INPUTS

    static constexpr double gains44100[31] = {
        0.0, 0.05, 0.19, 0.29, 0.32, 0.37, 0.395, 0.41, 0.437, 0.45, 0.46, 0.47, 0.48, 0.49, 0.5, 0.505,
        0.512, 0.52, 0.53, 0.54, 0.55, 0.557, 0.565, 0.592, 0.604, 0.582, 0.51, 0.412, 0.357, 0.25, 0.25
    };

    static constexpr double gains48000[31] = {
        0.0, 0.05, 0.19, 0.25, 0.29, 0.32, 0.37, 0.39, 0.41, 0.425, 0.44, 0.46, 0.47, 0.48, 0.49, 0.495,
        0.5, 0.51, 0.52, 0.53, 0.54, 0.55, 0.557, 0.585, 0.6, 0.59, 0.55, 0.48, 0.43, 0.34, 0.23
    };

    static constexpr double gains88200[33] = {
        0.0, 0.05, 0.12, 0.2, 0.3, 0.35, 0.38, 0.405, 0.42, 0.435, 0.444, 0.45, 0.46, 0.47, 0.477, 0.482,
        0.486, 0.494, 0.5, 0.505, 0.512, 0.518, 0.524, 0.543, 0.558, 0.575, 0.592, 0.59, 0.59, 0.59, 0.59,
        0.51, 0.25
    };

    static constexpr double gains96000[33] = {
        0.0, 0.05, 0.12, 0.19, 0.3, 0.33, 0.376, 0.4, 0.415, 0.43, 0.44, 0.45, 0.455, 0.455, 0.47, 0.475,
        0.48, 0.485, 0.49, 0.499, 0.507, 0.512, 0.519, 0.535, 0.55, 0.57, 0.584, 0.59, 0.595, 0.595, 0.595,
        0.51, 0.23
    };

    static constexpr double gains192000[33] = {
        0.0, 0.05, 0.12, 0.19, 0.3, 0.34, 0.38, 0.405, 0.42, 0.435, 0.445, 0.45, 0.46, 0.46, 0.47, 0.475,
        0.479, 0.483, 0.488, 0.49, 0.495, 0.5, 0.502, 0.513, 0.522, 0.531, 0.535, 0.545, 0.54, 0.54, 0.54,
        0.6, 0.23
    };
};
