#include "SkinTestFixture.h"

#include "framework/BundleResources.h"
#include "skin/SkinImageDecoder.h"
#include "support/JpegTestSupport.h"
#include "support/PixelProbe.h"

#include <functional>

// What reading a package may cost: arithmetic-coded JPEGs are refused for
// what they are, every picture is charged the work of decoding it before it
// is decoded, the entries read may inflate only so far together, an archive
// whose names share one local entry is no skin archive, and a package is
// read and checked once.
namespace
{
using JpegTestSupport::colourJpegOf;
using JpegTestSupport::countScans;
using JpegTestSupport::Scans;
using SkinTestSupport::jpegDeclaring;
using SkinTestSupport::Package;
using SkinTestSupport::pngDeclaring;

const auto red = juce::Colour (0xffff0000);
const auto blue = juce::Colour (0xff0000ff);

juce::String panelsShowing (const juce::StringArray& pictures)
{
    juce::String controls;

    for (int i = 0; i < pictures.size(); ++i)
        controls << "<Panel name=\"P" << i << "\"><gfx resource=\"" << pictures[i] << "\"/></Panel>";

    return "<controls>" + controls + "</controls>";
}

SkinImageDecoder::Cost costOf (const juce::MemoryBlock& picture)
{
    return SkinImageDecoder::measure (picture.getData(), picture.getSize());
}

//==============================================================================
TEST_F (SkinTest, ArithmeticCodedJpegsAreRefusedForWhatTheyAre)
{
    for (const auto frameMarker : { 0xc0, 0xc1, 0xc2, 0xc9, 0xca, 0xcb, 0xcd, 0xce, 0xcf })
    {
        SCOPED_TRACE (frameMarker);
        const auto cost = costOf (jpegDeclaring (16, 16, frameMarker, 1, 2));

        if (frameMarker < 0xc9)
        {
            EXPECT_EQ (cost.refusal, juce::String());
            EXPECT_GT (cost.work, 0);
        }
        else
        {
            EXPECT_EQ (cost.refusal, "is an arithmetic-coded JPEG: skins take Huffman-coded JPEG pictures only");
            EXPECT_EQ (cost.bytes, 0);
            EXPECT_EQ (cost.work, 0);
        }
    }

    Package package;
    package.add ("Arithmetic.jpg", jpegDeclaring (2048, 2048, 0xca, 1, 32));
    const auto panel = packagedPanelFrom (panelsShowing ({ "Arithmetic.jpg" }), package);
    ASSERT_NE (panel, nullptr);
    EXPECT_EQ (packageSkin->getWarnings(), juce::StringArray ("The picture \"Arithmetic.jpg\" is an arithmetic-coded JPEG: "
                                                              "skins take Huffman-coded JPEG pictures only"));
    EXPECT_EQ (packageSkin->getDecodeWork(), 0);
}

// Each row's pictures take the whole decode budget (the JPEG's nearly), one
// row or one scan more take too long. A pixel of an 8-bit PNG is a unit of
// work, of a 16-bit one 3, interlacing adds 1; a progressive JPEG's scans
// are charged every block's band.
TEST_F (SkinTest, EachPictureIsChargedTheWorkOfDecodingItAndAPackagePastTheBudgetIsRefused)
{
    struct Row
    {
        const char* description;
        std::function<std::vector<juce::MemoryBlock> (int more)> pictures;
        bool fillsTheBudget;
    };

    const Row rows[] = {
        { "two 8-bit PNGs of 3 Mi pixels", [] (int more) { return std::vector { pngDeclaring (2048, 1536), pngDeclaring (2048, 1536 + more) }; }, true },
        { "a 16-bit PNG of 2 Mi pixels", [] (int more) { return std::vector { pngDeclaring (2048, 1024 + more, 16) }; }, true },
        { "an interlaced PNG of 3 Mi pixels", [] (int more) { return std::vector { pngDeclaring (2048, 1536 + more, 8, true) }; }, true },
        { "an interlaced 16-bit PNG of 1.5 Mi pixels", [] (int more) { return std::vector { pngDeclaring (2048, 768 + more, 16, true) }; }, true },
        { "a progressive JPEG of 4 Mi pixels and 20 scans", [] (int more) { return std::vector { jpegDeclaring (2048, 2048, 0xc2, 1, 20 + more) }; }, false },
    };

    for (const auto& row : rows)
    {
        for (const auto more : { 0, 1 })
        {
            SCOPED_TRACE (row.description + juce::String (more == 0 ? "" : ", and more"));
            Package package;
            juce::StringArray names;

            for (const auto& picture : row.pictures (more))
            {
                names.add ("Picture" + juce::String (names.size()));
                package.add (names[names.size() - 1], picture);
            }

            const auto panel = packagedPanelFrom (panelsShowing (names), package);

            if (more == 0)
            {
                EXPECT_NE (panel, nullptr);
                EXPECT_LE (packageSkin->getDecodeWork(), Skin::maxDecodeWork);

                if (row.fillsTheBudget)
                    EXPECT_EQ (packageSkin->getDecodeWork(), Skin::maxDecodeWork);
                else
                    EXPECT_GT (packageSkin->getDecodeWork(), Skin::maxDecodeWork * 9 / 10);
            }
            else
            {
                EXPECT_EQ (panel, nullptr);
                EXPECT_EQ (packageSkin->getWarnings(),
                           juce::StringArray ("The pictures of the skin \"Test\" take too long to decode: the skin is not loaded"));
            }
        }
    }
}

//==============================================================================
// libjpeg keeps every coefficient of such a picture until its last scan: at
// 16 x 32 pixels in 4:2:0, 8 luma and 2 + 2 chroma blocks of 64 two-byte
// coefficients.
TEST_F (SkinTest, ASequentialJpegOfAScanPerComponentDecodesAndCountsItsCoefficients)
{
    const auto strip = SkinTestSupport::makeStrip (16, 16, { red, blue });
    const auto scanPerComponent = colourJpegOf (strip, Scans::perComponent), oneScan = colourJpegOf (strip, Scans::one);
    ASSERT_EQ (countScans (scanPerComponent), 3);
    ASSERT_EQ (countScans (oneScan), 1);

    const auto coefficientBytes = 12 * 64 * 2;
    EXPECT_EQ (costOf (scanPerComponent).bytes, 16 * 32 * 4 + coefficientBytes);
    EXPECT_EQ (costOf (oneScan).bytes, 16 * 32 * 4);
    EXPECT_GT (costOf (scanPerComponent).work, costOf (oneScan).work);

    Package package;
    package.add ("Scans.jpg", scanPerComponent);
    const auto panel = packagedPanelFrom (panelsShowing ({ "Scans.jpg" }), package);
    ASSERT_NE (panel, nullptr);
    EXPECT_TRUE (packageSkin->getWarnings().isEmpty()) << packageSkin->getWarnings()[0];
    EXPECT_EQ (packageSkin->getDecodedBytes(), 16 * 32 * 4 + coefficientBytes);
    EXPECT_EQ (packageSkin->getDecodeWork(), costOf (scanPerComponent).work);

    const auto image = renderComponent (*panel->getChildComponent (0));
    EXPECT_TRUE (pixelIs (image, 3, 3, red, 12));
    EXPECT_TRUE (pixelIs (image, 12, 28, blue, 12));
}

//==============================================================================
juce::MemoryBlock zeros (size_t size)
{
    juce::MemoryBlock block;
    block.setSize (size, true);
    return block;
}

// Two entries named as pictures, which are none: inflating them is what
// they cost, and together with "skin.xml" they reach the limit exactly.
TEST_F (SkinTest, TheEntriesOfAPackageMayInflateTo16MiBTogether)
{
    const auto body = panelsShowing ({ "A.png", "B.png" });
    const auto description = static_cast<size_t> (SkinTestSupport::skinXml ("Tarvelin", body).getNumBytesAsUTF8());
    const auto half = static_cast<size_t> (Skin::maxInflatedBytes / 2);

    for (const size_t more : { 0, 1 })
    {
        SCOPED_TRACE (more);
        Package package;
        package.compressionLevel = 9;
        package.add ("A.png", zeros (half));
        package.add ("B.png", zeros (half - description + more));
        const auto panel = packagedPanelFrom (body, package);

        if (more == 0)
        {
            EXPECT_NE (panel, nullptr);
            EXPECT_EQ (packageSkin->getInflatedBytes(), Skin::maxInflatedBytes);
            EXPECT_EQ (packageSkin->getWarnings().size(), 2) << "neither is a picture";
        }
        else
        {
            EXPECT_EQ (panel, nullptr);
            EXPECT_EQ (packageSkin->getWarnings(),
                       juce::StringArray ("The entries of the skin \"Test\" inflate to more than 16 MB: the skin is not loaded"));
        }
    }
}

/** Where the central record of an entry starts; 0 when there is none. */
size_t centralRecordOf (const juce::MemoryBlock& archive, const juce::String& name)
{
    const auto* bytes = static_cast<const juce::uint8*> (archive.getData());

    for (size_t pos = 0; pos + 46 <= archive.getSize(); ++pos)
    {
        const auto nameLength = static_cast<size_t> (juce::ByteOrder::littleEndianShort (bytes + pos + 28));

        if (juce::ByteOrder::littleEndianInt (bytes + pos) == 0x02014b50 && pos + 46 + nameLength <= archive.getSize()
            && juce::String::fromUTF8 (reinterpret_cast<const char*> (bytes + pos + 46), static_cast<int> (nameLength)) == name)
            return pos;
    }

    return 0;
}

// The two pictures are alike, so the archive stays whole when the second
// name's record points at the first one's data.
TEST_F (SkinTest, AnArchiveWhoseNamesShareOneLocalEntryIsNoSkinArchive)
{
    Package package;
    package.addImage ("A.png", SkinTestSupport::makeStrip (4, 4, { red }));
    package.addImage ("B.png", SkinTestSupport::makeStrip (4, 4, { red }));
    package.addText ("skin.xml", SkinTestSupport::skinXml ("Tarvelin", panelsShowing ({ "A.png", "B.png" })));
    package.install (*editor, "Apart");

    auto archive = package.skinArchive();
    auto* bytes = static_cast<juce::uint8*> (archive.getData());
    const auto a = centralRecordOf (archive, "A.png"), b = centralRecordOf (archive, "B.png");
    ASSERT_TRUE (a != 0 && b != 0);
    std::copy (bytes + a + 42, bytes + a + 46, bytes + b + 42);
    package.skinArchiveOverride = archive;
    package.install (*editor, "Shared");

    EXPECT_TRUE (Skin::isValidPackage (*editor, "Apart"));
    EXPECT_FALSE (Skin::isValidPackage (*editor, "Shared"));

    Skin shared (*editor, "Shared");
    EXPECT_EQ (shared.createEditorPanel(), nullptr);
    EXPECT_EQ (shared.getInflatedBytes(), 0);
}

// The editor checks a package and builds its panel with one Skin: the
// package is read, inflated and its digest computed once.
TEST_F (SkinTest, APackageCheckedOnceBuildsItsPanelFromWhatTheCheckRead)
{
    Package package;
    package.addImage ("Background.png", SkinTestSupport::makeStrip (40, 20, { red }));
    package.addText ("skin.xml", SkinTestSupport::skinXml ("Tarvelin", R"(<gfx resource="Background.png"/>)"));
    const auto file = package.install (*editor, "Once");

    Skin once (*editor, "Once");
    ASSERT_TRUE (once.openPackage());
    ASSERT_TRUE (file.deleteFile());

    EXPECT_TRUE (once.openPackage());
    const auto panel = once.createEditorPanel();
    ASSERT_NE (panel, nullptr);
    EXPECT_TRUE (pixelIs (renderComponent (*panel), 20, 10, red));
    EXPECT_FALSE (Skin::isValidPackage (*editor, "Once"));
}

//==============================================================================
// The default skin as a package would hold: every picture its description
// names, at its measured share of each budget (a quarter of the work, 5 % of
// the memory and of the inflation, and its largest picture, the panel, 16 %
// of what one picture may be).
TEST (SkinPictures, TheDefaultSkinsPicturesFitTheBudgetsWithRoomToSpare)
{
    const auto description = juce::parseXML (loadBundleResourceAsString ("skin.xml"));
    ASSERT_NE (description, nullptr);
    const auto pictures = SkinTestSupport::picturesNamedIn (*description);
    ASSERT_GE (pictures.size(), 20);

    juce::int64 work = 0, bytes = 0, inflated = 0, largest = 0;

    for (const auto& name : pictures)
    {
        const auto picture = loadBundleResource (name);
        ASSERT_NE (picture, nullptr) << name;
        const auto cost = costOf (*picture);
        const auto image = SkinImageDecoder::decode (picture->getData(), picture->getSize());
        ASSERT_TRUE (image.isValid()) << name;

        work += cost.work;
        bytes += cost.bytes;
        inflated += static_cast<juce::int64> (picture->getSize());
        largest = std::max (largest, static_cast<juce::int64> (image.getWidth()) * image.getHeight());
    }

    EXPECT_LT (work, Skin::maxDecodeWork / 3);
    EXPECT_LT (bytes, Skin::maxDecodedBytes / 16);
    EXPECT_LT (inflated, Skin::maxInflatedBytes / 16);
    EXPECT_LT (largest, SkinImageDecoder::maxPixels / 5);
}
} // namespace
