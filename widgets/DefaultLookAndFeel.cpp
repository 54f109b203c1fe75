#include "widgets/DefaultLookAndFeel.h"

#include "framework/BundleResources.h"
#include "widgets/TextButtonEx.h"

#include <juce_audio_utils/juce_audio_utils.h>

#include <array>
#include <functional>

namespace
{
const juce::Colour orange (0xFFFF6C00);
const juce::Colour lightGrey (0xFFE3E3E3);
const juce::Colour windowGrey (0xFFC5C5C5);
const juce::Colour darkTabGrey (0xFF5B5B5B);

// The icon documents by index; 17 and 18 share one picture.
const char* const iconFiles[DefaultLookAndFeel::numIcons] = {
    "icon-close.svg",        "icon-copy.svg",         "icon-left.svg",         "icon-paste.svg",
    "icon-delete-entry.svg", "icon-move-down.svg",    "icon-move-up.svg",      "icon-right.svg",
    "icon-new.svg",          "icon-ok.svg",           "icon-search.svg",       "icon-info.svg",
    "icon-warning.svg",      "icon-add.svg",          "icon-delete.svg",       "icon-rename.svg",
    "icon-clear-all.svg",    "icon-favourite.svg",    "icon-favourite.svg",    "icon-settings.svg",
    "icon-open.svg",         "icon-save.svg",         "icon-refresh.svg",      "icon-lock.svg",
    "icon-play.svg",         "icon-stop.svg",         "icon-midi.svg",         "icon-learn.svg",
    "icon-help.svg"
};

constexpr int numIconButtons = 22;

// Every editor's buttons ask for the same few icons: each document is parsed
// once and handed out as copies. Deleted with the toolkit's shutdown, while
// drawables (components) may still be deleted.
class IconCache : private juce::DeletedAtShutdown
{
public:
    ~IconCache() override { clearSingletonInstance(); }

    std::unique_ptr<juce::Drawable> getCopy (int index)
    {
        const juce::ScopedLock sl (lock);
        auto& entry = icons[static_cast<size_t> (index)];

        if (! entry.parsed)
        {
            entry.parsed = true;

            if (const auto document = juce::parseXML (loadBundleResourceAsString (iconFiles[index]));
                document != nullptr && document->getTagName() == "svg")
                entry.drawable = juce::Drawable::createFromSVG (*document);
        }

        return entry.drawable != nullptr ? entry.drawable->createCopy() : nullptr;
    }

    JUCE_DECLARE_SINGLETON (IconCache, false)

private:
    struct Entry
    {
        bool parsed = false;
        std::unique_ptr<juce::Drawable> drawable;
    };

