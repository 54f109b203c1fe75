#include "PanelArtwork.h"

#include "PanelDrawing.h"
#include "SkinPalette.h"

namespace
{
// Wider than a word space, so that two labels side by side never read as one;
// and lettering keeps clear of the frame around it.
constexpr float minLabelGap = 5.0f;
constexpr float minFrameGap = 2.0f;
} // namespace

PanelArtwork::PanelArtwork (const SkinImageList& imageList, const PanelFonts& panelFonts)
    : images (imageList), fonts (panelFonts)
{
}

void PanelArtwork::paint (juce::Graphics& g, int width, int height) const
{
    const juce::Rectangle<int> bounds (width, height);
    PanelDrawing::fillBrushedMetal (g, bounds, SkinPalette::metal, 0x7a3c1e5);

    // Light falls from above: the lower part of the panel is a little darker.
    g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.05f), 0.0f, 0.0f,
                                             juce::Colours::black.withAlpha (0.18f), 0.0f, (float) height, false));
    g.fillRect (bounds);

    // The panel's bevelled edge.
    g.setColour (juce::Colours::white.withAlpha (0.12f));
    g.drawHorizontalLine (0, 0.0f, (float) width);
    g.drawVerticalLine (0, 0.0f, (float) height);
    g.setColour (juce::Colours::black.withAlpha (0.6f));
    g.drawHorizontalLine (height - 1, 0.0f, (float) width);
    g.drawVerticalLine (width - 1, 0.0f, (float) height);

    const auto* artwork = images.getArtwork();

    if (artwork == nullptr)
        return;

    // Frames first, then bezels and lettering on top of them.
    for (const auto* tag : { "Section", "Brand", "Rule", "Window", "Label" })
    {
        for (const auto* item : artwork->getChildIterator())
        {
            if (! item->getTagName().equalsIgnoreCase (tag))
                continue;

            const juce::String kind (tag);

            if (kind == "Section")      paintSection (g, *item);
            else if (kind == "Brand")   paintBrand (g, *item);
            else if (kind == "Rule")    paintRule (g, *item);
            else if (kind == "Window")  paintWindow (g, *item);
            else                        paintLabel (g, *item);
        }
    }
}

juce::Font PanelArtwork::sectionTitleFont() const
{
    auto font = fonts.bold (10.0f);
    font.setExtraKerningFactor (0.12f);
    return font;
}

juce::Rectangle<float> PanelArtwork::sectionTitleArea (const juce::XmlElement& section) const
{
    const auto area = readArea (section);
    const auto width = std::ceil (sectionTitleFont().getStringWidthFloat (section.getStringAttribute ("title"))) + 2.0f;
    return { area.getX() + 10.0f, area.getY() + 3.0f, width, 13.0f };
}

juce::Rectangle<float> PanelArtwork::readArea (const juce::XmlElement& item)
{
    return { (float) item.getIntAttribute ("left"), (float) item.getIntAttribute ("top"),
             (float) item.getIntAttribute ("width"), (float) item.getIntAttribute ("height") };
}

//==============================================================================
void PanelArtwork::paintBrand (juce::Graphics& g, const juce::XmlElement& item) const
{
    const auto area = readArea (item);
    const auto name = item.getStringAttribute ("name", "TARVELIN");
    const auto tagline = item.getStringAttribute ("tagline", "BASS LINE SYNTHESIZER");

    auto nameFont = fonts.bold (30.0f);
    nameFont.setExtraKerningFactor (0.12f);
    const auto nameArea = area.withHeight (36.0f);

    g.setFont (nameFont);
    g.setColour (juce::Colours::black.withAlpha (0.6f));
    g.drawText (name, nameArea.translated (0.0f, 1.5f), juce::Justification::centredLeft, false);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xfffbfaf6), 0.0f, nameArea.getY() + 6.0f,
                                             juce::Colour (0xffb9bec6), 0.0f, nameArea.getBottom() - 4.0f, false));
    g.drawText (name, nameArea, juce::Justification::centredLeft, false);

    // An amber bar under the name, with the tagline after it.
    const auto barY = nameArea.getBottom() + 3.0f;
    g.setColour (SkinPalette::title);
    g.fillRect (juce::Rectangle<float> (area.getX() + 1.0f, barY, 26.0f, 3.0f));

    auto taglineFont = fonts.bold (9.5f);
    taglineFont.setExtraKerningFactor (0.1f);
    PanelDrawing::drawText (g, tagline, { area.getX() + 34.0f, barY - 5.0f, area.getWidth() - 34.0f, 13.0f },
                            taglineFont, SkinPalette::label, juce::Justification::centredLeft);
}

