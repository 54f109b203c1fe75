#include "SkinTestFixture.h"

#include "skin/ComponentLookup.h"
#include "skin/SkinGeometry.h"
#include "support/PixelProbe.h"

namespace
{
const auto red = juce::Colour (0xffff0000);
const auto green = juce::Colour (0xff00ff00);
const auto blue = juce::Colour (0xff0000ff);
const auto panelGrey = juce::Colour (0xffe6e6e6);

GFXPanel* childPanel (juce::Component& parent, int index)
{
    return dynamic_cast<GFXPanel*> (parent.getChildComponent (index));
}

TEST_F (SkinTest, ControlsAreOffsetByTheirOwnPanelsControlsOffsetOnly)
{
    const auto panel = panelFrom (R"(<size width="200" height="100"/>
        <controls ofsX="10" ofsY="20">
          <Panel name="Outer"><pos left="5" top="1"/><size width="50" height="50"/>
            <controls ofsX="3"><Panel name="Inner"><pos left="2" top="2"/><size width="4" height="4"/></Panel></controls>
          </Panel>
        </controls>)");
    ASSERT_NE (panel, nullptr);

    auto* outer = childPanel (*panel, 0);
    ASSERT_NE (outer, nullptr);
    EXPECT_EQ (outer->getPosition(), juce::Point<int> (15, 21));
    EXPECT_EQ (childPanel (*outer, 0)->getBounds(), juce::Rectangle<int> (5, 2, 4, 4));
}

TEST_F (SkinTest, TagsIgnoreCaseAndUnknownTagsBuildNothingButAWarning)
{
    const auto panel = panelFrom (R"(<controls>text<PANEL name="A"/><panel name="B"/><Slider name="C"/><!-- note --><Keyboard name="D"/></controls>)");
    ASSERT_NE (panel, nullptr);

    EXPECT_EQ (panel->getNumChildComponents(), 2);
    EXPECT_EQ (skin.getWarnings(), (juce::StringArray { "\"C\" has the unknown tag \"Slider\"", "\"D\" has the unknown tag \"Keyboard\"" }));
}

TEST_F (SkinTest, LaterControlsLieAboveEarlierOnes)
{
    const auto panel = panelFrom (R"(<size width="30" height="30"/><controls>
        <Panel name="Below"><size width="20" height="20"/></Panel>
        <Panel name="Above"><pos left="10" top="10"/><size width="20" height="20"/></Panel></controls>)");
    ASSERT_NE (panel, nullptr);
    panel->setVisible (true);

    const auto nameAt = [&panel] (int x, int y)
    {
        const auto* hit = panel->getComponentAt (x, y);
        return hit != nullptr ? hit->getName() : juce::String ("nothing");
    };

    EXPECT_EQ (nameAt (15, 15), "Above");
    EXPECT_EQ (nameAt (5, 5), "Below");
}

TEST_F (SkinTest, TheEditorHearsControlsOfNestedPanels)
{
    struct EventLog : public GUIController::Listener
    {
        void controllerEventTriggered (GUIController*, int id) override { ids.add (id); }
        juce::Array<int> ids;
    } editorSide;

    const auto panel = panelFrom (R"(<controls><Panel name="A"><controls><Panel name="Deep"/></controls></Panel></controls>)");
    ASSERT_NE (panel, nullptr);
    panel->addListener (&editorSide);

    auto* deep = dynamic_cast<GUIController*> (findChildComponentByName (*panel, "Deep", true));
    ASSERT_NE (deep, nullptr);
    deep->sendEventTriggered (1004);

    EXPECT_EQ (editorSide.ids, juce::Array<int> { 1004 });
}

TEST_F (SkinTest, NameLookupTakesEachLevelsDirectChildrenBeforeItsSubtrees)
{
    // Main: [A: [X: [GateButton#1]], B: [GateButton#2], GateButton#3]
    const auto panel = panelFrom (R"(<controls>
        <Panel name="A"><controls><Panel name="X"><controls><Panel name="GateButton"><size width="1"/></Panel></controls></Panel></controls></Panel>
        <Panel name="B"><controls><Panel name="GateButton"><size width="2"/></Panel></controls></Panel>
        <Panel name="GateButton"><size width="3"/></Panel></controls>)");
    ASSERT_NE (panel, nullptr);

    EXPECT_EQ (findChildComponentByName (*panel, "GateButton", true)->getWidth(), 3);

    panel->removeChildComponent (2);
    EXPECT_EQ (findChildComponentByName (*panel, "GateButton", true)->getWidth(), 1) << "A's subtree comes before B's";
    EXPECT_EQ (findChildComponentByName (*panel, "GateButton", false), nullptr);
    EXPECT_EQ (findChildComponentByName (*panel, "gatebutton", true), nullptr) << "names compare exactly";
}

TEST_F (SkinTest, PanelsNestedBeyondTheLimitAreLeftOut)
{
    juce::String body;

    for (int i = 0; i < GFXPanel::maxNestingDepth + 5; ++i)
        body << "<controls><Panel name=\"Level" << i << "\">";

    for (int i = 0; i < GFXPanel::maxNestingDepth + 5; ++i)
        body << "</Panel></controls>";

    const auto panel = panelFrom (body);
    ASSERT_NE (panel, nullptr);

    EXPECT_NE (findChildComponentByName (*panel, "Level" + juce::String (GFXPanel::maxNestingDepth - 2), true), nullptr);
    EXPECT_EQ (findChildComponentByName (*panel, "Level" + juce::String (GFXPanel::maxNestingDepth), true), nullptr);
    EXPECT_EQ (skin.getWarnings().size(), 1);
}

TEST_F (SkinTest, PositionsAndSizesStayWithinReach)
{
    const auto panel = panelFrom (R"(<size width="-5" height="99999999"/><controls ofsX="2147483647">
        <Panel name="Far"><pos left="2147483647" top="-2147483648"/></Panel></controls>)");
    ASSERT_NE (panel, nullptr);

    EXPECT_EQ (panel->getWidth(), 0);
    EXPECT_EQ (panel->getHeight(), SkinGeometry::maxExtent);
    EXPECT_EQ (panel->getChildComponent (0)->getPosition(), juce::Point<int> (SkinGeometry::maxExtent, -SkinGeometry::maxExtent));
}

//==============================================================================
TEST_F (SkinTest, APanelDrawsFrameZeroOfItsStripOrGreyAndTransparentNothing)
{
    SkinTestSupport::Package package;
    package.addImage ("Back.png", SkinTestSupport::makeStrip (30, 10, { red, green }));
    const auto panel = packagedPanelFrom (R"(<gfx resource="Back.png" framesNum="2"/><size width="99" height="99"/><controls>
        <Panel name="Clear"><gfx resource="Back.png" framesNum="2" transparent="yes"/><controls>
          <Panel name="Plain"><pos left="20" top="0"/><size width="10" height="10"/></Panel></controls></Panel></controls>)",
                                          package);
    ASSERT_NE (panel, nullptr);
    EXPECT_EQ (panel->getBounds(), juce::Rectangle<int> (0, 0, 30, 10)) << "the picture's frame sets the size";

