#include "SkinImageList.h"

namespace
{
const juce::XmlElement* findChild (const juce::XmlElement& parent, const juce::String& tag)
{
    for (const auto* child : parent.getChildIterator())
        if (child->getTagName().equalsIgnoreCase (tag))
            return child;

    return nullptr;
}

juce::Point<int> readPosition (const juce::XmlElement& element)
{
    if (const auto* pos = findChild (element, "pos"))
        return { pos->getIntAttribute ("left"), pos->getIntAttribute ("top") };

    return {};
}

juce::Point<int> readSize (const juce::XmlElement& element, juce::Point<int> fallback = {})
{
    if (const auto* size = findChild (element, "size"))
        return { size->getIntAttribute ("width"), size->getIntAttribute ("height") };

    return fallback;
}

bool isStripControl (const juce::String& tag)
{
    for (const auto* known : { "knob", "switch", "animation", "button", "rocker",
                               "pitchbender", "modwheel", "midichanneldisplay" })
        if (tag == known)
            return true;

    return false;
}
} // namespace

//==============================================================================
bool SkinImageList::read (const juce::String& xmlText, juce::String& error)
{
    strips.clear();
    controlBounds.clear();
    mainPanel = nullptr;
    artwork = nullptr;

    document = juce::parseXML (xmlText);

    if (document == nullptr || ! document->getTagName().equalsIgnoreCase ("PluginEditor"))
    {
        error = "the document is not a \"PluginEditor\" skin";
        return false;
    }

    for (const auto* child : document->getChildIterator())
    {
        if (mainPanel == nullptr && child->getTagName().equalsIgnoreCase ("Panel")
            && child->getStringAttribute ("name").equalsIgnoreCase ("MainPanel"))
            mainPanel = child;

        if (artwork == nullptr && child->getTagName().equalsIgnoreCase ("Artwork"))
            artwork = child;
    }

    if (mainPanel == nullptr)
    {
        error = "the skin has no \"Panel\" named \"MainPanel\"";
        return false;
    }

    const auto size = readSize (*mainPanel);
    panelBounds = { size.x, size.y };
    return readPanel (*mainPanel, {}, error);
}

const SkinImageList::Strip* SkinImageList::findStrip (const juce::String& name) const
{
    for (const auto& strip : strips)
        if (strip.name == name)
            return &strip;

    return nullptr;
}

juce::Rectangle<int> SkinImageList::getControlBounds (const juce::String& controlName) const
{
    for (const auto& [name, bounds] : controlBounds)
        if (name == controlName)
            return bounds;

    return {};
}

juce::StringArray SkinImageList::getImageNames() const
{
    juce::StringArray names;

    for (const auto& strip : strips)
        names.add (strip.name);

    return names;
}

//==============================================================================
bool SkinImageList::readPanel (const juce::XmlElement& panel, juce::Point<int> origin, juce::String& error)
{
    const auto size = readSize (panel);

    if (const auto* gfx = findChild (panel, "gfx"); gfx != nullptr && gfx->hasAttribute ("resource"))
    {
        Strip strip;
        strip.name = gfx->getStringAttribute ("resource");
        strip.frameWidth = size.x;
        strip.frameHeight = size.y;
        strip.frames = gfx->getIntAttribute ("framesNum", 1);
        strip.hints = gfx;
        strip.controlName = panel.getStringAttribute ("name");

        if (! addStrip (strip, error))
            return false;
    }

    const auto* controls = findChild (panel, "controls");

    if (controls == nullptr)
        return true;

    const juce::Point<int> offset (controls->getIntAttribute ("ofsX"), controls->getIntAttribute ("ofsY"));

    for (const auto* control : controls->getChildIterator())
    {
        if (control->getTagName().equalsIgnoreCase ("Panel"))
        {
            if (! readPanel (*control, origin + offset + readPosition (*control), error))
                return false;

            continue;
        }

        if (! readControl (*control, origin + offset, error))
            return false;
    }

    return true;
}

