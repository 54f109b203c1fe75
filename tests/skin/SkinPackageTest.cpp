#include "SkinTestFixture.h"

#include "skin/SkinImageDecoder.h"
#include "support/JpegTestSupport.h"
#include "support/PixelProbe.h"

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
using SkinTestSupport::Package;

const auto red = juce::Colour (0xffff0000);
const auto blue = juce::Colour (0xff0000ff);

/** A package whose main panel is 40 x 20 and shows frame 0 of a two-frame strip. */
Package backgroundPackage (int compressionLevel)
{
    Package package;
    package.compressionLevel = compressionLevel;
    package.addImage ("Background.png", SkinTestSupport::makeStrip (40, 20, { red, blue }));
    package.addImage ("Thumbnail.png", SkinTestSupport::makeStrip (8, 8, { blue }));
    package.addText ("skin.xml", SkinTestSupport::skinXml ("Tarvelin", R"(<gfx resource="Background.png" framesNum="2"/>)"));
    return package;
}

template <typename Row>
std::string descriptionOf (const ::testing::TestParamInfo<Row>& row)
{
    return row.param.description;
}

class SkinPackageTest : public SkinTest, public ::testing::WithParamInterface<int>
{
};

TEST_P (SkinPackageTest, AValidPackageBuildsItsPanelFromItsOwnPictures)
{
    backgroundPackage (GetParam()).install (*editor, "Night");

    EXPECT_TRUE (Skin::isValidPackage (*editor, "Night"));

    Skin night (*editor, "Night");
    const auto panel = night.createEditorPanel();
    ASSERT_NE (panel, nullptr);
    EXPECT_EQ (panel->getName(), "MainEditorPanel");
    EXPECT_EQ (panel->getBounds(), juce::Rectangle<int> (0, 0, 40, 20));

    const auto image = renderComponent (*panel);
    EXPECT_TRUE (pixelIs (image, 0, 0, red));
    EXPECT_TRUE (pixelIs (image, 39, 19, red));
    EXPECT_TRUE (night.getWarnings().isEmpty()) << night.getWarnings().joinIntoString ("\n");

    EXPECT_TRUE (pixelIs (night.getPackageImage ("Thumbnail.png").convertedToFormat (juce::Image::ARGB), 4, 4, blue));
}

INSTANTIATE_TEST_SUITE_P (StoredAndDeflated, SkinPackageTest, ::testing::Values (0, 9));

//==============================================================================
struct BrokenPackage
{
    const char* description;
    std::function<void (Package&)> damage;
};

class BrokenPackageTest : public SkinTest, public ::testing::WithParamInterface<BrokenPackage>
{
};

TEST_P (BrokenPackageTest, IsRejectedWithoutPanelOrPictures)
{
    auto package = backgroundPackage (9);
    GetParam().damage (package);
    package.install (*editor, "Broken");

    EXPECT_FALSE (Skin::isValidPackage (*editor, "Broken"));

    Skin broken (*editor, "Broken");
    EXPECT_EQ (broken.createEditorPanel(), nullptr);
    EXPECT_FALSE (broken.getPackageImage ("Thumbnail.png").isValid());
}

const BrokenPackage brokenPackages[] = {
    { "DigestWithTrailingLineEnd", [] (Package& p) { p.digest = SkinTestSupport::md5Of (p.skinArchive()) + "\n"; } },
    { "DigestWithLeadingBlank", [] (Package& p) { p.digest = " " + SkinTestSupport::md5Of (p.skinArchive()); } },
    { "DigestOfAnotherArchive", [] (Package& p) { p.digest = SkinTestSupport::md5Of (SkinTestSupport::textBlock ("other")); } },
    { "SkinArchiveChangedAfterItsDigest", [] (Package& p)
      {
          p.digest = SkinTestSupport::md5Of (p.skinArchive());
          p.addText ("extra.txt", "changed");
      } },
    { "SkinEntryThatIsNoZipArchive", [] (Package& p) { p.skinArchiveOverride = SkinTestSupport::textBlock ("<PluginEditor/> and no archive at all"); } },
    { "NoDigestEntry", [] (Package& p) { p.withDigest = false; } },
    { "NoSkinEntry", [] (Package& p) { p.withSkinArchive = false; } },
};

