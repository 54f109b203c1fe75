#include "support/PixelProbe.h"
#include "support/TestDesktop.h"
#include "widgets/DefaultLookAndFeel.h"
#include "widgets/TextButtonEx.h"

#include <juce_audio_utils/juce_audio_utils.h>

#include <gtest/gtest.h>

#include <vector>

namespace
{
juce::Image renderDrawable (juce::Drawable& drawable, int side)
{
    juce::Image image (juce::Image::ARGB, side, side, true);
    juce::Graphics g (image);
    drawable.drawWithin (g, { 0.0f, 0.0f, (float) side, (float) side }, juce::RectanglePlacement::centred, 1.0f);
    return image;
}

int countOpaquePixels (const juce::Image& image)
{
    int count = 0;

    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            count += image.getPixelAt (x, y).getAlpha() > 0 ? 1 : 0;

    return count;
}
} // namespace

TEST (DefaultLookAndFeel, ComponentsFindTheColourTableThroughTheTree)
{
    struct Row
    {
        int id;
        juce::uint32 argb;
    };

    // The rows whose values the look and feel computes, and the framework's own
    // ids that two components read with swapped meanings.
    const Row rows[] = {
        { juce::TextButton::buttonOnColourId, 0xFFFF8D3A },
        { juce::MidiKeyboardComponent::mouseOverKeyOverlayColourId, 0xFFFFA35F },
        { DefaultLookAndFeel::highlightLightColourId, 0xFFFFA35F },
        { DefaultLookAndFeel::pathFieldTextColourId, 0xFF000000 },
        { DefaultLookAndFeel::pathFieldOutlineColourId, 0xFFFFFFFF },
        { DefaultLookAndFeel::windowBackgroundColourId, 0xFFC5C5C5 },
        { DefaultLookAndFeel::statusBarBackgroundColourId, 0xFF444444 },
        { DefaultLookAndFeel::panelCaptionColourId, 0xFF7C7C7C },
    };

    TestDesktop desktop;
    juce::Component page, control;
    desktop.addAndMakeVisible (page);
    page.addAndMakeVisible (control);

    for (const auto& row : rows)
    {
        SCOPED_TRACE (juce::String::toHexString (row.id).toStdString());
        EXPECT_EQ (control.findColour (row.id).getARGB(), row.argb);
    }
}

TEST (DefaultLookAndFeel, ARoundedPanelOneOrTwoPixelsWideIsOnlyItsOutline)
{
    const auto fill = juce::Colours::red;
    const auto outline = juce::Colours::blue;

    juce::Image image (juce::Image::ARGB, 20, 20, true);
    {
        juce::Graphics g (image);
        DefaultLookAndFeel::drawRoundedPanel (g, { 5, 2, 1, 16 }, fill, outline, 0.0f, 1.0f);
        DefaultLookAndFeel::drawRoundedPanel (g, { 10, 2, 8, 16 }, fill, outline, 0.0f, 1.0f);
    }

    EXPECT_GT (image.getPixelAt (5, 10).getBlue(), 0);
    EXPECT_EQ (image.getPixelAt (5, 10).getRed(), 0);
    EXPECT_TRUE (pixelIs (image, 10, 10, outline));
    EXPECT_TRUE (pixelIs (image, 14, 10, fill));
    EXPECT_TRUE (pixelIs (image, 17, 10, outline));
}

TEST (DefaultLookAndFeel, OutsideFillMasksOnlyTheCorners)
{
    juce::Image image (juce::Image::ARGB, 40, 40, true);
    {
        juce::Graphics g (image);
        DefaultLookAndFeel::fillOutsideRoundedRect (g, image.getBounds(), juce::Colours::red, juce::Colours::blue, 8.0f, 1.0f);
    }

    EXPECT_TRUE (pixelIs (image, 0, 0, juce::Colours::red));
    EXPECT_TRUE (pixelIs (image, 20, 20, juce::Colours::transparentBlack));
    EXPECT_TRUE (pixelIs (image, 20, 0, juce::Colours::blue));
}