bool SkinImageList::readControl (const juce::XmlElement& control, juce::Point<int> offset, juce::String& error)
{
    const auto tag = control.getTagName().toLowerCase();
    const auto name = control.getStringAttribute ("name");
    const auto* gfx = findChild (control, "gfx");
    auto size = readSize (control);

    const auto fail = [&error, &name] (const juce::String& message)
    {
        error = "\"" + name + "\": " + message;
        return false;
    };

    Strip strip;
    strip.controlName = name;
    strip.frameWidth = size.x;
    strip.frameHeight = size.y;
    strip.hints = gfx;

    if (isStripControl (tag) || tag == "togglebutton" || tag == "multistatebutton")
    {
        if (gfx == nullptr || ! gfx->hasAttribute ("resource"))
            return fail ("no \"gfx\" image to draw");

        strip.name = gfx->getStringAttribute ("resource");

        if (tag == "togglebutton" || tag == "multistatebutton")
        {
            // Both cut their strip by their style: one frame per state, or an up
            // and a pressed frame per state for "3D".
            strip.states = tag == "togglebutton" ? 2 : control.getIntAttribute ("states", 2);
            strip.states = juce::jmax (2, strip.states);
            strip.pressedFrames = control.getStringAttribute ("style") == "3D";
            strip.frames = strip.states * (strip.pressedFrames ? 2 : 1);
        }
        else
        {
            strip.frames = gfx->getIntAttribute ("framesNum", 1);
            strip.pressedFrames = tag == "button";
            strip.states = tag == "button" ? 1 : strip.frames;
        }

        if (strip.frames < 1)
            return fail ("\"framesNum\" must be at least 1");

        if (! addStrip (strip, error))
            return false;
    }
    else if (tag == "numericdisplay")
    {
        const auto digitsNum = control.getIntAttribute ("digitsNum", 1);
        const auto cells = digitsNum + (control.getDoubleAttribute ("minValue") < 0.0 ? 1 : 0);

        if (digitsNum < 1 || size.x % cells != 0)
            return fail ("\"size\" width must split evenly among the digits");

        strip.frameWidth = size.x / cells;
        strip.frames = 11;

        if (const auto* digits = findChild (control, "digits"))
        {
            if (digits->getNumChildElements() > 0)
            {
                int count = 0;

                for (const auto* digit : digits->getChildIterator())
                {
                    if (! digit->getTagName().equalsIgnoreCase ("gfx") || ++count > digitsNum)
                        continue;

                    strip.name = digit->getStringAttribute ("resource");
                    strip.hints = digit;

                    if (! addStrip (strip, error))
                        return false;
                }
            }
            else if (digits->hasAttribute ("resource"))
            {
                strip.name = digits->getStringAttribute ("resource");
                strip.hints = digits;

                if (! addStrip (strip, error))
                    return false;
            }
        }

        if (const auto* sign = findChild (control, "sign"))
        {
            if (const auto* signGfx = findChild (*sign, "gfx"))
            {
                strip.name = signGfx->getStringAttribute ("resource");
                strip.hints = signGfx;
                strip.frames = 2;
                strip.role = "sign";

                if (! addStrip (strip, error))
                    return false;
            }
        }
    }
    else if (tag == "patternnumberdisplay")
    {
        size = readSize (control, { 100, 40 });

        if (size.x % 4 != 0)
            return fail ("\"size\" width must split evenly among the four digits");

        if (gfx != nullptr)
        {
            static const std::pair<const char*, int> digits[] = {
                { "firstDigit", 12 }, { "secondDigit", 19 }, { "thirdDigit", 13 }, { "fourthDigit", 11 }
            };

            for (const auto& [attribute, frames] : digits)
            {
                Strip digit = strip;
                digit.name = gfx->getStringAttribute (attribute);
                digit.frameWidth = size.x / 4;
                digit.frameHeight = size.y;
                digit.frames = frames;
                digit.states = frames;
                digit.role = attribute;

                if (digit.name.isNotEmpty() && ! addStrip (digit, error))
                    return false;
            }
        }
    }
    else if (tag == "display" || tag == "displayfloat")
    {
        if (gfx != nullptr && gfx->hasAttribute ("resource"))
        {
            const auto firstText = gfx->getStringAttribute ("firstASCII", " ");
            strip.name = gfx->getStringAttribute ("resource");
            strip.firstCode = firstText.isEmpty() ? 0 : static_cast<int> (firstText[0]);
            strip.frameWidth = gfx->getIntAttribute ("glyphWidth");
            strip.frameHeight = gfx->getIntAttribute ("fontHeight");
            strip.role = "glyphs";

            // The display reads as many glyphs as the strip holds; drawing them
            // up to code 127 covers everything it can show.
            const auto glyphs = 128 - strip.firstCode;

            if (strip.frameWidth < 1 || strip.frameHeight < 1 || glyphs < 1)
                return fail ("a glyph strip needs \"glyphWidth\", \"fontHeight\" and a first character below 128");

            strip.frames = 2 * glyphs;
            strip.states = glyphs;

            if (! addStrip (strip, error))
                return false;
        }
    }
    else if (gfx != nullptr)
    {
        return fail ("skingen has no drawing for a \"" + control.getTagName() + "\" with images");
    }

    controlBounds.emplace_back (name, juce::Rectangle<int> (size.x, size.y) + offset + readPosition (control));
    return true;
}

bool SkinImageList::addStrip (Strip strip, juce::String& error)
{
    const auto where = "\"" + strip.controlName + "\": ";

    if (strip.name.isEmpty() || strip.name.containsAnyOf ("/\\") || ! strip.name.endsWithIgnoreCase (".png"))
    {
        error = where + "image name \"" + strip.name + "\" must be a plain \".png\" file name";
        return false;
    }

    if (strip.hints == nullptr || ! strip.hints->hasAttribute ("look"))
    {
        error = where + "\"" + strip.name + "\" has no \"look\" hint";
        return false;
    }

    if (strip.frameWidth < 1 || strip.frameHeight < 1)
    {
        error = where + "\"" + strip.name + "\" has no frame size (a \"size\" child is missing)";
        return false;
    }

    strip.look = strip.hints->getStringAttribute ("look");

    if (const auto* existing = findStrip (strip.name))
    {
        const auto same = existing->frameWidth == strip.frameWidth && existing->frameHeight == strip.frameHeight
                       && existing->frames == strip.frames && existing->pressedFrames == strip.pressedFrames
                       && existing->look == strip.look && existing->role == strip.role
                       && existing->firstCode == strip.firstCode;

        if (! same)
        {
            error = where + "\"" + strip.name + "\" is also used by \"" + existing->controlName
                  + "\" with another geometry or look";
            return false;
        }

        return true;
    }

    strips.push_back (strip);
    return true;
}
