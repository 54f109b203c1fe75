#include "widgets/ComboBoxEx.h"

#include "widgets/DefaultLookAndFeel.h"
#include "widgets/InterfaceTypefaces.h"

namespace
{
const juce::Colour boxFill { 0xFFE3E3E3 };
const juce::Colour openOutline = juce::Colour (0xFFFF4500).withAlpha (0.75f);
const juce::Colour separatorGrey { 0xFFBFBFBF };
} // namespace

ComboBoxEx::ComboBoxEx (const juce::String& boxName)
    : juce::Component (boxName),
      font (InterfaceTypefaces::font())
{
    updateText();
}

ComboBoxEx::~ComboBoxEx() = default;

void ComboBoxEx::setSelectedId (int id, bool notify)
{
    if (id == selectedId)
        return;

    selectedId = id;
    updateText();

    if (notify)
    {
        Component::BailOutChecker checker (this);
        listeners.callChecked (checker, [this] (Listener& l) { l.comboBoxExChanged (this); });

        if (checker.shouldBailOut())
            return;
    }

    if (! followingParameter)
        setParameterIntValue (selectedId);
}

void ComboBoxEx::setMenu (const PopupMenuEx& menu, bool onlyWhenNameDiffers)
{
    if (menus.setOwn (menu, onlyWhenNameDiffers))
        updateText();
}

void ComboBoxEx::setExternalMenu (PopupMenuEx* menu)
{
    if (menus.setExternal (menu))
        updateText();
}

void ComboBoxEx::updateText()
{
    const auto* item = menus.tickSelected (selectedId);
    const auto newText = OwnOrExternalMenu::getBoxText (item);

    if (newText != shownText)
    {
        shownText = newText;
        repaint();
    }

    // An id that no item has, or a disabled item, shows in italics.
    const auto italic = item == nullptr || ! item->enabled;

    if (italic != font.isItalic())
    {
        font.setItalic (italic);
        repaint();
    }
}

void ComboBoxEx::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.add (listener);
}

void ComboBoxEx::removeListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.remove (listener);
}

void ComboBoxEx::updateFromParameter (Parameter* changed)
{
    if (changed == nullptr)
        return;

    const juce::ScopedValueSetter<bool> following (followingParameter, true);
    setSelectedId (changed->getIntValue(), false);
}

void ComboBoxEx::menuItemChosen (PopupMenuEx* menu, int itemId, bool)
{
    if (menu == nullptr || menu->getParentName() != getName())
        return;

    if (menus.holds (menu))
    {
        Component::BailOutChecker checker (this);
        setSelectedId (itemId, true);

        if (checker.shouldBailOut())
            return;
    }

    menuOpen = false;
    repaint();
}

void ComboBoxEx::menuDismissed (PopupMenuEx* menu)
{
    if (menu == nullptr || menu->getParentName() != getName())
        return;

    menuOpen = false;
    repaint();
}

void ComboBoxEx::mouseDown (const juce::MouseEvent&)
{
    updateText();
    menus.showUnder (*this);
    menuOpen = true;
    repaint();
}

void ComboBoxEx::resized()
{
    const auto x = (float) (getWidth() - 4) - 3.5f;
    const auto y = (float) getHeight() / 2.0f;

    arrow.clear();
    arrow.addTriangle (x - 3.0f, y - 3.0f, x + 3.0f, y - 3.0f, x, y + 3.0f);
}

void ComboBoxEx::paint (juce::Graphics& g)
{
    DefaultLookAndFeel::drawRoundedPanel (g, getLocalBounds(), boxFill,
                                          menuOpen ? openOutline : juce::Colours::white, 4.0f, 1.0f);

    g.setColour (juce::Colours::black);
    g.setFont (font);
    g.drawText (shownText, 4, 0, juce::jmax (0, getWidth() - 17), getHeight(), juce::Justification::centredLeft, true);

    g.setColour (separatorGrey);
    g.drawVerticalLine (getWidth() - 13, 2.0f, (float) (getHeight() - 2));

    g.setColour (juce::Colours::black);
    g.fillPath (arrow);
}