TEST (DefaultLookAndFeel, ADisabledScrollBarDrawsTrackAndThumbAtHalfAlpha)
{
    TestDesktop desktop;
    juce::ScrollBar bar (true);
    desktop.addAndMakeVisible (bar);
    bar.setBounds (0, 0, 13, 200);
    bar.setRangeLimits (0.0, 100.0);
    bar.setCurrentRange (0.0, 50.0);

    const auto& lf = desktop.lookAndFeel;
    const auto track = lf.findColour (juce::ScrollBar::trackColourId);
    const auto thumb = lf.findColour (juce::ScrollBar::thumbColourId);

    for (const bool enabled : { true, false })
    {
        SCOPED_TRACE (enabled ? "enabled" : "disabled");
        bar.setEnabled (enabled);
        const auto image = renderComponent (bar);
        const auto alpha = enabled ? 1.0f : 0.5f;

        // Between the arrow buttons: the thumb in the middle of the upper half, the track at the edge.
        EXPECT_TRUE (pixelIs (image, 6, 50, track.withMultipliedAlpha (alpha).overlaidWith (thumb.withMultipliedAlpha (alpha))));
        EXPECT_TRUE (pixelIs (image, 0, 150, track.withMultipliedAlpha (alpha)));
    }
}

TEST (DefaultLookAndFeel, EveryIconIsAPureBlackDrawingThatRecoloursAndTheSetEndsAt28)
{
    for (int index = 0; index < DefaultLookAndFeel::numIcons; ++index)
    {
        SCOPED_TRACE (index);
        auto icon = DefaultLookAndFeel::getIcon (index);
        ASSERT_NE (icon, nullptr);

        auto image = renderDrawable (*icon, 32);
        ASSERT_GT (countOpaquePixels (image), 20);

        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                ASSERT_EQ (image.getPixelAt (x, y).getRed() + image.getPixelAt (x, y).getGreen(), 0);

        EXPECT_TRUE (icon->replaceColour (juce::Colours::black, juce::Colours::white));
    }

    EXPECT_EQ (DefaultLookAndFeel::getIcon (29), nullptr);
    EXPECT_EQ (DefaultLookAndFeel::getIcon (-1), nullptr);
}

TEST (DefaultLookAndFeel, Icons17And18AreOnePicture)
{
    const auto first = renderDrawable (*DefaultLookAndFeel::getIcon (17), 24);
    const auto second = renderDrawable (*DefaultLookAndFeel::getIcon (18), 24);

    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            ASSERT_TRUE (pixelIs (second, x, y, first.getPixelAt (x, y), 0));
}

TEST (DefaultLookAndFeel, EveryOtherIconIsAPictureOfItsOwn)
{
    // A role drawn twice (or left on another role's picture) shows up as two equal renderings.
    std::vector<juce::Image> images;

    for (int index = 0; index < DefaultLookAndFeel::numIcons; ++index)
        images.push_back (renderDrawable (*DefaultLookAndFeel::getIcon (index), 24));

    const auto samePicture = [] (const juce::Image& a, const juce::Image& b)
    {
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
                if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                    return false;

        return true;
    };

    for (int first = 0; first < DefaultLookAndFeel::numIcons; ++first)
    {
        for (int second = first + 1; second < DefaultLookAndFeel::numIcons; ++second)
        {
            if (first != 17 || second != 18)
            {
                EXPECT_FALSE (samePicture (images[(size_t) first], images[(size_t) second])) << first << " and " << second;
            }
        }
    }
}

