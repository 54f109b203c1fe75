#include "SkinTestFixture.h"

#include "skin/ComponentLookup.h"
#include "support/PixelProbe.h"

// What one skin package may hold: controls, elements of its description and
// entries of its archive, each limit taken whole or refused whole.
namespace
{
using SkinTestSupport::Package;

const auto red = juce::Colour (0xffff0000);
const auto blue = juce::Colour (0xff0000ff);

// The count takes in nested panels and their controls, and elements of
// unknown tags, which are each a warning.
TEST_F (SkinTest, ASkinOfMoreThan4096ControlsIsRefusedWithAWarningBeforeAnyIsBuilt)
{
    Package package;
    package.addImage ("Knob.png", SkinTestSupport::makeStrip (4, 4, { red }));
    const juce::String pictured = R"(<Knob name="Pictured"><gfx resource="Knob.png"/></Knob>)";
    const juce::String nested = R"(<Panel name="Inner"><controls><Knob name="Deep"/></controls></Panel>)";
    const auto refusal = juce::StringArray ("The skin \"Test\" has more than 4096 controls: the skin is not loaded");

    for (const auto& extra : { juce::String(), juce::String ("<Knob/>"), juce::String ("<Slider/>") })
    {
        SCOPED_TRACE (extra);
        const auto panel = packagedPanelFrom ("<controls>" + pictured + juce::String::repeatedString ("<Knob/>", 4093) + nested + extra + "</controls>", package);

        if (extra.isEmpty())
        {
            ASSERT_NE (panel, nullptr);
            EXPECT_EQ (panel->getNumChildComponents(), 4095);
            EXPECT_NE (findChildComponentByName (*panel, "Deep", true), nullptr);
            EXPECT_TRUE (packageSkin->getWarnings().isEmpty()) << packageSkin->getWarnings()[0];
        }
        else
        {
            EXPECT_EQ (panel, nullptr);
            EXPECT_EQ (packageSkin->getWarnings(), refusal);
            EXPECT_EQ (packageSkin->getDecodedBytes(), 0) << "no control asked for its picture";
        }
    }
}

TEST_F (SkinTest, ASkinDescriptionOfMoreThan65536ElementsIsRefusedWithAWarning)
{
    // The root and the main panel are two of them; "Note" is none of the panel's.
    for (const auto notes : { 65534, 65535 })
    {
        const auto panel = packagedPanelFrom (juce::String::repeatedString ("<Note/>", notes));

        if (notes == 65534)
        {
            EXPECT_NE (panel, nullptr);
        }
        else
        {
            EXPECT_EQ (panel, nullptr);
            EXPECT_EQ (packageSkin->getWarnings(),
                       juce::StringArray ("The description of the skin \"Test\" has more than 65536 elements: the skin is not loaded"));
        }
    }
}

// Names are matched exactly, case included, and of two entries of one name
// the first is taken, as the archive's own look-up does.
TEST_F (SkinTest, PicturesAreFoundByTheirExactNameAmongTheMostEntriesASkinArchiveMayHold)
{
    Package package;
    package.addImage ("Knob.png", SkinTestSupport::makeStrip (4, 4, { red }));
    package.addImage ("knob.png", SkinTestSupport::makeStrip (4, 4, { blue }));
    package.addImage ("Twice.png", SkinTestSupport::makeStrip (4, 4, { red }));
    package.addImage ("Twice.png", SkinTestSupport::makeStrip (4, 4, { blue }));

    // With skin.xml, added below: 8192 entries.
    for (int i = static_cast<int> (package.skinEntries.size()) + 1; i < Skin::maxSkinArchiveEntries; ++i)
        package.addText ("Filler" + juce::String (i), "-");

    const auto panel = packagedPanelFrom (R"(<controls><Panel name="A"><gfx resource="Knob.png"/></Panel>
                                                       <Panel name="B"><gfx resource="knob.png"/></Panel>
                                                       <Panel name="C"><gfx resource="KNOB.PNG"/><size width="4" height="4"/></Panel>
                                                       <Panel name="D"><gfx resource="Twice.png"/></Panel></controls>)",
                                          package);
    ASSERT_NE (panel, nullptr);
    EXPECT_TRUE (pixelIs (renderComponent (*panel->getChildComponent (0)), 1, 1, red));
    EXPECT_TRUE (pixelIs (renderComponent (*panel->getChildComponent (1)), 1, 1, blue));
    EXPECT_TRUE (pixelIs (renderComponent (*panel->getChildComponent (2)), 1, 1, juce::Colour::greyLevel (0.9f)));
    EXPECT_TRUE (pixelIs (renderComponent (*panel->getChildComponent (3)), 1, 1, red));
    EXPECT_EQ (packageSkin->getWarnings(), juce::StringArray ("The picture \"KNOB.PNG\" is missing or cannot be decoded"));

    // One entry more and the archive is unreadable.
    package.addText ("Filler", "-");
    package.addText ("skin.xml", SkinTestSupport::skinXml ("Tarvelin", "")).install (*editor, "Crowded");
    EXPECT_TRUE (Skin::isValidPackage (*editor, "Test"));
    EXPECT_FALSE (Skin::isValidPackage (*editor, "Crowded"));
}
} // namespace
