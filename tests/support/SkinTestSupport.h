#pragma once

#include "framework/BasePlugin.h"
#include "skin/Skin.h"

#include <juce_cryptography/juce_cryptography.h>

#include <utility>
#include <vector>

/*  Skins for tests: the editor side a Skin needs, over a set-up plug-in, and
    skin packages built in memory, with test strips whose frame i is one colour.
*/

/** What the base editor answers a Skin, taken from a plug-in. */
class PluginSkinEditor : public Skin::Editor
{
public:
    explicit PluginSkinEditor (BasePlugin& pluginToUse) : plugin (pluginToUse) {}

    juce::String getPluginName() const override             { return plugin.getPluginName(); }
    ParameterManager& getParameterManager() override        { return plugin.getParameterManager(); }
    GuiEventsMap& getEventsMap() override                   { return plugin.getEventsMap(); }
    juce::MidiKeyboardState& getKeyboardState() override    { return plugin.getKeyboardState(); }
    juce::File getSkinsDirectory() const override           { return plugin.getCommonSettingsFolder().getChildFile ("Skins"); }

private:
    BasePlugin& plugin;
};

namespace SkinTestSupport
{
struct Entry
{
    juce::String name;
    juce::MemoryBlock data;
};

inline juce::MemoryBlock textBlock (const juce::String& text)
{
    return { text.toRawUTF8(), text.getNumBytesAsUTF8() };
}

/** A zip archive of the entries, in order: 0 stores them, 9 deflates them. */
inline juce::MemoryBlock makeZip (const std::vector<Entry>& entries, int compressionLevel)
{
    juce::ZipFile::Builder builder;

    for (const auto& entry : entries)
        builder.addEntry (new juce::MemoryInputStream (entry.data, true), compressionLevel, entry.name,
                          juce::Time (2020, 0, 1, 0, 0));

    juce::MemoryOutputStream out;
    builder.writeToStream (out, nullptr);
    return out.getMemoryBlock();
}

inline juce::String md5Of (const juce::MemoryBlock& data)
{
    return juce::MD5 (data.getData(), data.getSize()).toHexString();
}

/** A vertical strip of frames width x frameHeight, frame i filled with colours[i]. */
inline juce::Image makeStrip (int width, int frameHeight, const std::vector<juce::Colour>& colours)
{
    juce::Image strip (juce::Image::ARGB, width, frameHeight * static_cast<int> (colours.size()), true);
    juce::Graphics g (strip);

    for (size_t i = 0; i < colours.size(); ++i)
    {
        g.setColour (colours[i]);
        g.fillRect (0, static_cast<int> (i) * frameHeight, width, frameHeight);
    }

    return strip;
}

inline juce::MemoryBlock pngOf (const juce::Image& image)
{
    juce::MemoryOutputStream out;
    juce::PNGImageFormat().writeImageToStream (image, out);
    return out.getMemoryBlock();
}

/** A PNG declaring the given size, bit depth and interlacing: a real 1 x 1
    picture with its header rewritten, which therefore never decodes. */
inline juce::MemoryBlock pngDeclaring (juce::uint32 width, juce::uint32 height, juce::uint8 bitDepth = 8, bool interlaced = false)
{
    auto png = pngOf (makeStrip (1, 1, { juce::Colours::red }));
    auto* bytes = static_cast<juce::uint8*> (png.getData());

    for (int i = 0; i < 4; ++i)
    {
        bytes[16 + i] = static_cast<juce::uint8> (width >> (24 - 8 * i));
        bytes[20 + i] = static_cast<juce::uint8> (height >> (24 - 8 * i));
    }

    bytes[24] = bitDepth;
    bytes[28] = interlaced ? 1 : 0;
    return png;
}

/** A JPEG of the given frame (0xc0 sequential, 0xc2 progressive, 0xca
    arithmetic progressive ...) and grey components, followed by empty scans
    over the first component, each of the band 1 to 63 when the frame is
    progressive. It has no tables, so libjpeg stops at once: it never
    decodes, but its size, kind and scans read as declared. */
inline juce::MemoryBlock jpegDeclaring (int width, int height, int frameMarker = 0xc0, int components = 1, int scans = 0)
{
    juce::MemoryOutputStream out;
    const auto segment = [&out] (int marker, const std::vector<juce::uint8>& payload)
    {
        out.writeByte (static_cast<char> (0xff));
        out.writeByte (static_cast<char> (marker));
        out.writeShortBigEndian (static_cast<short> (payload.size() + 2));
        out.write (payload.data(), payload.size());
    };

    out.writeShortBigEndian (static_cast<short> (0xffd8));
    std::vector<juce::uint8> frame { 8, static_cast<juce::uint8> (height >> 8), static_cast<juce::uint8> (height),
                                     static_cast<juce::uint8> (width >> 8), static_cast<juce::uint8> (width),
                                     static_cast<juce::uint8> (components) };

    for (int i = 1; i <= components; ++i)
        frame.insert (frame.end(), { static_cast<juce::uint8> (i), 0x11, 0 });

    segment (frameMarker, frame);

    for (int i = 0; i < scans; ++i)
        segment (0xda, { 1, 1, 0, 1, 63, 0 });

    out.writeShortBigEndian (static_cast<short> (0xffd9));
    return out.getMemoryBlock();
}

/** A skin package: its ".skin" archive's entries and how the package is put together. */
struct Package
{
    std::vector<Entry> skinEntries;
    int compressionLevel = 0;