TEST (DefaultLookAndFeel, IconButtonsExistForTheirIndicesAndSizesOnly)
{
    DefaultLookAndFeel lf;

    const auto small = lf.createIconButton ("close", DefaultLookAndFeel::closeIcon);
    ASSERT_NE (small, nullptr);
    EXPECT_EQ (small->getName(), "close");
    EXPECT_EQ (small->getWidth(), 16);

    const auto large = lf.createIconButton ("delete", DefaultLookAndFeel::deleteIcon, DefaultLookAndFeel::largeButtons);
    ASSERT_NE (large, nullptr);
    EXPECT_EQ (large->getWidth(), 24);

    EXPECT_EQ (lf.createIconButton ("none", 9, DefaultLookAndFeel::largeButtons), nullptr);
    EXPECT_EQ (lf.createIconButton ("none", 17, DefaultLookAndFeel::largeButtons), nullptr);
    EXPECT_EQ (lf.createIconButton ("none", 22), nullptr);

    // Disabled, the picture is dimmed to 0.3 of its opacity, as the toolkit draws it.
    const auto strongestAlpha = [] (const juce::Image& image)
    {
        int strongest = 0;

        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                strongest = juce::jmax (strongest, (int) image.getPixelAt (x, y).getAlpha());

        return strongest;
    };

    small->setLookAndFeel (&lf);
    const auto enabledAlpha = strongestAlpha (renderComponent (*small));
    small->setEnabled (false);
    EXPECT_NEAR (strongestAlpha (renderComponent (*small)), 0.3 * enabledAlpha, 2.0);
    small->setLookAndFeel (nullptr);

    const auto images = lf.getStateButtonImages (0, DefaultLookAndFeel::smallButtons);
    ASSERT_EQ (images.size(), 7);
    EXPECT_EQ (images[0].getWidth(), 10);
    EXPECT_EQ (images[0].getHeight(), 20);
    EXPECT_EQ (images[2].getWidth(), 10);
    EXPECT_TRUE (lf.getStateButtonImages (22, DefaultLookAndFeel::smallButtons).isEmpty());
}

TEST (DefaultLookAndFeel, StateButtonsExistForEveryStyleInTheIconButtonsSizes)
{
    DefaultLookAndFeel lf;

    for (int style = -1; style <= 22; ++style)
    {
        for (const int size : { (int) DefaultLookAndFeel::smallButtons, (int) DefaultLookAndFeel::largeButtons })
        {
            SCOPED_TRACE ("style " + juce::String (style) + ", size " + juce::String (size));
            const auto iconButton = lf.createIconButton ("icon", style, size);
            const auto button = lf.createStateButton ("Store", style, size);
            ASSERT_EQ (button != nullptr, iconButton != nullptr);

            if (button == nullptr)
            {
                EXPECT_TRUE (lf.getStateButtonImages (style, size).isEmpty());
                continue;
            }

            const auto height = size == DefaultLookAndFeel::largeButtons ? 24 : 20;
            EXPECT_EQ (button->getName(), "Store");
            EXPECT_EQ (button->getStyle(), style);
            EXPECT_EQ (button->getImages().size(), 7);
            EXPECT_EQ (button->getHeight(), height);
            EXPECT_EQ (button->getLeftMargin(), height / 2);
            EXPECT_EQ (button->getWidth(), button->getTextWidth() + button->getLeftMargin() + button->getRightMargin());
        }
    }

    // The button that the default size makes, and a style without pictures left as it was.
    EXPECT_EQ (lf.createStateButton ("Store", 21)->getHeight(), 20);
    TextButtonEx plain ("Plain", 22);
    const auto widthBefore = plain.getWidth();
    lf.setStateButtonImages (plain, 22, DefaultLookAndFeel::smallButtons);
    EXPECT_TRUE (plain.getImages().isEmpty());
    EXPECT_EQ (plain.getWidth(), widthBefore);

    // A text button of a style takes its pictures when it joins the look.
    TestDesktop desktop;
    TextButtonEx joined ("Joined", 13);
    desktop.adopt (joined);
    EXPECT_EQ (joined.getImages().size(), 7);
    EXPECT_EQ (joined.getHeight(), 20);
}

