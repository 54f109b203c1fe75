#include "skin/BlinkingComponent.h"

BlinkingComponent::BlinkingComponent()
    : timer (std::make_unique<BlinkingComponentTimer> (*this))
{
}

BlinkingComponent::~BlinkingComponent()
{
    timer->stopTimer();
}

void BlinkingComponent::setBlinking (bool shouldBlink, int periodMs)
{
    if (shouldBlink)
    {
        startBlinking (periodMs);
        return;
    }

    if (timer->isTimerRunning())
    {
        timer->stopTimer();
        blinkStateChanged();
    }
}

void BlinkingComponent::startBlinking (int periodMs)
{
    blinkPhase = false;

    if (periodMs > 0)
        blinkPeriodMs = periodMs;

    timer->startTimer (blinkPeriodMs);
    blinkStateChanged();
}

bool BlinkingComponent::isBlinking() const noexcept
{
    return timer->isTimerRunning();
}

void BlinkingComponent::toggleBlinkPhase()
{
    blinkPhase = ! blinkPhase;
    blinkStateChanged();
}