INSTANTIATE_TEST_SUITE_P (Packages, BrokenPackageTest, ::testing::ValuesIn (brokenPackages),
                          descriptionOf<BrokenPackage>);

//==============================================================================
TEST_F (SkinTest, UpperCaseDigitsInTheDigestMatch)
{
    auto package = backgroundPackage (0);
    package.digest = SkinTestSupport::md5Of (package.skinArchive()).toUpperCase();
    package.install (*editor, "Loud");

    EXPECT_TRUE (Skin::isValidPackage (*editor, "Loud"));
}

TEST_F (SkinTest, EntriesAreNamedAfterTheSkinCaseIncluded)
{
    const auto bytes = backgroundPackage (0).build ("loud");
    editor->getSkinsDirectory().createDirectory();
    editor->getSkinsDirectory().getChildFile ("Loud.ulvraskin").replaceWithData (bytes.getData(), bytes.getSize());

    EXPECT_FALSE (Skin::isValidPackage (*editor, "Loud"));
}

// The skin-choice page lists a package by its file name without the last
// extension: "Night.v2.ulvraskin" is "Night.v2", which must open that file.
TEST_F (SkinTest, ANameHoldingADotOpensThePackageOfTheWholeName)
{
    const auto file = backgroundPackage (0).install (*editor, "Night.v2");

    EXPECT_EQ (file.getFileNameWithoutExtension(), "Night.v2");
    EXPECT_EQ (Skin::getPackageFile (editor->getSkinsDirectory(), "Night.v2"), file);
    EXPECT_TRUE (Skin::isValidPackage (*editor, "Night.v2"));

    Skin night (*editor, "Night.v2");
    const auto panel = night.createEditorPanel();
    ASSERT_NE (panel, nullptr);
    EXPECT_EQ (panel->getWidth(), 40);
}

TEST_F (SkinTest, NamesThatWouldLeaveTheSkinsFolderOrNameNoFileFindNoPackage)
{
    // A valid package beside the skins folder and one in a subfolder.
    const auto folder = editor->getSkinsDirectory();
    folder.getChildFile ("Sub").createDirectory();

    for (const auto& file : { folder.getSiblingFile ("Outside.ulvraskin"), folder.getChildFile ("Sub/Inner.ulvraskin") })
    {
        const auto bytes = backgroundPackage (0).build (file.getFileNameWithoutExtension());
        file.replaceWithData (bytes.getData(), bytes.getSize());
    }

    const juce::StringArray names { "", "Nowhere", "../Outside", "Sub/Inner", "Sub\\Inner", "..", ".", "~", folder.getSiblingFile ("Outside").getFullPathName() };

    for (const auto& name : names)
    {
        if (name != "Nowhere")
        {
            EXPECT_EQ (Skin::getPackageFile (folder, name), juce::File()) << name;
        }

        EXPECT_FALSE (Skin::isValidPackage (*editor, name)) << name;
    }

    folder.getSiblingFile ("Outside.ulvraskin").deleteFile();
}