    juce::CriticalSection lock;
    std::array<Entry, DefaultLookAndFeel::numIcons> icons;
};

JUCE_IMPLEMENT_SINGLETON (IconCache)

bool hasLargeIconButton (int index)
{
    return (index >= 0 && index <= 8) || (index >= 13 && index <= 16) || (index >= 18 && index <= 21);
}

// The icon and state buttons share their indices and sizes.
bool hasButtonPictures (int index, int size)
{
    return index >= 0 && index < numIconButtons && (size != DefaultLookAndFeel::largeButtons || hasLargeIconButton (index));
}

constexpr int singleImageSide = 16;

juce::Image drawSingleImage (const std::function<void (juce::Graphics&)>& draw)
{
    juce::Image image (juce::Image::ARGB, singleImageSide, singleImageSide, true);
    juce::Graphics g (image);
    draw (g);
    return image;
}

juce::Image drawCheckBoxImage (bool ticked)
{
    return drawSingleImage ([ticked] (juce::Graphics& g)
    {
        const juce::Rectangle<int> box (1, 1, singleImageSide - 2, singleImageSide - 2);
        DefaultLookAndFeel::drawRoundedPanel (g, box, juce::Colours::white, juce::Colour (0xFF808080), 3.0f, 1.0f);

        if (! ticked)
            return;

        if (const auto document = juce::parseXML (loadBundleResourceAsString ("check-box-tick.svg")))
            if (auto tick = juce::Drawable::createFromSVG (*document))
                tick->drawWithin (g, box.reduced (2).toFloat(), juce::RectanglePlacement::centred, 1.0f);
    });
}

juce::Image renderIcon (int index, int side, juce::Colour colour)
{
    auto icon = DefaultLookAndFeel::getIcon (index);

    if (icon == nullptr)
        return {};

    icon->replaceColour (juce::Colours::black, colour);
    juce::Image image (juce::Image::ARGB, side, side, true);
    juce::Graphics g (image);
    icon->drawWithin (g, juce::Rectangle<float> (0.0f, 0.0f, (float) side, (float) side),
                      juce::RectanglePlacement::centred, 1.0f);
    return image;
}

juce::Path makeUpArrow()
{
    juce::Path arrow;
    arrow.startNewSubPath (4.0f, 11.0f);
    arrow.lineTo (4.0f, 8.0f);
    arrow.lineTo (1.75f, 8.0f);
    arrow.lineTo (6.5f, 1.6f);
    arrow.lineTo (11.25f, 8.0f);
    arrow.lineTo (9.0f, 8.0f);
    arrow.lineTo (9.0f, 11.0f);
    arrow.closeSubPath();
    return arrow;
}

juce::Path rotatedArrow (const juce::Path& up, int quarterTurns)
{
    auto arrow = up;
    arrow.applyTransform (juce::AffineTransform::rotation ((float) quarterTurns * juce::MathConstants<float>::halfPi,
                                                           6.5f, 6.5f));
    return arrow;
}

void drawSliderKnob (juce::Graphics& g, float x, float y, float width, float height, juce::Colour colour)
{
    juce::Path knob;
    knob.addRoundedRectangle (x + 0.5f, y + 0.5f, width - 1.0f, height - 1.0f, 2.0f);

    g.setGradientFill (juce::ColourGradient::vertical (colour.brighter (0.2f), y, colour.darker (0.25f), y + height));
    g.fillPath (knob);

    const auto brightness = colour.getBrightness();
    g.setColour (juce::Colours::white.withAlpha (brightness * brightness * 0.4f * colour.getFloatAlpha()));
    const auto squeeze = (height - 1.6f) / height;
    g.strokePath (knob, juce::PathStrokeType (1.0f),
                  juce::AffineTransform::translation (0.0f, 1.0f).scaled (1.0f, squeeze, x, y));

    g.setColour (juce::Colours::black.withAlpha (0.4f * colour.getFloatAlpha()));
    g.strokePath (knob, juce::PathStrokeType (1.0f));
}
} // namespace

