#pragma once

#include <juce_events/juce_events.h>

#include <memory>

/**
    A mix-in for lamps and displays that blink: a timer of its own toggles a
    phase, and the owner draws its off look while blinking in the true phase.
*/
class BlinkingComponent
{
public:
    static constexpr int defaultBlinkPeriodMs = 150;

    BlinkingComponent();
    virtual ~BlinkingComponent();

    /** Told whenever the phase toggles, and when blinking starts or stops. */
    virtual void blinkStateChanged() {}

    /** On starts blinking with the period (0 keeps the stored one); off stops
        it, leaving the phase as it was. */
    void setBlinking (bool shouldBlink, int periodMs = 0);

    /** Restarts in the false phase; a period of 0 keeps the stored one. */
    void startBlinking (int periodMs = 0);

    bool isBlinking() const noexcept;
    bool getBlinkPhase() const noexcept          { return blinkPhase; }
    int getBlinkPeriod() const noexcept          { return blinkPeriodMs; }

    /** True while blinking in the phase that shows the off look. */
    bool isBlinkedOff() const noexcept           { return isBlinking() && blinkPhase; }

    /** One tick of the blink timer. */
    void toggleBlinkPhase();

private:
    class BlinkingComponentTimer : public juce::Timer
    {
    public:
        explicit BlinkingComponentTimer (BlinkingComponent& ownerToTell) : owner (ownerToTell) {}
        void timerCallback() override { owner.toggleBlinkPhase(); }

    private:
        BlinkingComponent& owner;
    };

    bool blinkPhase = false;
    std::unique_ptr<BlinkingComponentTimer> timer;
    int blinkPeriodMs = defaultBlinkPeriodMs;

    JUCE_DECLARE_NON_COPYABLE (BlinkingComponent)
};