// A pipe or a device under a package's name passes a test of existence and
// size. Opening the pipe would wait for a writer that never comes, and the
// device would be read without end: neither is opened. Should the pipe be
// opened after all, a writer lets each waiting reader go, so that the test
// fails instead of hanging.
TEST_F (SkinTest, APipeOrADeviceUnderAPackagesNameIsNoPackageAndIsNeverOpened)
{
    const auto folder = editor->getSkinsDirectory();
    ASSERT_TRUE (folder.createDirectory());
    const auto pipe = folder.getChildFile ("Pipe.ulvraskin");
    ASSERT_EQ (::mkfifo (pipe.getFullPathName().toRawUTF8(), 0600), 0);
    ASSERT_TRUE (juce::File ("/dev/zero").createSymbolicLink (folder.getChildFile ("Zero.ulvraskin"), true));

    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool hadToRelease = false;

    std::thread watchdog ([&]
    {
        std::unique_lock<std::mutex> lock (mutex);

        while (! finished.wait_for (lock, std::chrono::seconds (5), [&] { return done; }))
        {
            hadToRelease = true;

            if (const auto writer = ::open (pipe.getFullPathName().toRawUTF8(), O_WRONLY | O_NONBLOCK); writer >= 0)
                ::close (writer);
        }
    });

    EXPECT_FALSE (Skin::isValidPackage (*editor, "Pipe"));
    EXPECT_FALSE (Skin::isValidPackage (*editor, "Zero"));
    EXPECT_EQ (Skin (*editor, "Pipe").createEditorPanel(), nullptr);

    {
        const std::lock_guard<std::mutex> lock (mutex);
        done = true;
    }

    finished.notify_one();
    watchdog.join();
    EXPECT_FALSE (hadToRelease) << "the pipe was opened";
}

TEST_F (SkinTest, APackageWithoutSkinDescriptionIsValidButBuildsNoPanel)
{
    Package package;
    package.addImage ("Thumbnail.png", SkinTestSupport::makeStrip (8, 8, { blue }));
    package.install (*editor, "Bare");

    EXPECT_TRUE (Skin::isValidPackage (*editor, "Bare"));

    Skin bare (*editor, "Bare");
    EXPECT_EQ (bare.createEditorPanel(), nullptr);
    EXPECT_TRUE (bare.getPackageImage ("Thumbnail.png").isValid());
}

TEST_F (SkinTest, ZipEntryNamesAreOnlyLookedUpInTheArchive)
{
    // A picture beside the skins folder would be found if "../" reached the file system.
    const auto outside = editor->getSkinsDirectory().getSiblingFile ("x.png");
    const auto png = SkinTestSupport::pngOf (SkinTestSupport::makeStrip (4, 4, { red }));
    outside.replaceWithData (png.getData(), png.getSize());

    const auto panel = packagedPanelFrom (R"(<gfx resource="../x.png"/><size width="4" height="4"/>)");

    ASSERT_NE (panel, nullptr);
    EXPECT_TRUE (pixelIs (renderComponent (*panel), 1, 1, juce::Colour::greyLevel (0.9f)));
    EXPECT_EQ (packageSkin->getWarnings().size(), 1);
    outside.deleteFile();
}

//==============================================================================
struct SkinDescription
{
    const char* description;
    const char* xml;
    int expectedWidth; // -1: no panel
};

class SkinDescriptionTest : public SkinTest, public ::testing::WithParamInterface<SkinDescription>
{
};

TEST_P (SkinDescriptionTest, RootAndMainPanelRules)
{
    const auto root = juce::parseXML (GetParam().xml);
    ASSERT_NE (root, nullptr);

    const auto panel = skin.createPanelFromXml (*root);

    if (GetParam().expectedWidth < 0)
    {
        EXPECT_EQ (panel, nullptr);
    }
    else
    {
        ASSERT_NE (panel, nullptr);
        EXPECT_EQ (panel->getWidth(), GetParam().expectedWidth);
    }
}

