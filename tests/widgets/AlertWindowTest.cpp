#include "support/PixelProbe.h"
#include "support/TestDesktop.h"
#include "support/UiEvents.h"
#include "widgets/AlertWindow.h"

#include <gtest/gtest.h>

namespace
{
using Ulvra::AlertWindow;
using Factory = std::unique_ptr<AlertWindow> (*) (const juce::String&, const juce::String&, AlertWindow::Caller*);

struct RecordingCaller : public AlertWindow::Caller
{
    void alertWindowResult (AlertWindow* window, int result) override
    {
        answeredBy = window;
        results.push_back (result);
    }

    AlertWindow* answeredBy = nullptr;
    std::vector<int> results;
};

// Asks the way the editor does: the box is a hidden child of the asker, shown into the Desktop.
struct Question
{
    Question (Factory factory, AlertWindow::Caller* caller)
        : window (factory ("Tarvelin", "Do you really want to clear all assignations?", caller))
    {
        desktop.addAndMakeVisible (asker);
        asker.setBounds (desktop.getLocalBounds());
        asker.addChildComponent (*window);
        window->show();
    }

    TestDesktop desktop { 600, 400 };
    juce::Component asker;
    std::unique_ptr<AlertWindow> window;
};

std::vector<int> answersToKey (Factory factory, int keyCode)
{
    RecordingCaller caller;
    Question question (factory, &caller);
    pressKey (*question.window, makeKey (keyCode));
    dispatchPendingMessages();
    return caller.results;
}
} // namespace

TEST (AlertWindow, ReturnAndEscapeAnswerOnlyWhereTheBoxHasKeys)
{
    struct Row
    {
        const char* box;
        Factory factory;
        std::vector<int> onReturn, onEscape;
    };

    const Row rows[] = {
        { "OK", &AlertWindow::createOkWindow, { AlertWindow::ok }, { AlertWindow::ok } },
        { "yes/no", &AlertWindow::createYesNoWindow, { AlertWindow::yes }, { AlertWindow::no } },
        { "yes/cancel", &AlertWindow::createYesCancelWindow, {}, {} },
        { "save/overwrite/discard", &AlertWindow::createSaveOverwriteDiscardWindow, {}, {} },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.box);
        EXPECT_EQ (answersToKey (row.factory, juce::KeyPress::returnKey), row.onReturn);
        EXPECT_EQ (answersToKey (row.factory, juce::KeyPress::escapeKey), row.onEscape);
    }
}

TEST (AlertWindow, EachButtonAnswersItsCodeAndHidesTheBox)
{
    struct Row
    {
        Factory factory;
        std::vector<std::pair<juce::String, int>> buttons;
    };

    const Row rows[] = {
        { &AlertWindow::createYesCancelWindow, { { "Yes", 2 }, { "Cancel", 0 } } },
        { &AlertWindow::createSaveOverwriteDiscardWindow, { { "Save as", 5 }, { "Overwrite", 4 }, { "Discard", 6 } } },
    };

    for (const auto& row : rows)
    {
        for (size_t i = 0; i < row.buttons.size(); ++i)
        {
            RecordingCaller caller;
            Question question (row.factory, &caller);
            ASSERT_EQ (question.window->getNumButtons(), (int) row.buttons.size());
            auto* button = question.window->getButton ((int) i);
            EXPECT_EQ (button->getButtonText(), row.buttons[i].first);

            clickButton (*button);

            EXPECT_EQ (caller.results, std::vector<int> { row.buttons[i].second });
            EXPECT_EQ (caller.answeredBy, question.window.get());
            EXPECT_FALSE (question.window->isVisible());
        }
    }
}

TEST (AlertWindow, TheCloseButtonAndAMissingCallerAnswerNothing)
{
    RecordingCaller caller;
    Question closed (&AlertWindow::createYesNoWindow, &caller);
    clickButton (closed.window->getCloseButton());
    EXPECT_FALSE (closed.window->isVisible());
    EXPECT_TRUE (caller.results.empty());

    Question unanswered (&AlertWindow::createYesNoWindow, nullptr);
    clickButton (*unanswered.window->getButton (0));
    EXPECT_FALSE (unanswered.window->isVisible());
}

TEST (AlertWindow, TheAskerMayDeleteTheBoxWhileBeingAnswered)
{
    struct DeletingCaller : public AlertWindow::Caller
    {
        void alertWindowResult (AlertWindow* window, int result) override
        {
            EXPECT_EQ (window->getUserValue (0), juce::var ("preset 12"));
            EXPECT_TRUE (window->getUserValue (1).isVoid());
            answer = result;
            question->window.reset();
        }

        Question* question = nullptr;
        int answer = -1;
    };

    DeletingCaller caller;
    Question question (&AlertWindow::createYesNoWindow, &caller);
    caller.question = &question;
    question.window->addUserValue ("preset 12");

    pressKey (*question.window, makeKey (juce::KeyPress::returnKey));
    dispatchPendingMessages();

    EXPECT_EQ (caller.answer, AlertWindow::yes);
    EXPECT_EQ (question.window, nullptr);
    EXPECT_EQ (question.desktop.getNumChildComponents(), 1); // the asker alone
}

TEST (AlertWindow, ALongMessageWidensTheBoxAndAShortOneKeepsTheMinimum)
{
    Question shortQuestion (&AlertWindow::createOkWindow, nullptr);
    shortQuestion.window->setMessage ("Saved.");
    EXPECT_EQ (shortQuestion.window->getWidth(), WindowComponent::minimumWidth);
    EXPECT_EQ (shortQuestion.window->getHeight(), WindowComponent::minimumHeight);

    Question longQuestion (&AlertWindow::createOkWindow, nullptr);
    const juce::String message ("The file \"My very long preset bank name with many words.tqprsb\" already exists.");
    longQuestion.window->setMessage (message);
    const auto textWidth = (int) longQuestion.desktop.lookAndFeel.getInterfaceFont().getStringWidthFloat (message);
    ASSERT_GT (textWidth, 250);
    EXPECT_EQ (longQuestion.window->getWidth(), textWidth + 2 * WindowComponent::frameWidth + 12);

    // The whole line fits the message label: no border squeezes it.
    const juce::Label* label = nullptr;

    for (auto* child : longQuestion.window->getChildren())
        if (auto* found = dynamic_cast<juce::Label*> (child))
            label = found;

    ASSERT_NE (label, nullptr);
    EXPECT_EQ (label->getText(), message);
    EXPECT_GE (label->getBorderSize().subtractedFrom (label->getLocalBounds()).getWidth(), textWidth);
}

TEST (AlertWindow, ItIsCentredOverAVeilWithItsButtonsAtTheBottomRight)
{
    Question question (&AlertWindow::createYesNoWindow, nullptr);
    const auto& window = *question.window;

    EXPECT_EQ (window.getBounds().getCentre(), juce::Point<int> (300, 200));

    const auto content = window.getContentArea();
    const auto* no = window.getButton (1);
    const auto noBounds = window.getLocalArea (no->getParentComponent(), no->getBounds());
    EXPECT_EQ (noBounds.getRight(), content.getRight());
    EXPECT_EQ (noBounds.getBottom(), content.getBottom());
    EXPECT_EQ (noBounds.getHeight(), 22);

    const auto background = question.desktop.lookAndFeel.findColour (DefaultLookAndFeel::backgroundColourId);
    const auto image = renderComponent (question.desktop);
    EXPECT_TRUE (pixelIs (image, 5, 5, background.interpolatedWith (juce::Colours::white, 0.25f)));
}
