#include "skin/SkinImageDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <png.h>

namespace
{
//==============================================================================
// The size a picture declares, read before it is decoded: the decoders
// allocate whatever the header says.

bool readPngSize (const juce::uint8* bytes, size_t size, juce::int64& width, juce::int64& height)
{
    static const juce::uint8 signature[] = { 0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a };

    if (size < 24 || std::memcmp (bytes, signature, sizeof (signature)) != 0 || std::memcmp (bytes + 12, "IHDR", 4) != 0)
        return false;

    width = juce::ByteOrder::bigEndianInt (bytes + 16);
    height = juce::ByteOrder::bigEndianInt (bytes + 20);
    return true;
}

bool readJpegSize (const juce::uint8* bytes, size_t size, juce::int64& width, juce::int64& height)
{
    if (size < 4 || bytes[0] != 0xff || bytes[1] != 0xd8)
        return false;

    size_t pos = 2;

    while (pos + 4 <= size)
    {
        if (bytes[pos] != 0xff)
            return false;

        const auto marker = bytes[pos + 1];

        if (marker == 0xff)
        {
            ++pos; // fill byte
            continue;
        }

        if (marker == 0xd9)
            return false; // the end of the picture before any frame header

        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd8))
        {
            pos += 2;
            continue;
        }

        const size_t length = juce::ByteOrder::bigEndianShort (bytes + pos + 2);
        const auto isFrameHeader = marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;

        if (isFrameHeader)
        {
            if (pos + 9 > size)
                return false;

            height = juce::ByteOrder::bigEndianShort (bytes + pos + 5);
            width = juce::ByteOrder::bigEndianShort (bytes + pos + 7);
            return true;
        }

        if (length < 2)
            return false;

        pos += 2 + length;
    }

    return false;
}

/** The toolkit's GIF reader sizes its image by the first image descriptor,
    and trusts the code size that starts the picture data: only the sizes GIF
    allows (2 to 8 bits) keep its tables and palette look-ups in bounds. */
bool readGifSize (const juce::uint8* bytes, size_t size, juce::int64& width, juce::int64& height)
{
    if (size < 13 || (std::memcmp (bytes, "GIF87a", 6) != 0 && std::memcmp (bytes, "GIF89a", 6) != 0))
        return false;

    width = juce::ByteOrder::littleEndianShort (bytes + 6);
    height = juce::ByteOrder::littleEndianShort (bytes + 8);
    size_t pos = 13;

    if ((bytes[10] & 0x80) != 0)
        pos += 3 * (size_t { 2 } << (bytes[10] & 7));

    while (pos < size)
    {
        const auto introducer = bytes[pos++];

        if (introducer == ';')
            return true; // no picture: the reader gives none

        if (introducer == '!')
        {
            ++pos; // label

            while (pos < size && bytes[pos] != 0)
                pos += size_t { 1 } + bytes[pos];

            ++pos;
            continue;
        }

        if (introducer == ',')
        {
            if (pos + 9 > size)
                return true; // cut short: the reader gives none

            width = juce::ByteOrder::littleEndianShort (bytes + pos + 4);
            height = juce::ByteOrder::littleEndianShort (bytes + pos + 6);
            const auto flags = bytes[pos + 8];
            pos += 9;

            if ((flags & 0x80) != 0)
                pos += 3 * (size_t { 2 } << (flags & 7));

            return pos < size && bytes[pos] >= 2 && bytes[pos] <= 8;
        }
    }

    return true;
}

bool isWithinLimits (juce::int64 width, juce::int64 height)
{
    return width >= 1 && height >= 1 && width <= SkinImageDecoder::maxSide && height <= SkinImageDecoder::maxSide
        && width * height <= SkinImageDecoder::maxPixels;
}

