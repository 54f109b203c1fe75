#include "framework/HostKeyboard.h"

#include <utility>

HostKeyboard::HostKeyboard (juce::Component& contentToWatch)
    : content (contentToWatch)
{
    content.addMouseListener (this, true);
    juce::Desktop::getInstance().addFocusChangeListener (this);
}

HostKeyboard::~HostKeyboard()
{
    juce::Desktop::getInstance().removeFocusChangeListener (this);
    content.removeMouseListener (this);
    cancelPendingUpdate();
    restoreWishes();
}

juce::Component* HostKeyboard::findKeyboardUser() const
{
    auto* focused = juce::Component::getCurrentlyFocusedComponent();
    return focused != nullptr && content.isParentOf (focused) ? focused : nullptr;
}

void HostKeyboard::mouseDown (const juce::MouseEvent&)
{
    auto* peer = content.getPeer();
    auto* clicked = findKeyboardUser();

    // A press that gave no component the keyboard leaves it to the window's
    // own choice; the check after the click gives it to the host if unused.
    if (peer == nullptr || clicked == nullptr)
        return;

    // JUCE's grab of the X focus has queued its focus-in, which is handled
    // before any message: until then the window's remembered component, and
    // a modal one around the clicked one, want nothing.
    if (auto* remembered = peer->getLastFocusedSubcomponent(); remembered != clicked)
        withdrawWish (remembered);

    if (auto* modal = juce::Component::getCurrentlyModalComponent(); modal != nullptr && modal != clicked && modal->isParentOf (clicked))
        withdrawWish (modal);

    triggerAsyncUpdate();
}

void HostKeyboard::mouseUp (const juce::MouseEvent&)
{
    // After the click, whatever it opened has taken the keyboard or not.
    checkPending = true;
    triggerAsyncUpdate();
}

void HostKeyboard::globalFocusChanged (juce::Component*)
{
    // An edit ended, a window closed: the keyboard may have left the editor.
    checkPending = true;
    triggerAsyncUpdate();
}

void HostKeyboard::handleAsyncUpdate()
{
    restoreWishes();

    if (std::exchange (checkPending, false))
        giveUnusedKeyboardToHost();
}

void HostKeyboard::withdrawWish (juce::Component* component)
{
    if (component == nullptr || ! content.isParentOf (component) || ! component->getWantsKeyboardFocus())
        return;

    component->setWantsKeyboardFocus (false);
    withdrawnWishes.emplace_back (component);
}

void HostKeyboard::restoreWishes()
{
    for (auto& component : withdrawnWishes)
        if (component != nullptr)
            component->setWantsKeyboardFocus (true);

    withdrawnWishes.clear();
}

void HostKeyboard::giveUnusedKeyboardToHost()
{
    auto* peer = content.getPeer();

    // Only the focus our window holds is given away: never another window's.
    if (peer == nullptr || findKeyboardUser() != nullptr || ! peer->isFocused())
        return;

    hostWindowFocus.giveFocusToHost (static_cast<std::uint32_t> (reinterpret_cast<juce::pointer_sized_uint> (peer->getNativeHandle())));
}
