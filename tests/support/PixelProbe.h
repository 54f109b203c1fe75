#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

/*  Headless rendering and pixel probes for interface tests: a component is
    painted into an image, and single pixels are compared with the colours the
    look and feel or a test strip defines. No golden images.
*/

/** Paints a component and its children into an ARGB image of its own size. */
inline juce::Image renderComponent (juce::Component& component)
{
    juce::Image image (juce::Image::ARGB, juce::jmax (1, component.getWidth()), juce::jmax (1, component.getHeight()), true);
    juce::Graphics g (image);
    component.paintEntireComponent (g, true);
    return image;
}

/** Succeeds when every channel of the pixel at (x, y) is within tolerance of the expected colour. */
inline testing::AssertionResult pixelIs (const juce::Image& image, int x, int y, juce::Colour expected, int tolerance = 2)
{
    if (! image.getBounds().contains (x, y))
        return testing::AssertionFailure() << "(" << x << ", " << y << ") lies outside the "
                                           << image.getWidth() << " x " << image.getHeight() << " image";

    const auto actual = image.getPixelAt (x, y);
    const auto near = [tolerance] (juce::uint8 a, juce::uint8 b) { return std::abs ((int) a - (int) b) <= tolerance; };

    if (near (actual.getRed(), expected.getRed()) && near (actual.getGreen(), expected.getGreen())
        && near (actual.getBlue(), expected.getBlue()) && near (actual.getAlpha(), expected.getAlpha()))
        return testing::AssertionSuccess();

    return testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is #" << actual.toDisplayString (true)
                                       << ", expected #" << expected.toDisplayString (true);
}

/** The folder in the build tree where tests leave PNG screenshots for people to look at. */
inline juce::File getScreenshotFolder()
{
#ifdef TARVELIN_SCREENSHOT_FOLDER
    return juce::File (TARVELIN_SCREENSHOT_FOLDER);
#else
    return juce::File::getCurrentWorkingDirectory().getChildFile ("screenshots");
#endif
}

/** Writes an image as PNG into the screenshot folder; true when it was written. */
inline bool writeScreenshot (const juce::Image& image, const juce::String& name)
{
    const auto folder = getScreenshotFolder();
    folder.createDirectory();
    const auto file = folder.getChildFile (name + ".png");
    file.deleteFile();
    juce::FileOutputStream out (file);
    juce::PNGImageFormat png;
    return out.openedOk() && png.writeImageToStream (image, out);
}
