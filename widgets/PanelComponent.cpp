#include "widgets/PanelComponent.h"

#include "widgets/DefaultLookAndFeel.h"

PanelComponent::PanelComponent()
{
    takeCaptionFont();
}

PanelComponent::PanelComponent (const juce::String& captionText)
    : caption (captionText)
{
    takeCaptionFont();
}

void PanelComponent::takeCaptionFont()
{
    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
        captionFont = lf->getPanelCaptionFont();
}

void PanelComponent::setCaption (const juce::String& newCaption, bool refit)
{
    if (caption == newCaption)
        return;

    caption = newCaption;

    if (refit)
        fitSize (-1, getHeight());

    repaint();
}

void PanelComponent::setContentComponent (juce::Component* newContent, bool shouldAutoSize)
{
    if (newContent == content)
        return;

    if (content != nullptr)
        removeChildComponent (content);

    content = newContent;

    if (content != nullptr)
        addAndMakeVisible (content);

    autoSize = shouldAutoSize;
    layoutContent();
}

void PanelComponent::fitSize (int width, int height)
{
    if (width < 0)
    {
        width = captionFont.getStringWidth (caption) + 20;

        if (content != nullptr)
            width = juce::jmax (width, content->getWidth() + 16);
    }

    if (height < 0)
    {
        height = (int) captionFont.getHeight() + 16;

        if (content != nullptr)
            height += content->getHeight();
    }

    setSize (width, height);
}

juce::Rectangle<int> PanelComponent::getContentArea() const
{
    return juce::Rectangle<int> (juce::Point<int> (8, (int) captionFont.getHeight() + 8),
                                 juce::Point<int> (getWidth() - 8, getHeight() - 8));
}

void PanelComponent::layoutContent()
{
    if (content == nullptr)
        return;

    if (autoSize)
        fitSize (-1, -1);

    content->setTopLeftPosition (getContentArea().getPosition());
}

void PanelComponent::lookAndFeelChanged()
{
    takeCaptionFont();
    layoutContent();
    repaint();
}

void PanelComponent::childBoundsChanged (juce::Component* child)
{
    if (child == content && content != nullptr && autoSize)
        fitSize (-1, -1);
}

void PanelComponent::paint (juce::Graphics& g)
{
    const auto width = (float) getWidth();
    const auto height = (float) getHeight();
    const auto y = (float) (int) (captionFont.getHeight() * 0.5f) + 0.5f;

    juce::Path frame;
    frame.startNewSubPath (5.5f, y);
    frame.lineTo (0.5f, y);
    frame.lineTo (0.5f, height - 0.5f);
    frame.lineTo (width - 0.5f, height - 0.5f);
    frame.lineTo (width - 0.5f, y);

    const auto captionWidth = (float) captionFont.getStringWidth (caption);

    if (caption.isNotEmpty())
        frame.lineTo (juce::jmin (width - 10.0f, captionWidth + 10.0f) + 4.5f, y);
    else
        frame.closeSubPath();

    g.setColour (findColour (DefaultLookAndFeel::panelCaptionColourId));
    g.strokePath (frame.createPathWithRoundedCorners (4.0f), juce::PathStrokeType (1.0f));

    if (caption.isNotEmpty())
    {
        g.setColour (findColour (juce::Label::textColourId).withAlpha (isEnabled() ? 1.0f : 0.5f));
        g.setFont (captionFont);
        g.drawText (caption, juce::Rectangle<float> (10.0f, 0.0f, width - 20.0f, captionFont.getHeight()),
                    juce::Justification::topLeft, false);
    }
}