DefaultLookAndFeel::DefaultLookAndFeel()
    : upArrow (makeUpArrow()),
      rightArrow (rotatedArrow (upArrow, 1)),
      downArrow (rotatedArrow (upArrow, 2)),
      leftArrow (rotatedArrow (upArrow, 3)),
      interfaceFont (InterfaceTypefaces::font (13.0f)),
      boldFont (InterfaceTypefaces::font (13.0f, juce::Font::bold))
{
    collapsedArrow = drawSingleImage ([this] (juce::Graphics& g) { drawSmallTriangleArrow (g, 0, 0, singleImageSide, singleImageSide, true); });
    expandedArrow = drawSingleImage ([this] (juce::Graphics& g) { drawSmallTriangleArrow (g, 0, 0, singleImageSide, singleImageSide, false); });
    unchecked = drawCheckBoxImage (false);
    checked = drawCheckBoxImage (true);

    const auto highlightLight = orange.brighter (0.6f);

    setColour (juce::TextButton::buttonColourId, juce::Colour (0xFFF0F0F0));
    setColour (juce::TextButton::buttonOnColourId, orange.brighter (0.3f));
    setColour (juce::TextEditor::backgroundColourId, juce::Colours::white);
    setColour (juce::TextEditor::outlineColourId, juce::Colours::black);
    setColour (juce::ScrollBar::thumbColourId, juce::Colour (0xFF6E6E6E));
    setColour (juce::ScrollBar::trackColourId, juce::Colour (0xFFCCCCCC));
    setColour (juce::Slider::rotarySliderFillColourId, juce::Colour (0xFF808080));
    setColour (juce::Slider::rotarySliderOutlineColourId, juce::Colours::black);
    setColour (juce::TooltipWindow::textColourId, juce::Colours::black);
    setColour (juce::TooltipWindow::outlineColourId, juce::Colour (0xFF444444));
    setColour (juce::DrawableButton::textColourId, juce::Colours::black);
    setColour (juce::DrawableButton::backgroundColourId, juce::Colour (0xFFF0F0F0));
    setColour (juce::DrawableButton::backgroundOnColourId, juce::Colour (0xFFF0F0F0));
    setColour (juce::MidiKeyboardComponent::mouseOverKeyOverlayColourId, highlightLight);
    setColour (juce::MidiKeyboardComponent::keyDownOverlayColourId, orange);

    setColour (frameworkColour0Id, juce::Colours::black);
    setColour (frameworkColour1Id, juce::Colour (0xFF808080));
    setColour (frameworkColour2Id, juce::Colours::white);
    setColour (frameworkColour3Id, juce::Colour (0xFFFFFF00));
    setColour (highlightLightColourId, highlightLight);
    setColour (highlightColourId, orange);
    setColour (highlightTextColourId, juce::Colours::white);
    setColour (highlightOutlineColourId, juce::Colours::black);
    setColour (backgroundColourId, lightGrey);
    setColour (windowBackgroundColourId, windowGrey);
    setColour (windowFrameColourId, juce::Colours::black);
    setColour (windowTitleTextColourId, juce::Colours::white);
    setColour (pathFieldColourId, lightGrey);
    setColour (pathFieldTextColourId, juce::Colours::black);
    setColour (pathFieldOutlineColourId, juce::Colours::white);
    setColour (tabBackgroundColourId, windowGrey);
    setColour (tabFrontTextColourId, juce::Colours::black);
    setColour (tabOutlineColourId, darkTabGrey);
    setColour (columnBrowserBackgroundColourId, windowGrey);
    setColour (columnFillColourId, lightGrey);
    setColour (columnOutlineColourId, juce::Colours::white);
    setColour (columnBrowserColour3Id, lightGrey);
    setColour (columnBrowserColour4Id, juce::Colours::black);
    setColour (columnSelectedItemColourId, juce::Colour (0xFFADADAD));
    setColour (columnBrowserColour6Id, juce::Colours::white);
    setColour (columnBrowserColour7Id, darkTabGrey);
    setColour (columnBrowserColour8Id, juce::Colours::white);
    setColour (statusBarBackgroundColourId, juce::Colour (0xFF444444));
    setColour (statusBarTextColourId, juce::Colours::white);
    setColour (panelCaptionColourId, juce::Colour (0xFF7C7C7C));
}

DefaultLookAndFeel::~DefaultLookAndFeel() = default;

//==============================================================================
void DefaultLookAndFeel::fillRoundedRect (juce::Graphics& g, juce::Rectangle<int> rect, juce::Colour colour, float corner)
{
    g.setColour (colour);
    g.fillRoundedRectangle (rect.toFloat(), corner);
}

void DefaultLookAndFeel::strokeRoundedRect (juce::Graphics& g, juce::Rectangle<int> rect, float corner, float thickness)
{
    const auto half = thickness * 0.5f;
    g.drawRoundedRectangle ((float) rect.getX() + half, (float) rect.getY() + half,
                            (float) rect.getWidth() - thickness, (float) rect.getHeight() - thickness,
                            corner - half, thickness);
}

void DefaultLookAndFeel::drawRoundedRectOutline (juce::Graphics& g, juce::Rectangle<int> rect, juce::Colour colour,
                                                 float corner, float thickness)
{
    g.setColour (colour);
    strokeRoundedRect (g, rect, corner, thickness);
}

void DefaultLookAndFeel::drawRoundedPanel (juce::Graphics& g, juce::Rectangle<int> rect, juce::Colour fill,
                                           juce::Colour outline, float corner, float thickness)
{
    const juce::Rectangle<int> inner (rect.getX() + 1, rect.getY() + 1,
                                      juce::jmax (0, rect.getWidth() - 2), juce::jmax (0, rect.getHeight() - 2));
    fillRoundedRect (g, inner, fill, corner);
    drawRoundedRectOutline (g, rect, outline, corner, thickness);
}

void DefaultLookAndFeel::fillOutsideRoundedRect (juce::Graphics& g, juce::Rectangle<int> rect, juce::Colour outer,
                                                 juce::Colour outline, float corner, float thickness)
{
    juce::Path mask;
    mask.addRectangle (rect);
    mask.addRoundedRectangle (rect.reduced (1).toFloat(), corner);
    mask.setUsingNonZeroWinding (false);

    g.setColour (outer);
    g.fillPath (mask);
    drawRoundedRectOutline (g, rect, outline, corner, thickness);
}

