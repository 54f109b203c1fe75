#include "skin/SkinImageDecoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace
{
enum class Format
{
    none,
    png,
    jpeg,
    gif
};

/** What a picture will cost, read before it is decoded: the decoders
    allocate whatever the header says, a PNG costs more for every byte of its
    rows, and a JPEG costs a pass over the blocks of its components for every
    scan. */
struct Layout
{
    Format format = Format::none;
    juce::int64 width = 0, height = 0;

    int pngBitDepth = 0;
    bool pngInterlaced = false;

    int jpegScans = 0;
    bool jpegArithmetic = false;

    /** The coefficients libjpeg keeps for the whole picture while it reads a
        JPEG of several scans (progressive, or one scan per component). */
    juce::int64 jpegCoefficientBytes = 0;

    /** Every scan's blocks times the coefficients of its band, summed. */
    juce::int64 jpegCoefficientVisits = 0;

    /** The bytes between the segments: the entropy-coded data. */
    juce::int64 jpegEntropyBytes = 0;
};

//==============================================================================
const juce::uint8 pngSignature[] = { 0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a };

bool readPngLayout (const juce::uint8* bytes, size_t size, Layout& layout)
{
    if (size < 29 || std::memcmp (bytes, pngSignature, sizeof (pngSignature)) != 0 || std::memcmp (bytes + 12, "IHDR", 4) != 0)
        return false;

    layout.width = juce::ByteOrder::bigEndianInt (bytes + 16);
    layout.height = juce::ByteOrder::bigEndianInt (bytes + 20);
    layout.pngBitDepth = bytes[24];
    layout.pngInterlaced = bytes[28] != 0;
    return true;
}

//==============================================================================
bool isJpegFrameHeader (juce::uint8 marker) noexcept
{
    return marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
}

bool isProgressiveJpeg (juce::uint8 frameMarker) noexcept
{
    return frameMarker == 0xc2 || frameMarker == 0xc6 || frameMarker == 0xca || frameMarker == 0xce;
}

/** Frames 0xc9 to 0xcb and 0xcd to 0xcf: arithmetic coding takes a
    decision for every coefficient a scan reaches whatever its data holds,
    and no common encoder writes it. */
bool isArithmeticJpeg (juce::uint8 frameMarker) noexcept
{
    return frameMarker >= 0xc9;
}

juce::int64 roundedUp (juce::int64 value, juce::int64 multiple) noexcept
{
    return (value + multiple - 1) / multiple * multiple;
}

/** A frame's components: their ids and the blocks libjpeg decodes of each
    (whole blocks, rounded up to the component's sampling factors). */
struct JpegFrame
{
    bool read = false, progressive = false;
    std::vector<std::pair<int, juce::int64>> componentBlocks;
};

/** The frame header after its marker: the size, the blocks of each
    component, and the coefficients that libjpeg keeps of them when it reads
    the whole picture before its output (64 of 2 bytes a block). False where
    libjpeg stops with an error. */
bool readJpegFrame (const juce::uint8* segment, size_t available, Layout& layout, JpegFrame& frame)
{
    if (available < 8)
        return false;

    const size_t length = juce::ByteOrder::bigEndianShort (segment);
    const int components = segment[7];

    if (components < 1 || length != 8 + 3 * static_cast<size_t> (components) || available < length)
        return false;

    layout.height = juce::ByteOrder::bigEndianShort (segment + 3);
    layout.width = juce::ByteOrder::bigEndianShort (segment + 5);

    int maxH = 1, maxV = 1;

    for (int i = 0; i < components; ++i)
    {
        const auto sampling = segment[8 + 3 * i + 1];
        const int h = sampling >> 4, v = sampling & 15;

        if (h < 1 || h > 4 || v < 1 || v > 4)
            return false;

        maxH = std::max (maxH, h);
        maxV = std::max (maxV, v);
    }

    for (int i = 0; i < components; ++i)
    {
        const auto sampling = segment[8 + 3 * i + 1];
        const int h = sampling >> 4, v = sampling & 15;
        const auto blocksWide = (layout.width * h + 8 * maxH - 1) / (8 * maxH);
        const auto blocksHigh = (layout.height * v + 8 * maxV - 1) / (8 * maxV);
        frame.componentBlocks.emplace_back (segment[8 + 3 * i], roundedUp (blocksWide, h) * roundedUp (blocksHigh, v));
    }

    return true;
}

/** The coefficients a scan visits: the blocks of each of its components
    times its band (the whole block in a sequential scan). A component the
    frame lacks counts as the largest. */
juce::int64 visitsOfScan (const juce::uint8* segment, size_t available, const JpegFrame& frame)
{
    juce::int64 largest = 0;

    for (const auto& component : frame.componentBlocks)
        largest = std::max (largest, component.second);

    if (available < 3 || available < 3 + 2 * static_cast<size_t> (segment[2]) + 3)
        return largest * 64;

    const int components = segment[2];
    const auto* band = segment + 3 + 2 * components;
    const juce::int64 coefficients = frame.progressive ? std::max (1, std::min<int> (band[1], 63) - band[0] + 1) : 64;
    juce::int64 blocks = 0;

    for (int i = 0; i < components; ++i)
    {
        auto componentBlocks = largest;

        for (const auto& component : frame.componentBlocks)
            if (component.first == segment[3 + 2 * i])
                componentBlocks = component.second;

        blocks += componentBlocks;
    }

    return blocks * coefficients;
}

/** One pass over the segments as libjpeg meets them: bytes outside a
    segment (entropy-coded data, with its stuffed 0xff 0x00 and restart
    markers, or garbage) are skipped up to the next marker, every segment by
    its length. Counts the scans and what they visit up to the end of the
    picture. A scan before the frame is an error to libjpeg. */
bool readJpegLayout (const juce::uint8* bytes, size_t size, Layout& layout)
{
    if (size < 4 || bytes[0] != 0xff || bytes[1] != 0xd8)
        return false;

    JpegFrame frame;
    juce::int64 coefficientBytes = 0;
    size_t pos = 2;

    while (pos < size)
    {
        if (bytes[pos] != 0xff)
        {
            ++pos;
            ++layout.jpegEntropyBytes;
            continue;
        }

        while (pos < size && bytes[pos] == 0xff)
            ++pos;

        if (pos == size)
            break;

        const auto marker = bytes[pos++];

        if (marker == 0x00)
            ++layout.jpegEntropyBytes;

        if (marker == 0x00 || marker == 0x01 || (marker >= 0xd0 && marker <= 0xd8))
            continue;

        if (marker == 0xd9 || pos + 2 > size)
            break;

        if (marker == 0xda)
        {
            if (! frame.read)
                return false;

            ++layout.jpegScans;
            layout.jpegCoefficientVisits += visitsOfScan (bytes + pos, size - pos, frame);
        }
        else if (isJpegFrameHeader (marker) && ! frame.read)
        {
            if (! readJpegFrame (bytes + pos, size - pos, layout, frame))
                return false;

            frame.read = true;
            frame.progressive = isProgressiveJpeg (marker);
            layout.jpegArithmetic = isArithmeticJpeg (marker);

            for (const auto& component : frame.componentBlocks)
                coefficientBytes += component.second * 64 * 2;
        }

        pos += std::max<size_t> (juce::ByteOrder::bigEndianShort (bytes + pos), 2);
    }

    if (! frame.read)
        return false;

    if (frame.progressive || layout.jpegScans > 1)
        layout.jpegCoefficientBytes = coefficientBytes;

    return true;
}

//==============================================================================
bool isGif (const juce::uint8* bytes, size_t size)
{
    return size >= 6 && (std::memcmp (bytes, "GIF87a", 6) == 0 || std::memcmp (bytes, "GIF89a", 6) == 0);
}

bool isWithinLimits (juce::int64 width, juce::int64 height)
{
    return width >= 1 && height >= 1 && width <= SkinImageDecoder::maxSide && height <= SkinImageDecoder::maxSide
        && width * height <= SkinImageDecoder::maxPixels;
}

/** The format and what the picture will cost; none for data that is no
    picture or declares a size beyond the limits. */
Layout readLayout (const void* data, size_t size)
{
    const auto* bytes = static_cast<const juce::uint8*> (data);
    Layout layout;

    if (data == nullptr || size == 0)
        return layout;

    if (readPngLayout (bytes, size, layout))
        layout.format = Format::png;
    else if (readJpegLayout (bytes, size, layout))
        layout.format = Format::jpeg;
    else if (isGif (bytes, size))
        layout.format = Format::gif;

    if (layout.format != Format::gif && ! isWithinLimits (layout.width, layout.height))
        layout.format = Format::none;

    return layout;
}

juce::String whyRefused (const Layout& layout)
{
    if (layout.format == Format::gif)
        return "is a GIF: skins take PNG and JPEG pictures only";

    if (layout.format == Format::jpeg && layout.jpegArithmetic)
        return "is an arithmetic-coded JPEG: skins take Huffman-coded JPEG pictures only";

    if (layout.format == Format::jpeg && layout.jpegScans > SkinImageDecoder::maxJpegScans)
        return "is a JPEG of more than " + juce::String (SkinImageDecoder::maxJpegScans) + " scans";

    return {};
}

/** Measured on pictures whose data costs their decoder most: libpng
    inflates every row and undoes its filter (the Paeth filter of an 8-bit
    RGBA picture: 25 ns a pixel), converts 16-bit samples (2.1 times that)
    and walks interlaced pictures pass by pass (up to 2.4 times for 16-bit
    RGBA, twice for a 1-bit palette). libjpeg writes a pixel in 2 ns, walks a
    coefficient of a scan's band in 1.1 ns, decodes a value in 7 ns (a value
    takes a bit of data at least) and stores and reloads the coefficients it
    keeps between scans at 1 ns a byte. */
juce::int64 workOf (const Layout& layout)
{
    const auto pixels = layout.width * layout.height;

    if (layout.format == Format::png)
        return pixels * ((layout.pngBitDepth > 8 ? 3 : 1) + (layout.pngInterlaced ? 1 : 0));

    const auto values = std::min (layout.jpegCoefficientVisits, layout.jpegEntropyBytes * 8);
    return pixels / 8 + layout.jpegCoefficientVisits / 16 + values / 3 + layout.jpegCoefficientBytes / 16;
}

//==============================================================================
bool isTextChunk (const juce::uint8* type)
{
    return std::memcmp (type, "tEXt", 4) == 0 || std::memcmp (type, "zTXt", 4) == 0 || std::memcmp (type, "iTXt", 4) == 0;
}

/** The PNG without its text chunks; empty when it has none. libpng inflates
    every compressed text chunk before the picture, up to 8 MB each and a
    thousand of them: a minute for a few megabytes of file. Text never
    changes a pixel. */
std::vector<juce::uint8> withoutTextChunks (const juce::uint8* bytes, size_t size)
{
    std::vector<juce::uint8> copy;
    size_t pos = sizeof (pngSignature);

    // Up to a chunk that runs past the end, which libpng refuses anyway.
    while (pos + 12 <= size)
    {
        const auto chunkSize = size_t { 12 } + juce::ByteOrder::bigEndianInt (bytes + pos);

        if (chunkSize > size - pos)
            break;

        const auto isText = isTextChunk (bytes + pos + 4);

        if (isText && copy.empty())
        {
            copy.reserve (size);
            copy.insert (copy.end(), bytes, bytes + pos);
        }
        else if (! isText && ! copy.empty())
        {
            copy.insert (copy.end(), bytes + pos, bytes + pos + chunkSize);
        }

        pos += chunkSize;
    }

    if (! copy.empty())
        copy.insert (copy.end(), bytes + pos, bytes + size);

    return copy;
}

/** libpng's simplified reader keeps its own error handling inside libpng. */
juce::Image decodePng (const void* data, size_t size)
{
    const auto stripped = withoutTextChunks (static_cast<const juce::uint8*> (data), size);

    if (! stripped.empty())
    {
        data = stripped.data();
        size = stripped.size();
    }

    png_image png;
    std::memset (&png, 0, sizeof (png));
    png.version = PNG_IMAGE_VERSION;

    if (png_image_begin_read_from_memory (&png, data, size) == 0)
        return {};

    if (! isWithinLimits (png.width, png.height))
    {
        png_image_free (&png);
        return {};
    }

    png.format = PNG_FORMAT_BGRA;
    juce::Image image (juce::Image::ARGB, static_cast<int> (png.width), static_cast<int> (png.height), false);
    auto ok = false;
    {
        const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::writeOnly);
        ok = png_image_finish_read (&png, nullptr, pixels.data, pixels.lineStride, nullptr) != 0;

        // The reader gives straight alpha; the toolkit's pixels are premultiplied.
        if (ok)
            for (int y = 0; y < pixels.height; ++y)
                for (int x = 0; x < pixels.width; ++x)
                    reinterpret_cast<juce::PixelARGB*> (pixels.getPixelPointer (x, y))->premultiply();
    }

    png_image_free (&png);
    return ok ? image : juce::Image();
}

