#pragma once

#include "widgets/ComponentRow.h"
#include "widgets/WindowComponent.h"

namespace Ulvra
{
/*  The question box: a window inside the editor with a one-line message and a
    right-aligned row of buttons, each carrying a result code. It is shown
    over a pale veil and reports the pressed button's code to its Caller. The
    asker owns it (typically in an owning pointer that the next question
    replaces) and may delete it while being told the answer.
*/
class AlertWindow : public WindowComponent
{
public:
    enum Result
    {
        cancel = 0,
        no = 1,
        yes = 2,
        ok = 3,
        overwrite = 4,
        saveAs = 5,
        discard = 6
    };

    /** Whoever asked; told the code of the pressed button. Closing the box with
        its title bar's close button tells nothing. */
    class Caller
    {
    public:
        virtual ~Caller() = default;
        virtual void alertWindowResult (AlertWindow* window, int result) = 0;
    };

    /** "OK"; return and escape both answer it. */
    static std::unique_ptr<AlertWindow> createOkWindow (const juce::String& title, const juce::String& message, Caller* caller);
    /** "Yes", "No"; return answers yes, escape no. */
    static std::unique_ptr<AlertWindow> createYesNoWindow (const juce::String& title, const juce::String& message, Caller* caller);
    /** "Yes", "Cancel"; no keys. */
    static std::unique_ptr<AlertWindow> createYesCancelWindow (const juce::String& title, const juce::String& message, Caller* caller);
    /** "Save as", "Overwrite", "Discard"; no keys. */
    static std::unique_ptr<AlertWindow> createSaveOverwriteDiscardWindow (const juce::String& title, const juce::String& message,
                                                                          Caller* caller);

    AlertWindow();
    ~AlertWindow() override;

    /** Appends a 22-px button carrying the code and resizes the window. */
    juce::TextButton* addButton (const juce::String& text, int code);

    /** Sizes the window around the message (one line) and the button row. */
    void updateSize();

    void show();

    void setMessage (const juce::String& text);
    juce::String getMessage() const;

    /** Context for the asker, read back when the answer comes. */
    void addUserValue (const juce::var& value);
    /** The value at the index, or a void var past the end. */
    juce::var getUserValue (int index) const;

    void setCaller (Caller* newCaller) noexcept { caller = newCaller; }
    void setReturnButton (juce::Button* button) noexcept { returnButton = button; }
    void setEscapeButton (juce::Button* button) noexcept { escapeButton = button; }

    int getNumButtons() const noexcept { return buttons.size(); }
    juce::TextButton* getButton (int index) const noexcept { return buttons[index]; }

    /** Clicks the return button, when there is one. */
    virtual void returnKeyAction();
    /** Clicks the escape button, when there is one. */
    virtual void escapeKeyAction();

    bool wantsDimmedBackground() const override;
    void buttonClicked (juce::Button* button) override;
    void lookAndFeelChanged() override;
    void parentHierarchyChanged() override;
    void childBoundsChanged (juce::Component* child) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void resized() override;

private:
    ComponentRow buttonRow { ComponentRow::leftToRight, ComponentRow::alignEnd };
    juce::OwnedArray<juce::TextButton> buttons;
    juce::Array<int> codes;
    juce::Label message;
    juce::Array<juce::var> userValues;
    Caller* caller = nullptr;
    juce::Button* returnButton = nullptr;
    juce::Button* escapeButton = nullptr;

    JUCE_DECLARE_NON_COPYABLE (AlertWindow)
};
} // namespace Ulvra
