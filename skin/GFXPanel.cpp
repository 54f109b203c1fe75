#include "skin/GFXPanel.h"

#include "framework/XmlHelpers.h"
#include "skin/GFXControlFactory.h"
#include "skin/Skin.h"
#include "skin/SkinGeometry.h"

GFXPanel::GFXPanel (const juce::String& panelName)
    : juce::Component (panelName)
{
    setInterceptsMouseClicks (true, true);
}

GFXPanel::~GFXPanel()
{
    removeAllChildren();
}

void GFXPanel::setTransparent (bool shouldBeTransparent)
{
    if (transparent != shouldBeTransparent)
    {
        transparent = shouldBeTransparent;
        repaint();
    }
}

void GFXPanel::addListener (GUIController::Listener* listener)
{
    GUIController::addListener (listener);

    for (auto* child : getChildren())
        if (auto* controller = dynamic_cast<GUIController*> (child))
            controller->addListener (listener);
}

void GFXPanel::loadFromXml (const juce::XmlElement& element, Skin& skin)
{
    BaseGFXController::loadFromXml (element, skin);

    if (const auto* gfx = XmlHelpers::findChild (element, "gfx"))
        setTransparent (gfx->getBoolAttribute ("transparent", false));

    if (const auto* controlsElement = XmlHelpers::findChild (element, "controls"))
    {
        if (skin.enterPanel (maxNestingDepth))
            loadControls (*controlsElement, skin);
        else
            skin.addWarning ("\"" + getName() + "\": panels nested deeper than " + juce::String (maxNestingDepth)
                             + " levels are left out");

        skin.leavePanel();
    }

    setBounds (left, top, width, height);
    repaint();
}

void GFXPanel::loadControls (const juce::XmlElement& controlsElement, Skin& skin)
{
    const auto offsetX = SkinGeometry::readPosition (controlsElement, "ofsX");
    const auto offsetY = SkinGeometry::readPosition (controlsElement, "ofsY");

    for (const auto* element : controlsElement.getChildIterator())
    {
        if (element->isTextElement())
            continue;

        const auto controlName = element->getStringAttribute ("name");
        auto control = GFXControlFactory::create (element->getTagName(), controlName, skin);

        if (! control)
        {
            skin.addWarning ("\"" + controlName + "\" has the unknown tag \"" + element->getTagName() + "\"");
            continue;
        }

        control.controller->loadFromXml (*element, skin);
        control.controller->refreshFromParameter();
        addAndMakeVisible (*control.component, -1);
        controls.push_back (std::move (control.component));
    }

    for (auto* child : getChildren())
        child->setTopLeftPosition (SkinGeometry::offsetPosition (child->getX(), offsetX),
                                   SkinGeometry::offsetPosition (child->getY(), offsetY));
}

int GFXPanel::countControls (const juce::XmlElement& element, int limit)
{
    return countControls (element, 1, limit);
}

int GFXPanel::countControls (const juce::XmlElement& element, int depth, int limit)
{
    const auto* controlsElement = XmlHelpers::findChild (element, "controls");

    if (controlsElement == nullptr || depth > maxNestingDepth)
        return 0;

    auto count = 0;

    for (const auto* child : controlsElement->getChildIterator())
    {
        if (child->isTextElement())
            continue;

        if (++count <= limit && XmlHelpers::tagMatches (*child, "Panel"))
            count += countControls (*child, depth + 1, limit - count);

        if (count > limit)
            break;
    }

    return count;
}

void GFXPanel::paint (juce::Graphics& g)
{
    if (transparent)
        return;

    if (hasImage())
        drawFrame (g, 0);
    else
        g.fillAll (juce::Colour::greyLevel (0.9f));
}
