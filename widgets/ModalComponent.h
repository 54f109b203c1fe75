#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/*  A dialog, menu or option window that lives inside the editor instead of in
    a desktop window of its own (a plug-in's editor sits in the host's window).
    Shown, it moves itself onto a transparent covering window spread over the
    nearest ModalComponent::Desktop above it; the covering window swallows the
    mouse meant for what lies below. Its owner keeps it: hiding deletes nothing.
*/
class ModalComponent : public juce::Component
{
public:
    /** Implemented by the component that hosts modal children (the editor). */
    class Desktop
    {
    public:
        virtual ~Desktop() = default;

        /** The area, in the Desktop's coordinates, in which modal children are centred. */
        virtual juce::Rectangle<int> getModalArea() const = 0;
    };

    /** The transparent layer between the Desktop and a shown modal component. */
    class CoveringWindow : public juce::Component
    {
    public:
        explicit CoveringWindow (ModalComponent& ownerToPlace);

        void parentHierarchyChanged() override;
        void parentSizeChanged() override;
        void resized() override;
        void paint (juce::Graphics& g) override;

    private:
        void fillParent();

        ModalComponent& owner;

        JUCE_DECLARE_NON_COPYABLE (CoveringWindow)
    };

    /** Placement modes of showAt. */
    enum Placement
    {
        centred = 0,
        atPoint = 1
    };

    ModalComponent();
    ~ModalComponent() override;

    /** True to lay a pale veil over the editor while shown. */
    virtual bool wantsDimmedBackground() const;

    /** Places the component by its placement mode. */
    virtual void updatePosition();

    /** Shows the component centred in the Desktop's modal area and gives it the keyboard focus. */
    void showCentred();

    /** Attaches the component to the nearest Desktop (on the first show) and shows it:
        centred (mode 0) or with its top-left corner at a point (mode 1), given in
        relativeTo's coordinates when relativeTo is not null. Showing again while
        shown keeps the placement. */
    void showAt (int mode, juce::Point<int> point, juce::Component* relativeTo);

    /** Hides the component and its covering window; nothing is deleted. */
    void hide();

    /** The Desktop the component is attached to, or null. */
    Desktop* getDesktop() const;

    /** The first of start and its parents that is a Desktop, or null. */
    static Desktop* findDesktop (juce::Component* start);

    /** The covering window's local bounds. */
    juce::Rectangle<int> getCoveringArea() const;

    int getPlacementMode() const noexcept { return placementMode; }
    juce::Point<int> getPlacementPoint() const noexcept { return placementPoint; }

    void parentHierarchyChanged() override;
    void resized() override;

private:
    bool isAttached() const;

    int placementMode = centred;
    juce::Point<int> placementPoint;
    CoveringWindow coveringWindow;

    JUCE_DECLARE_NON_COPYABLE (ModalComponent)
};
