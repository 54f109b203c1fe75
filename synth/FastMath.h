#pragma once

#include <cstdint>
#include <cstring>

/** Taylor coefficients of FastMath's series, worked out by the compiler. */
namespace FastMathSeries
{
/** (-1)^((n - 1) / 2) / n! */
constexpr double sinTerm (int n) noexcept
{
    double term = 1.0;
    for (int i = 2; i <= n; ++i)
        term /= i;
    return (n / 2) % 2 == 0 ? term : -term;
}

/** (ln 2)^n / n! */
constexpr double exp2Term (int n) noexcept
{
    double term = 1.0;
    for (int i = 1; i <= n; ++i)
        term *= 0.693147180559945309417 / i;
    return term;
}
} // namespace FastMathSeries

/*  The voice engine's transcendental functions, made for its hot loops: no
    division and no library call, with bounded error. sin and exp2 have no
    branches either, so loops of them vectorise. The filter's saturation sits
    on a serial chain of eight calls a sample, so there it is latency that
    counts: one table look-up and a quadratic.

    ExactMath is the same interface on the standard library; the engine is
    built with either (see TarvelinCore::Math).
*/
class FastMath
{
public:
    /** The saturation's argument is kept in steps of the table: tanh (z / stepsPerUnit). */
    static constexpr double stepsPerUnit = 128.0;

    /** One look-up of the saturation, tanh (z / stepsPerUnit), as the quadratic in z of
        z's step of the table: within 6e-9 of the exact value for every z. The argument is
        limited to +-12 (where tanh is 1 to within 8e-11); NaN gives -tanh (12).
    */
    struct Saturation
    {
        double c0, c1, c2, z;

        double value() const noexcept      { return c0 + c1 * z + c2 * (z * z); }

        /** base + a tanh, grouped so that the table's values, the last to arrive, meet
            one multiply and two adds: the filter's serial chain runs through here.
        */
        double scaledPlus (double a, double base) const noexcept
        {
            const auto az = a * z;
            return (base + a * c0) + (c1 * az + c2 * (az * z));
        }
    };

    static Saturation saturation (double z) noexcept
    {
        // Comparisons, not min and max: compilers make these branches, which prediction
        // takes off the chain. NaN takes the lower limit, so the index stays in the table.
        z = z > -tableLimit ? z : -tableLimit;
        z = z < tableLimit ? z : tableLimit;

        // Adding 1.5 * 2^52 rounds z to an integer held in the low bits of the sum; the
        // arrays' addresses are biased so that those bits index them as they are.
        const auto shifted = z + roundingShift;
        std::uint64_t bits;
        std::memcpy (&bits, &shifted, sizeof (bits));
        const auto offset = bits * sizeof (double);

        return { *reinterpret_cast<const double*> (biasedTable[0] + offset),
                 *reinterpret_cast<const double*> (biasedTable[1] + offset),
                 *reinterpret_cast<const double*> (biasedTable[2] + offset),
                 z };
    }

    /** tanh (z / stepsPerUnit), as above. */
    static double tanhOfSteps (double z) noexcept   { return saturation (z).value(); }

    /** tanh (y), as above. */
    static double tanh (double y) noexcept          { return tanhOfSteps (y * stepsPerUnit); }

    /** sin (x) to within 2e-16 for |x| up to 2^20 (an oscillator argument stays below 2^17). */
    static double sin (double x) noexcept
    {
        // x = k pi + r with |r| <= pi / 2 and sin (x) = (-1)^k sin (r); pi in three parts,
        // the first two of 33 bits, so that k times either is exact.
        constexpr double piHigh = 0x1.921fb54400000p+1;
        constexpr double piMiddle = 0x1.0b4611a600000p-33;
        constexpr double piLow = 0x1.3198a2e037073p-68;
        constexpr double inversePi = 0.318309886183790671538;

        const auto shifted = x * inversePi + roundingShift;
        const auto k = shifted - roundingShift;
        const auto r = ((x - k * piHigh) - k * piMiddle) - k * piLow;
        const auto r2 = r * r;

        // Taylor to r^21: the first term left out is below 1.2e-18 at pi / 2.
        using FastMathSeries::sinTerm;
        constexpr double c3 = sinTerm (3), c5 = sinTerm (5), c7 = sinTerm (7), c9 = sinTerm (9),
                         c11 = sinTerm (11), c13 = sinTerm (13), c15 = sinTerm (15), c17 = sinTerm (17),
                         c19 = sinTerm (19), c21 = sinTerm (21);
        const auto p = c3 + r2 * (c5 + r2 * (c7 + r2 * (c9 + r2 * (c11 + r2 * (c13 + r2 * (c15
                         + r2 * (c17 + r2 * (c19 + r2 * c21))))))));

        // (-1)^k: the sign bit flipped by the lowest bit of k
        std::uint64_t valueBits, kBits;
        const auto value = r + r * r2 * p;
        std::memcpy (&valueBits, &value, sizeof (valueBits));
        std::memcpy (&kBits, &shifted, sizeof (kBits));
        valueBits ^= kBits << 63;

        double result;
        std::memcpy (&result, &valueBits, sizeof (result));
        return result;
    }

    /** 2^x to within 2 ulp for |x| up to 1000; the caller keeps x in that range
        (limits here would keep loops of calls from vectorising).
    */
    static double exp2 (double x) noexcept
    {
        const auto shifted = x + roundingShift;
        const auto f = x - (shifted - roundingShift);   // |f| <= 0.5

        // Taylor of e^(f ln 2) to the 13th power: the rest is below 5e-18.
        using FastMathSeries::exp2Term;
        constexpr double c1 = exp2Term (1), c2 = exp2Term (2), c3 = exp2Term (3), c4 = exp2Term (4),
                         c5 = exp2Term (5), c6 = exp2Term (6), c7 = exp2Term (7), c8 = exp2Term (8),
                         c9 = exp2Term (9), c10 = exp2Term (10), c11 = exp2Term (11), c12 = exp2Term (12),
                         c13 = exp2Term (13);
        const auto p = 1.0 + f * (c1 + f * (c2 + f * (c3 + f * (c4 + f * (c5 + f * (c6 + f * (c7 + f * (c8
                         + f * (c9 + f * (c10 + f * (c11 + f * (c12 + f * c13))))))))))));

        // 2^round (x) from the integer in the low bits of shifted, moved into the exponent
        std::uint64_t bits, shiftBits;
        const auto shift = roundingShift;
        std::memcpy (&bits, &shifted, sizeof (bits));
        std::memcpy (&shiftBits, &shift, sizeof (shiftBits));
        const auto powerBits = (bits - shiftBits + 1023) << 52;

        double power;
        std::memcpy (&power, &powerBits, sizeof (power));
        return p * power;
    }

    /** Builds the tables once; the engine's constructor calls it. Thread-safe. */
    static void prepareTables() noexcept;

private:
    static constexpr double roundingShift = 6755399441055744.0;   // 1.5 * 2^52
    static constexpr double tableLimit = 12.0 * stepsPerUnit;
    static constexpr int tableCentre = static_cast<int> (tableLimit);
    static constexpr int tableSize = 2 * tableCentre + 1;

    // The quadratics' coefficients, one array each, and each array's address biased by
    // the centre less the bits of roundingShift (times 8, modulo 2^64).
    static double saturationTable[3][tableSize];
    static std::uintptr_t biasedTable[3];
};