const SkinDescription skinDescriptions[] = {
    { "RootAndApplicationIgnoreCase", R"(<pluginEDITOR application="TARVELIN"><Panel name="MainPanel"><size width="7"/></Panel></pluginEDITOR>)", 7 },
    { "MainPanelNameIgnoresCase", R"(<PluginEditor application="Tarvelin"><panel name="mainpanel"><size width="7"/></panel></PluginEditor>)", 7 },
    { "FirstOfTwoMainPanelsIsBuilt", R"(<PluginEditor application="Tarvelin"><Panel name="Other"><size width="3"/></Panel><Panel name="MAINPANEL"><size width="5"/></Panel><Panel name="MainPanel"><size width="9"/></Panel></PluginEditor>)", 5 },
    { "AnotherPluginsSkin", R"(<PluginEditor application="Other"><Panel name="MainPanel"/></PluginEditor>)", -1 },
    { "NoApplication", R"(<PluginEditor><Panel name="MainPanel"/></PluginEditor>)", -1 },
    { "AnotherRoot", R"(<Editor application="Tarvelin"><Panel name="MainPanel"/></Editor>)", -1 },
    { "NoMainPanel", R"(<PluginEditor application="Tarvelin"><Panel name="Main"/></PluginEditor>)", -1 },
    { "MainPanelNotAtTopLevel", R"(<PluginEditor application="Tarvelin"><Group><Panel name="MainPanel"/></Group></PluginEditor>)", -1 },
};

INSTANTIATE_TEST_SUITE_P (Descriptions, SkinDescriptionTest, ::testing::ValuesIn (skinDescriptions),
                          descriptionOf<SkinDescription>);

//==============================================================================
TEST_F (SkinTest, EachPictureIsDecodedOncePerSkin)
{
    Package package;
    package.addImage ("Strip.png", SkinTestSupport::makeStrip (4, 4, { red }));
    const auto panel = packagedPanelFrom (R"(<controls><Panel name="A"><gfx resource="Strip.png"/></Panel>
                                                       <Panel name="B"><gfx resource="Strip.png"/></Panel></controls>)",
                                          package);
    ASSERT_NE (panel, nullptr);

    const auto* a = dynamic_cast<GFXPanel*> (panel->getChildComponent (0));
    const auto* b = dynamic_cast<GFXPanel*> (panel->getChildComponent (1));
    ASSERT_TRUE (a != nullptr && b != nullptr);
    EXPECT_TRUE (a->getImage().isValid());
    EXPECT_EQ (a->getImage().getPixelData(), b->getImage().getPixelData());
}

using SkinTestSupport::pngDeclaring;

juce::MemoryBlock gifDeclaring (int width, int height, juce::uint8 codeSize = 2)
{
    const juce::uint8 header[] = { 'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0,
                                   '!', 0xf9, 4, 1, 0, 0, 0, 0,
                                   ',', 0, 0, 0, 0,
                                   static_cast<juce::uint8> (width), static_cast<juce::uint8> (width >> 8),
                                   static_cast<juce::uint8> (height), static_cast<juce::uint8> (height >> 8), 0,
                                   codeSize, 2, 0x44, 0x01, 0, ';' };
    return { header, sizeof (header) };
}

juce::MemoryBlock jpegOf (const juce::Image& image)
{
    juce::MemoryOutputStream out;
    juce::JPEGImageFormat().writeImageToStream (image, out);
    return out.getMemoryBlock();
}

/** A 256 x 256 GIF whose picture data ends inside its first data block, with
    no terminator: the toolkit's reader goes on reading past its own buffer. */
juce::MemoryBlock gifCutInsideItsFirstDataBlock()
{
    const juce::uint8 head[] = { 'G', 'I', 'F', '8', '9', 'a', 0, 1, 0, 1, 0x80, 0, 0, 0, 0, 0, 255, 255, 255,
                                 ',', 0, 0, 0, 0, 0, 1, 0, 1, 0, 7, 255 };
    juce::MemoryBlock gif (head, sizeof (head));
    gif.append (std::vector<juce::uint8> (200, 0x44).data(), 200);
    return gif;
}

/** A colour JPEG as libjpeg's own progression writes it (ten scans). */
juce::MemoryBlock progressiveJpegOf (const juce::Image& image)
{
    return JpegTestSupport::colourJpegOf (image, JpegTestSupport::Scans::progressive);
}

using JpegTestSupport::countScans;

