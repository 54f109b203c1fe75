#pragma once

#include "framework/Parameter.h"
#include "skin/GUIController.h"
#include "support/PixelProbe.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <optional>
#include <vector>

/*  Helpers for the skinned controls' tests: test strips whose frame i is one
    colour, telling which frame a rendered control shows, mouse events made by
    hand, and a listener that records what a control tells the editor.
*/
namespace ControlTest
{
/** The colour of frame (or glyph row) i of a test strip: distinct for i < 224. */
inline juce::Colour frameColour (int i)
{
    return juce::Colour (static_cast<juce::uint8> ((i % 32) * 8),
                         static_cast<juce::uint8> ((i / 32) * 36),
                         static_cast<juce::uint8> (200));
}

inline std::vector<juce::Colour> frameColours (int numFrames)
{
    std::vector<juce::Colour> colours;

    for (int i = 0; i < numFrames; ++i)
        colours.push_back (frameColour (i));

    return colours;
}

/** A strip of frames width x frameHeight, frame i filled with frameColour (i). */
inline juce::Image makeStrip (int numFrames, int width = 8, int frameHeight = 6)
{
    juce::Image strip (juce::Image::ARGB, width, numFrames * frameHeight, true);
    juce::Graphics g (strip);

    for (int i = 0; i < numFrames; ++i)
    {
        g.setColour (frameColour (i));
        g.fillRect (0, i * frameHeight, width, frameHeight);
    }

    return strip;
}

/** The test-strip frame whose colour the pixel has, or -1 for none. */
inline int frameAt (const juce::Image& image, int x, int y, int numFrames = 224)
{
    if (! image.getBounds().contains (x, y))
        return -1;

    for (int i = 0; i < numFrames; ++i)
        if (pixelIs (image, x, y, frameColour (i), 0))
            return i;

    return -1;
}

/** The frame a control shows at its centre. */
inline int frameShown (juce::Component& component)
{
    return frameAt (renderComponent (component), component.getWidth() / 2, component.getHeight() / 2);
}

/** The frame a control shows at its centre at half opacity (a disabled knob's
    look), or -1 when it shows none that way. */
inline int dimmedFrameShown (juce::Component& component, int numFrames = 224)
{
    const auto pixel = renderComponent (component).getPixelAt (component.getWidth() / 2, component.getHeight() / 2);
    const auto near = [] (int a, int b, int tolerance) { return std::abs (a - b) <= tolerance; };

    if (! near (pixel.getAlpha(), 128, 2))
        return -1;

    for (int i = 0; i < numFrames; ++i)
    {
        const auto colour = frameColour (i);

        if (near (pixel.getRed(), colour.getRed(), 3) && near (pixel.getGreen(), colour.getGreen(), 3)
            && near (pixel.getBlue(), colour.getBlue(), 3))
            return i;
    }

    return -1;
}

/** A mouse event on a component at a position, pressed at another. */
inline juce::MouseEvent mouseEvent (juce::Component& component, juce::Point<int> position,
                                    juce::ModifierKeys mods = juce::ModifierKeys::leftButtonModifier,
                                    std::optional<juce::Point<int>> pressedAt = {})
{
    const auto now = juce::Time::getCurrentTime();
    const auto down = pressedAt.value_or (position);

    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), position.toFloat(), mods,
                             juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f,
                             &component, &component, now, down.toFloat(), now, 1, position != down);
}

// Through juce::Component, where the mouse handlers are public.
inline void press (juce::Component& component, juce::Point<int> at, juce::ModifierKeys mods = juce::ModifierKeys::leftButtonModifier)
{
    component.mouseDown (mouseEvent (component, at, mods));
}

inline void release (juce::Component& component, juce::Point<int> at, juce::ModifierKeys mods = juce::ModifierKeys::leftButtonModifier)
{
    component.mouseUp (mouseEvent (component, at, mods));
}

/** Presses, drags by (dx, dy) if not zero, and releases, like a user's gesture. */
inline void pressDragRelease (juce::Component& component, juce::Point<int> at, juce::Point<int> by = {},
                              juce::ModifierKeys mods = juce::ModifierKeys::leftButtonModifier)
{
    component.mouseDown (mouseEvent (component, at, mods));

    if (! by.isOrigin())
        component.mouseDrag (mouseEvent (component, at + by, mods, at));

    component.mouseUp (mouseEvent (component, at + by, mods, at));
}

/** Owns a test's parameters. Declared before the controls bound to them, it
    outlives them: a control leaves its parameter's listener list when it goes. */
class Parameters
{
public:
    template <typename ParameterType, typename... Args>
    ParameterType& add (Args&&... args)
    {
        auto parameter = std::make_unique<ParameterType> (std::forward<Args> (args)...);
        auto& added = *parameter;
        owned.push_back (std::move (parameter));
        return added;
    }

private:
    std::vector<std::unique_ptr<Parameter>> owned;
};

/** Records what a control tells the editor, in order. */
struct ControllerRecorder : public GUIController::Listener
{
    void controllerGestureStarted (GUIController*) override             { calls.push_back ("gesture start"); }
    void controllerGestureEnded (GUIController*) override               { calls.push_back ("gesture end"); }
    void controllerValueChanged (GUIController*) override               { calls.push_back ("value"); }
    void controllerEventTriggered (GUIController*, int eventId) override { events.push_back (eventId); }

    std::vector<juce::String> calls;
    std::vector<int> events;
};
} // namespace ControlTest
