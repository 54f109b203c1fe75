#include "widgets/AlertWindow.h"

#include "widgets/DefaultLookAndFeel.h"

namespace Ulvra
{
namespace
{
constexpr int buttonHeight = 22;

std::unique_ptr<AlertWindow> createWindow (const juce::String& title, const juce::String& message, AlertWindow::Caller* caller)
{
    auto window = std::make_unique<AlertWindow>();
    window->setTitle (title);
    window->setMessage (message);
    window->setCaller (caller);
    return window;
}
} // namespace

std::unique_ptr<AlertWindow> AlertWindow::createOkWindow (const juce::String& title, const juce::String& text, Caller* caller)
{
    auto window = createWindow (title, text, caller);
    auto* okButton = window->addButton ("OK", ok);
    window->setReturnButton (okButton);
    window->setEscapeButton (okButton);
    return window;
}

std::unique_ptr<AlertWindow> AlertWindow::createYesNoWindow (const juce::String& title, const juce::String& text, Caller* caller)
{
    auto window = createWindow (title, text, caller);
    window->setReturnButton (window->addButton ("Yes", yes));
    window->setEscapeButton (window->addButton ("No", no));
    return window;
}

std::unique_ptr<AlertWindow> AlertWindow::createYesCancelWindow (const juce::String& title, const juce::String& text, Caller* caller)
{
    auto window = createWindow (title, text, caller);
    window->addButton ("Yes", yes);
    window->addButton ("Cancel", cancel);
    return window;
}

std::unique_ptr<AlertWindow> AlertWindow::createSaveOverwriteDiscardWindow (const juce::String& title, const juce::String& text,
                                                                            Caller* caller)
{
    auto window = createWindow (title, text, caller);
    window->addButton ("Save as", saveAs);
    window->addButton ("Overwrite", overwrite);
    window->addButton ("Discard", discard);
    return window;
}

AlertWindow::AlertWindow()
{
    setWantsKeyboardFocus (true);

    buttonRow.setSpacing (6);
    addAndMakeVisible (buttonRow);

    message.setJustificationType (juce::Justification::centredLeft);
    // JUCE 7's default label border would squeeze the one-line message.
    message.setBorderSize ({ 0, 0, 0, 0 });
    addAndMakeVisible (message);

    lookAndFeelChanged();
}

AlertWindow::~AlertWindow()
{
    for (auto* button : buttons)
        button->removeListener (this);
}

juce::TextButton* AlertWindow::addButton (const juce::String& text, int code)
{
    auto* button = buttons.add (std::make_unique<juce::TextButton> (text));
    button->addListener (this);
    button->changeWidthToFitText (buttonHeight);
    codes.add (code);
    buttonRow.addAndMakeVisible (button);
    updateSize();
    resized();
    return button;
}

void AlertWindow::updateSize()
{
    const auto font = message.getFont();
    const auto textWidth = (int) font.getStringWidthFloat (message.getText());
    setContentSize (juce::jmax (textWidth, buttonRow.getWidth()), (int) font.getHeight() + buttonRow.getHeight() + 20);
}

void AlertWindow::show()
{
    showCentred();
}

void AlertWindow::setMessage (const juce::String& text)
{
    message.setText (text, juce::dontSendNotification);
    updateSize();
}

juce::String AlertWindow::getMessage() const
{
    return message.getText();
}

void AlertWindow::addUserValue (const juce::var& value)
{
    userValues.add (value);
}

juce::var AlertWindow::getUserValue (int index) const
{
    return juce::isPositiveAndBelow (index, userValues.size()) ? userValues.getReference (index) : juce::var();
}

void AlertWindow::returnKeyAction()
{
    if (returnButton != nullptr)
        returnButton->triggerClick();
}

void AlertWindow::escapeKeyAction()
{
    if (escapeButton != nullptr)
        escapeButton->triggerClick();
}

bool AlertWindow::wantsDimmedBackground() const
{
    return true;
}

void AlertWindow::buttonClicked (juce::Button* button)
{
    WindowComponent::buttonClicked (button);

    int index = 0;

    while (index < buttons.size() && buttons[index] != button)
        ++index;

    if (index == buttons.size())
        return;

    hide();

    // The caller may delete this window: nothing here touches it afterwards.
    if (caller != nullptr)
        caller->alertWindowResult (this, juce::isPositiveAndBelow (index, codes.size()) ? codes[index] : cancel);
}

void AlertWindow::lookAndFeelChanged()
{
    WindowComponent::lookAndFeelChanged();

    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        message.setFont (lf->getLabelFont (message));
        updateSize();
    }
}

void AlertWindow::parentHierarchyChanged()
{
    ModalComponent::parentHierarchyChanged();

    // Fonts come from the new parents' look and feel.
    sendLookAndFeelChange();
}

void AlertWindow::childBoundsChanged (juce::Component*)
{
    resized();
}

bool AlertWindow::keyPressed (const juce::KeyPress& key)
{
    if (key == juce::KeyPress::escapeKey && escapeButton != nullptr)
    {
        escapeKeyAction();
        return true;
    }

    if (key == juce::KeyPress::returnKey && returnButton != nullptr)
    {
        returnKeyAction();
        return true;
    }

    return false;
}

void AlertWindow::resized()
{
    WindowComponent::resized();

    auto area = getContentArea();
    const auto rowHeight = juce::jmin (area.getHeight(), buttonRow.getHeight());
    buttonRow.setTopRightPosition (area.getRight(), area.getBottom() - rowHeight);

    area.removeFromBottom (rowHeight);
    area.removeFromBottom (juce::jmin (area.getHeight(), 10));
    message.setBounds (area);
    repaint();
}
} // namespace Ulvra