void writeSegment (juce::MemoryOutputStream& out, int marker, const std::vector<juce::uint8>& payload)
{
    out.writeByte (static_cast<char> (0xff));
    out.writeByte (static_cast<char> (marker));
    out.writeShortBigEndian (static_cast<short> (payload.size() + 2));
    out.write (payload.data(), payload.size());
}

/** A JPEG of the given frame (0xc0 sequential, 0xc2 progressive) whose
    components are all sampled alike: one DC scan, then empty AC scans up to
    the number of scans. Without tables libjpeg stops at the first scan. */
juce::MemoryBlock syntheticJpeg (int width, int height, int frameMarker, int components, int scans, bool withTables)
{
    juce::MemoryOutputStream out;
    out.writeShortBigEndian (static_cast<short> (0xffd8));

    if (withTables)
    {
        std::vector<juce::uint8> quantisation (65, 1);
        quantisation[0] = 0;
        writeSegment (out, 0xdb, quantisation);

        // One code of one bit, for symbol 0, in DC table 0 and AC table 0.
        std::vector<juce::uint8> huffman;

        for (const juce::uint8 tableClass : { 0x00, 0x10 })
        {
            huffman.push_back (tableClass);
            huffman.push_back (1);
            huffman.insert (huffman.end(), 15, 0);
            huffman.push_back (0);
        }

        writeSegment (out, 0xc4, huffman);
    }

    std::vector<juce::uint8> frame { 8, static_cast<juce::uint8> (height >> 8), static_cast<juce::uint8> (height),
                                     static_cast<juce::uint8> (width >> 8), static_cast<juce::uint8> (width),
                                     static_cast<juce::uint8> (components) };

    for (int i = 1; i <= components; ++i)
        frame.insert (frame.end(), { static_cast<juce::uint8> (i), 0x11, 0 });

    writeSegment (out, frameMarker, frame);
    writeSegment (out, 0xda, { 1, 1, 0, 0, 0, 0 });
    out.writeRepeatedByte (0, 16);

    for (int i = 1; i < scans; ++i)
        writeSegment (out, 0xda, { 1, 1, 0, 1, 63, 0 });

    out.writeShortBigEndian (static_cast<short> (0xffd9));
    return out.getMemoryBlock();
}

juce::MemoryBlock greyProgressiveJpegOfScans (int scans)
{
    return syntheticJpeg (16, 16, 0xc2, 1, scans, true);
}

juce::uint32 crc32Of (const juce::uint8* bytes, size_t size)
{
    juce::uint32 crc = 0xffffffff;

    for (size_t i = 0; i < size; ++i)
    {
        crc ^= bytes[i];

        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }

    return ~crc;
}

/** The PNG with a chunk of each kind of text after its header. */
juce::MemoryBlock withTextChunks (const juce::MemoryBlock& png)
{
    juce::MemoryOutputStream deflated;
    {
        juce::GZIPCompressorOutputStream zlib (deflated, 9);
        zlib.writeRepeatedByte ('x', 100000);
    }

    juce::MemoryOutputStream out;
    out.write (png.getData(), 33); // signature and header

    const auto chunk = [&out] (const char* type, const juce::MemoryBlock& data)
    {
        juce::MemoryBlock typed (type, 4);
        typed.append (data.getData(), data.getSize());
        out.writeIntBigEndian (static_cast<int> (data.getSize()));
        out.write (typed.getData(), typed.getSize());
        out.writeIntBigEndian (static_cast<int> (crc32Of (static_cast<const juce::uint8*> (typed.getData()), typed.getSize())));
    };

    juce::MemoryBlock compressedText ("Comment\0\0", 9);
    compressedText.append (deflated.getData(), deflated.getDataSize());
    chunk ("tEXt", juce::MemoryBlock ("Title\0Strip", 11));
    chunk ("zTXt", compressedText);
    chunk ("iTXt", juce::MemoryBlock ("Author\0\0\0\0\0Someone", 18));
    out.write (static_cast<const char*> (png.getData()) + 33, png.getSize() - 33);
    return out.getMemoryBlock();
}