    auto* clear = childPanel (*panel, 0);
    ASSERT_NE (clear, nullptr);
    EXPECT_TRUE (clear->isTransparent());

    const auto image = renderComponent (*panel);
    EXPECT_TRUE (pixelIs (image, 5, 5, red)) << "the transparent panel above shows the main panel's frame 0";
    EXPECT_TRUE (pixelIs (image, 25, 5, panelGrey));
    EXPECT_TRUE (pixelIs (renderComponent (*clear), 5, 5, juce::Colours::transparentBlack));
}

TEST_F (SkinTest, APanelWithoutPictureOrSizeClipsItsControlsAway)
{
    const auto panel = panelFrom (R"(<controls><Panel name="Empty"><controls><Panel name="Inside"><size width="5" height="5"/></Panel></controls></Panel></controls>)");
    ASSERT_NE (panel, nullptr);

    auto* empty = childPanel (*panel, 0);
    EXPECT_EQ (empty->getBounds(), juce::Rectangle<int>());
    EXPECT_EQ (findChildComponentByName (*panel, "Inside", true)->getScreenBounds().getIntersection (empty->getScreenBounds()).getWidth(), 0);
}

//==============================================================================
class StripTest : public ::testing::Test
{
protected:
    struct Strip : public BaseGFXController
    {
        void applySize() override { ++sizeChanges; }
        int sizeChanges = 0;
    };

    Strip strip;
};

TEST_F (StripTest, FramesAreWholeBandsAndTheRemainderIsNeverShown)
{
    // 100 rows as 3 frames: red, green and blue bands of 33 rows, then one white row.
    juce::Image image (juce::Image::ARGB, 8, 100, true);
    {
        juce::Graphics g (image);
        g.drawImageAt (SkinTestSupport::makeStrip (8, 33, { red, green, blue, juce::Colours::white }), 0, 0);
    }

    strip.setImage (image, 3);
    EXPECT_EQ (strip.getFrameHeight(), 33);
    EXPECT_EQ (strip.sizeChanges, 1);

    juce::Image target (juce::Image::ARGB, 8, 40, true);
    juce::Graphics g (target);
    strip.drawFrame (g, 7);
    EXPECT_TRUE (pixelIs (target, 0, 32, blue)) << "a frame past the strip draws the last frame";
    EXPECT_TRUE (pixelIs (target, 0, 33, juce::Colours::transparentBlack));
}

TEST_F (StripTest, AFrameCountBelowOneReadsAsOne)
{
    strip.setImage (SkinTestSupport::makeStrip (4, 10, { red }), 0);
    EXPECT_EQ (strip.getFramesNum(), 1);
    EXPECT_EQ (strip.getFrameHeight(), 10);
    EXPECT_EQ (strip.getFrameForProportion (1.0f), 0);
}

TEST_F (StripTest, AProportionPicksTheNearestFrameWithHalvesRoundingUp)
{
    strip.setImage (juce::Image (juce::Image::ARGB, 1, 101, true), 101);
    EXPECT_EQ (strip.getFrameForProportion (0.5f), 50);

    strip.setImage (juce::Image (juce::Image::ARGB, 1, 5, true), 5);
    EXPECT_EQ (strip.getFrameForProportion (0.625f), 3);
    EXPECT_EQ (strip.getFrameForProportion (0.124f), 0);
    EXPECT_EQ (strip.getFrameForProportion (0.125f), 1);
    EXPECT_EQ (strip.getFrameForProportion (7.0f), 4);
    EXPECT_EQ (strip.getFrameForProportion (std::numeric_limits<float>::quiet_NaN()), 0);
}
} // namespace
