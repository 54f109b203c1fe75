#pragma once

#include <juce_graphics/juce_graphics.h>

/*  Decodes the pictures of skin packages, which come from anyone. What a
    picture will cost (its declared size, a JPEG's scans, the work of its
    decoding) is read from its header and segments, in one pass, before
    anything is allocated for it.

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

/** 4 Mi pixels (2048 x 2048): the default skin's largest picture, its
    1100 x 612 panel, is 16 % of it, and the same panel drawn at twice the
    size for a high-density screen 64 %. */
constexpr juce::int64 maxPixels = 4 * 1024 * 1024;

/** A progressive encoder writes about ten scans (libjpeg's simple
    progression 10 for colour, 6 for grey; optimised scripts a few more), a
    sequential picture one per component at most: 32 leaves room for any of
    them. What the scans cost is counted in Cost::work. */
constexpr int maxJpegScans = 32;

/** What decoding a picture costs, from its header and segments alone. */
struct Cost
{
    /** Why it is refused for what it is, as the end of a sentence about the
        picture ("is a GIF: ..."); empty for data that decode may take. */
    juce::String refusal;

    /** The most memory decoding takes: the decoded image and, for a JPEG of
        several scans, the decoder's coefficients of the whole picture. */
    juce::int64 bytes = 0;

    /** The time decoding may take at worst, in the time of one pixel of an
        8-bit PNG, whatever its filters (25 to 30 ns where the limits were
        measured): a 16-bit pixel costs 3, an interlaced one 1 more. A JPEG
        pixel costs 1/8, every coefficient each scan visits 1/16, every
        coefficient its entropy-coded data can hold a value for 1/3 more, and
        every 16 bytes of coefficients kept between scans 1. */
    juce::int64 work = 0;
};

/** An ARGB image of PNG or JPEG data; a null image for anything else, for
    damaged data, and for a picture declaring a size beyond the limits or
    refused for what it is. */
juce::Image decode (const void* data, size_t size);

/** What decode would cost, without decoding; no bytes and no work for data
    that decode refuses without decoding. */
Cost measure (const void* data, size_t size);
} // namespace SkinImageDecoder
