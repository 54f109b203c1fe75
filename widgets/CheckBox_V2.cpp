#include "widgets/CheckBox_V2.h"

#include "framework/BundleResources.h"
#include "widgets/GlassButtonDrawing.h"

namespace
{
// The tick is drawn in black; a damaged picture leaves the box without one.
std::unique_ptr<juce::Drawable> createTick()
{
    const auto document = juce::parseXML (loadBundleResourceAsString ("check-box-tick.svg"));

    if (document == nullptr || document->getTagName() != "svg")
        return nullptr;

    return juce::Drawable::createFromSVG (*document);
}
} // namespace

CheckBox_V2::CheckBox_V2 (const juce::String& labelText)
    : juce::TextButton (labelText)
{
    setClickingTogglesState (true);
    setWantsKeyboardFocus (false);

    tick = createTick();

    if (tick != nullptr)
    {
        tick->setInterceptsMouseClicks (false, false);
        addChildComponent (*tick);
    }

    updateTick();
}

CheckBox_V2::~CheckBox_V2() = default;

void CheckBox_V2::setChecked (bool shouldBeChecked, juce::NotificationType notification)
{
    setToggleState (shouldBeChecked, notification);
}

void CheckBox_V2::fitToText (int height)
{
    const auto h = height < 0 ? getHeight() : height;
    const auto font = getLookAndFeel().getTextButtonFont (*this, h);
    setSize (font.getStringWidth (getButtonText()) + GlassButtonDrawing::labelIndent (h), h);
}

void CheckBox_V2::updateFromParameter (Parameter* changed)
{
    if (changed == nullptr)
        return;

    const juce::ScopedValueSetter<bool> following (followingParameter, true);
    setToggleState (changed->getBoolValue(), juce::dontSendNotification);
}

void CheckBox_V2::buttonStateChanged()
{
    if (! followingParameter)
        setParameterBoolValue (getToggleState());

    updateTick();
}

void CheckBox_V2::enablementChanged()
{
    juce::TextButton::enablementChanged();
    updateTick();
}

void CheckBox_V2::updateTick()
{
    if (tick == nullptr)
        return;

    tick->setAlpha (isEnabled() ? 1.0f : 0.5f);
    tick->setVisible (getToggleState());
}

void CheckBox_V2::resized()
{
    if (tick != nullptr)
    {
        const auto side = (float) juce::jmax (0, getHeight() - 6);
        tick->setTransformToFit ({ 3.0f, 3.0f, side, side }, juce::RectanglePlacement::stretchToFit);
    }
}

void CheckBox_V2::paintButton (juce::Graphics& g, bool isMouseOverButton, bool isButtonDown)
{
    const auto base = GlassButtonDrawing::baseColour (*this, isMouseOverButton, isButtonDown);
    GlassButtonDrawing::drawMark (g, GlassButtonDrawing::markShape (getHeight(), false), base);
    GlassButtonDrawing::drawLabel (g, *this, getLookAndFeel().getTextButtonFont (*this, getHeight()));
}