//==============================================================================
struct JpegErrorManager
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void leaveJpegReader (j_common_ptr info)
{
    std::longjmp (reinterpret_cast<JpegErrorManager*> (info->err)->jump, 1);
}

void ignoreJpegMessage (j_common_ptr)
{
}

/** What libjpeg allocates besides a whole picture's coefficients: row
    buffers and tables, a few megabytes at the largest width. */
constexpr long jpegWorkingBytes = 16 * 1024 * 1024;

/** Reads the picture as opaque BGRA rows straight into the pixels, which
    hold width x height. Plain C on purpose: an error jumps back here past
    everything in between, so nothing in this frame may need a destructor.
    libjpeg may use no more memory than the header said it would: beyond
    that it reports an error instead of allocating. */
bool readJpegRows (const unsigned char* data, unsigned long size, unsigned char* pixels, int lineStride,
                   int width, int height, long coefficientBytes)
{
    jpeg_decompress_struct reader;
    JpegErrorManager errors;

    reader.err = jpeg_std_error (&errors.manager);
    errors.manager.error_exit = leaveJpegReader;
    errors.manager.output_message = ignoreJpegMessage;

    if (setjmp (errors.jump) != 0)
    {
        jpeg_destroy_decompress (&reader);
        return false;
    }

    jpeg_create_decompress (&reader);
    reader.mem->max_memory_to_use = coefficientBytes + jpegWorkingBytes;
    jpeg_mem_src (&reader, data, size);
    jpeg_read_header (&reader, TRUE);
    reader.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress (&reader);

    if (static_cast<int> (reader.output_width) != width || static_cast<int> (reader.output_height) != height
        || reader.output_components != 4)
    {
        jpeg_destroy_decompress (&reader);
        return false;
    }

    while (reader.output_scanline < reader.output_height)
    {
        JSAMPROW row = pixels + static_cast<size_t> (reader.output_scanline) * static_cast<size_t> (lineStride);
        jpeg_read_scanlines (&reader, &row, 1);
    }

    jpeg_finish_decompress (&reader);
    jpeg_destroy_decompress (&reader);
    return true;
}

