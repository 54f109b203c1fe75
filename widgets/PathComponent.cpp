#include "widgets/PathComponent.h"

#include "widgets/DefaultLookAndFeel.h"
#include "widgets/InterfaceTypefaces.h"

PathComponent::PathComponent()
    : fieldFont (InterfaceTypefaces::font()),
      launcher (std::make_unique<FileChooserLauncher>())
{
    browseButton.setWantsKeyboardFocus (false);
    browseButton.addListener (this);
    addAndMakeVisible (browseButton);
    measureTexts();
}

PathComponent::~PathComponent()
{
    // Closes an open dialog before the button and listeners it would report to.
    launcher.reset();
}

void PathComponent::setFilePatterns (const juce::String& patterns)
{
    filePatterns = patterns;
}

void PathComponent::setPath (const juce::File& newPath, bool notify)
{
    if (newPath == path)
        return;

    path = newPath;
    measureTexts();
    repaint();

    if (notify)
    {
        Component::BailOutChecker checker (this);
        listeners.callChecked (checker, [this] (Listener& l) { l.pathChanged (this); });
    }
}

void PathComponent::setFileChooserLauncher (std::unique_ptr<FileChooserLauncher> newLauncher)
{
    if (newLauncher != nullptr)
        launcher = std::move (newLauncher);
}

void PathComponent::browse()
{
    FileChooserLauncher::Request request;
    request.title = chooserTitle;
    request.initialLocation = initialLocation;
    request.filePatterns = filePatterns;

    // The launcher dies with this component and drops the answer then.
    launcher->launch (*this, request, [this] (const juce::File& chosen)
    {
        if (chosen != juce::File())
            setPath (chosen, true);
    });
}

bool PathComponent::showsWholePath() const noexcept
{
    return pathTextWidth <= fieldArea.getWidth() - 8;
}

void PathComponent::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.add (listener);
}

void PathComponent::removeListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.remove (listener);
}

void PathComponent::buttonClicked (juce::Button* button)
{
    if (button == &browseButton)
        browse();
}

void PathComponent::enablementChanged()
{
    browseButton.setEnabled (isEnabled());
    repaint();
}

void PathComponent::lookAndFeelChanged()
{
    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        fieldFont = lf->getInterfaceFont();
        measureTexts();
        repaint();
    }

    resized();
}

void PathComponent::measureTexts()
{
    pathTextWidth = fieldFont.getStringWidth (path.getFullPathName());
    ellipsisTextWidth = fieldFont.getStringWidth (ellipsisText);
}

void PathComponent::resized()
{
    browseButton.changeWidthToFitText (getHeight());
    browseButton.setTopRightPosition (getWidth(), 0);

    fieldArea = getLocalBounds().withTrimmedRight (juce::jmin (getWidth(), gap + browseButton.getWidth()));
    textArea = fieldArea.reduced (4, 0);
}

juce::Colour PathComponent::colourOr (int colourId, juce::Colour fallback) const
{
    return isColourSpecified (colourId) || getLookAndFeel().isColourSpecified (colourId) ? findColour (colourId)
                                                                                         : fallback;
}

void PathComponent::paint (juce::Graphics& g)
{
    const auto alpha = isEnabled() ? 1.0f : 0.5f;
    const auto outline = colourOr (DefaultLookAndFeel::pathFieldOutlineColourId, juce::Colours::transparentBlack);

    if (! outline.isTransparent())
        DefaultLookAndFeel::drawRoundedPanel (g, fieldArea,
                                              colourOr (DefaultLookAndFeel::pathFieldColourId, juce::Colours::white).withAlpha (alpha),
                                              outline.withAlpha (alpha), 4.0f, 1.0f);

    const auto textColour = colourOr (DefaultLookAndFeel::pathFieldTextColourId, juce::Colours::black);
    const auto text = path.getFullPathName();
    g.setFont (fieldFont);
    g.setColour (textColour.withAlpha (alpha));

    if (showsWholePath())
    {
        g.drawText (text, textArea, juce::Justification::centredLeft, false);
        return;
    }

    // The beginning of the path stays readable (cut off, no ellipsis); a faint
    // "[...]" at the end says that more follows.
    auto cut = textArea;
    const auto ellipsisArea = cut.removeFromRight (juce::jmin (ellipsisTextWidth, cut.getWidth()));
    g.drawText (text, cut, juce::Justification::centredLeft, false);

    g.setColour (textColour.withAlpha (0.5f * alpha));
    g.drawText (ellipsisText, ellipsisArea, juce::Justification::centredLeft, false);
}