TEST (SkinPictures, APictureDeclaringAnAbsurdSizeIsUndecodable)
{
    const auto decodes = [] (const juce::MemoryBlock& data) { return SkinImageDecoder::decode (data.getData(), data.getSize()).isValid(); };

    EXPECT_TRUE (decodes (SkinTestSupport::pngOf (SkinTestSupport::makeStrip (3, 2, { red }))));
    EXPECT_TRUE (decodes (jpegOf (SkinTestSupport::makeStrip (16, 16, { red }))));
    EXPECT_FALSE (decodes (gifDeclaring (1, 1))) << "skins take no GIF";

    EXPECT_FALSE (decodes (pngDeclaring (100000, 1)));
    EXPECT_FALSE (decodes (pngDeclaring (20000, 20000)));
    EXPECT_FALSE (decodes (pngDeclaring (0, 5)));
    EXPECT_FALSE (decodes (gifDeclaring (65535, 65535)));
    EXPECT_FALSE (decodes (gifDeclaring (1, 1, 46))) << "a code size GIF does not allow";
    EXPECT_FALSE (decodes (SkinTestSupport::textBlock ("not a picture")));

    // 4 Mi pixels at most, measured without decoding.
    const auto atTheLimit = pngDeclaring (2048, 2048), pastIt = pngDeclaring (2048, 2049);
    EXPECT_EQ (SkinImageDecoder::measure (atTheLimit.getData(), atTheLimit.getSize()).bytes, 16 * 1024 * 1024);
    EXPECT_EQ (SkinImageDecoder::measure (pastIt.getData(), pastIt.getSize()).bytes, 0);
    EXPECT_FALSE (decodes (pastIt));
}

TEST (SkinPictures, ProgressiveJpegsOfUpTo32ScansDecode)
{
    const auto strip = SkinTestSupport::makeStrip (16, 16, { red, blue });
    const auto progressive = progressiveJpegOf (strip);
    ASSERT_EQ (countScans (progressive), 10);

    const auto decoded = SkinImageDecoder::decode (progressive.getData(), progressive.getSize());
    ASSERT_EQ (decoded.getBounds(), strip.getBounds());
    EXPECT_TRUE (pixelIs (decoded, 3, 3, red, 12));
    EXPECT_TRUE (pixelIs (decoded, 3, 28, blue, 12));

    // Every scan after the first is empty: the picture is mid grey.
    const auto atTheLimit = greyProgressiveJpegOfScans (32), overIt = greyProgressiveJpegOfScans (33);
    EXPECT_TRUE (pixelIs (SkinImageDecoder::decode (atTheLimit.getData(), atTheLimit.getSize()), 8, 8, juce::Colour (0xff808080), 2));
    EXPECT_FALSE (SkinImageDecoder::decode (overIt.getData(), overIt.getSize()).isValid());
}

TEST (SkinPictures, TextChunksOfAPngChangeNoPixel)
{
    const auto png = SkinTestSupport::pngOf (SkinTestSupport::makeStrip (4, 4, { red, juce::Colour (0x80336699) }));
    const auto texted = withTextChunks (png);
    const auto plain = SkinImageDecoder::decode (png.getData(), png.getSize());
    const auto decoded = SkinImageDecoder::decode (texted.getData(), texted.getSize());

    ASSERT_TRUE (decoded.isValid());
    ASSERT_EQ (decoded.getBounds(), plain.getBounds());

    for (int y = 0; y < plain.getHeight(); ++y)
        for (int x = 0; x < plain.getWidth(); ++x)
            EXPECT_EQ (decoded.getPixelAt (x, y), plain.getPixelAt (x, y)) << x << ", " << y;
}

