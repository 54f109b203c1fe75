#pragma once

#include <juce_graphics/juce_graphics.h>

/*  Decodes the pictures of skin packages, which come from anyone. What a
    picture will cost (its declared size, a JPEG's scans) is read from its
    header and segments, in one pass, before anything is allocated for it.

    PNG and JPEG go to libpng's and libjpeg's own error-safe entry points: the
    toolkit's readers let those libraries carry on after an error, which on
    damaged data crashes. GIF is refused: the toolkit's GIF reader reads and
    writes past its own buffers on picture data that ends early, comes in
    short blocks or holds codes beyond its string table, and only a decoder of
    the whole code stream could tell such data apart.
*/
namespace SkinImageDecoder
{
constexpr int maxSide = 32768;
constexpr juce::int64 maxPixels = 32 * 1024 * 1024;

/** Every scan of a JPEG is a pass over the whole picture (7 ms at the largest
    size). Progressive encoders write about ten (libjpeg's simple progression
    10 for colour, 6 for grey; optimised scripts a few more), a sequential
    picture one per component at most: 32 leaves room for any of them and
    keeps the passes of the largest picture within a quarter of a second. */
constexpr int maxJpegScans = 32;

/** An ARGB image of PNG or JPEG data; a null image for anything else, for
    damaged data, and for a picture declaring a size beyond the limits or
    refused for what it is (whyRefused). */
juce::Image decode (const void* data, size_t size);

/** Why data is refused for what it is, as the end of a sentence about the
    picture ("is a GIF: ..."); empty for data that decode may take. */
juce::String whyRefused (const void* data, size_t size);

/** The most memory decoding the picture takes, from its header, without
    decoding it: the decoded image and, for a JPEG of several scans, the
    decoder's coefficients of the whole picture; 0 for data that decode
    refuses without decoding. */
juce::int64 decodedBytes (const void* data, size_t size);
} // namespace SkinImageDecoder
