#include "widgets/WindowComponent.h"

#include "framework/BundleResources.h"
#include "widgets/DefaultLookAndFeel.h"

namespace
{
const juce::Colour closeButtonOverColour (0xFFFF6C00);

// Removes a strip of at most what is left of the area.
void removeTop (juce::Rectangle<int>& area, int amount) { area.removeFromTop (juce::jmax (0, amount)); }
void removeBottom (juce::Rectangle<int>& area, int amount) { area.removeFromBottom (juce::jmax (0, amount)); }
void removeLeft (juce::Rectangle<int>& area, int amount) { area.removeFromLeft (juce::jmax (0, amount)); }
void removeRight (juce::Rectangle<int>& area, int amount) { area.removeFromRight (juce::jmax (0, amount)); }
} // namespace

WindowComponent::WindowComponent()
{
    if (auto normal = DefaultLookAndFeel::getIcon (DefaultLookAndFeel::closeIcon))
    {
        auto over = normal->createCopy();
        normal->replaceColour (juce::Colours::black, juce::Colours::white);
        over->replaceColour (juce::Colours::black, closeButtonOverColour);
        closeButton.setImages (normal.get(), over.get());
    }

    closeButton.setWantsKeyboardFocus (false);
    closeButton.setEdgeIndent (0);
    closeButton.addListener (this);
    closeButton.setColour (juce::DrawableButton::backgroundColourId, juce::Colours::transparentBlack);
    closeButton.setColour (juce::DrawableButton::backgroundOnColourId, juce::Colours::transparentBlack);
    addAndMakeVisible (closeButton);

    // The icon is drawn in black like every icon; the title bar is black, so
    // it takes the title text's white.
    if (const auto document = juce::parseXML (loadBundleResourceAsString ("window-icon.svg")))
    {
        if (auto windowIcon = juce::Drawable::createFromSVG (*document))
        {
            windowIcon->replaceColour (juce::Colours::black, juce::Colours::white);
            setIcon (windowIcon.release());
        }
    }

    setOpaque (windowStyle == 0 && ! transparent);
    updateCloseButton();
    resized();
}

WindowComponent::~WindowComponent()
{
    closeButton.removeListener (this);
}

void WindowComponent::buttonClicked (juce::Button* button)
{
    if (button == &closeButton)
        hide();
}

void WindowComponent::setContentSize (int w, int h)
{
    const auto width = w + (frameVisible ? 2 * frameWidth : 0) + margins.getLeft() + margins.getRight();
    const auto height = h + (titleBarVisible ? titleBarHeight : 0)
                        + (frameVisible ? (titleBarVisible ? 1 : 2) * frameWidth : 0)
                        + margins.getTop() + margins.getBottom();

    setSize (juce::jmax (width, minimumWidth), juce::jmax (height, minimumHeight));
}

void WindowComponent::setTitleBarVisible (bool shouldBeVisible)
{
    if (titleBarVisible == shouldBeVisible)
        return;

    titleBarVisible = shouldBeVisible;
    updateCloseButton();
    resized();
}

void WindowComponent::setFrameVisible (bool shouldBeVisible)
{
    if (frameVisible == shouldBeVisible)
        return;

    frameVisible = shouldBeVisible;
    resized();
}

void WindowComponent::setTitle (const juce::String& newTitle)
{
    if (title == newTitle)
        return;

    title = newTitle;

    if (titleBarVisible)
        repaint();
}

void WindowComponent::updateCloseButton()
{
    closeButton.setVisible (titleBarVisible && closeButtonWanted);
    repaint();
}

void WindowComponent::setIcon (juce::Drawable* newIcon)
{
    auto* composite = dynamic_cast<juce::DrawableComposite*> (newIcon);

    if (composite == nullptr)
        delete newIcon;

    if (composite != icon.get())
        icon.reset (composite);

    if (icon != nullptr)
        addAndMakeVisible (*icon);

    resized();
}

void WindowComponent::lookAndFeelChanged()
{
    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
        titleFont = lf->getWindowTitleFont();

    resized();
}

void WindowComponent::paint (juce::Graphics& g)
{
    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
        lf->drawWindow (g, *this);
}

void WindowComponent::resized()
{
    contentArea = getLocalBounds();

    if (frameVisible)
        contentArea = juce::Rectangle<int> (contentArea.getX() + frameWidth, contentArea.getY() + frameWidth,
                                            juce::jmax (0, contentArea.getWidth() - 2 * frameWidth),
                                            juce::jmax (0, contentArea.getHeight() - 2 * frameWidth));

    if (titleBarVisible)
        removeTop (contentArea, titleBarHeight - (frameVisible ? frameWidth : 0));

    removeTop (contentArea, margins.getTop());
    removeBottom (contentArea, margins.getBottom());
    removeLeft (contentArea, margins.getLeft());
    removeRight (contentArea, margins.getRight());

    if (titleBarVisible)
    {
        const auto width = getWidth();
        titleBarArea = { 0, 0, width, titleBarHeight };

        if (icon != nullptr)
            titleTextArea = { titleBarHeight, 0, juce::jmax (0, width - titleBarHeight), titleBarHeight };
        else
            titleTextArea = { 2 * frameWidth, 0, juce::jmax (0, width - 2 * frameWidth), titleBarHeight };

        if (closeButtonWanted)
            titleTextArea.setWidth (juce::jmax (0, titleTextArea.getWidth() - titleBarHeight));

        const auto fontHeight = titleFont.getHeight();

        if (2.0f * fontHeight > (float) titleBarHeight && titleBarHeight % 2 == 1)
            titleTextArea.setHeight (titleTextArea.getHeight() - 1);

        if (((int) fontHeight) % 2 == 1)
            titleTextArea.setHeight (titleTextArea.getHeight() - 1);

        const auto side = juce::jmin (titleBarHeight, 20);
        const auto offset = titleBarHeight / 2 - side / 2;
        closeButton.setBounds (width - side - 1 - offset, offset, side, side);

        if (icon != nullptr)
        {
            const auto margin = (titleBarHeight - 27) / 2;
            const auto iconSide = juce::jmax (0, titleBarHeight - 2 * margin);
            icon->setTransformToFit (juce::Rectangle<int> (margin, margin, iconSide, iconSide).toFloat(),
                                     juce::RectanglePlacement::stretchToFit);
        }
    }
    else
    {
        titleBarArea = {};
        titleTextArea = {};
    }

    ModalComponent::resized();
}
