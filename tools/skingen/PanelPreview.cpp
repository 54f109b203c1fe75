#include "PanelPreview.h"

namespace
{
const juce::XmlElement* findChild (const juce::XmlElement& parent, const juce::String& tag)
{
    for (const auto* child : parent.getChildIterator())
        if (child->getTagName().equalsIgnoreCase (tag))
            return child;

    return nullptr;
}

int previewFrame (const SkinImageList::Strip& strip, int index)
{
    if (strip.look == "knob" || strip.look == "selector")
        return (strip.frames - 1) / 2;

    if (strip.look == "lcd")
        return juce::jlimit (0, strip.frames - 1, (int) juce::String ("TARVELIN DEMO 01")[index % 16] - strip.firstCode);

    if (strip.look == "sevenSegment" || strip.look == "ledMatrix")
        return juce::jmin (strip.frames - 1, 2 + index);

    // Every other lamp lit, unpressed.
    const auto lit = (index % 2) == 1 && strip.states > 1;
    return lit ? (strip.pressedFrames ? 2 : 1) : 0;
}

void drawFrame (juce::Graphics& g, const juce::Image& image, const SkinImageList::Strip& strip, int frame, juce::Point<int> at)
{
    g.drawImage (image, at.x, at.y, strip.frameWidth, strip.frameHeight,
                 0, frame * strip.frameHeight, strip.frameWidth, strip.frameHeight);
}
} // namespace

juce::Image PanelPreview::compose (const SkinImageList& images, const std::map<juce::String, juce::Image>& drawn)
{
    const auto* panel = images.getMainPanel();
    const auto* controls = panel != nullptr ? findChild (*panel, "controls") : nullptr;
    const auto& strips = images.getStrips();

    if (strips.empty() || controls == nullptr)
        return {};

    const auto& background = strips.front();
    juce::Image preview (juce::Image::ARGB, background.frameWidth, background.frameHeight, true);
    juce::Graphics g (preview);

    if (auto found = drawn.find (background.name); found != drawn.end())
        g.drawImageAt (found->second, 0, 0);

    int index = 0;
    juce::Array<juce::Rectangle<int>> shown;

    for (const auto* control : controls->getChildIterator())
    {
        const auto bounds = images.getControlBounds (control->getStringAttribute ("name"));

        // Of the controls that share a place, only the first is shown.
        if (shown.contains (bounds))
            continue;

        shown.add (bounds);
        juce::StringArray names;

        for (const auto* element : control->getChildIterator())
        {
            if (element->hasAttribute ("resource"))
                names.add (element->getStringAttribute ("resource"));

            for (const auto* attribute : { "firstDigit", "secondDigit", "thirdDigit", "fourthDigit" })
                if (element->hasAttribute (attribute))
                    names.add (element->getStringAttribute (attribute));

            for (const auto* digit : element->getChildIterator())
                if (digit->hasAttribute ("resource"))
                    names.add (digit->getStringAttribute ("resource"));
        }

        auto x = bounds.getX();

        for (int i = 0; i < names.size(); ++i)
        {
            const auto* strip = images.findStrip (names[i]);
            const auto image = drawn.find (names[i]);

            if (strip == nullptr || image == drawn.end())
                continue;

            if (strip->look == "lcd")
            {
                const auto glyphs = bounds.getWidth() / strip->frameWidth;
                const auto margin = (bounds.getWidth() % strip->frameWidth) / 2;
                g.setColour (juce::Colour::fromString (control->getStringAttribute ("backgroundColour", "0")));
                g.fillRect (bounds);

                for (int glyph = 0; glyph < glyphs; ++glyph)
                    drawFrame (g, image->second, *strip, previewFrame (*strip, glyph),
                               { bounds.getX() + margin + glyph * strip->frameWidth,
                                 bounds.getY() + (bounds.getHeight() - strip->frameHeight) / 2 });
                break;
            }

            const auto tiled = strip->look == "sevenSegment" || strip->look == "ledMatrix";
            drawFrame (g, image->second, *strip, previewFrame (*strip, tiled ? i : index), { x, bounds.getY() });

            if (tiled)
                x += strip->frameWidth;
        }

        // A numeric display with one shared digit strip repeats it.
        if (const auto* digits = findChild (*control, "digits"); digits != nullptr && digits->hasAttribute ("resource"))
        {
            const auto* strip = images.findStrip (digits->getStringAttribute ("resource"));
            const auto image = strip != nullptr ? drawn.find (strip->name) : drawn.end();

            if (image != drawn.end())
                for (int i = 1; i < control->getIntAttribute ("digitsNum", 1); ++i)
                    drawFrame (g, image->second, *strip, previewFrame (*strip, i), { bounds.getX() + i * strip->frameWidth, bounds.getY() });
        }

        ++index;
    }

    return preview;
}