void DefaultLookAndFeel::fillPartlyRoundedRect (juce::Graphics& g, juce::Rectangle<int> rect,
                                                juce::Justification side, juce::Colour colour, float corner)
{
    const auto flags = side.getFlags();
    const bool left = flags == juce::Justification::left;
    const bool right = flags == juce::Justification::right;
    const bool bottom = flags == juce::Justification::bottom;
    const bool top = ! (left || right || bottom);

    juce::Path shape;
    shape.addRoundedRectangle ((float) rect.getX(), (float) rect.getY(), (float) rect.getWidth(), (float) rect.getHeight(),
                               corner, corner, top || left, top || right, bottom || left, bottom || right);
    g.setColour (colour);
    g.fillPath (shape);
}

void DefaultLookAndFeel::fillRectangle (juce::Graphics& g, juce::Rectangle<int> rect, juce::Colour colour)
{
    g.setColour (colour);
    g.fillRect (rect);
}

void DefaultLookAndFeel::drawRectangle (juce::Graphics& g, juce::Rectangle<int> rect, juce::Colour colour, float thickness)
{
    g.setColour (colour);
    g.drawRect (rect.toFloat(), thickness);
}

void DefaultLookAndFeel::fillAndOutlineRectangle (juce::Graphics& g, juce::Rectangle<int> rect, juce::Colour fill,
                                                  juce::Colour outline, float thickness)
{
    fillRectangle (g, rect, fill);
    drawRectangle (g, rect, outline, thickness);
}

//==============================================================================
std::unique_ptr<juce::Drawable> DefaultLookAndFeel::getIcon (int index)
{
    if (index < 0 || index >= numIcons)
        return nullptr;

    return IconCache::getInstance()->getCopy (index);
}

void DefaultLookAndFeel::setButtonIcon (juce::DrawableButton& button, int index)
{
    const auto icon = getIcon (index);
    button.setImages (icon.get());
}

//==============================================================================
void DefaultLookAndFeel::drawSmallTriangleArrow (juce::Graphics& g, int x, int y, int width, int height, bool horizontal)
{
    juce::Path arrow;

    if (horizontal)
        arrow.addTriangle ((float) (x + 4), (float) (y + 3), (float) (x + 4), (float) (y + height - 3),
                           (float) (x + width - 2), (float) y + (float) height / 2.0f);
    else
        arrow.addTriangle ((float) (x + 3), (float) (y + 4), (float) (x + width - 1), (float) (y + 4),
                           (float) x + (float) width / 2.0f + 1.0f, (float) (y + height - 4));

    g.setColour (juce::Colours::grey);
    g.fillPath (arrow);
}

void DefaultLookAndFeel::drawHardLabel (juce::Graphics& g, HardLabel& label)
{
    const auto alpha = label.isEnabled() ? 1.0f : 0.5f;
    g.setColour (label.findColour (juce::Label::textColourId).withMultipliedAlpha (alpha));
    g.setFont (label.getFont());
    g.drawText (label.getText(), label.getBorderSize().subtractedFrom (label.getLocalBounds()),
                label.getJustificationType(), false);
}

juce::Image DefaultLookAndFeel::getCollapsedArrowImage() { return collapsedArrow; }
juce::Image DefaultLookAndFeel::getExpandedArrowImage() { return expandedArrow; }
juce::Font DefaultLookAndFeel::getInterfaceFont() { return interfaceFont; }
int DefaultLookAndFeel::getTextMargin() { return 5; }
juce::Font DefaultLookAndFeel::getBoldFont() { return boldFont; }
juce::Image DefaultLookAndFeel::getUncheckedImage() { return unchecked; }
juce::Image DefaultLookAndFeel::getCheckedImage() { return checked; }
juce::Font DefaultLookAndFeel::getHeaderFont() { return boldFont; }
juce::Font DefaultLookAndFeel::getItemFont() { return interfaceFont; }
int DefaultLookAndFeel::getDefaultFontHeight() { return 13; }
int DefaultLookAndFeel::getControlIndent() { return 4; }
int DefaultLookAndFeel::getControlSpacing() { return 6; }
int DefaultLookAndFeel::getBorderThickness() { return 2; }
int DefaultLookAndFeel::getRowHeight() { return 20; }
float DefaultLookAndFeel::getCornerSize() { return 4.0f; }
int DefaultLookAndFeel::getPanelSpacing() { return 6; }
juce::Font DefaultLookAndFeel::getPanelCaptionFont() { return boldFont; }
juce::Font DefaultLookAndFeel::getWindowTitleFont() { return boldFont.withHeight (15.0f); }

