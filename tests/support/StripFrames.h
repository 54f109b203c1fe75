#pragma once

#include "skin/BaseGFXSlider.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>
#include <limits>

/*  Which frame of its strip a knob or switch shows, read off a picture of it
    (a headless rendering, or the screen under the control): the picture is
    compared with a control of the same kind, strip and enablement painted at
    each frame's own value over the same background, and the closest wins.
*/
namespace StripFrames
{
struct Match
{
    int frame = -1;
    juce::int64 difference = std::numeric_limits<juce::int64>::max();   // summed channel differences
};

inline juce::int64 difference (const juce::Image& a, const juce::Image& b)
{
    juce::int64 sum = 0;

    for (int y = 0; y < juce::jmin (a.getHeight(), b.getHeight()); ++y)
    {
        for (int x = 0; x < juce::jmin (a.getWidth(), b.getWidth()); ++x)
        {
            const auto p = a.getPixelAt (x, y), q = b.getPixelAt (x, y);
            sum += std::abs ((int) p.getRed() - (int) q.getRed()) + std::abs ((int) p.getGreen() - (int) q.getGreen())
                 + std::abs ((int) p.getBlue() - (int) q.getBlue());
        }
    }

    return sum;
}

/** The frame that the picture of the control shows; background is what lies
    behind the control (null: nothing, as in a headless rendering). */
template <typename Control>
Match findShownFrame (const Control& control, const juce::Image& picture, const juce::Image& background = {})
{
    Match best;
    const auto frames = control.getFramesNum();

    for (int frame = 0; frame < frames; ++frame)
    {
        Control candidate ("candidate");
        candidate.setImage (control.getImage(), frames);
        candidate.setSize (control.getWidth(), control.getHeight());
        candidate.setEnabled (control.isEnabled());
        candidate.setValue (frames > 1 ? candidate.getMinimum() + (candidate.getMaximum() - candidate.getMinimum()) * frame / (frames - 1)
                                       : candidate.getMinimum(),
                            juce::dontSendNotification);

        juce::Image image (juce::Image::ARGB, juce::jmax (1, control.getWidth()), juce::jmax (1, control.getHeight()), true);
        {
            juce::Graphics g (image);

            if (background.isValid())
                g.drawImageAt (background, 0, 0);

            candidate.paintEntireComponent (g, true);
        }

        if (const auto d = difference (image, picture); d < best.difference)
            best = { frame, d };
    }

    return best;
}

/** The frame the control should show for its bound parameter's value: the
    nearest to the value's share of the range, halves rounding up. */
inline int expectedFrame (const BaseGFXSlider& control)
{
    const auto* parameter = control.getParameter();
    const auto share = parameter != nullptr ? parameter->getNormalisedValue() : 0.0f;
    return (int) std::floor ((float) (control.getFramesNum() - 1) * share + 0.5f);
}
} // namespace StripFrames