TEST_F (SkinTest, GifsAndJpegsOfTooManyScansAreRefusedWithAWarningAndTheirControlsDrawTheirFallback)
{
    Package package;
    package.add ("Cut.gif", gifCutInsideItsFirstDataBlock());
    package.add ("Whole.gif", gifDeclaring (1, 1));
    package.add ("Scans.jpg", greyProgressiveJpegOfScans (33));
    const auto panel = packagedPanelFrom (R"(<controls><Panel name="A"><gfx resource="Cut.gif"/><size width="6" height="6"/></Panel>
                                                       <Panel name="B"><gfx resource="Whole.gif"/></Panel>
                                                       <Panel name="C"><gfx resource="Scans.jpg"/></Panel></controls>)",
                                          package);
    ASSERT_NE (panel, nullptr);
    EXPECT_EQ (panel->getChildComponent (0)->getWidth(), 6);
    EXPECT_TRUE (pixelIs (renderComponent (*panel->getChildComponent (0)), 1, 1, juce::Colour::greyLevel (0.9f)));
    EXPECT_EQ (packageSkin->getWarnings(), juce::StringArray ({ "The picture \"Cut.gif\" is a GIF: skins take PNG and JPEG pictures only",
                                                                "The picture \"Whole.gif\" is a GIF: skins take PNG and JPEG pictures only",
                                                                "The picture \"Scans.jpg\" is a JPEG of more than 32 scans" }));
    EXPECT_FALSE (packageSkin->getPackageImage ("Whole.gif").isValid());
}

TEST (SkinPictures, DamagedPicturesAreUndecodableNotFatal)
{
    const auto strip = SkinTestSupport::makeStrip (16, 16, { red, juce::Colour (0x80336699) });
    const auto changedInTheMiddle = [] (juce::MemoryBlock data)
    {
        static_cast<juce::uint8*> (data.getData())[data.getSize() / 2] ^= 0x5a;
        return data;
    };
    const auto decode = [] (const juce::MemoryBlock& data, size_t size) { return SkinImageDecoder::decode (data.getData(), size); };

    // PNG checks every chunk: a changed byte or a cut is an error, not a picture.
    const auto png = SkinTestSupport::pngOf (strip);
    EXPECT_FALSE (decode (changedInTheMiddle (png), png.getSize()).isValid());
    EXPECT_FALSE (decode (png, png.getSize() / 2).isValid());

    // JPEG decoders fill what is missing; the picture is whole or absent.
    const auto jpeg = jpegOf (strip);

    for (const auto& damaged : { decode (changedInTheMiddle (jpeg), jpeg.getSize()), decode (jpeg, jpeg.getSize() / 2), decode (jpeg, 40) })
        EXPECT_TRUE (! damaged.isValid() || damaged.getBounds() == strip.getBounds());
}

TEST (SkinPictures, DecodedPixelsMatchTheToolkitsOwnReader)
{
    const auto strip = SkinTestSupport::makeStrip (4, 4, { red, juce::Colour (0x80336699) });
    const auto png = SkinTestSupport::pngOf (strip);
    const auto decoded = SkinImageDecoder::decode (png.getData(), png.getSize());
    const auto reference = juce::ImageFileFormat::loadFrom (png.getData(), png.getSize());

    ASSERT_EQ (decoded.getBounds(), reference.getBounds());
    EXPECT_TRUE (pixelIs (decoded, 1, 1, reference.getPixelAt (1, 1), 0));
    EXPECT_TRUE (pixelIs (decoded, 2, 6, reference.getPixelAt (2, 6), 0));

    const auto jpeg = jpegOf (strip);
    EXPECT_TRUE (pixelIs (SkinImageDecoder::decode (jpeg.getData(), jpeg.getSize()), 1, 1, red, 12));
}