void PanelArtwork::paintSection (juce::Graphics& g, const juce::XmlElement& item) const
{
    const auto area = readArea (item);
    const auto corner = 5.0f;

    g.setColour (SkinPalette::sectionFill.withAlpha (0.55f));
    g.fillRoundedRectangle (area, corner);

    // Engraved frame: a dark cut with a light edge below it.
    g.setColour (SkinPalette::engraveLight.withAlpha (0.8f));
    g.drawRoundedRectangle (area.reduced (0.5f).translated (0.5f, 0.5f), corner, 1.0f);
    g.setColour (SkinPalette::engraveDark);
    g.drawRoundedRectangle (area.reduced (0.5f), corner, 1.0f);

    const auto title = item.getStringAttribute ("title");

    if (title.isEmpty())
        return;

    const auto titleArea = sectionTitleArea (item);
    PanelDrawing::drawText (g, title, titleArea, sectionTitleFont(), SkinPalette::title, juce::Justification::centredLeft);

    // The title's line runs on to the frame.
    const auto lineY = titleArea.getCentreY();
    const auto lineStart = titleArea.getRight() + 6.0f;
    const auto lineEnd = area.getRight() - 10.0f;

    if (lineEnd > lineStart)
    {
        g.setColour (SkinPalette::engraveDark);
        g.drawHorizontalLine (juce::roundToInt (lineY), lineStart, lineEnd);
        g.setColour (SkinPalette::engraveLight.withAlpha (0.6f));
        g.drawHorizontalLine (juce::roundToInt (lineY) + 1, lineStart, lineEnd);
    }
}

void PanelArtwork::paintWindow (juce::Graphics& g, const juce::XmlElement& item) const
{
    const auto control = images.getControlBounds (item.getStringAttribute ("for")).toFloat();

    if (control.isEmpty())
        return;

    const auto margin = (float) item.getIntAttribute ("margin", 4);
    const auto bezel = control.expanded (margin);

    // A recess: shadowed at the top, catching the light at the bottom.
    g.setColour (juce::Colours::white.withAlpha (0.16f));
    g.fillRoundedRectangle (bezel.translated (0.0f, 1.0f), 3.0f);
    g.setColour (juce::Colour (0xff08090a));
    g.fillRoundedRectangle (bezel, 3.0f);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff1a1c1f), 0.0f, bezel.getY(),
                                             juce::Colour (0xff2c2f34), 0.0f, bezel.getBottom(), false));
    g.fillRoundedRectangle (bezel.reduced (1.5f), 2.0f);
    g.setColour (juce::Colours::black);
    g.fillRect (control.expanded (1.0f));
}

PanelArtwork::Lettering PanelArtwork::layOutLabel (const juce::XmlElement& item) const
{
    Lettering lettering;
    lettering.text = item.getStringAttribute ("text");
    lettering.font = fonts.bold ((float) item.getDoubleAttribute ("size", 9.5));
    lettering.font.setExtraKerningFactor (0.06f);

    const auto lineHeight = std::ceil (lettering.font.getHeight()) + 1.0f;
    const auto textWidth = std::ceil (lettering.font.getStringWidthFloat (lettering.text)) + 1.0f;
    auto& area = lettering.area;

    if (item.hasAttribute ("for"))
    {
        const auto control = images.getControlBounds (item.getStringAttribute ("for")).toFloat();
        const auto side = item.getStringAttribute ("side", "below");
        const auto gap = (float) item.getIntAttribute ("gap", 2);

        if (side == "above")
            area = juce::Rectangle<float> (textWidth, lineHeight).withCentre (control.getCentre()).withY (control.getY() - gap - lineHeight);
        else if (side == "left")
            area = juce::Rectangle<float> (textWidth, lineHeight).withCentre (control.getCentre()).withX (control.getX() - gap - textWidth);
        else if (side == "right")
            area = juce::Rectangle<float> (textWidth, lineHeight).withCentre (control.getCentre()).withX (control.getRight() + gap);
        else
            area = juce::Rectangle<float> (textWidth, lineHeight).withCentre (control.getCentre()).withY (control.getBottom() + gap);

        lettering.inked = area;
        return lettering;
    }

    area = readArea (item);

    if (area.getHeight() <= 0.0f)
        area.setHeight (lineHeight);

    const auto align = item.getStringAttribute ("align", "centred");
    lettering.justification = align == "left"  ? juce::Justification::centredLeft
                            : align == "right" ? juce::Justification::centredRight
                                               : juce::Justification::centred;

    const auto inkedWidth = juce::jmin (textWidth, area.getWidth());
    const auto inkedX = align == "left"  ? area.getX()
                      : align == "right" ? area.getRight() - inkedWidth
                                         : area.getCentreX() - inkedWidth * 0.5f;
    lettering.inked = { inkedX, area.getCentreY() - lineHeight * 0.5f, inkedWidth, lineHeight };
    return lettering;
}

