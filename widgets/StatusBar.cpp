#include "widgets/StatusBar.h"

#include "widgets/DefaultLookAndFeel.h"

StatusBar::StatusBar()
{
    lookAndFeelChanged();
}

void StatusBar::setText (const juce::String& newText, int priority, int timeoutMs)
{
    if (newText == text || priority < currentPriority)
        return;

    text = newText;
    currentPriority = priority;

    if (timeoutMs >= 1)
        startTimer (timeoutMs);
    else
        stopTimer();

    repaint();
}

void StatusBar::clear (int priority)
{
    if (priority != -1 && currentPriority > priority)
        return;

    currentPriority = 0;
    setText ({}, 0, 0);
}

void StatusBar::showTemporaryText (const juce::String& newText, int priority, bool clearFirst)
{
    if (clearFirst)
        clear (-1);

    setText (newText, priority, temporaryTextMs);
}

void StatusBar::showText (const juce::String& newText, int priority, bool clearFirst)
{
    if (clearFirst)
        clear (-1);

    setText (newText, priority, 0);
}

void StatusBar::timerCallback()
{
    clear (-1);
}

void StatusBar::lookAndFeelChanged()
{
    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        font = lf->getStatusBarFont();
        setSize (getWidth(), lf->getStatusBarHeight());
    }

    repaint();
}

void StatusBar::paint (juce::Graphics& g)
{
    g.fillAll (findColour (DefaultLookAndFeel::statusBarBackgroundColourId));
    g.setColour (findColour (DefaultLookAndFeel::statusBarTextColourId));
    g.setFont (font);
    g.drawText (text, 5, 0, getWidth(), getHeight(), juce::Justification::centredLeft, true);
}