//==============================================================================
/** libpng's simplified reader keeps its own error handling inside libpng. */
juce::Image decodePng (const void* data, size_t size)
{
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

/** Reads the picture as RGB rows into a buffer from malloc. Plain C on
    purpose: an error jumps back here past everything in between, so nothing
    in this frame may need a destructor. */
bool readJpegRows (const unsigned char* data, unsigned long size, unsigned char** rowsOut, int* widthOut, int* heightOut)
{
    jpeg_decompress_struct reader;
    JpegErrorManager errors;
    unsigned char* volatile rows = nullptr;

    reader.err = jpeg_std_error (&errors.manager);
    errors.manager.error_exit = leaveJpegReader;
    errors.manager.output_message = ignoreJpegMessage;

    if (setjmp (errors.jump) != 0)
    {
        jpeg_destroy_decompress (&reader);
        std::free (rows);
        return false;
    }

    jpeg_create_decompress (&reader);
    jpeg_mem_src (&reader, data, size);
    jpeg_read_header (&reader, TRUE);
    reader.out_color_space = JCS_RGB;
    jpeg_start_decompress (&reader);

    const auto width = static_cast<juce::int64> (reader.output_width);
    const auto height = static_cast<juce::int64> (reader.output_height);

    if (! isWithinLimits (width, height) || reader.output_components != 3)
    {
        jpeg_destroy_decompress (&reader);
        return false;
    }

    rows = static_cast<unsigned char*> (std::malloc (static_cast<size_t> (width * height * 3)));

    if (rows == nullptr)
    {
        jpeg_destroy_decompress (&reader);
        return false;
    }

    while (reader.output_scanline < reader.output_height)
    {
        JSAMPROW row = rows + static_cast<size_t> (reader.output_scanline) * static_cast<size_t> (width) * 3;
        jpeg_read_scanlines (&reader, &row, 1);
    }

    jpeg_finish_decompress (&reader);
    jpeg_destroy_decompress (&reader);

    *rowsOut = rows;
    *widthOut = static_cast<int> (width);
    *heightOut = static_cast<int> (height);
    return true;
}

juce::Image decodeJpeg (const void* data, size_t size)
{
    unsigned char* rows = nullptr;
    int width = 0, height = 0;

    if (! readJpegRows (static_cast<const unsigned char*> (data), static_cast<unsigned long> (size), &rows, &width, &height))
        return {};

    const std::unique_ptr<unsigned char, decltype (&std::free)> owned (rows, &std::free);
    juce::Image image (juce::Image::ARGB, width, height, false);
    const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::writeOnly);

    for (int y = 0; y < height; ++y)
    {
        const auto* source = rows + static_cast<size_t> (y) * static_cast<size_t> (width) * 3;

        for (int x = 0; x < width; ++x, source += 3)
            reinterpret_cast<juce::PixelARGB*> (pixels.getPixelPointer (x, y))->setARGB (0xff, source[0], source[1], source[2]);
    }

    return image;
}

//==============================================================================
enum class Format
{
    none,
    png,
    jpeg,
    gif
};

/** The format and the declared size; none for data that is no picture or declares a size beyond the limits. */
Format readHeader (const void* data, size_t size, juce::int64& width, juce::int64& height)
{
    const auto* bytes = static_cast<const juce::uint8*> (data);

    if (data == nullptr || size == 0)
        return Format::none;

    auto format = Format::none;

    if (readPngSize (bytes, size, width, height))
        format = Format::png;
    else if (readJpegSize (bytes, size, width, height))
        format = Format::jpeg;
    else if (readGifSize (bytes, size, width, height))
        format = Format::gif;

    return isWithinLimits (width, height) ? format : Format::none;
}
} // namespace

//==============================================================================
juce::Image SkinImageDecoder::decode (const void* data, size_t size)
{
    juce::int64 width = 0, height = 0;

    switch (readHeader (data, size, width, height))
    {
        case Format::png:   return decodePng (data, size);
        case Format::jpeg:  return decodeJpeg (data, size);
        case Format::gif:   return juce::ImageFileFormat::loadFrom (data, size).convertedToFormat (juce::Image::ARGB);
        case Format::none:  break;
    }

    return {};
}

juce::int64 SkinImageDecoder::decodedBytes (const void* data, size_t size)
{
    juce::int64 width = 0, height = 0;
    return readHeader (data, size, width, height) != Format::none ? width * height * 4 : 0;
}
