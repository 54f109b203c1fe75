#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/*  Lines up its children in a row (orientation 0) or a column (any other
    value) with a gap between them, aligned on the cross axis at the start (0),
    centre (1) or end (2), and sizes itself around them. It neither owns nor
    resizes its children.
*/
class ComponentRow : public juce::Component
{
public:
    enum Orientation
    {
        leftToRight = 0,
        topToBottom = 1
    };

    enum Alignment
    {
        alignStart = 0,
        alignCentre = 1,
        alignEnd = 2
    };

    ComponentRow (int orientation, int alignment);

    void setOrientation (int newOrientation);
    void setAlignment (int newAlignment);
    void setSpacing (int newSpacing);

    /** Sizes the row around its children, then moves them into place. */
    void layoutChildren();

    void childrenChanged() override;
    void childBoundsChanged (juce::Component* child) override;

private:
    void fitToChildren();

    int orientation;
    int alignment;
    int spacing = 0;
    bool layingOut = false;

    JUCE_DECLARE_NON_COPYABLE (ComponentRow)
};
