#pragma once

#include <juce_graphics/juce_graphics.h>

/*  Decodes the pictures of skin packages, which come from anyone. The size a
    picture declares is checked before anything is allocated for it.

    PNG and JPEG go to libpng's and libjpeg's own error-safe entry points: the
    toolkit's readers let those libraries carry on after an error, which on
    damaged data crashes. GIF goes to the toolkit's own reader.
*/
namespace SkinImageDecoder
{
constexpr int maxSide = 32768;
constexpr juce::int64 maxPixels = 32 * 1024 * 1024;

/** An ARGB image of PNG, JPEG or GIF data; a null image for anything else, for
    damaged data, and for a picture declaring a size beyond the limits. */
juce::Image decode (const void* data, size_t size);

/** The memory the picture's decoded image takes, from the size its header
    declares, read without decoding it; 0 for data that decode refuses by its
    header alone. */
juce::int64 decodedBytes (const void* data, size_t size);
} // namespace SkinImageDecoder