void DefaultLookAndFeel::setCloseButtonImages (juce::ImageButton& button)
{
    setIconButtonImages (button, closeIcon, smallButtons);
}

void DefaultLookAndFeel::drawWindow (juce::Graphics& g, WindowComponent& window)
{
    const auto bounds = window.getLocalBounds();
    const auto frame = window.findColour (windowFrameColourId);
    const auto frameThickness = window.isFrameVisible() ? (float) WindowComponent::frameWidth : 0.0f;

    if (window.getWindowStyle() == 0)
    {
        fillRectangle (g, bounds, window.findColour (windowBackgroundColourId));

        if (window.isTitleBarVisible())
            fillRectangle (g, window.getTitleBarArea(), frame);

        if (frameThickness > 0.0f)
            drawRectangle (g, bounds, frame, frameThickness);
    }
    else
    {
        constexpr float corner = 8.0f;
        fillRoundedRect (g, bounds, window.findColour (windowBackgroundColourId), corner);

        if (window.isTitleBarVisible())
            fillPartlyRoundedRect (g, window.getTitleBarArea(), juce::Justification::top, frame, corner);

        if (frameThickness > 0.0f)
            drawRoundedRectOutline (g, bounds, frame, corner, frameThickness);
    }

    if (window.isTitleBarVisible())
    {
        g.setColour (window.findColour (windowTitleTextColourId));
        g.setFont (window.getTitleFont());
        g.drawText (window.getTitle(), window.getTitleTextArea(), juce::Justification::centredLeft, true);
    }
}

int DefaultLookAndFeel::getTabBarDepth() { return 23; }
int DefaultLookAndFeel::getTabIndent() { return 8; }
juce::Font DefaultLookAndFeel::getStatusBarFont() { return interfaceFont; }
int DefaultLookAndFeel::getStatusBarHeight() { return 16; }
int DefaultLookAndFeel::getIconButtonSize() { return smallButtons; }
int DefaultLookAndFeel::getStateButtonSize() { return smallButtons; }

std::unique_ptr<juce::ImageButton> DefaultLookAndFeel::createIconButton (const juce::String& name, int index)
{
    return createIconButton (name, index, getIconButtonSize());
}

std::unique_ptr<juce::ImageButton> DefaultLookAndFeel::createIconButton (const juce::String& name, int index, int size)
{
    if (! hasButtonPictures (index, size))
        return nullptr;

    auto button = std::make_unique<juce::ImageButton> (name);
    setIconButtonImages (*button, index, size);
    return button;
}

void DefaultLookAndFeel::setIconButtonImages (juce::ImageButton& button, int index, int size)
{
    if (! hasButtonPictures (index, size))
        return;

    const auto side = size == largeButtons ? 24 : 16;
    const auto normal = renderIcon (index, side, juce::Colour (0xFF444444));
    const auto over = renderIcon (index, side, orange);

    if (! normal.isValid())
        return;

    button.setImages (true, false, false,
                      normal, 1.0f, juce::Colours::transparentBlack,
                      over, 1.0f, juce::Colours::transparentBlack,
                      over, 1.0f, juce::Colours::transparentBlack);
}

std::unique_ptr<TextButtonEx> DefaultLookAndFeel::createStateButton (const juce::String& name, int index)
{
    return createStateButton (name, index, getStateButtonSize());
}

std::unique_ptr<TextButtonEx> DefaultLookAndFeel::createStateButton (const juce::String& name, int index, int size)
{
    if (! hasButtonPictures (index, size))
        return nullptr;

    auto button = std::make_unique<TextButtonEx> (name, index);
    setStateButtonImages (*button, index, size);
    return button;
}

void DefaultLookAndFeel::setStateButtonImages (TextButtonEx& button, int index, int size)
{
    if (const auto images = getStateButtonImages (index, size); ! images.isEmpty())
        button.setImages (images);
}

