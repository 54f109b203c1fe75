#pragma once

#include <cmath>

/*  The standard library's functions behind FastMath's interface: the voice
    engine built with these is the reference its fast build is measured against.
*/
struct ExactMath
{
    /** The saturation's argument is taken as it is: tanh (z). */
    static constexpr double stepsPerUnit = 1.0;

    struct Saturation
    {
        double tanhOfZ;

        double value() const noexcept                               { return tanhOfZ; }
        double scaledPlus (double a, double base) const noexcept    { return base + a * tanhOfZ; }
    };

    static Saturation saturation (double z) noexcept    { return { std::tanh (z) }; }
    static double tanh (double y) noexcept              { return std::tanh (y); }
    static double sin (double x) noexcept               { return std::sin (x); }
    static double exp2 (double x) noexcept              { return std::exp2 (x); }
};