void PanelArtwork::paintLabel (juce::Graphics& g, const juce::XmlElement& item) const
{
    const auto lettering = layOutLabel (item);
    const auto colour = item.getStringAttribute ("colour") == "title" ? SkinPalette::title : SkinPalette::label;
    PanelDrawing::drawText (g, lettering.text, lettering.area, lettering.font, colour, lettering.justification);
}

juce::StringArray PanelArtwork::findLayoutProblems (int width, int height) const
{
    juce::StringArray problems;
    const juce::Rectangle<float> panel ((float) width, (float) height);
    const auto& controls = images.getControls();

    for (size_t i = 0; i < controls.size(); ++i)
    {
        const auto& [name, bounds] = controls[i];

        if (! juce::Rectangle<int> (width, height).contains (bounds))
            problems.add ("\"" + name + "\" lies outside the panel");

        for (size_t j = 0; j < i; ++j)
            if (controls[j].second != bounds && controls[j].second.intersects (bounds))
                problems.add ("\"" + name + "\" overlaps \"" + controls[j].first + "\"");
    }

    const auto* artwork = images.getArtwork();

    if (artwork == nullptr)
        return problems;

    std::vector<Lettering> labels;

    // Section titles are lettering too.
    for (const auto* item : artwork->getChildIterator())
    {
        if (item->getTagName().equalsIgnoreCase ("Section"))
        {
            Lettering title;
            title.text = item->getStringAttribute ("title");
            title.inked = sectionTitleArea (*item);
            labels.push_back (title);
        }
    }

    for (const auto* item : artwork->getChildIterator())
    {
        if (! item->getTagName().equalsIgnoreCase ("Label"))
            continue;

        if (item->hasAttribute ("for") && images.getControlBounds (item->getStringAttribute ("for")).isEmpty())
        {
            problems.add ("the label \"" + item->getStringAttribute ("text") + "\" is for a control the panel lacks");
            continue;
        }

        const auto lettering = layOutLabel (*item);
        const auto where = "the label \"" + lettering.text + "\"";

        if (! panel.contains (lettering.inked))
            problems.add (where + " runs off the panel");

        for (const auto& other : labels)
        {
            if (other.inked.intersects (lettering.inked))
                problems.add (where + " runs into the label \"" + other.text + "\"");
            else if (other.inked.expanded (minLabelGap, 0.0f).intersects (lettering.inked))
                problems.add (where + " stands so close to the label \"" + other.text + "\" that both read as one");
        }

        // Across only: caps lettering leaves its descender room empty.
        for (const auto* section : artwork->getChildIterator())
        {
            if (! section->getTagName().equalsIgnoreCase ("Section"))
                continue;

            const auto frame = readArea (*section);

            if (frame.intersects (lettering.inked) && (lettering.inked.getX() < frame.getX() + minFrameGap
                                                       || lettering.inked.getRight() > frame.getRight() - minFrameGap))
                problems.add (where + " touches the frame of \"" + section->getStringAttribute ("title") + "\"");
        }

        for (const auto& [name, bounds] : controls)
            if (bounds.toFloat().intersects (lettering.inked))
                problems.add (where + " runs into \"" + name + "\"");

        labels.push_back (lettering);
    }

    return problems;
}

void PanelArtwork::paintRule (juce::Graphics& g, const juce::XmlElement& item) const
{
    const auto area = readArea (item);
    const auto colour = item.getStringAttribute ("colour") == "title" ? SkinPalette::title : SkinPalette::scale;
    g.setColour (colour.withAlpha (0.8f));
    g.fillRect (area);
}