juce::Array<juce::Image> DefaultLookAndFeel::getStateButtonImages (int index, int size)
{
    if (! hasButtonPictures (index, size))
        return {};

    const auto height = size == largeButtons ? 24 : 20;
    const auto cap = height / 2;

    // Left, middle and right parts cut from one rounded panel per state.
    const auto slice = [height, cap] (juce::Colour fill)
    {
        juce::Image whole (juce::Image::ARGB, 2 * cap + 1, height, true);
        {
            juce::Graphics g (whole);
            drawRoundedPanel (g, whole.getBounds(), fill, juce::Colour (0xFFA0A0A0), 4.0f, 1.0f);
        }
        return juce::Array<juce::Image> { whole.getClippedImage ({ 0, 0, cap, height }).createCopy(),
                                          whole.getClippedImage ({ cap, 0, 1, height }).createCopy(),
                                          whole.getClippedImage ({ cap + 1, 0, cap, height }).createCopy() };
    };

    auto images = slice (juce::Colour (0xFFE0E0E0));
    images.addArray (slice (orange.brighter (0.4f)));
    images.add (slice (orange)[1]);
    return images;
}

//==============================================================================
bool DefaultLookAndFeel::areScrollbarButtonsVisible() { return true; }
int DefaultLookAndFeel::getDefaultScrollbarWidth() { return 13; }
int DefaultLookAndFeel::getScrollbarButtonSize (juce::ScrollBar&) { return 13; }

void DefaultLookAndFeel::drawScrollbarButton (juce::Graphics& g, juce::ScrollBar& bar, int, int, int buttonDirection,
                                              bool, bool, bool isButtonDown)
{
    auto colour = bar.findColour (juce::ScrollBar::thumbColourId);

    if (! bar.isEnabled())
        colour = colour.withAlpha (0.5f);
    else if (isButtonDown)
        colour = juce::Colours::black;

    const juce::Path* arrows[] = { &upArrow, &rightArrow, &downArrow, &leftArrow };
    g.setColour (colour);
    g.fillPath (*arrows[juce::jlimit (0, 3, buttonDirection)]);
}

void DefaultLookAndFeel::drawScrollbar (juce::Graphics& g, juce::ScrollBar& bar, int x, int y, int width, int height,
                                        bool isScrollbarVertical, int thumbStartPosition, int thumbSize,
                                        bool isMouseOver, bool)
{
    const auto background = bar.findColour (juce::ScrollBar::backgroundColourId);

    if (! background.isTransparent())
        g.fillAll (background);

    const auto enabledAlpha = [&bar] (juce::Colour c) { return bar.isEnabled() ? c : c.withAlpha (0.5f); };

    g.setColour (enabledAlpha (bar.findColour (juce::ScrollBar::trackColourId)));
    g.fillRoundedRectangle (juce::Rectangle<int> (x, y, width, height).toFloat(), 4.0f);

    if (thumbSize <= 0)
        return;

    const auto thumb = isScrollbarVertical
                           ? juce::Rectangle<int> (x + 2, thumbStartPosition, width - 4, thumbSize)
                           : juce::Rectangle<int> (thumbStartPosition, y + 2, thumbSize, height - 4);

    const auto thumbColour = isMouseOver && bar.isEnabled() ? juce::Colours::black
                                                             : bar.findColour (juce::ScrollBar::thumbColourId);
    g.setColour (enabledAlpha (thumbColour));
    g.fillRoundedRectangle (thumb.toFloat(), 4.0f);
}

juce::Font DefaultLookAndFeel::getTextButtonFont (juce::TextButton&, int)
{
    return interfaceFont;
}

void DefaultLookAndFeel::drawDrawableButton (juce::Graphics& g, juce::DrawableButton& button,
                                             bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    const auto colourId = button.getToggleState() ? juce::DrawableButton::backgroundOnColourId
                                                  : juce::DrawableButton::backgroundColourId;
    drawButtonBackground (g, button, button.findColour (colourId), shouldDrawButtonAsHighlighted, shouldDrawButtonAsDown);
}

void DefaultLookAndFeel::fillTextEditorBackground (juce::Graphics& g, int, int, juce::TextEditor& editor)
{
    const auto colour = editor.findColour (juce::TextEditor::backgroundColourId);
    g.fillAll (editor.isEnabled() ? colour : colour.darker (0.5f));
}

void DefaultLookAndFeel::drawTextEditorOutline (juce::Graphics& g, int width, int height, juce::TextEditor& editor)
{
    const auto colour = editor.findColour (juce::TextEditor::outlineColourId);
    g.setColour (editor.isEnabled() ? colour : colour.withMultipliedAlpha (0.5f));
    g.drawRect (0, 0, width, height, 1);
}