TEST (DefaultLookAndFeel, TheOwnFontsMeasuresAndPicturesHaveTheirValues)
{
    DefaultLookAndFeel lf;

    struct FontRow
    {
        const char* operation;
        juce::Font font;
        bool bold;
    };

    for (const auto& row : { FontRow { "interface", lf.getInterfaceFont(), false }, FontRow { "bold", lf.getBoldFont(), true },
                             FontRow { "header", lf.getHeaderFont(), true }, FontRow { "item", lf.getItemFont(), false } })
    {
        EXPECT_EQ (row.font.getTypefaceName(), "Tahoma") << row.operation;
        EXPECT_FLOAT_EQ (row.font.getHeight(), 13.0f) << row.operation;
        EXPECT_EQ (row.font.isBold(), row.bold) << row.operation;
    }

    const std::pair<const char*, int> measures[] = {
        { "text margin", lf.getTextMargin() },       { "default font height", lf.getDefaultFontHeight() },
        { "control indent", lf.getControlIndent() }, { "control spacing", lf.getControlSpacing() },
        { "border", lf.getBorderThickness() },       { "row height", lf.getRowHeight() },
        { "panel spacing", lf.getPanelSpacing() },
    };
    const int expected[] = { 5, 13, 4, 6, 2, 20, 6 };

    for (size_t i = 0; i < std::size (measures); ++i)
        EXPECT_EQ (measures[i].second, expected[i]) << measures[i].first;

    EXPECT_FLOAT_EQ (lf.getCornerSize(), 4.0f);

    // Four pictures of their own, each 16 x 16 and drawn on.
    const juce::Image pictures[] = { lf.getCollapsedArrowImage(), lf.getExpandedArrowImage(), lf.getUncheckedImage(), lf.getCheckedImage() };

    for (size_t i = 0; i < std::size (pictures); ++i)
    {
        EXPECT_EQ (pictures[i].getBounds(), juce::Rectangle<int> (0, 0, 16, 16)) << i;
        EXPECT_GT (countOpaquePixels (pictures[i]), 10) << i;

        for (size_t j = 0; j < i; ++j)
        {
            bool same = true;

            for (int y = 0; y < 16 && same; ++y)
                for (int x = 0; x < 16 && same; ++x)
                    same = pictures[i].getPixelAt (x, y) == pictures[j].getPixelAt (x, y);

            EXPECT_FALSE (same) << "pictures " << j << " and " << i;
        }
    }

    // The closed arrow points right, the open one down; the ticked box has a dark tick in its middle.
    EXPECT_GT (lf.getCollapsedArrowImage().getPixelAt (6, 8).getAlpha(), 0);
    EXPECT_EQ (lf.getCollapsedArrowImage().getPixelAt (8, 13).getAlpha(), 0);
    EXPECT_GT (lf.getExpandedArrowImage().getPixelAt (8, 6).getAlpha(), 0);
    EXPECT_TRUE (pixelIs (lf.getUncheckedImage(), 8, 8, juce::Colours::white));
    EXPECT_LT (lf.getCheckedImage().getPixelAt (8, 9).getBrightness(), 0.3f);
}

TEST (DefaultLookAndFeel, TabsAreDrawnInTheTabColoursWithTheFrontTabLighter)
{
    TestDesktop desktop;
    juce::TabbedComponent tabs (juce::TabbedButtonBar::TabsAtTop);
    desktop.addAndMakeVisible (tabs);
    tabs.setBounds (0, 0, 300, 200);
    tabs.setTabBarDepth (23);
    const auto tabColour = juce::Colour (0xFFC5C5C5);
    juce::Component a, b;
    tabs.addTab ("MIDI", tabColour, &a, false);
    tabs.addTab ("Presets", tabColour, &b, false);

    const auto image = renderComponent (tabs);
    auto* front = tabs.getTabbedButtonBar().getTabButton (0);
    auto* back = tabs.getTabbedButtonBar().getTabButton (1);
    const auto frontInside = front->getBounds().getCentre().withY (4);
    const auto backInside = back->getBounds().getCentre().withY (4);

    EXPECT_TRUE (pixelIs (image, frontInside.x - 20, frontInside.y, tabColour));
    EXPECT_TRUE (pixelIs (image, backInside.x + 20, backInside.y, tabColour.darker (0.2f)));
}
