#include "widgets/TextButtonWithIcon.h"

#include "widgets/GlassButtonDrawing.h"

TextButtonWithIcon::TextButtonWithIcon (const juce::String& name)
    : juce::TextButton (name)
{
    setTooltip (name);
    setWantsKeyboardFocus (false);
}

TextButtonWithIcon::~TextButtonWithIcon() = default;

void TextButtonWithIcon::setIcons (const juce::Drawable* normal, const juce::Drawable* on)
{
    const auto copyOf = [this] (const juce::Drawable* source) -> std::unique_ptr<juce::Drawable>
    {
        if (source == nullptr)
            return {};

        auto copy = source->createCopy();
        copy->setInterceptsMouseClicks (false, false);
        addChildComponent (*copy);
        return copy;
    };

    normalIcon = copyOf (normal);
    onIcon = copyOf (on != nullptr ? on : normal);

    resized();
    buttonStateChanged();
    enablementChanged();
}

void TextButtonWithIcon::setText (const juce::String& newText, bool fit)
{
    setButtonText (newText);

    if (fit)
        fitToText (-1);
}

void TextButtonWithIcon::fitToText (int height)
{
    const auto h = height < 0 ? getHeight() : height;
    const auto textWidth = getLookAndFeel().getTextButtonFont (*this, h).getStringWidth (getButtonText());
    const auto width = (h - iconPadding.getTop() - iconPadding.getBottom()) + (int) ((float) h * 0.833f)
                       + iconPadding.getLeft() + iconPadding.getRight() + textWidth;
    setSize (width, h);
}

void TextButtonWithIcon::setIconPadding (const juce::BorderSize<int>& padding)
{
    iconPadding = padding;
    resized();
    repaint();
}

void TextButtonWithIcon::setIconOnRight (bool onRight)
{
    iconOnRight = onRight;
    resized();
    repaint();
}

int TextButtonWithIcon::getIconSide() const noexcept
{
    return getHeight() - iconPadding.getTop() - iconPadding.getBottom();
}

juce::Rectangle<int> TextButtonWithIcon::getIconArea() const noexcept
{
    const auto side = getIconSide();
    const auto x = iconOnRight ? getWidth() - side - iconPadding.getRight() : iconPadding.getLeft();
    return { x, iconPadding.getTop(), juce::jmax (0, side), juce::jmax (0, side) };
}

void TextButtonWithIcon::updateFromParameter (Parameter* changed)
{
    if (changed == nullptr)
        return;

    const juce::ScopedValueSetter<bool> following (followingParameter, true);
    setToggleState (changed->getBoolValue(), juce::dontSendNotification);
}

void TextButtonWithIcon::buttonStateChanged()
{
    juce::TextButton::buttonStateChanged();

    const auto on = getToggleState();

    if (normalIcon != nullptr)
        normalIcon->setVisible (! on);

    if (onIcon != nullptr)
        onIcon->setVisible (on);

    if (! followingParameter)
        setParameterBoolValue (on);
}

void TextButtonWithIcon::enablementChanged()
{
    juce::TextButton::enablementChanged();

    const auto alpha = isEnabled() ? 1.0f : 0.5f;

    for (auto* icon : { normalIcon.get(), onIcon.get() })
        if (icon != nullptr)
            icon->setAlpha (alpha);
}

void TextButtonWithIcon::resized()
{
    const auto area = getIconArea().toFloat();

    for (auto* icon : { normalIcon.get(), onIcon.get() })
        if (icon != nullptr)
            icon->setTransformToFit (area, juce::RectanglePlacement::centred);
}

void TextButtonWithIcon::paintButton (juce::Graphics& g, bool isMouseOverButton, bool isButtonDown)
{
    const auto on = getToggleState();
    auto& lf = getLookAndFeel();

    lf.drawButtonBackground (g, *this, findColour (on ? juce::TextButton::buttonOnColourId : juce::TextButton::buttonColourId),
                             isMouseOverButton, isButtonDown);

    const auto height = getHeight();
    const auto side = getIconSide();
    const auto separatorX = iconOnRight
                                ? getWidth() - height + iconPadding.getTop() + iconPadding.getBottom() - iconPadding.getRight() * 2
                                : iconPadding.getLeft() * 2 + side;
    const auto base = GlassButtonDrawing::baseColour (*this, false, false);
    g.setColour (juce::Colours::black.withAlpha (base.getFloatAlpha() * 0.4f));
    g.drawVerticalLine (separatorX, 2.0f, (float) (height - 3));

    auto textArea = getLocalBounds();

    if (iconOnRight)
        textArea.removeFromRight (juce::jmax (0, side));
    else
        textArea.removeFromLeft (juce::jmax (0, side));

    g.setFont (lf.getTextButtonFont (*this, height));
    g.setColour (findColour (on ? juce::TextButton::textColourOnId : juce::TextButton::textColourOffId)
                     .withAlpha (isEnabled() ? 1.0f : 0.5f));
    g.drawText (getButtonText(), textArea, juce::Justification::centred, true);
}