/** Opaque pixels are the same premultiplied or not: libjpeg writes the toolkit's layout. */
juce::Image decodeJpeg (const void* data, size_t size, const Layout& layout)
{
    const auto width = static_cast<int> (layout.width), height = static_cast<int> (layout.height);
    juce::Image image (juce::Image::ARGB, width, height, false);
    auto ok = false;
    {
        const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::writeOnly);
        ok = readJpegRows (static_cast<const unsigned char*> (data), static_cast<unsigned long> (size), pixels.data,
                           pixels.lineStride, width, height, static_cast<long> (layout.jpegCoefficientBytes));
    }

    return ok ? image : juce::Image();
}
} // namespace

//==============================================================================
juce::Image SkinImageDecoder::decode (const void* data, size_t size)
{
    const auto layout = readLayout (data, size);

    if (::whyRefused (layout).isNotEmpty())
        return {};

    switch (layout.format)
    {
        case Format::png:   return decodePng (data, size);
        case Format::jpeg:  return decodeJpeg (data, size, layout);
        case Format::gif:
        case Format::none:  break;
    }

    return {};
}

SkinImageDecoder::Cost SkinImageDecoder::measure (const void* data, size_t size)
{
    const auto layout = readLayout (data, size);
    Cost cost;
    cost.refusal = ::whyRefused (layout);

    if (layout.format != Format::none && cost.refusal.isEmpty())
    {
        cost.bytes = layout.width * layout.height * 4 + layout.jpegCoefficientBytes;
        cost.work = workOf (layout);
    }

    return cost;
}