TEST_F (SkinTest, AMissingOrUndecodablePictureIsANullImageAndAWarning)
{
    Package package;
    package.add ("Broken.png", SkinTestSupport::textBlock ("\x89PNG but nothing more"));
    const auto panel = packagedPanelFrom (R"(<controls><Panel name="A"><gfx resource="Broken.png"/><size width="6" height="6"/></Panel>
                                                       <Panel name="B"><gfx resource="Absent.png"/></Panel>
                                                       <Panel name="C"><gfx resource="Absent.png"/></Panel></controls>)",
                                          package);
    ASSERT_NE (panel, nullptr);

    // The panel draws its fallback at the size it was given instead.
    EXPECT_EQ (panel->getChildComponent (0)->getWidth(), 6);
    EXPECT_EQ (packageSkin->getWarnings().size(), 2);
    EXPECT_TRUE (packageSkin->getWarnings()[0].contains ("Broken.png"));
    EXPECT_TRUE (packageSkin->getWarnings()[1].contains ("Absent.png"));
}
//==============================================================================
// Every picture below declares 2048 x 2048 grey pixels (16 MiB decoded, and
// little work), well within what one picture may be; it is counted from its
// header, before and whether or not it decodes.
TEST_F (SkinTest, APackageWhosePicturesTogetherNeedMoreThan128MiBIsRefusedWithAWarning)
{
    for (const auto count : { 8, 9 })
    {
        SCOPED_TRACE (count);
        Package package;
        package.addImage ("Thumbnail.png", SkinTestSupport::makeStrip (8, 8, { blue }));
        juce::String controls;

        for (int i = 0; i < count; ++i)
        {
            package.add ("Huge" + juce::String (i) + ".jpg", SkinTestSupport::jpegDeclaring (2048, 2048));
            controls << "<Panel name=\"P" << i << "\"><gfx resource=\"Huge" << i << ".jpg\"/></Panel>";
        }

        const auto panel = packagedPanelFrom ("<controls>" + controls + "</controls>", package);

        if (count == 8)
        {
            EXPECT_NE (panel, nullptr) << "exactly 128 MiB is allowed";
            EXPECT_EQ (packageSkin->getDecodedBytes(), Skin::maxDecodedBytes);
        }
        else
        {
            EXPECT_EQ (panel, nullptr);
            EXPECT_EQ (packageSkin->getWarnings(),
                       juce::StringArray ("The pictures of the skin \"Test\" need more than 128 MB: the skin is not loaded"));
            EXPECT_FALSE (packageSkin->getPackageImage ("Thumbnail.png").isValid()) << "nothing more is decoded";
        }
    }
}

// Each picture declares 2048 x 2048 colour pixels (16 MiB decoded) and has no
// tables, so that libjpeg stops at once. Read progressively, its decoder also
// keeps 24 MiB of coefficients for the three components, to be stored and
// read again: three such pictures take more work than the package may.
TEST_F (SkinTest, AProgressiveJpegCountsItsDecodersCoefficientsAgainstThePackagesBudget)
{
    for (const auto frameMarker : { 0xc0, 0xc2 })
    {
        SCOPED_TRACE (frameMarker);
        Package package;

        for (int i = 0; i < 3; ++i)
            package.add ("Huge" + juce::String (i) + ".jpg", syntheticJpeg (2048, 2048, frameMarker, 3, 1, false));

        const auto panel = packagedPanelFrom (R"(<controls><Panel name="P0"><gfx resource="Huge0.jpg"/></Panel>
                                                           <Panel name="P1"><gfx resource="Huge1.jpg"/></Panel>
                                                           <Panel name="P2"><gfx resource="Huge2.jpg"/></Panel></controls>)",
                                              package);

        if (frameMarker == 0xc0)
        {
            EXPECT_NE (panel, nullptr);
            EXPECT_EQ (packageSkin->getDecodedBytes(), 3 * 16 * 1024 * 1024);
        }
        else
        {
            EXPECT_EQ (panel, nullptr);
            EXPECT_EQ (packageSkin->getWarnings(),
                       juce::StringArray ("The pictures of the skin \"Test\" take too long to decode: the skin is not loaded"));
        }
    }
}
} // namespace
