#include "widgets/ModalComponent.h"

ModalComponent::CoveringWindow::CoveringWindow (ModalComponent& ownerToPlace)
    : owner (ownerToPlace)
{
}

void ModalComponent::CoveringWindow::fillParent()
{
    if (auto* parent = getParentComponent())
        setBounds (parent->getLocalBounds());
}

void ModalComponent::CoveringWindow::parentHierarchyChanged()
{
    fillParent();
}

void ModalComponent::CoveringWindow::parentSizeChanged()
{
    fillParent();
}

void ModalComponent::CoveringWindow::resized()
{
    owner.updatePosition();
}

void ModalComponent::CoveringWindow::paint (juce::Graphics& g)
{
    if (owner.wantsDimmedBackground())
        g.fillAll (juce::Colours::white.withAlpha (0.25f));
}

//==============================================================================
ModalComponent::ModalComponent()
    : coveringWindow (*this)
{
}

ModalComponent::~ModalComponent()
{
    // The covering window is a member: take both out of the Desktop's tree
    // before either is half destroyed.
    if (getParentComponent() == &coveringWindow)
        coveringWindow.removeChildComponent (this);

    if (auto* desktop = coveringWindow.getParentComponent())
        desktop->removeChildComponent (&coveringWindow);
}

bool ModalComponent::wantsDimmedBackground() const
{
    return false;
}

bool ModalComponent::isAttached() const
{
    return getParentComponent() == &coveringWindow && coveringWindow.getParentComponent() != nullptr;
}

void ModalComponent::updatePosition()
{
    if (placementMode == atPoint)
    {
        setTopLeftPosition (placementPoint);
    }
    else if (placementMode == centred)
    {
        if (auto* desktop = getDesktop())
        {
            const auto area = desktop->getModalArea();
            setCentrePosition (area.getWidth() / 2, area.getHeight() / 2);
        }
    }
}

void ModalComponent::showCentred()
{
    showAt (centred, {}, nullptr);

    if (getWantsKeyboardFocus() && isEnabled())
        grabKeyboardFocus();
}

void ModalComponent::showAt (int mode, juce::Point<int> point, juce::Component* relativeTo)
{
    if (! isAttached())
    {
        if (auto* desktop = findDesktop (this))
        {
            auto* desktopComponent = dynamic_cast<juce::Component*> (desktop);
            desktopComponent->addChildComponent (coveringWindow);
            coveringWindow.addChildComponent (this);
            coveringWindow.setVisible (false);
            coveringWindow.toBack();
        }
    }

    if (isAttached() && ! coveringWindow.isVisible())
    {
        placementMode = mode;
        placementPoint = relativeTo != nullptr ? coveringWindow.getLocalPoint (relativeTo, point) : point;
        coveringWindow.setVisible (true);
        coveringWindow.toFront (true);
        updatePosition();
    }

    setVisible (true);
}

void ModalComponent::hide()
{
    if (isAttached() && coveringWindow.isVisible())
    {
        coveringWindow.setVisible (false);
        coveringWindow.toBack();
    }

    setVisible (false);
}

ModalComponent::Desktop* ModalComponent::getDesktop() const
{
    if (! isAttached())
        return nullptr;

    return dynamic_cast<Desktop*> (coveringWindow.getParentComponent());
}

ModalComponent::Desktop* ModalComponent::findDesktop (juce::Component* start)
{
    for (auto* component = start; component != nullptr; component = component->getParentComponent())
        if (auto* desktop = dynamic_cast<Desktop*> (component))
            return desktop;

    return nullptr;
}

juce::Rectangle<int> ModalComponent::getCoveringArea() const
{
    return coveringWindow.getLocalBounds();
}

void ModalComponent::parentHierarchyChanged()
{
    // Moved elsewhere: the covering window must not stay behind over the old Desktop.
    auto* parent = getParentComponent();

    if (parent != nullptr && parent != &coveringWindow)
        if (auto* desktop = coveringWindow.getParentComponent())
            desktop->removeChildComponent (&coveringWindow);
}

void ModalComponent::resized()
{
    updatePosition();
}
