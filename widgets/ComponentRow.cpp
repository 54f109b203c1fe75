#include "widgets/ComponentRow.h"

ComponentRow::ComponentRow (int orientationToUse, int alignmentToUse)
    : orientation (orientationToUse), alignment (alignmentToUse)
{
}

void ComponentRow::setOrientation (int newOrientation)
{
    if (orientation != newOrientation)
    {
        orientation = newOrientation;
        layoutChildren();
    }
}

void ComponentRow::setAlignment (int newAlignment)
{
    if (alignment != newAlignment)
    {
        alignment = newAlignment;
        layoutChildren();
    }
}

void ComponentRow::setSpacing (int newSpacing)
{
    if (spacing != newSpacing)
    {
        spacing = newSpacing;
        layoutChildren();
    }
}

void ComponentRow::fitToChildren()
{
    const auto count = getNumChildComponents();
    int along = (count - 1) * spacing;
    int across = 0;

    for (auto* child : getChildren())
    {
        along += orientation == leftToRight ? child->getWidth() : child->getHeight();
        across = juce::jmax (across, orientation == leftToRight ? child->getHeight() : child->getWidth());
    }

    // An empty row asks for a negative length, which the toolkit turns into 0.
    along = juce::jmax (0, along);

    if (orientation == leftToRight)
        setSize (along, across);
    else
        setSize (across, along);
}

void ComponentRow::layoutChildren()
{
    // Moving a child reports its bounds back here.
    if (layingOut)
        return;

    const juce::ScopedValueSetter<bool> guard (layingOut, true);
    fitToChildren();

    const auto rowAcross = orientation == leftToRight ? getHeight() : getWidth();
    int offset = 0;

    for (auto* child : getChildren())
    {
        const auto childAlong = orientation == leftToRight ? child->getWidth() : child->getHeight();
        const auto childAcross = orientation == leftToRight ? child->getHeight() : child->getWidth();
        const auto cross = alignment == alignCentre ? (rowAcross - childAcross) / 2
                           : alignment == alignEnd  ? rowAcross - childAcross
                                                    : 0;

        if (orientation == leftToRight)
            child->setTopLeftPosition (offset, cross);
        else
            child->setTopLeftPosition (cross, offset);

        offset += childAlong + spacing;
    }
}

void ComponentRow::childrenChanged()
{
    layoutChildren();
}

void ComponentRow::childBoundsChanged (juce::Component*)
{
    layoutChildren();
}