juce::Font DefaultLookAndFeel::getComboBoxFont (juce::ComboBox&) { return interfaceFont; }

void DefaultLookAndFeel::positionComboBoxText (juce::ComboBox& box, juce::Label& label)
{
    label.setBounds (0, 0, box.getWidth() - 20, box.getHeight());
    label.setFont (getComboBoxFont (box));
}

juce::Font DefaultLookAndFeel::getLabelFont (juce::Label&) { return interfaceFont; }

void DefaultLookAndFeel::drawLinearSliderBackground (juce::Graphics& g, int x, int y, int width, int height,
                                                     float, float, float, juce::Slider::SliderStyle, juce::Slider&)
{
    g.setColour (juce::Colour (0xFF808080));
    g.fillRect (x, y + height / 2 - 3, width, 6);
}

void DefaultLookAndFeel::drawLinearSliderThumb (juce::Graphics& g, int x, int y, int width, int height,
                                                float sliderPos, float minSliderPos, float maxSliderPos,
                                                juce::Slider::SliderStyle style, juce::Slider& slider)
{
    const auto radius = getSliderThumbRadius (slider);
    const auto k = radius < 9 ? radius : 8;
    const auto colour = slider.findColour (juce::TextButton::buttonColourId);

    if (style == juce::Slider::LinearHorizontal)
    {
        drawSliderKnob (g, (float) ((int) sliderPos - k / 2), (float) y, (float) k, (float) height, colour);
    }
    else if (style == juce::Slider::TwoValueHorizontal)
    {
        drawSliderKnob (g, (float) ((int) minSliderPos + 1 - k), (float) y, (float) k, (float) height, colour);
        drawSliderKnob (g, (float) (int) maxSliderPos, (float) y, (float) k, (float) height, colour);
    }
    else
    {
        juce::LookAndFeel_V3::drawLinearSliderThumb (g, x, y, width, height, sliderPos, minSliderPos, maxSliderPos,
                                                     style, slider);
    }
}

int DefaultLookAndFeel::getSliderThumbRadius (juce::Slider&) { return 10; }

void DefaultLookAndFeel::drawProgressBar (juce::Graphics&, juce::ProgressBar&, int, int, double, const juce::String&) {}

void DefaultLookAndFeel::drawFileBrowserRow (juce::Graphics&, int, int, const juce::File&, const juce::String&,
                                             juce::Image*, const juce::String&, const juce::String&, bool, bool, int,
                                             juce::DirectoryContentsDisplayComponent&)
{
}

void DefaultLookAndFeel::drawLevelMeter (juce::Graphics&, int, int, float) {}

void DefaultLookAndFeel::drawCornerResizer (juce::Graphics& g, int w, int h, bool isMouseOver, bool isMouseDragging)
{
    const bool active = isMouseOver || isMouseDragging;

    juce::Path triangle;
    triangle.addTriangle (4.0f, (float) (h - 3), (float) (w - 3), 4.0f, (float) (w - 3), (float) (h - 3));

    g.setColour (active ? juce::Colour (0xFFCCFF52) : juce::Colours::grey);
    g.fillPath (triangle);
    g.setColour (active ? juce::Colours::black : juce::Colours::grey);
    g.strokePath (triangle, juce::PathStrokeType (1.0f));
}

void DefaultLookAndFeel::drawDocumentWindowTitleBar (juce::DocumentWindow& window, juce::Graphics& g, int w, int h,
                                                     int titleSpaceX, int, const juce::Image*, bool)
{
    g.fillAll (juce::Colour (0xFFCBCBCB));
    g.setColour (juce::Colours::black);
    g.setFont (interfaceFont.withHeight ((float) h * 0.65f));
    g.drawText (window.getName(), titleSpaceX, 0, w - titleSpaceX, h, juce::Justification::centredLeft, true);
}

void DefaultLookAndFeel::positionDocumentWindowButtons (juce::DocumentWindow&, int titleBarX, int titleBarY,
                                                        int titleBarW, int titleBarH, juce::Button*, juce::Button*,
                                                        juce::Button* closeButton, bool)
{
    if (closeButton == nullptr)
        return;

    closeButton->setTopLeftPosition (titleBarX + titleBarW - 1 - closeButton->getWidth(),
                                     titleBarY + (titleBarH - closeButton->getHeight()) / 2 + 3);
}

