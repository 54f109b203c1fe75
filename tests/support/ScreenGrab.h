#pragma once

#include "support/SpawnedProcess.h"

#include <juce_graphics/juce_graphics.h>

#include <algorithm>
#include <map>

/*  Screen grabs of the X display ($DISPLAY) for the tests that run under
    Xvfb: xwd (x11-apps) dumps the root window, and its dump is read here into
    a juce::Image, so that a test probes what the X server really shows, other
    processes' windows included.
*/
namespace ScreenGrab
{
/** An xwd dump as an RGB image: true-colour ZPixmaps of 24 or 32 bits a pixel,
    in either byte order. A null image for anything else or a short dump. */
inline juce::Image readXwd (const juce::MemoryBlock& dump)
{
    constexpr size_t headerWords = 25, colourEntryBytes = 12;
    const auto* bytes = static_cast<const juce::uint8*> (dump.getData());

    if (dump.getSize() < headerWords * 4)
        return {};

    // The header is 25 big-endian words.
    const auto word = [bytes] (size_t index) { return juce::ByteOrder::bigEndianInt (bytes + index * 4); };
    const auto headerSize = word (0), format = word (2), depth = word (3), width = word (4), height = word (5);
    const auto byteOrder = word (7), bitsPerPixel = word (11), bytesPerLine = word (12), visualClass = word (13);
    const juce::uint32 masks[] = { word (14), word (15), word (16) };
    const auto numColours = word (19);

    constexpr juce::uint32 zPixmap = 2, trueColour = 4, directColour = 5;

    if (format != zPixmap || depth != 24 || (visualClass != trueColour && visualClass != directColour)
        || width == 0 || height == 0 || width > 16384 || height > 16384)
        return {};

    // xwd's lines may be longer than their pixels: Xvfb sizes them for 32 bits a pixel.
    const auto bytesPerPixel = bitsPerPixel / 8;
    const auto pixelsStart = static_cast<size_t> (headerSize) + static_cast<size_t> (numColours) * colourEntryBytes;

    if ((bitsPerPixel != 24 && bitsPerPixel != 32) || bytesPerLine < width * bytesPerPixel
        || masks[0] == 0 || masks[1] == 0 || masks[2] == 0
        || dump.getSize() < pixelsStart + static_cast<size_t> (bytesPerLine) * height)
        return {};

    const auto shiftOf = [] (juce::uint32 mask) { int shift = 0; while (((mask >> shift) & 1) == 0) ++shift; return shift; };
    const int shifts[] = { shiftOf (masks[0]), shiftOf (masks[1]), shiftOf (masks[2]) };

    juce::Image image (juce::Image::RGB, static_cast<int> (width), static_cast<int> (height), false);
    const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::writeOnly);

    for (juce::uint32 y = 0; y < height; ++y)
    {
        const auto* line = bytes + pixelsStart + static_cast<size_t> (y) * bytesPerLine;

        for (juce::uint32 x = 0; x < width; ++x)
        {
            const auto* pixel = line + x * bytesPerPixel;
            juce::uint32 value = 0;

            for (juce::uint32 i = 0; i < bytesPerPixel; ++i)
                value |= static_cast<juce::uint32> (pixel[byteOrder == 0 ? i : bytesPerPixel - 1 - i]) << (8 * i);

            const auto channel = [&] (int c) { return static_cast<juce::uint8> ((value & masks[c]) >> shifts[c]); };
            pixels.setPixelColour (static_cast<int> (x), static_cast<int> (y),
                                   juce::Colour (channel (0), channel (1), channel (2)));
        }
    }

    return image;
}

/** The whole screen as it is now; a null image when xwd fails (failure says why). */
inline juce::Image grabScreen (juce::String* failure = nullptr)
{
    const juce::TemporaryFile dump (".xwd");
    const auto result = runTool ({ "xwd", "-root", "-silent", "-out", dump.getFile().getFullPathName() }, 10000);

    juce::MemoryBlock data;

    if (result.succeeded && dump.getFile().loadFileAsData (data))
        if (auto image = readXwd (data); image.isValid())
            return image;

    if (failure != nullptr)
        *failure = result.succeeded ? "unreadable xwd dump" : result.failure;

    return {};
}

/** True when two colours differ by at most tolerance in each of red, green and blue. */
inline bool isNear (juce::Colour a, juce::Colour b, int tolerance)
{
    const auto near = [tolerance] (juce::uint8 x, juce::uint8 y) { return std::abs ((int) x - (int) y) <= tolerance; };
    return near (a.getRed(), b.getRed()) && near (a.getGreen(), b.getGreen()) && near (a.getBlue(), b.getBlue());
}

/** How much of a picture the screen shows at origin. Of the points of a grid
    (every `step` pixels), those in the picture's most common colour (its
    background) and the others (text, lines, lamps) are counted apart, and the
    smaller of the two shares matching within tolerance is the answer: an
    empty black window does not pass for black with white text. A share a
    little below 1 leaves room for what changes by itself (a blinking lamp).
    0 when the picture leaves the screen. */
inline double getMatchingShare (const juce::Image& screen, juce::Point<int> origin, const juce::Image& picture,
                                int step = 3, int tolerance = 8)
{
    if (! screen.getBounds().contains (picture.getBounds() + origin))
        return 0.0;

    std::map<juce::uint32, int> colourCounts;

    for (int y = step / 2; y < picture.getHeight(); y += step)
        for (int x = step / 2; x < picture.getWidth(); x += step)
            ++colourCounts[picture.getPixelAt (x, y).withAlpha ((juce::uint8) 255).getARGB()];

    if (colourCounts.empty())
        return 0.0;

    const auto background = std::max_element (colourCounts.begin(), colourCounts.end(),
                                              [] (const auto& a, const auto& b) { return a.second < b.second; })->first;
    int points[2] = {}, matching[2] = {};

    for (int y = step / 2; y < picture.getHeight(); y += step)
        for (int x = step / 2; x < picture.getWidth(); x += step)
        {
            const auto expected = picture.getPixelAt (x, y);
            const auto group = expected.withAlpha ((juce::uint8) 255).getARGB() == background ? 0 : 1;
            ++points[group];

            if (isNear (screen.getPixelAt (origin.x + x, origin.y + y), expected, tolerance))
                ++matching[group];
        }

    const auto share = [&] (int group) { return points[group] > 0 ? (double) matching[group] / points[group] : 1.0; };
    return std::min (share (0), share (1));
}

/** A part of the screen as it is now; a null image when grabbing fails. */
inline juce::Image grabArea (juce::Rectangle<int> area, juce::String* failure = nullptr)
{
    const auto screen = grabScreen (failure);

    if (! screen.isValid())
        return {};

    return screen.getClippedImage (area.getIntersection (screen.getBounds())).createCopy();
}
} // namespace ScreenGrab