    /** Empty: the ".skin" archive's real digest. */
    juce::String digest;
    bool withDigest = true, withSkinArchive = true;

    /** Replaces the ".skin" archive's bytes when not empty. */
    juce::MemoryBlock skinArchiveOverride;

    Package& add (const juce::String& entryName, juce::MemoryBlock data)
    {
        skinEntries.push_back ({ entryName, std::move (data) });
        return *this;
    }

    Package& addText (const juce::String& entryName, const juce::String& text)  { return add (entryName, textBlock (text)); }
    Package& addImage (const juce::String& entryName, const juce::Image& image) { return add (entryName, pngOf (image)); }

    juce::MemoryBlock skinArchive() const
    {
        return skinArchiveOverride.isEmpty() ? makeZip (skinEntries, compressionLevel) : skinArchiveOverride;
    }

    /** The ".ulvraskin" bytes for a skin name. */
    juce::MemoryBlock build (const juce::String& skinName) const
    {
        const auto inner = skinArchive();
        std::vector<Entry> outer;

        if (withDigest)
            outer.push_back ({ skinName + ".md5", textBlock (digest.isEmpty() ? md5Of (inner) : digest) });

        if (withSkinArchive)
            outer.push_back ({ skinName + ".skin", inner });

        return makeZip (outer, compressionLevel);
    }

    /** Writes the package into the editor's skins folder; returns the file. */
    juce::File install (const Skin::Editor& editor, const juce::String& skinName) const
    {
        const auto file = editor.getSkinsDirectory().getChildFile (skinName + Skin::packageExtension);
        file.getParentDirectory().createDirectory();
        const auto bytes = build (skinName);
        file.replaceWithData (bytes.getData(), bytes.getSize());
        return file;
    }
};

/** A "skin.xml" for the plug-in name, with the main panel's inner XML. */
inline juce::String skinXml (const juce::String& pluginName, const juce::String& mainPanelBody,
                             const juce::String& panelName = "MainPanel")
{
    return "<PluginEditor application=\"" + pluginName + "\"><Panel name=\"" + panelName + "\">"
           + mainPanelBody + "</Panel></PluginEditor>";
}
/** Every picture a skin description names (attribute values ending in ".png"), once each. */
inline juce::StringArray picturesNamedIn (const juce::XmlElement& element)
{
    juce::StringArray pictures;

    for (int i = 0; i < element.getNumAttributes(); ++i)
        if (element.getAttributeValue (i).endsWithIgnoreCase (".png"))
            pictures.addIfNotAlreadyThere (element.getAttributeValue (i));

    for (const auto* child : element.getChildIterator())
        for (const auto& picture : picturesNamedIn (*child))
            pictures.addIfNotAlreadyThere (picture);

    return pictures;
}
} // namespace SkinTestSupport
