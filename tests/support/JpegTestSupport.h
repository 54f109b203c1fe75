#pragma once

#include <juce_graphics/juce_graphics.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

/*  JPEG pictures as libjpeg itself writes them, in the scan layouts that
    decoders treat apart.
*/
namespace JpegTestSupport
{
enum class Scans
{
    one,            // sequential, every component in one scan
    progressive,    // libjpeg's simple progression (ten scans in colour)
    perComponent    // sequential, a scan for each component
};

/** The image as a colour JPEG (4:2:0, quality 95) in the given scans. */
inline juce::MemoryBlock colourJpegOf (const juce::Image& image, Scans scans)
{
    jpeg_compress_struct writer;
    jpeg_error_mgr errors;
    writer.err = jpeg_std_error (&errors);
    jpeg_create_compress (&writer);

    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest (&writer, &buffer, &size);
    writer.image_width = static_cast<JDIMENSION> (image.getWidth());
    writer.image_height = static_cast<JDIMENSION> (image.getHeight());
    writer.input_components = 3;
    writer.in_color_space = JCS_RGB;
    jpeg_set_defaults (&writer);
    jpeg_set_quality (&writer, 95, TRUE);

    jpeg_scan_info componentScans[3] {};

    if (scans == Scans::progressive)
        jpeg_simple_progression (&writer);

    if (scans == Scans::perComponent)
    {
        for (int i = 0; i < 3; ++i)
        {
            componentScans[i].comps_in_scan = 1;
            componentScans[i].component_index[0] = i;
            componentScans[i].Se = 63;
        }

        writer.scan_info = componentScans;
        writer.num_scans = 3;
    }

    jpeg_start_compress (&writer, TRUE);
    std::vector<unsigned char> row (static_cast<size_t> (image.getWidth()) * 3);

    while (writer.next_scanline < writer.image_height)
    {
        for (int x = 0; x < image.getWidth(); ++x)
        {
            const auto colour = image.getPixelAt (x, static_cast<int> (writer.next_scanline));
            row[static_cast<size_t> (x) * 3] = colour.getRed();
            row[static_cast<size_t> (x) * 3 + 1] = colour.getGreen();
            row[static_cast<size_t> (x) * 3 + 2] = colour.getBlue();
        }

        JSAMPROW rows[] = { row.data() };
        jpeg_write_scanlines (&writer, rows, 1);
    }

    jpeg_finish_compress (&writer);
    jpeg_destroy_compress (&writer);
    juce::MemoryBlock jpeg (buffer, size);
    std::free (buffer);
    return jpeg;
}

/** The start-of-scan markers in the data. */
inline int countScans (const juce::MemoryBlock& jpeg)
{
    const auto* bytes = static_cast<const juce::uint8*> (jpeg.getData());
    auto scans = 0;

    for (size_t i = 0; i + 1 < jpeg.getSize(); ++i)
        scans += bytes[i] == 0xff && bytes[i + 1] == 0xda ? 1 : 0;

    return scans;
}
} // namespace JpegTestSupport