juce::Rectangle<int> DefaultLookAndFeel::getTooltipBounds (const juce::String& tipText, juce::Point<int> screenPos,
                                                           juce::Rectangle<int> parentArea)
{
    const auto w = interfaceFont.getStringWidth (tipText) + 12;
    const auto h = (int) interfaceFont.getHeight() + 7;

    return juce::Rectangle<int> (screenPos.x > parentArea.getCentreX() ? screenPos.x - (w + 12) : screenPos.x + 24,
                                 screenPos.y > parentArea.getCentreY() ? screenPos.y - (h + 6) : screenPos.y + 6,
                                 w, h)
        .constrainedWithin (parentArea);
}

void DefaultLookAndFeel::drawTooltip (juce::Graphics& g, const juce::String& text, int width, int height)
{
    drawRoundedPanel (g, { 0, 0, width, height }, findColour (juce::TooltipWindow::backgroundColourId),
                      findColour (juce::TooltipWindow::outlineColourId), 4.0f, 1.2f);
    g.setColour (findColour (juce::TooltipWindow::textColourId));
    g.setFont (interfaceFont);
    g.drawText (text, 0, 0, width, height, juce::Justification::centred, true);
}

juce::Font DefaultLookAndFeel::getTabButtonFont (juce::TabBarButton&, float) { return boldFont; }
int DefaultLookAndFeel::getTabButtonSpaceAroundImage() { return 1; }
int DefaultLookAndFeel::getTabButtonOverlap (int) { return 4; }

int DefaultLookAndFeel::getTabButtonBestWidth (juce::TabBarButton& button, int)
{
    return getTabButtonFont (button, 0.0f).getStringWidth (button.getButtonText().trim()) + 30;
}

void DefaultLookAndFeel::drawTabButton (juce::TabBarButton& button, juce::Graphics& g, bool isMouseOver, bool isMouseDown)
{
    juce::Path shape;
    createTabButtonShape (button, shape, isMouseOver, isMouseDown);
    fillTabButtonShape (button, g, shape, isMouseOver, isMouseDown);
    drawTabButtonText (button, g, isMouseOver, isMouseDown);
}

void DefaultLookAndFeel::createTabButtonShape (juce::TabBarButton& button, juce::Path& path, bool, bool)
{
    const auto area = button.getActiveArea();
    const auto w = (float) area.getWidth();
    const auto h = (float) area.getHeight();
    const auto overlap = (float) getTabButtonOverlap ((int) h);

    juce::Path outline;
    outline.startNewSubPath (overlap + 0.5f, 0.5f);
    outline.lineTo (w + 0.5f, 0.5f);
    outline.lineTo (w + 0.5f, h + 4.5f);
    outline.lineTo (overlap + 0.5f, h + 4.5f);
    outline.closeSubPath();
    path = outline.createPathWithRoundedCorners (4.0f);
}

void DefaultLookAndFeel::fillTabButtonShape (juce::TabBarButton& button, juce::Graphics& g, const juce::Path& path,
                                             bool, bool)
{
    const auto colour = button.getTabBackgroundColour();
    g.setColour (button.isFrontTab() ? colour : colour.darker (0.2f));
    g.fillPath (path);

    const auto outline = button.findColour (tabOutlineColourId);
    g.setColour (button.isEnabled() ? outline : outline.withMultipliedAlpha (0.5f));
    g.strokePath (path, juce::PathStrokeType (1.0f));
}

void DefaultLookAndFeel::drawTabButtonText (juce::TabBarButton& button, juce::Graphics& g, bool, bool)
{
    const auto colour = button.findColour (button.isFrontTab() ? tabFrontTextColourId : tabOutlineColourId);
    g.setColour (button.isEnabled() ? colour : colour.withMultipliedAlpha (0.5f));
    g.setFont (getTabButtonFont (button, (float) button.getTextArea().getHeight()));
    g.drawText (button.getButtonText().trim(), button.getTextArea(), juce::Justification::centred, true);
}

void DefaultLookAndFeel::drawTabAreaBehindFrontButton (juce::TabbedButtonBar& bar, juce::Graphics& g, int w, int h)
{
    g.setColour (bar.findColour (tabOutlineColourId));
    g.fillRoundedRectangle (0.0f, (float) (h - 1), (float) w, 3.0f, 4.0f);
}
